#include "app/pages/general/frmRelaySelection.h"

#include "app/pages/MainState.h"
#include "app/pages/PageApis.h"
#include "app/pages/common/PageCommon.h"
#include "app/pages/general/RelayFunction.h"
#include "extra/extra.h"
#include "app/services/modDiv.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelEnums.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "datamodel/XelSpeedRelay.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "datamodel/cSpeedRelay.h"
#include "platform/DialogFrame.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Design-time pictures of the relay image list.
constexpr int kEvent = 1;
constexpr int kAlarm = 2;
constexpr int kRelay = 3;

int KindPicture(const QString& kind) { return kind == QLatin1String("ALARM") ? kAlarm : kEvent; }

// Runs of fixed-function texts, in ascending id order, with their kind.
struct FixedRun {
    int first, last;
    bool canOnly;
};
constexpr FixedRun kFixedRuns[] = {
    {5118, 5127, false}, {5135, 5137, false}, {5138, 5157, false},
    {5162, 5169, false}, {5170, 5173, true},  {5174, 5175, false},
};

} // namespace

frmRelaySelection::frmRelaySelection(MainState& state, QWidget* parent)
    : QDialog(parent), m_state(state), m_setup(state.XelObject())
{
    platform::SetSmallDialogFrame(this);
    setObjectName(QStringLiteral("frmRelaySelection"));
    setWindowTitle(QStringLiteral("Select Relay Function"));
    if (state.frame)
        setWindowIcon(state.frame->WindowIcon());
    // A copy of the main window's relay pictures.
    m_imlRelay = state.images.imlRelay;

    lvwRelaySelection = new QTreeWidget(this);
    lvwRelaySelection->setObjectName(QStringLiteral("lvwRelaySelection"));
    lvwRelaySelection->setColumnCount(1);
    lvwRelaySelection->setHeaderHidden(true);
    lvwRelaySelection->setRootIsDecorated(false);
    lvwRelaySelection->setUniformRowHeights(true);
    lvwRelaySelection->viewport()->installEventFilter(this);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lvwRelaySelection);
    layout->addLayout(buttons);
    resize(420, 480);

    connect(cmdOK, &QPushButton::clicked, this, &frmRelaySelection::OnOK);
    connect(cmdCancel, &QPushButton::clicked, this, &frmRelaySelection::reject);
    connect(lvwRelaySelection, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* row) {
                if (m_lastButton == int(Qt::LeftButton))
                    AcceptEntry(row);
            });
}

qint32 frmRelaySelection::ItemCount() const { return lvwRelaySelection->topLevelItemCount(); }

qint32 frmRelaySelection::ItemHeight() const
{
    if (lvwRelaySelection->topLevelItemCount() < 2)
        return 0;
    const QRect first = lvwRelaySelection->visualItemRect(lvwRelaySelection->topLevelItem(0));
    const QRect second = lvwRelaySelection->visualItemRect(lvwRelaySelection->topLevelItem(1));
    return second.top() - first.top();
}

void frmRelaySelection::AddEntry(const QString& key, const QString& text, int picture)
{
    // A key already listed (a damaged setup with two items of one index) is offered once.
    if (pagecommon::RowByKey(lvwRelaySelection, key))
        return;
    pagecommon::AddRow(lvwRelaySelection, key, text, picture, m_imlRelay);
}

void frmRelaySelection::InitEntries(qint16 functionNo)
{
    using namespace RelayFunction;
    lvwRelaySelection->clear();
    ::XelObject* setup = m_setup;

    if (setup && setup->DigitalIn()) {
        for (const XelDigitalIn* d : *setup->DigitalIn()) {
            if (!d->Active())
                continue;
            const int code = SwitchCode(d->Index(), d->Action());
            if (code == 0)
                continue;
            int picture = d->SwitchType() == qint32(DigitalSwitchTypeType::NormallyOpen) ? 8 : 5;
            if (d->Action() == qint32(DigitalActionType::Alarm))
                picture += 1;
            else if (d->Action() == qint32(DigitalActionType::Shutdown))
                picture += 2;
            AddEntry(QStringLiteral("D") + QString::number(code), SwitchText(d->Index(), d->Text()),
                     picture);
        }
    }

    if (setup && setup->AnalogIn()) {
        for (const XelAnalogIn* a : *setup->AnalogIn()) {
            const qint32 action = a->Action();
            const qint32 type = a->InputType();
            const bool bus = type == qint32(AnalogInputType::CAN) || type == qint32(AnalogInputType::J1587);
            if (!a->Active() || (action == qint32(AnalogActionType::None) && !bus))
                continue;
            // Channels 12 to 17 of the CAN option have no code of their own.
            const QVector<AnalogOffer> offers = AnalogCodes(a->Index(), action);
            if (offers.isEmpty())
                continue;
            const bool below = a->ActionDirection() == qint32(AnalogActionDirection::BelowLimit);

            int picture = 17;
            switch (AnalogActionType(action)) {
            case AnalogActionType::Alarm: picture += 2; break;
            case AnalogActionType::Shutdown: picture += 4; break;
            case AnalogActionType::RPMDependentAlarm:
            case AnalogActionType::RPMDependentWarning:
            case AnalogActionType::RPMDependentShutdown: picture += 6; break;
            default: break;
            }
            if (below)
                picture += 1;
            QString text = AnalogText(a->Index(), a->Text(), offers[0].level);
            if (bus) {
                picture = 34;
                text += BusSuffix(type);
            }
            AddEntry(QStringLiteral("A") + QString::number(offers[0].code), text, picture);

            if (offers.size() > 1) {
                int second = action == qint32(AnalogActionType::WarningAlarm) ? 19 : 21;
                if (below)
                    second += 1;
                AddEntry(QStringLiteral("A") + QString::number(offers[1].code),
                         AnalogText(a->Index(), a->Text(), offers[1].level), second);
            }
        }
    }

    if (setup && setup->SpeedRelays()) {
        for (const XelSpeedRelay* s : *setup->SpeedRelays()) {
            // Only the speed relay codes themselves: any other stored number would come
            // back as a different function, or as an in-use relay with code 0.
            if (!s->InUse() || Decode(s->FunctionNo()).kind != Kind::SpeedRelay)
                continue;
            AddEntry(QStringLiteral("S") + QString::number(s->FunctionNo()),
                     SpeedRelayText(s->Index(), s->RPM()), kRelay);
        }
    }

    const bool can = setup && setup->Main() && setup->Main()->CAN();
    std::unique_ptr<modDiv::SortedEntries> fixed;
    for (const FixedRun& run : kFixedRuns) {
        if (run.canOnly && !can)
            continue;
        for (int id = run.first; id <= run.last; ++id) {
            if (!extra::LangStringExists(quint16(id)))
                continue;
            QString text = extra::GetLangString(quint16(id));
            if (text.trimmed().isEmpty())
                continue;
            if (text.startsWith(QLatin1Char('!')))
                text.remove(0, 1);
            const int code = id - kTextBase;
            modDiv::SortedEntry entry;
            entry.insert(QStringLiteral("INDEX"), code);
            entry.insert(QStringLiteral("DATA"), text);
            entry.insert(QStringLiteral("TYPE"), FixedKind(code));
            modDiv::AddSortedEntry(fixed, entry, QStringLiteral("DATA"), QString());
        }
    }
    if (fixed) {
        for (qint32 i = 1; i <= fixed->Count(); ++i) {
            const modDiv::SortedEntry* e = fixed->Item(i);
            AddEntry(QStringLiteral("*") + e->value(QStringLiteral("INDEX")).toString(),
                     e->value(QStringLiteral("DATA")).toString(),
                     KindPicture(e->value(QStringLiteral("TYPE")).toString()));
        }
    }

    if (functionNo != 0) {
        const QString key = SelectionKey(functionNo);
        if (QTreeWidgetItem* row = key.isEmpty() ? nullptr : pagecommon::RowByKey(lvwRelaySelection, key))
            pagecommon::SelectRow(lvwRelaySelection, row);
        const QList<QTreeWidgetItem*> selected = lvwRelaySelection->selectedItems();
        if (!selected.isEmpty())
            lvwRelaySelection->scrollToItem(selected.first());
        cmdOK->setEnabled(true);
    }
    lvwRelaySelection->setFocus();
}

void frmRelaySelection::AcceptEntry(QTreeWidgetItem* row)
{
    if (!row) {
        reject();
        return;
    }
    const int code = RelayFunction::KeyCode(pagecommon::RowKey(row));
    if (code == 0) {
        // A row without a code would store an in-use relay that does nothing.
        reject();
        return;
    }
    m_inUse = true;
    m_functionNo = quint8(code);
    m_functionText = row->text(0);
    m_cancelled = false;
    const bool bNew = m_relayType != 0;
    if (m_state.relaysPage)
        m_state.relaysPage->RelaySelected(bNew, *this);
    emit RelaySelected(bNew);
    accept();
}

void frmRelaySelection::OnOK()
{
    QTreeWidgetItem* row = nullptr;
    const QList<QTreeWidgetItem*> selected = lvwRelaySelection->selectedItems();
    if (!selected.isEmpty())
        row = selected.first();
    AcceptEntry(row);
}

void frmRelaySelection::reject()
{
    m_cancelled = true;
    QDialog::reject();
}

bool frmRelaySelection::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lvwRelaySelection->viewport()) {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            m_lastButton = int(static_cast<QMouseEvent*>(event)->button());
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto* me = static_cast<QMouseEvent*>(event);
            cmdOK->setEnabled(lvwRelaySelection->itemAt(me->position().toPoint()) != nullptr);
        }
    }
    return QDialog::eventFilter(watched, event);
}
