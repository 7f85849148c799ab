#include "app/pages/general/RelaysPage.h"

#include "app/pages/MainState.h"
#include "app/pages/common/PageCommon.h"
#include "app/pages/general/RelayFunction.h"
#include "app/pages/general/frmRelaySelection.h"
#include "app/setupdefaults/DefaultSetup.h"
#include "extra/extra.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelObject.h"
#include "datamodel/XelRelay.h"
#include "datamodel/XelSpeedRelay.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cRelay.h"
#include "platform/MessagePresenter.h"
#include "platform/TimeSource.h"

#include <QApplication>
#include <QCheckBox>
#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QSignalBlocker>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>

using namespace pagecommon;

namespace {

constexpr int kFunctionColumn = 1;
const QColor kRed(255, 0, 0);
constexpr int TagRole = Qt::UserRole + 10;

QString Tag(const QTreeWidgetItem* row) { return row ? row->data(0, TagRole).toString() : QString(); }
void SetTag(QTreeWidgetItem* row, const QString& tag) { row->setData(0, TagRole, tag); }

QColor WindowText() { return QApplication::palette().color(QPalette::WindowText); }

} // namespace

// ---------------------------------------------------------------------------------------------
// RelayList

RelayList::RelayList(RelaysPage& page, bool terminalCard, QWidget* parent)
    : QTreeWidget(parent), m_page(page), m_terminalCard(terminalCard)
{
    setColumnCount(2);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* row) { m_page.ItemClicked(m_terminalCard, row); });
    // A row reached by the arrow keys sets the buttons as a click does, so Add never stays
    // enabled on a greyed row.
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* row) {
        if (row)
            m_page.ItemClicked(m_terminalCard, row);
    });
}

// ---------------------------------------------------------------------------------------------
// RelayScrollPicture

RelayScrollPicture::RelayScrollPicture(RelaysPage& page, bool terminalCard, bool down, QWidget* parent)
    : QLabel(down ? QStringLiteral("\u25BC") : QStringLiteral("\u25B2"), parent), m_page(page),
      m_terminalCard(terminalCard), m_down(down)
{
    setAcceptDrops(true);
    setAlignment(Qt::AlignCenter);
    m_repeat.setInterval(platform::TimeSource::Instance().TimerInterval(100));
    connect(&m_repeat, &QTimer::timeout, this, [this] {
        if (!m_page.ScrollHover(m_terminalCard, m_down, m_source))
            Leave();
    });
}

void RelayScrollPicture::HoverFrom(const QObject* source)
{
    m_source = source;
    if (m_repeat.isActive())
        return; // the timer paces the scrolling
    if (m_page.ScrollHover(m_terminalCard, m_down, source))
        m_repeat.start();
}

void RelayScrollPicture::Leave()
{
    m_repeat.stop();
    m_source = nullptr;
}

void RelayScrollPicture::dragEnterEvent(QDragEnterEvent* event)
{
    // Nothing can be dropped here; the picture only has to keep getting the hover.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    HoverFrom(event->source());
}

void RelayScrollPicture::dragMoveEvent(QDragMoveEvent* event)
{
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    HoverFrom(event->source());
}

void RelayScrollPicture::dragLeaveEvent(QDragLeaveEvent* event)
{
    Leave();
    event->accept();
}

void RelayScrollPicture::dropEvent(QDropEvent* event)
{
    Leave();
    event->setDropAction(Qt::IgnoreAction);
    event->ignore();
}

void RelayScrollPicture::hideEvent(QHideEvent* event)
{
    Leave();
    QLabel::hideEvent(event);
}

void RelayList::SetDropHighlight(QTreeWidgetItem* row) { pagecommon::SetDropHighlight(this, m_dropHighlight, row); }

QMimeData* RelayList::SelectedRowPayload() const
{
    QTreeWidgetItem* row = currentItem();
    return row ? MakeDragPayload(RowKey(row)) : nullptr;
}

void RelayList::startDrag(Qt::DropActions)
{
    ExecPayloadDrag(this, SelectedRowPayload());
}

void RelayList::dragEnterEvent(QDragEnterEvent* event)
{
    QString key;
    if (ReadDragPayload(event->mimeData(), key))
        event->acceptProposedAction();
    else
        event->ignore();
}

Qt::DropAction RelayList::HoverAt(const QObject* source, const QMimeData* data, const QPoint& pos,
                                  Qt::KeyboardModifiers keys)
{
    QTreeWidgetItem* row = itemAt(pos);
    QString key;
    const Qt::DropAction effect = ReadDragPayload(data, key) ? m_page.HoverEffect(source, row, keys) : Qt::IgnoreAction;
    SetDropHighlight(effect == Qt::IgnoreAction ? nullptr : row);
    return effect;
}

void RelayList::dragMoveEvent(QDragMoveEvent* event)
{
    const Qt::DropAction effect = HoverAt(event->source(), event->mimeData(), event->position().toPoint(), event->modifiers());
    if (effect == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(effect);
    event->accept();
}

void RelayList::dragLeaveEvent(QDragLeaveEvent* event)
{
    SetDropHighlight(nullptr);
    event->accept();
}

void RelayList::DropAt(const QObject* source, const QMimeData* data, const QPoint& pos, Qt::KeyboardModifiers keys)
{
    SetDropHighlight(nullptr);
    // Data dragged in from another program is none of ours: it is left alone without a sound.
    QString key;
    if (!ReadDragPayload(data, key))
        return;
    m_page.DropOnRow(source, this, itemAt(pos), key, keys);
}

void RelayList::dropEvent(QDropEvent* event)
{
    QString key;
    if (!ReadDragPayload(event->mimeData(), key)) {
        SetDropHighlight(nullptr);
        event->ignore();
        return;
    }
    DropAt(event->source(), event->mimeData(), event->position().toPoint(), event->modifiers());
    // The drop made every change itself; the source must remove nothing.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
}

void RelayList::mousePressEvent(QMouseEvent* event)
{
    m_page.MouseDown(event->button());
    QTreeWidget::mousePressEvent(event);
}

void RelayList::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_page.DoubleClicked(m_terminalCard, itemAt(event->position().toPoint()));
}

void RelayList::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Delete:
        m_page.KeyDown(m_terminalCard, event->key());
        event->accept();
        return;
    default:
        QTreeWidget::keyPressEvent(event);
    }
}

// ---------------------------------------------------------------------------------------------
// RelaysPage

RelaysPage::RelaysPage(MainState& state, QWidget* parent) : QWidget(parent), m_state(state)
{
    BuildControls();
}

void RelaysPage::BuildControls()
{
    auto* grid = new QGridLayout(this);
    lblRelay_0 = new QLabel(QStringLiteral("PX-3, PX-5 - Optional Relay Card"), this);
    lblRelay_0->setObjectName("lblRelay_0");
    lblRelay_1 = new QLabel(QStringLiteral("TB-16 - Terminal Card"), this);
    lblRelay_1->setObjectName("lblRelay_1");
    lvwRelay = new RelayList(*this, false, this);
    lvwRelay->setObjectName("lvwRelay");
    lvwRelay->setHeaderLabels({QStringLiteral("Channel"), QStringLiteral("Function")});
    lvwRelayNew = new RelayList(*this, true, this);
    lvwRelayNew->setObjectName("lvwRelayNew");
    lvwRelayNew->setHeaderLabels({QStringLiteral("Relay"), QStringLiteral("Function")});
    for (QTreeWidget* list : {static_cast<QTreeWidget*>(lvwRelay), static_cast<QTreeWidget*>(lvwRelayNew)})
        list->header()->resizeSection(0, Twips(900));

    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        return b;
    };
    cmdRelayAdd = button("cmdRelayAdd", QStringLiteral("Add..."));
    cmdRelayRemove = button("cmdRelayRemove", QStringLiteral("Remove"));
    cmdRelayNewAdd = button("cmdRelayNewAdd", QStringLiteral("Add..."));
    cmdRelayNewRemove = button("cmdRelayNewRemove", QStringLiteral("Remove"));
    chkRelaysT44 = new QCheckBox(QStringLiteral("Disable Broken Wire Alarm On Terminal 44"), this);
    chkRelaysT44->setObjectName("chkRelaysT44");

    auto scroll = [this](bool terminalCard, bool down) {
        auto* p = new RelayScrollPicture(*this, terminalCard, down, this);
        p->setObjectName(QStringLiteral("%1_%2").arg(terminalCard ? "picRelayNewListScroll" : "picRelayListScroll").arg(down ? 1 : 0));
        return p;
    };

    grid->addWidget(lblRelay_0, 0, 0, 1, 2);
    grid->addWidget(scroll(false, false), 1, 1);
    grid->addWidget(lvwRelay, 1, 0, 3, 1);
    grid->addWidget(scroll(false, true), 3, 1);
    grid->addWidget(cmdRelayAdd, 4, 0, Qt::AlignLeft);
    grid->addWidget(cmdRelayRemove, 4, 0, Qt::AlignRight);
    grid->addWidget(lblRelay_1, 0, 2, 1, 2);
    grid->addWidget(scroll(true, false), 1, 3);
    grid->addWidget(lvwRelayNew, 1, 2, 3, 1);
    grid->addWidget(scroll(true, true), 3, 3);
    grid->addWidget(cmdRelayNewAdd, 4, 2, Qt::AlignLeft);
    grid->addWidget(cmdRelayNewRemove, 4, 2, Qt::AlignRight);
    grid->addWidget(chkRelaysT44, 5, 0, 1, 4);
    // The lists take the height; captions, buttons and the check box keep theirs.
    grid->setRowStretch(2, 1);

    connect(cmdRelayAdd, &QPushButton::clicked, this, [this] { AddRelayEntry(false, nullptr); });
    connect(cmdRelayNewAdd, &QPushButton::clicked, this, [this] { AddRelayEntry(true, nullptr); });
    connect(cmdRelayRemove, &QPushButton::clicked, this, [this] { RemoveRelayEntry(false); });
    connect(cmdRelayNewRemove, &QPushButton::clicked, this, [this] { RemoveRelayEntry(true); });
    connect(chkRelaysT44, &QCheckBox::toggled, this, &RelaysPage::OnT44Clicked);
}

void RelaysPage::MouseDown(Qt::MouseButton button)
{
    m_state.LastMouseButton = button == Qt::LeftButton ? 1 : button == Qt::RightButton ? 2 : button == Qt::MiddleButton ? 4 : 0;
}

QTreeWidget* RelaysPage::List(bool terminalCard) const { return terminalCard ? lvwRelayNew : lvwRelay; }

cRelay* RelaysPage::Collection(bool terminalCard) const
{
    XelObject* setup = m_state.XelObject();
    if (!setup)
        return nullptr;
    return terminalCard ? setup->RelayNew() : setup->Relay();
}

XelRelay* RelaysPage::EntryOf(bool terminalCard, const QTreeWidgetItem* row) const
{
    cRelay* relays = Collection(terminalCard);
    if (!relays || !row)
        return nullptr;
    return relays->Item(RowKey(row));
}

bool RelaysPage::Ghosted(const QTreeWidgetItem* row) { return row && row->data(0, GhostedRole).toBool(); }

// ---- defaults and loading ----

void RelaysPage::SetRelaysDefaults()
{
    if (m_state.XelObject())
        defaultsetup::SetRelaysDefaults(*m_state.XelObject());
}

void RelaysPage::SetRelaysNewDefaults()
{
    if (m_state.XelObject())
        defaultsetup::SetRelaysNewDefaults(*m_state.XelObject());
}

void RelaysPage::ClearRelays(bool terminalCard)
{
    static_cast<RelayList*>(List(terminalCard))->SetDropHighlight(nullptr);
    List(terminalCard)->clear();
    // Showing a setup never writes its terminal 44 flags, with or without the loading flag.
    const QSignalBlocker quiet(chkRelaysT44);
    if (!terminalCard)
        chkRelaysT44->setChecked(false);
}

void RelaysPage::LoadList(bool terminalCard)
{
    ClearRelays(terminalCard);
    cRelay* relays = Collection(terminalCard);
    if (!relays)
        return;
    QTreeWidget* list = List(terminalCard);
    for (XelRelay* entry : relays->NewEnum()) {
        const QString text = terminalCard ? entry->RelayText() : QString::number(entry->Index());
        QTreeWidgetItem* row = AddRow(list, ItemKey(entry->Index()), text, 0, m_state.images.imlRelay);
        ShowRelayFunction(terminalCard, row, *entry);
    }
    if (!terminalCard) {
        const QSignalBlocker quiet(chkRelaysT44);
        chkRelaysT44->setChecked(relays->RelayT44DisableBW());
    }
}

void RelaysPage::LoadRelays() { LoadList(false); }
void RelaysPage::LoadRelaysNew() { LoadList(true); }

void RelaysPage::OnT44Clicked(bool checked)
{
    // Loading the box from a setup never writes back.
    if (m_state.Loading || m_state.OpeningSetup)
        return;
    XelObject* setup = m_state.XelObject();
    if (!setup)
        return;
    setup->Relay()->SetRelayT44DisableBW(checked);
    setup->RelayNew()->SetRelayT44DisableBW(setup->Relay()->RelayT44DisableBW());
}

// ---- drawing one row ----

QString RelaysPage::FunctionTextRule(const XelRelay& entry)
{
    const int code = entry.FunctionNo();
    if (code == 0)
        return QString();
    const QString stored = entry.FunctionText().trimmed();
    if (!stored.isEmpty())
        return stored;
    const QString fixed = RelayFunction::FixedText(code);
    if (!fixed.isEmpty())
        return fixed;
    return RelayFunction::InvalidText(code);
}

int RelaysPage::IconRule(const XelRelay& entry, bool* redFunction) const
{
    if (redFunction)
        *redFunction = false;
    const int code = entry.FunctionNo();
    const RelayFunction::Source src = RelayFunction::Decode(code);
    const XelObject* setup = m_state.XelObject();
    switch (src.kind) {
    case RelayFunction::Kind::None:
        return 0;
    case RelayFunction::Kind::SwitchInput: {
        const XelDigitalIn* d = setup ? RelayFunction::SwitchInput(*setup, src.number) : nullptr;
        if (!d)
            return 1;
        int picture = d->SwitchType() == 1 ? 8 : 5;
        if (!src.warning)
            picture += d->Action() == 2 ? 1 : d->Action() == 3 ? 2 : 0;
        return picture;
    }
    case RelayFunction::Kind::AnalogInput: {
        const XelAnalogIn* a = setup ? RelayFunction::AnalogInput(*setup, src.number) : nullptr;
        if (!a)
            return 1;
        int picture = 17;
        switch (a->Action()) {
        case 2: picture = 19; break;
        case 3: picture = 21; break;
        case 4: picture = src.warning ? 17 : 19; break;
        case 5: picture = src.warning ? 17 : 21; break;
        case 6:
        case 7:
        case 8: picture = 23; break;
        default: break;
        }
        if (a->ActionDirection() == 1)
            ++picture;
        if (!a->Active()) {
            picture = 33;
            if (redFunction)
                *redFunction = true;
        }
        return picture;
    }
    case RelayFunction::Kind::SpeedRelay:
        return 3;
    default:
        return RelayFunction::FixedRowPicture(code);
    }
}

void RelaysPage::DrawRelayItem(bool terminalCard, XelRelay& entry, QTreeWidgetItem* row)
{
    if (!row)
        row = List(terminalCard)->currentItem();
    if (!row)
        return;
    bool red = false;
    SetRowPicture(row, IconRule(entry, &red), m_state.images.imlRelay);
    // A source that is active again must not stay red; a greyed row stays grey.
    row->setForeground(kFunctionColumn, red ? kRed : NormalColour(row));
}

QColor RelaysPage::NormalColour(const QTreeWidgetItem* row)
{
    return Ghosted(row) ? QApplication::palette().color(QPalette::Disabled, QPalette::Text) : WindowText();
}

void RelaysPage::ShowRelayFunction(bool terminalCard, QTreeWidgetItem* row, XelRelay& entry)
{
    if (!row)
        return;
    row->setText(kFunctionColumn, FunctionTextRule(entry));
    DrawRelayItem(terminalCard, entry, row);
}

void RelaysPage::ShowSelectedRelay(bool terminalCard, XelRelay& entry)
{
    QTreeWidgetItem* row = List(terminalCard)->currentItem();
    if (!row)
        return;
    row->setText(kFunctionColumn, entry.FunctionText());
    DrawRelayItem(terminalCard, entry, row);
}

void RelaysPage::StoreRelays(bool terminalCard, XelRelay& source, XelRelay& target, bool move)
{
    target.SetInUse(source.InUse());
    target.SetFunctionNo(source.FunctionNo());
    target.SetFunctionText(source.FunctionText());
    if (!move)
        return;
    source.SetInUse(false);
    source.SetFunctionNo(0);
    source.SetFunctionText(QString());
    ShowRelayFunction(terminalCard, List(terminalCard)->currentItem(), source);
}

// ---- refresh of both lists ----

void RelaysPage::RefreshList(bool terminalCard)
{
    cRelay* relays = Collection(terminalCard);
    XelObject* setup = m_state.XelObject();
    if (!relays || !setup)
        return;
    QTreeWidget* list = List(terminalCard);
    for (XelRelay* r : relays->NewEnum()) {
        QTreeWidgetItem* row = RowByKey(list, ItemKey(r->Index()));
        if (!row)
            continue;
        SetTag(row, QString());
        if (!r->InUse())
            continue;
        const RelayFunction::Source src = RelayFunction::Decode(r->FunctionNo());
        QString text;
        QColor colour = WindowText();
        int picture = RowPicture(row);
        switch (src.kind) {
        case RelayFunction::Kind::SwitchInput: {
            XelDigitalIn* d = RelayFunction::SwitchInput(*setup, src.number);
            if (!d)
                continue;
            picture = d->SwitchType() == 1 ? 8 : 5;
            if (!src.warning)
                picture += d->Action() == 2 ? 1 : d->Action() == 3 ? 2 : 0;
            if (!d->Active())
                picture += 6;
            text = RelayFunction::SwitchText(src.number, d->Text());
            r->SetFunctionText(text);
            if (!d->Active()) {
                text += QStringLiteral(" - NOT ACTIVE!");
                colour = kRed;
                SetTag(row, QStringLiteral("NOT ACTIVE"));
            }
            break;
        }
        case RelayFunction::Kind::AnalogInput: {
            XelAnalogIn* a = RelayFunction::AnalogInput(*setup, src.number);
            if (!a)
                continue;
            text = RelayFunction::AnalogText(src.number, a->Text(), RelayFunction::LevelWord(a->Action(), src.warning));
            r->SetFunctionText(text);
            picture = 17 + (a->ActionDirection() == 1 ? 1 : 0);
            switch (a->Action()) {
            case 2: picture += 2; break;
            case 3: picture += 4; break;
            case 4: picture += src.warning ? 0 : 2; break;
            case 5: picture += src.warning ? 0 : 4; break;
            case 6:
            case 7:
            case 8: picture += 6; break;
            default: break;
            }
            if (!a->Active()) {
                picture = a->Action() != 0 ? picture + 8 : 33;
                text += QStringLiteral(" - NOT ACTIVE!");
                colour = kRed;
                SetTag(row, QStringLiteral("NOT ACTIVE"));
            } else if (a->Action() == 0 && a->InputType() < 3) {
                picture = 33;
                text += QStringLiteral(" - NO ACTION!");
                colour = kRed;
                SetTag(row, QStringLiteral("NO ACTION"));
            }
            if (a->InputType() == 4 || a->InputType() == 3) {
                picture = 34;
                text += RelayFunction::BusSuffix(a->InputType());
            }
            break;
        }
        case RelayFunction::Kind::SpeedRelay: {
            XelSpeedRelay* s = RelayFunction::SpeedRelay(*setup, src.number);
            if (!s || !s->InUse()) {
                r->SetFunctionText(QStringLiteral("Speed Relay %1 - NOT ACTIVE!").arg(src.number));
                colour = kRed;
                picture = 4;
                SetTag(row, QStringLiteral("NOT ACTIVE"));
            } else {
                r->SetFunctionText(RelayFunction::SpeedRelayText(src.number, s->RPM()));
                picture = 3;
            }
            text = r->FunctionText();
            break;
        }
        default: {
            // A fixed function keeps its picture, colour and stored text.
            const QString fixed = RelayFunction::FixedText(r->FunctionNo());
            if (fixed != row->text(kFunctionColumn))
                row->setText(kFunctionColumn, fixed);
            continue;
        }
        }
        row->setText(kFunctionColumn, text);
        row->setForeground(kFunctionColumn, colour);
        SetRowPicture(row, picture, m_state.images.imlRelay);
    }
}

void RelaysPage::RefreshRelayLists()
{
    RefreshList(false);
    RefreshList(true);
    GhostRelaysForAnalogInputs();
}

bool RelaysPage::HasPreheatRelay()
{
    XelObject* setup = m_state.XelObject();
    return setup && RelayFunction::AnyRelayUses(*setup, RelayFunction::kPreheat);
}

// ---- ghosting ----

void RelaysPage::GhostRelaysForAnalogInputs()
{
    XelObject* setup = m_state.XelObject();
    bool ghost = false;
    if (setup && setup->AnalogIn()) {
        for (int position = 6; position <= 11 && !ghost; ++position) {
            const XelAnalogIn* a = setup->AnalogIn()->Item(position);
            ghost = a && a->Active() && a->InputType() < 3;
        }
    }
    GhostRelayEntry(ghost);
}

void RelaysPage::GhostRelayEntry(bool ghosted)
{
    const QPalette palette = QApplication::palette();
    const QColor colour = ghosted ? palette.color(QPalette::Disabled, QPalette::Text)
                                  : palette.color(QPalette::ButtonText);
    for (int position = 12; position <= 14; ++position) {
        QTreeWidgetItem* row = lvwRelay->topLevelItem(position - 1);
        if (!row)
            continue;
        row->setData(0, GhostedRole, ghosted);
        row->setForeground(0, colour);
        row->setForeground(kFunctionColumn, colour);
    }
}

// ---- buttons ----

void RelaysPage::ItemClicked(bool terminalCard, QTreeWidgetItem* row)
{
    const XelRelay* entry = EntryOf(terminalCard, row);
    (terminalCard ? cmdRelayNewAdd : cmdRelayAdd)->setEnabled(row && !Ghosted(row));
    (terminalCard ? cmdRelayNewRemove : cmdRelayRemove)->setEnabled(entry && entry->InUse());
}

void RelaysPage::UpdateRelayButtons()
{
    for (bool terminalCard : {false, true}) {
        UpdateRemoveButton(terminalCard);
        (terminalCard ? cmdRelayNewAdd : cmdRelayAdd)->setEnabled(!Ghosted(List(terminalCard)->currentItem()));
    }
}

void RelaysPage::UpdateRemoveButton(bool terminalCard)
{
    const XelRelay* entry = EntryOf(terminalCard, List(terminalCard)->currentItem());
    (terminalCard ? cmdRelayNewRemove : cmdRelayRemove)->setEnabled(entry && entry->InUse());
}

void RelaysPage::DisableRemoveButtons()
{
    cmdRelayRemove->setEnabled(false);
    cmdRelayNewRemove->setEnabled(false);
}

void RelaysPage::FocusRelayNewList() { lvwRelayNew->setFocus(); }

QString RelaysPage::RelayRowText(int list, const QString& key)
{
    QTreeWidgetItem* row = RowByKey(List(list != 0), ItemKey(KeyIndex(key)));
    return row ? row->text(kFunctionColumn) : QString();
}

bool RelaysPage::RelayRowMarked(int list, const QString& key)
{
    return !Tag(RowByKey(List(list != 0), ItemKey(KeyIndex(key)))).isEmpty();
}

// ---- editing ----

void RelaysPage::AddRelayEntry(bool terminalCard, QTreeWidgetItem* row)
{
    QTreeWidget* list = List(terminalCard);
    if (!row)
        row = list->currentItem();
    XelRelay* entry = EntryOf(terminalCard, row);
    if (!entry || !m_state.XelObject())
        return;
    list->setCurrentItem(row);
    frmRelaySelection picker(m_state, m_state.frame ? m_state.frame->MainWindow() : window());
    picker.SetXelObject(m_state.XelObject());
    picker.SetRelayType(terminalCard ? 1 : 0);
    picker.InitEntries(entry->FunctionNo());
    picker.exec();
    if (XelRelay* after = EntryOf(terminalCard, row))
        (terminalCard ? cmdRelayNewRemove : cmdRelayRemove)->setEnabled(after->InUse());
}

void RelaysPage::RelaySelected(bool bNew, const frmRelaySelection& picker)
{
    XelRelay* entry = EntryOf(bNew, List(bNew)->currentItem());
    if (!entry)
        return;
    entry->SetInUse(picker.InUse());
    entry->SetFunctionNo(picker.FunctionNo());
    entry->SetFunctionText(picker.FunctionText());
    ShowSelectedRelay(bNew, *entry);
}

void RelaysPage::RemoveRelayEntry(bool terminalCard)
{
    XelRelay* entry = EntryOf(terminalCard, List(terminalCard)->currentItem());
    if (!entry)
        return;
    entry->SetFunctionNo(0);
    entry->SetFunctionText(QString());
    entry->SetInUse(false);
    (terminalCard ? cmdRelayNewRemove : cmdRelayRemove)->setEnabled(false);
    ShowSelectedRelay(terminalCard, *entry);
    List(terminalCard)->setFocus();
}

void RelaysPage::DoubleClicked(bool terminalCard, QTreeWidgetItem* row)
{
    if (m_state.LastMouseButton != 1 || !row || Ghosted(row))
        return;
    extra::ShowStatusMessage(0);
    AddRelayEntry(terminalCard, row);
}

void RelaysPage::KeyDown(bool terminalCard, int key)
{
    QTreeWidgetItem* row = List(terminalCard)->currentItem();
    if (!row)
        return;
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (!Ghosted(row))
            AddRelayEntry(terminalCard, row);
        return;
    }
    if (key != Qt::Key_Delete)
        return;
    XelRelay* entry = EntryOf(terminalCard, row);
    if (!entry || !entry->InUse())
        return;
    if (ShiftHeld() || m_state.ExpertMode) {
        RemoveRelayEntry(terminalCard);
        return;
    }
    const QVariantList args = terminalCard
        ? QVariantList{QStringLiteral("Relay selected for terminal"), row->text(0)}
        : QVariantList{QStringLiteral("Relay channel"), List(false)->indexOfTopLevelItem(row) + 1};
    if (extra::LangMsgBox(305, 292, args) == platform::MsgResult::Yes)
        RemoveRelayEntry(terminalCard);
}

// ---- drag and drop ----

bool RelaysPage::IsRelayList(const QObject* source) const
{
    return source && (source == lvwRelay || source == lvwRelayNew);
}

Qt::DropAction RelaysPage::HoverEffect(const QObject* source, QTreeWidgetItem* row, Qt::KeyboardModifiers keys) const
{
    if (!IsRelayList(source) || !row || Ghosted(row))
        return Qt::IgnoreAction;
    const bool none = !(keys & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
    return none || keys.testFlag(Qt::ShiftModifier) ? Qt::MoveAction : Qt::CopyAction;
}

void RelaysPage::DropOnRow(const QObject* source, RelayList* target, QTreeWidgetItem* row, const QString& sourceKey,
                           Qt::KeyboardModifiers keys)
{
    // Only the two relay lists of this page may drop here; a switch or analog drag never does.
    if (!IsRelayList(source) || !target || !row || Ghosted(row))
        return;
    const bool targetNew = target->TerminalCard();
    const auto* sourceList = static_cast<const RelayList*>(source);
    const bool sourceNew = sourceList->TerminalCard();
    const bool sameList = sourceList == target;
    XelRelay* targetEntry = EntryOf(targetNew, row);
    if (!targetEntry)
        return;
    const QString key = ItemKey(KeyIndex(sourceKey));
    if (sameList && RowKey(row) == key)
        return;
    cRelay* sourceRelays = Collection(sourceNew);
    XelRelay* sourceEntry = sourceRelays ? sourceRelays->Item(key) : nullptr;
    if (!sourceEntry)
        return;

    enum { Copy, Move, Nothing } mode = Nothing;
    if (keys.testFlag(Qt::ControlModifier))
        mode = Copy;
    else if (!(keys & (Qt::ShiftModifier | Qt::AltModifier)) || keys.testFlag(Qt::ShiftModifier))
        mode = Move;

    if (mode != Nothing) {
        const bool redTarget = row->foreground(kFunctionColumn).color() == kRed;
        if (!ShiftHeld() && !m_state.ExpertMode && targetEntry->InUse() && !redTarget) {
            const QVariant targetName = (targetNew && !sourceNew) ? QVariant(targetEntry->RelayText())
                                                                 : QVariant(int(targetEntry->Index()));
            if (extra::LangMsgBox(mode == Copy ? 303 : 304, 292, {targetName, int(sourceEntry->Index())})
                == platform::MsgResult::No)
                return;
        }
        if (mode == Move) {
            // A move redraws the selected row of the source list empty: make that the row
            // the drag started from, whatever the hover or a click left selected.
            QTreeWidget* from = List(sourceNew);
            from->setCurrentItem(RowByKey(from, key));
            StoreRelays(sourceNew, *sourceEntry, *targetEntry, true);
        } else
            StoreRelays(targetNew, *sourceEntry, *targetEntry, false);
        target->setCurrentItem(row);
    }
    ShowRelayFunction(targetNew, row, *targetEntry);
    // An Alt drop selects nothing; the selected row is then some other entry's and keeps its picture.
    if (mode != Nothing)
        DrawRelayItem(targetNew, *targetEntry, target->currentItem());
    RefreshRelayLists();
    // A move empties the dragged row, which may be its list's selected one, and the target row
    // is now selected: each Remove button follows its list's selected entry.
    UpdateRemoveButton(false);
    UpdateRemoveButton(true);
}

bool RelaysPage::ScrollHover(bool terminalCard, bool down, const QObject* source)
{
    if (!IsRelayList(source))
        return false;
    QScrollBar* bar = List(terminalCard)->verticalScrollBar();
    bar->triggerAction(down ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderSingleStepSub);
    return true;
}
