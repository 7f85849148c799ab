#pragma once
// How much text a line edit or a closed combo shows, as the style draws it; for the checks
// that values and entries are shown whole.
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>

namespace testing_doubles {

// The contents inside the edit's frame, less its text margins and its two pixels a side.
inline int TextRoom(QLineEdit* edit)
{
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.rect = edit->contentsRect();
    option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    const QRect contents = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    const QMargins m = edit->textMargins();
    return contents.width() - m.left() - m.right() - 2 * 2;
}

// The closed combo's edit field, one pixel in on each side.
inline int TextRoom(QComboBox* combo)
{
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.frame = combo->hasFrame();
    const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    return field.width() - 2;
}

// The text room of a combo's drop-down list: at least as wide as the box, less its frame and
// a scroll bar.
inline int ListRoom(QComboBox* combo)
{
    QAbstractItemView* view = combo->view();
    const int width = qMax(combo->width(), view->minimumWidth());
    return width - 2 * view->frameWidth() - view->style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 2 * 2;
}

} // namespace testing_doubles
