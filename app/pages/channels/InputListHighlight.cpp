#include "app/pages/channels/InputListHighlight.h"

#include "app/pages/common/PageCommon.h"
#include "extra/extra.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"

#include <QLabel>
#include <QPalette>
#include <QTreeWidget>

namespace inputlist {

bool IsHighlighted(bool active, const QString& description)
{
    return !active && !description.trimmed().isEmpty();
}

void SetRowHighlight(QTreeWidgetItem* row, bool highlighted)
{
    if (!row)
        return;
    // The enabled text colour: a page filled while its tab is not shown is disabled, and its
    // rows must not keep the greyed colour once it is.
    QColor normal;
    if (QTreeWidget* list = row->treeWidget())
        normal = list->palette().color(QPalette::Active, QPalette::Text);
    else
        normal = QPalette().color(QPalette::Active, QPalette::Text);
    // The row and its second and third columns always share colour and weight.
    for (int c = 0; c < qMax(3, row->columnCount()); ++c) {
        row->setForeground(c, highlighted ? HighlightColor() : normal);
        QFont f = row->font(c);
        f.setBold(highlighted);
        row->setFont(c, f);
    }
}

QString ActiveCountText(int count)
{
    return count == 0 ? QStringLiteral("None Active") : QString::number(count) + QStringLiteral(" Active");
}

void ShowActiveCount(QLabel* label, int count)
{
    if (label)
        label->setText(ActiveCountText(count));
}

int CountActive(const cDigitalIn* inputs)
{
    int n = 0;
    if (inputs)
        for (XelDigitalIn* input : *inputs)
            n += input->Active() ? 1 : 0;
    return n;
}

int CountActive(const cAnalogIn* inputs)
{
    int n = 0;
    if (inputs)
        for (XelAnalogIn* input : *inputs)
            n += input->Active() ? 1 : 0;
    return n;
}

void RefreshDigitalList(QTreeWidget* list, const cDigitalIn* inputs)
{
    if (!list || !inputs)
        return;
    for (XelDigitalIn* input : *inputs) {
        if (input->Index() < 1 || input->Index() > list->topLevelItemCount())
            return;
        QTreeWidgetItem* row = list->topLevelItem(input->Index() - 1);
        SetRowHighlight(row, IsHighlighted(input->Active(), extra::StripNull(input->Text(), true)));
    }
}

void RefreshAnalogList(QTreeWidget* list, const cAnalogIn* inputs)
{
    if (!list || !inputs)
        return;
    for (XelAnalogIn* input : *inputs) {
        if (input->Index() < 1 || input->Index() > list->topLevelItemCount())
            return;
        QTreeWidgetItem* row = list->topLevelItem(input->Index() - 1);
        SetRowHighlight(row, IsHighlighted(input->Active(), input->Text()));
        if (!input->Active())
            row->setText(1, input->Terminal().trimmed());
    }
}

} // namespace inputlist
