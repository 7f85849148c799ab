#pragma once
// Small services the program's windows share: keys, text-entry filter, locale separators,
// recent files, help and web page, list and combo helpers, serial ports, files and folders,
// and byte and hexadecimal formatting.
#include <QChar>
#include <QModelIndex>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <QVector>

#include <initializer_list>
#include <memory>

class QAbstractItemView;
class QComboBox;
class QPoint;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace modDiv {

// Virtual key codes the program asks about.
enum VirtualKey : int { VkShift = 16, VkControl = 17, VkMenu = 18 };

// ---- keys, text entry, locale ---------------------------------------------------------
// A clipboard format id for a private format name; the same name gives the same id.
quint32 RegisterDragFormat(const QString& formatName);
QString GetDateSeparator();
QString GetTimeSeparator();
// The locale's long time without a time zone ("14:07:09"), as the system's long time reads.
QString LongTimeText(const QTime& time);
// Key-press filter for texts that go into the unit: a key the unit cannot show beeps and
// becomes 0. The first form takes the character, the second its ANSI code.
void FilterTextKey(QChar& key);
void FilterTextKey(qint16& keyAscii);
// True when every given virtual key is held now (letters and digits by their upper-case code).
bool KeysDown(std::initializer_list<int> virtualKeys);
template <class... More>
bool KeysDown(int key, More... more)
{
    const std::initializer_list<int> keys{key, int(more)...};
    return KeysDown(keys);
}
QString BoolText(bool flag);
bool IsWindowsNT();

// ---- bytes and hexadecimal ------------------------------------------------------------
// value / 256 and value mod 256 of a 16-bit register value.
quint8 HighByte(qint32 value);
quint8 LowByte(qint32 value);
// Upper-case hexadecimal, at least two digits ("0A", "FF", "100").
QString HexByte(qint32 value);
// The rotary switch position ("0" to "F") for a value, from the switch code table.
QString GetSwitchCode(qint32 value);

// ---- recent files, help, web page -----------------------------------------------------
// The menu caption of recent file n ("&1 path").
QString RecentFileCaption(int n, const QString& path);
void AddRecentFile(const QString& path);
// The help file at the topic of a context number; the index for 0.
void ShowHelp(int context = 0);
void OpenWebSite();
// Used when the settings name no web page.
inline constexpr char16_t kDefaultWebSite[] = u"http://www.kelvaro.com/";

// ---- files and folders ----------------------------------------------------------------
bool FileIsReadOnly(const QString& path);
bool CanWriteFile(const QString& path);
// Before a file is replaced: a read-only one asks message 189 (naming `shown`), and Yes clears
// the flag. False when the user keeps the file as it is.
bool ClearReadOnlyAsked(const QString& path, const QString& shown);
QString BrowseForFolder(QWidget* owner, const QString& title, const QString& startFolder);
// The folders CreateFolderPath creates, in order, each ending in a separator.
QStringList FolderPathLevels(const QString& path);
void CreateFolderPath(const QString& path);

// ---- serial ports ---------------------------------------------------------------------
bool PortExists(qint16 portNumber);
void FillCommPortCombo(QComboBox* combo);
// The list text of port n: "COM5 (/dev/ttyUSB0)", with "   - not detected" when the system
// does not list the port.
QString CommPortItemText(qint16 portNumber, bool detected);

// ---- lists and combo boxes ------------------------------------------------------------
void FitComboDropDown(QComboBox* combo);
// The row under the mouse pointer now; invalid / nullptr when there is none.
QModelIndex HitTestListView(QAbstractItemView* list);
QTreeWidgetItem* HitTestListView(QTreeWidget* list);
// The same for a pointer position on the screen.
QModelIndex HitTestListViewAt(QAbstractItemView* list, const QPoint& globalPos);

// One entry of a sorted list: named values.
using SortedEntry = QVariantMap;

// An ordered collection of entries, each with an optional key (keys ignore case).
class SortedEntries {
public:
    qint32 Count() const { return qint32(m_items.size()); }
    // 1-based position; nullptr when out of range.
    const SortedEntry* Item(qint32 position) const;
    const SortedEntry* Item(const QString& key) const;
    QString Key(qint32 position) const;
    // Inserts before the 1-based position, or appends for 0; false for a key already there.
    bool Add(const SortedEntry& entry, const QString& key = QString(), qint32 before = 0);
    void Clear() { m_items.clear(); }

private:
    struct Slot {
        QString key;
        SortedEntry entry;
    };
    QVector<Slot> m_items;
};

// Inserts entry in ascending order of its field, after entries with an equal value; creates
// the collection when there is none. False when the key is already in use.
bool AddSortedEntry(std::unique_ptr<SortedEntries>& collection, const SortedEntry& entry,
                    const QString& field, const QString& key);

} // namespace modDiv
