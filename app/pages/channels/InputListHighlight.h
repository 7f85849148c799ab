#pragma once
// Marking of the input lists of the Switch and Analog In pages: an input that is not active but
// has a description is drawn in red and bold, and a label under each list counts the active
// inputs. Both pages use these routines, so the two lists always follow the same rule.
#include <QColor>
#include <QString>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;
class cAnalogIn;
class cDigitalIn;

namespace inputlist {

// The colour of a highlighted row.
inline QColor HighlightColor() { return QColor(255, 72, 72); }

// True when a row must be highlighted: the input is not active and its description (as the
// caller prepared it) holds more than blanks.
bool IsHighlighted(bool active, const QString& description);

// Draws the row highlighted or normal (the list's own text colour, not bold) over every column.
void SetRowHighlight(QTreeWidgetItem* row, bool highlighted);

// "None Active" for 0, else the count followed by " Active".
QString ActiveCountText(int count);
void ShowActiveCount(QLabel* label, int count);

int CountActive(const cDigitalIn* inputs);
int CountActive(const cAnalogIn* inputs);

// Every row of the list from its input, walked in collection order; stops at the first input
// whose number lies beyond the rows. Switch descriptions are cut at a NUL first.
void RefreshDigitalList(QTreeWidget* list, const cDigitalIn* inputs);
// The same for the analog list; an inactive input also gets its terminal text back in the
// second column.
void RefreshAnalogList(QTreeWidget* list, const cAnalogIn* inputs);

} // namespace inputlist
