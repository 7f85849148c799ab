#pragma once
// Shared by the string-table tests: the texts of the built library and of the table files.
#include <QMap>
#include <QString>

namespace langtest {

// Every text of the library, read once through the platform loader ("XELLAN.DLL").
const QMap<quint16, QString>& LibraryTexts();
bool LibraryLoaded();

// The characters the unit display can show: ASCII 32..126 and the 31 extra characters.
bool UnitCanShow(QChar ch);

// Display text "NN-text": width NN and the text; false when the form is wrong.
bool SplitDisplayText(const QString& s, int& width, QString& text);

} // namespace langtest
