#pragma once
// Small pieces every page uses: row keys, list-view rows, the drag payload, language combos,
// twips, scoped flags and the hourglass.
#include <QApplication>
#include <QByteArray>
#include <QColor>
#include <QIcon>
#include <QString>
#include <QVariantList>
#include <QVector>

#include <functional>

class EntryBox;
class Float;
class Number;
class QComboBox;
class QDropEvent;
class QMimeData;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace pagecommon {

// The key of collection items and list rows: the number followed by "*" ("3*").
QString ItemKey(int index);
// The number of a key ("3*" -> 3); 0 for a text that is no key.
int KeyIndex(const QString& key);

// Positions on the windows are given in twips: 15 twips are one logical pixel.
constexpr int Twips(int twips) { return twips / 15; }
constexpr int ToTwips(int pixels) { return pixels * 15; }

// Sets a flag for the lifetime of the guard and puts the previous value back on every exit.
class ScopedFlag {
public:
    explicit ScopedFlag(bool& flag, bool value = true) : m_flag(flag), m_old(flag) { m_flag = value; }
    ~ScopedFlag() { m_flag = m_old; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

private:
    bool& m_flag;
    bool m_old;
};

// The hourglass for the lifetime of the guard.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// True while Shift is held (skips confirmations).
bool ShiftHeld();

// ---- List views (QTreeWidget) ----
// Rows carry their key and their 1-based picture position; the icon is taken from `images`
// when the position lies inside it.
constexpr int KeyRole = Qt::UserRole + 1;
constexpr int PictureRole = Qt::UserRole + 2;
constexpr int GhostedRole = Qt::UserRole + 3;

QTreeWidgetItem* AddRow(QTreeWidget* list, const QString& key, const QString& text, int picture,
                        const QVector<QIcon>& images);
QTreeWidgetItem* RowByKey(QTreeWidget* list, const QString& key);
QString RowKey(const QTreeWidgetItem* row);
void SetRowPicture(QTreeWidgetItem* row, int picture, const QVector<QIcon>& images);
int RowPicture(const QTreeWidgetItem* row);
// Text colour and bold over every column of the row.
void SetRowColor(QTreeWidgetItem* row, const QColor& color);
void SetRowBold(QTreeWidgetItem* row, bool bold);
bool RowBold(const QTreeWidgetItem* row);
QColor RowColor(const QTreeWidgetItem* row);
// The 1-based position of the selected row, 0 when none.
int SelectedRowIndex(QTreeWidget* list);
void SelectRow(QTreeWidget* list, QTreeWidgetItem* row);

// ---- Drag and drop ----
// The private format of every list drag; the payload is the row key and two NUL bytes.
extern const char* const DragFormatName; // "VIRUDIVIRU"
QMimeData* MakeDragPayload(const QString& key);
// The key in a drag's payload; false when the data carry no payload of ours.
bool ReadDragPayload(const QMimeData* data, QString& key);
// Drags the payload from a list: copy or move allowed, move proposed. The receiving list does
// the work itself and reports no effect back. Takes ownership of the payload.
void ExecPayloadDrag(QWidget* source, QMimeData* payload);
// Moves a list's drop mark from `marked` to `row` (none: no mark): the row a hovering drag
// would drop on, kept apart from the selected row.
void SetDropHighlight(QTreeWidget* list, QTreeWidgetItem*& marked, QTreeWidgetItem* row);

// ---- Combos from language list blocks ----
// Fills the combo with the entries base+1 .. base+count that exist ("2-Alarm": text "Alarm",
// item data 2). Missing numbers are skipped. `keepValueText` shows the whole entry.
void FillComboFromLangList(QComboBox* combo, int base, int count, bool keepValueText = false);
// Appends the entries first .. last that exist and have a number before their "-" (same form),
// without clearing the combo.
void AppendComboFromLangList(QComboBox* combo, int first, int last);
// Selects the entry whose item data is `value`; -1 when there is none (nothing selected).
int SelectByItemData(QComboBox* combo, int value);
int CurrentItemData(const QComboBox* combo, int fallback = -1);
// The text of the first entry whose item data is `value`; "" when there is none.
QString ItemTextByData(const QComboBox* combo, int value);

// ---- Range messages of entry boxes ----
// Shows an entry box's range message in the status bar; the message is the box's until the
// box takes it away again.
void ShowRangeMessage(EntryBox* box, quint16 id, const QVariantList& args);
// The box takes its own range message away once it holds a valid value again (an entry it
// accepted, or leaving it) and when its page is hidden; a message of another box stays. Valid
// is the box's own range unless `valid` says otherwise.
void ClearRangeMessageWhenValid(Number* box);
void ClearRangeMessageWhenValid(Float* box);
void ClearRangeMessageWhenValid(EntryBox* box, std::function<bool()> valid);

// ---- Focus of the checks ----
// Puts the focus on the field a check names. An entry box gets its whole text selected, also
// when it had the focus already, so that the correction typed next replaces the refused value.
void FocusField(QWidget* field);
// The entry box that holds the focus of `window` commits what is typed as leaving it would
// (EntryBox::CommitEntry). True when that changed the entry: whatever was about to read the
// setup stops, and the box keeps the focus with the limit selected.
bool CommitFocusedEntry(QWidget* window);

} // namespace pagecommon
