#include "controls/Number.h"

#include "controls/NumberText.h"
#include "controls/SpinPart.h"

#include <QKeyEvent>
#include <QLineEdit>

using numbertext::Clamp32;
using numbertext::LeadingWhole;
using numbertext::ParseWhole;

Number::Number(QWidget* parent) : EntryBox(parent) {}

Number::~Number() = default;

qint32 Number::Increment() const { return m_spin->Increment(); }
void Number::SetIncrement(qint32 increment) { m_spin->SetIncrement(increment); }
qint32 Number::Min() const { return m_spin->Min(); }
void Number::SetMin(qint32 min)
{
    m_spin->SetMin(min);
    updateGeometry();
}
qint32 Number::Max() const { return m_spin->Max(); }
void Number::SetMax(qint32 max)
{
    m_spin->SetMax(max);
    updateGeometry();
}

qint32 Number::Value() const
{
    return LeadingWhole(m_text->text());
}

void Number::SetValue(qint32 value)
{
    SetSpinValue(value);
}

QString Number::SpinText(qint32 spinValue) const
{
    return QString::number(spinValue);
}

QStringList Number::LimitTexts() const
{
    return {QString::number(Min()), QString::number(Max())};
}

qint64 Number::TextSpinValue() const
{
    return Value();
}

bool Number::TextBeyondLimit(int direction) const
{
    return direction > 0 ? Value() < m_spin->Min() : Value() > m_spin->Max();
}

void Number::KeyGoingDown()
{
    emit BeforeChange();
}

void Number::CheckEdit()
{
    const QString text = m_text->text();
    if (text.isEmpty()) {
        if (!m_allowBlank) {
            const QString replacement = Min() >= 1 ? QString::number(Min())
                                      : Max() >= 1 ? QStringLiteral("0")
                                                   : QString::number(Min());
            m_text->setText(replacement);
            m_lastGoodText = replacement;
        }
        emit Change();
        return;
    }
    if (text == QLatin1String("-")) {
        m_lastGoodText = QStringLiteral("0");
        emit Change();
        return;
    }
    qint64 value = 0;
    if (!ParseWhole(text, value)) {
        Beep();
        RestoreLastGood();
        return;
    }
    // A number beyond the 32-bit range is refused like one above Max.
    if (value > Max() || value != Clamp32(value)) {
        Beep();
        emit ErrorValue();
        RestoreLastGood();
        return;
    }
    const QString canonical = QString::number(value);
    if (canonical != text) {
        const int caret = qMax(0, int(m_text->cursorPosition() - (text.size() - canonical.size())));
        m_text->setText(canonical);
        m_text->setCursorPosition(qMin(caret, int(canonical.size())));
    }
    m_lastGoodText = canonical;
    emit Change();
}

bool Number::LeaveCheck()
{
    if (m_text->text().trimmed().isEmpty())
        WriteText(QStringLiteral("0"));
    const QString text = m_text->text();
    qint64 value = 0;
    const bool whole = ParseWhole(text, value);
    const bool dash = text == QLatin1String("-");
    if (dash || !whole || value > Max() || value < Min()) {
        Beep();
        // The value below Min (or an incomplete entry) is not kept: the box returns to
        // the nearest limit, or to the last good value for a lone "-".
        qint64 target = dash || !whole ? LeadingWhole(m_lastGoodText) : value;
        target = numbertext::Bound64(Min(), target, qMax(Min(), Max()));
        m_spin->SetValue(Clamp32(target));
        WriteText(QString::number(target));
        return false;
    }
    const qint32 good = LeadingWhole(m_lastGoodText);
    if (good != m_spin->Value())
        m_spin->SetValue(good);
    return true;
}

void Number::ReadProperties(const QVariantMap& bag)
{
    ReadLookProperties(bag);
    SetIncrement(bag.value(QStringLiteral("Increment"), 1).toInt());
    SetLocked(bag.value(QStringLiteral("Locked"), false).toBool());
    SetMax(bag.value(QStringLiteral("Max"), 100).toInt());
    SetMin(bag.value(QStringLiteral("Min"), 0).toInt());
    SetValue(bag.value(QStringLiteral("Value"), Min()).toInt());
    SetVisible(bag.value(QStringLiteral("Visible"), true).toBool());
}

QVariantMap Number::WriteProperties() const
{
    QVariantMap bag;
    WriteLookProperties(bag);
    if (Increment() != 1)
        bag.insert(QStringLiteral("Increment"), Increment());
    if (Locked())
        bag.insert(QStringLiteral("Locked"), true);
    if (Min() != 0)
        bag.insert(QStringLiteral("Min"), Min());
    if (Max() != 100)
        bag.insert(QStringLiteral("Max"), Max());
    if (Value() != Min())
        bag.insert(QStringLiteral("Value"), Value());
    if (!Visible())
        bag.insert(QStringLiteral("Visible"), false);
    return bag;
}
