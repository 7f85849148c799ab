#include "app/pages/common/PageCommon.h"

#include "extra/extra.h"
#include "controls/Float.h"
#include "controls/Number.h"
#include "platform/KeyState.h"
#include "platform/StatusSink.h"

#include <QComboBox>
#include <QDrag>
#include <QLineEdit>
#include <QFont>
#include <QMimeData>
#include <QPixmap>
#include <QPointer>
#include <QTreeWidget>

namespace pagecommon {

const char* const DragFormatName = "VIRUDIVIRU";

QString ItemKey(int index) { return QString::number(index) + QLatin1Char('*'); }

int KeyIndex(const QString& key)
{
    QString digits = key;
    digits.remove(QLatin1Char('*'));
    bool ok = false;
    const int n = digits.trimmed().toInt(&ok);
    return ok ? n : 0;
}

bool ShiftHeld() { return platform::KeyState::Instance().IsDown(platform::KeyState::Shift); }

QTreeWidgetItem* AddRow(QTreeWidget* list, const QString& key, const QString& text, int picture,
                        const QVector<QIcon>& images)
{
    auto* row = new QTreeWidgetItem(list);
    row->setData(0, KeyRole, key);
    row->setText(0, text);
    SetRowPicture(row, picture, images);
    return row;
}

QTreeWidgetItem* RowByKey(QTreeWidget* list, const QString& key)
{
    if (!list)
        return nullptr;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = list->topLevelItem(i);
        if (row->data(0, KeyRole).toString() == key)
            return row;
    }
    return nullptr;
}

QString RowKey(const QTreeWidgetItem* row) { return row ? row->data(0, KeyRole).toString() : QString(); }

void SetRowPicture(QTreeWidgetItem* row, int picture, const QVector<QIcon>& images)
{
    if (!row)
        return;
    row->setData(0, PictureRole, picture);
    if (picture >= 1 && picture <= images.size()) {
        row->setIcon(0, images[picture - 1]);
        return;
    }
    // A row without a picture gets a blank one of the pictures' size, so that its text lines
    // up with the rows that have one.
    QIcon blank;
    for (const QIcon& icon : images) {
        const QSize size = icon.availableSizes().value(0);
        if (!size.isEmpty()) {
            QPixmap empty(size);
            empty.fill(Qt::transparent);
            blank = QIcon(empty);
            break;
        }
    }
    row->setIcon(0, blank);
}

int RowPicture(const QTreeWidgetItem* row) { return row ? row->data(0, PictureRole).toInt() : 0; }

void SetRowColor(QTreeWidgetItem* row, const QColor& color)
{
    if (!row)
        return;
    for (int c = 0; c < qMax(1, row->columnCount()); ++c)
        row->setForeground(c, color);
}

QColor RowColor(const QTreeWidgetItem* row)
{
    return row ? row->foreground(0).color() : QColor();
}

void SetRowBold(QTreeWidgetItem* row, bool bold)
{
    if (!row)
        return;
    for (int c = 0; c < qMax(1, row->columnCount()); ++c) {
        QFont f = row->font(c);
        f.setBold(bold);
        row->setFont(c, f);
    }
}

bool RowBold(const QTreeWidgetItem* row) { return row && row->font(0).bold(); }

int SelectedRowIndex(QTreeWidget* list)
{
    if (!list || !list->currentItem())
        return 0;
    return list->indexOfTopLevelItem(list->currentItem()) + 1;
}

void SelectRow(QTreeWidget* list, QTreeWidgetItem* row)
{
    if (!list || !row)
        return;
    list->setCurrentItem(row);
    list->scrollToItem(row);
}

QMimeData* MakeDragPayload(const QString& key)
{
    auto* data = new QMimeData;
    QByteArray bytes = key.toLatin1();
    bytes.append('\0');
    bytes.append('\0');
    data->setData(QString::fromLatin1(DragFormatName), bytes);
    return data;
}

void ExecPayloadDrag(QWidget* source, QMimeData* payload)
{
    if (!source || !payload) {
        delete payload;
        return;
    }
    auto* drag = new QDrag(source);
    drag->setMimeData(payload);
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
}

void SetDropHighlight(QTreeWidget* list, QTreeWidgetItem*& marked, QTreeWidgetItem* row)
{
    if (row == marked)
        return;
    if (marked)
        for (int c = 0; c < list->columnCount(); ++c)
            marked->setBackground(c, QBrush());
    marked = row;
    if (!row)
        return;
    QColor mark = list->palette().color(QPalette::Highlight);
    mark.setAlpha(96);
    for (int c = 0; c < list->columnCount(); ++c)
        row->setBackground(c, mark);
}

bool ReadDragPayload(const QMimeData* data, QString& key)
{
    const QString format = QString::fromLatin1(DragFormatName);
    if (!data || !data->hasFormat(format))
        return false;
    QByteArray bytes = data->data(format);
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    if (bytes.isEmpty())
        return false;
    key = QString::fromLatin1(bytes);
    return true;
}

namespace {
void AppendLangEntries(QComboBox* combo, int first, int last, bool keepValueText)
{
    for (int id = first; id <= last; ++id) {
        if (id > 0xFFFF || !extra::LangStringExists(quint16(id)))
            continue;
        const QString entry = extra::GetLangString(quint16(id));
        const int dash = entry.indexOf(QLatin1Char('-'));
        bool ok = false;
        const int value = dash > 0 ? entry.left(dash).trimmed().toInt(&ok) : 0;
        if (!ok)
            continue;
        combo->addItem(keepValueText ? entry : entry.mid(dash + 1), value);
    }
}
} // namespace

void FillComboFromLangList(QComboBox* combo, int base, int count, bool keepValueText)
{
    if (!combo)
        return;
    combo->clear();
    AppendLangEntries(combo, base + 1, base + count, keepValueText);
}

void AppendComboFromLangList(QComboBox* combo, int first, int last)
{
    if (combo)
        AppendLangEntries(combo, first, last, false);
}


int SelectByItemData(QComboBox* combo, int value)
{
    if (!combo)
        return -1;
    const int i = combo->findData(value);
    combo->setCurrentIndex(i);
    return i;
}

int CurrentItemData(const QComboBox* combo, int fallback)
{
    if (!combo || combo->currentIndex() < 0)
        return fallback;
    bool ok = false;
    const int v = combo->currentData().toInt(&ok);
    return ok ? v : fallback;
}

QString ItemTextByData(const QComboBox* combo, int value)
{
    if (!combo)
        return QString();
    for (int i = 0; i < combo->count(); ++i) {
        bool ok = false;
        if (combo->itemData(i).toInt(&ok) == value && ok)
            return combo->itemText(i);
    }
    return QString();
}

// ---- Range messages of entry boxes ----------------------------------------------------

namespace {

// The box whose range message the status bar shows, and that message.
QPointer<EntryBox> g_rangeOwner;
QString g_rangeText;

void TakeRangeMessageAway(EntryBox* box)
{
    if (!box || g_rangeOwner != box)
        return;
    g_rangeOwner = nullptr;
    // A message that came after it stays.
    if (platform::StatusSink::Instance().StatusText() == g_rangeText)
        extra::ShowStatusMessage(0);
}

// A page hidden takes the range message of its boxes with it.
class HideWatch : public QObject {
public:
    explicit HideWatch(EntryBox* box) : QObject(box), m_box(box) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_box && event->type() == QEvent::Hide)
            TakeRangeMessageAway(m_box);
        return false;
    }

private:
    EntryBox* m_box;
};

} // namespace

void ShowRangeMessage(EntryBox* box, quint16 id, const QVariantList& args)
{
    extra::ShowStatusMessage(id, args);
    g_rangeOwner = box;
    g_rangeText = platform::StatusSink::Instance().StatusText();
}

void ClearRangeMessageWhenValid(EntryBox* box, std::function<bool()> valid)
{
    if (!box)
        return;
    auto check = [box, valid] {
        if (g_rangeOwner == box && (!valid || valid()))
            TakeRangeMessageAway(box);
    };
    QObject::connect(box, &EntryBox::Change, box, check);
    QObject::connect(box, &EntryBox::LostFocus, box, check);
    box->installEventFilter(new HideWatch(box));
}

void FocusField(QWidget* field)
{
    if (!field)
        return;
    field->setFocus();
    if (auto* box = qobject_cast<EntryBox*>(field)) {
        box->TextBox()->setFocus();
        box->TextBox()->selectAll();
    }
}

bool CommitFocusedEntry(QWidget* window)
{
    QWidget* focused = window ? window->focusWidget() : nullptr;
    // The focus sits in the box's text part.
    auto* box = focused ? qobject_cast<EntryBox*>(focused->parentWidget()) : nullptr;
    return box && box->TextBox() == focused && box->CommitEntry();
}

void ClearRangeMessageWhenValid(Number* box)
{
    ClearRangeMessageWhenValid(box, [box] { return box->Value() >= box->Min() && box->Value() <= box->Max(); });
}

void ClearRangeMessageWhenValid(Float* box)
{
    ClearRangeMessageWhenValid(box, [box] { return box->Value() >= box->Min() && box->Value() <= box->Max(); });
}

} // namespace pagecommon
