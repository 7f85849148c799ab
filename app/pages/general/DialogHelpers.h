#pragma once
// Pieces the small setup dialogs share.
#include <QString>

class Number;
class QBoxLayout;
class QDialog;
class QLabel;
class QPushButton;
class QWidget;

namespace dialoghelpers {

// A Number box with its name and range.
Number* MakeNumber(QWidget* parent, const QString& name, int min, int max);
QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& caption);
QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption);
// Shows a stored value as it is, widening the box's range when the value lies outside it.
void ShowValue(Number* box, qint64 value, int min, int max);
// True when the box holds a whole number inside min..max. Otherwise the box beeps, selects
// its text and takes the focus, as it does when it is left with such an entry.
bool AcceptEntry(Number* box, int min, int max);
// The OK and Cancel row at the bottom of a dialog.
void AddButtonRow(QBoxLayout* layout, QPushButton* ok, QPushButton* cancel);

} // namespace dialoghelpers
