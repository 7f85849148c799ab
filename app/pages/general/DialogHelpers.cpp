#include "app/pages/general/DialogHelpers.h"

#include "controls/Number.h"
#include "platform/MessagePresenter.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace dialoghelpers {

Number* MakeNumber(QWidget* parent, const QString& name, int min, int max)
{
    auto* box = new Number(parent);
    box->setObjectName(name);
    box->SetMax(max);
    box->SetMin(min);
    return box;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& caption)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

void ShowValue(Number* box, qint64 value, int min, int max)
{
    const qint64 shown = qBound(qint64(INT32_MIN), value, qint64(INT32_MAX));
    box->SetMax(int(qMax<qint64>(max, shown)));
    box->SetMin(int(qMin<qint64>(min, shown)));
    box->SetValue(qint32(shown));
}

bool AcceptEntry(Number* box, int min, int max)
{
    bool ok = false;
    const QString text = box->Text().trimmed();
    const qint64 value = text.toLongLong(&ok);
    if (ok && value >= min && value <= max)
        return true;
    platform::MessagePresenter::Instance().Beep();
    box->setFocus();
    if (box->TextBox()) {
        box->TextBox()->setFocus();
        box->TextBox()->selectAll();
    }
    return false;
}

void AddButtonRow(QBoxLayout* layout, QPushButton* ok, QPushButton* cancel)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    layout->addLayout(row);
    ok->setDefault(true);
}

} // namespace dialoghelpers
