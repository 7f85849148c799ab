#include "app/pages/channels/JSelection.h"

#include "app/pages/MainState.h"
#include "app/pages/channels/AnalogShownValue.h"
#include "app/pages/common/PageCommon.h"
#include "app/services/clsADO.h"
#include "app/services/clsJData.h"
#include "extra/extra.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "platform/MessagePresenter.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTreeWidget>

#include <cmath>

namespace jselection {

namespace {

const QString kTitle = QStringLiteral("Quarno Q2");

bool WholeIn(const QVariant& v, qint64 low, qint64 high, qint64& out)
{
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok || !std::isfinite(d) || d != std::trunc(d) || d < double(low) || d > double(high))
        return false;
    out = qint64(d);
    return true;
}

bool IsHex8(const QString& id)
{
    if (id.size() != 8)
        return false;
    for (const QChar c : id)
        if (!(c.isDigit() || (c >= QLatin1Char('A') && c <= QLatin1Char('F'))))
            return false;
    return true;
}

} // namespace

double StoredParameterID(qint32 inputType, const JData& values)
{
    if (inputType == TypeCAN) {
        if (values.lPID < 0 || values.lPID > 0xFFFF || values.lPPID < 0 || values.lPPID > 0xFFFF)
            return 0;
        const double id = extra::HexToValue(extra::ValueToHex(values.lPPID, 4) + extra::ValueToHex(values.lPID, 4));
        if (id == 0)
            return 0;
        // The low four bits of iMID hold the byte position counted from 0.
        return id * 256.0 + double((values.iMID & 15) + 1);
    }
    if (inputType == TypeJ1587) {
        // Each field must stay inside its own bits, or the id names another parameter.
        if (values.lPID < 0 || values.lPID > 255 || values.lPPID < 0 || values.lPPID > 1023)
            return 0;
        return double(values.iMID) * 262144.0 + double(values.lPID) * 1024.0 + double(values.lPPID);
    }
    return 0;
}

bool IdentifierFromRow(qint32 inputType, const QSqlRecord& row, JData& values)
{
    if (inputType == TypeJ1587) {
        qint64 mid = 0, pid = 0, ppid = 0;
        if (!WholeIn(row.value(QStringLiteral("MID")), 0, 255, mid)
            || !WholeIn(row.value(QStringLiteral("PID")), 0, 255, pid)
            || !WholeIn(row.value(QStringLiteral("PPID")), 0, 1023, ppid))
            return false;
        values.iMID = quint8(mid);
        values.lPID = qint32(pid);
        values.lPPID = qint32(ppid);
        return true;
    }
    if (inputType == TypeCAN) {
        qint64 size = 0, position = 0;
        const QString id = row.value(QStringLiteral("ID")).toString().trimmed().toUpper();
        if (!IsHex8(id) || !WholeIn(row.value(QStringLiteral("SIZE")), 0, 15, size)
            || !WholeIn(row.value(QStringLiteral("POSITION")), 1, 16, position))
            return false;
        values.iMID = quint8(size * 16 + position - 1);
        values.lPID = qint32(extra::HexToValue(id.right(4)));
        values.lPPID = qint32(extra::HexToValue(id.left(4)));
        return true;
    }
    return false;
}

QString ParameterName(const QString& rowText)
{
    const int open = rowText.lastIndexOf(QLatin1Char('('));
    return (open < 0 ? rowText : rowText.left(open)).trimmed();
}

void FillJCombo(MainState& state, QComboBox* combo, std::unique_ptr<clsJData>& map, qint32 inputType,
                bool digital)
{
    if (!combo)
        return;
    const QSignalBlocker block(combo);
    combo->clear();
    if (!state.ADO) {
        map = std::make_unique<clsJData>();
        return;
    }
    if (digital)
        state.ADO->FillJComboDigital(combo, map, qint16(inputType));
    else
        state.ADO->FillJComboAnalog(combo, map, qint16(inputType));
    combo->setCurrentIndex(-1);
    const QStringList refused = state.ADO->RefusedJRows();
    if (refused.isEmpty())
        return;
    // Reported once for each set of rows, not at every input shown.
    QStringList& reported = state.ReportedRefusedJRows;
    const QString text = QStringLiteral("The reference database names these parameters twice or with values "
                                        "that do not fit; they are left out of the list:\n")
        + refused.join(QLatin1Char('\n'));
    if (reported.contains(text))
        return;
    reported.append(text);
    platform::MessagePresenter::Instance().Show(text, platform::MsgStyle::Exclamation, kTitle);
}

int StoredPosition(const clsJData* map, qint32 inputType, const JData& values)
{
    const double id = StoredParameterID(inputType, values);
    if (!map || id == 0)
        return -1;
    return map->GetJDataPosition(id);
}

} // namespace jselection

using namespace jselection;

// ---- switch half ------------------------------------------------------------------------------

DigitalJSelection::DigitalJSelection(MainState& state, Controls controls)
    : m_state(state), m_c(std::move(controls))
{
}

DigitalJSelection::~DigitalJSelection()
{
    if (m_state.JDataDigital == m_map.get())
        m_state.JDataDigital = nullptr;
}

XelDigitalIn* DigitalJSelection::SelectedInput() const
{
    XelObject* setup = m_state.XelObject();
    if (!setup || !m_c.lvwDigital || !m_c.lvwDigital->currentItem())
        return nullptr;
    return setup->DigitalIn()->Item(pagecommon::RowKey(m_c.lvwDigital->currentItem()));
}

void DigitalJSelection::ClearMap()
{
    m_map.reset();
    m_state.JDataDigital = nullptr;
}

void DigitalJSelection::FillDigitalJCombo()
{
    FillJCombo(m_state, m_c.cmbDigitalJ, m_map, pagecommon::CurrentItemData(m_c.cmbDigitalInputType, 0), true);
    m_state.JDataDigital = m_map.get();
}

void DigitalJSelection::SelectDigitalJData(XelDigitalIn* input, bool /*flag*/)
{
    if (!input || !m_c.cmbDigitalJ)
        return;
    // Put back what it was: the caller may itself run under the flag.
    pagecommon::ScopedFlag opening(m_state.OpeningSetup);
    m_c.cmbDigitalJ->setCurrentIndex(StoredPosition(m_map.get(), input->InputType(), input->JValues()));
}

void DigitalJSelection::cmbDigitalInputType_Click()
{
    XelDigitalIn* input = SelectedInput();
    if (!input) {
        if (m_c.setPIDChildrenEnabled)
            m_c.setPIDChildrenEnabled(false);
        return;
    }
    if (!m_c.cmbDigitalInputType || m_c.cmbDigitalInputType->currentIndex() < 0)
        return;
    const int type = pagecommon::CurrentItemData(m_c.cmbDigitalInputType, 0);
    if (type < 1) {
        ClearMap();
        if (m_c.setPIDChildrenEnabled)
            m_c.setPIDChildrenEnabled(false);
        if (m_c.conDigitalPID)
            m_c.conDigitalPID->setVisible(false);
    } else {
        FillDigitalJCombo();
        if (m_c.conDigitalPID)
            m_c.conDigitalPID->setVisible(true);
        if (m_c.setPIDChildrenEnabled)
            m_c.setPIDChildrenEnabled(true);
    }
    if (!m_state.OpeningSetup)
        input->SetInputType(type);
    if (m_c.refreshSelectedItemState)
        m_c.refreshSelectedItemState();
}

void DigitalJSelection::cmbDigitalJ_Click()
{
    if (m_state.OpeningSetup || !m_c.cmbDigitalJ)
        return;
    XelDigitalIn* input = SelectedInput();
    const int row = m_c.cmbDigitalJ->currentIndex();
    if (!input || row < 0)
        return;
    const QString name = m_c.cmbDigitalJ->itemText(row);
    const bool mapped = m_map && !m_map->GetJDataHex(row, 10).isEmpty();
    clsADO::Recordset rows;
    if (mapped && m_state.ADO)
        rows = m_state.ADO->GetJFieldsFromIDDigital(*input, m_map->GetJData(row));
    if (!rows.isEmpty()) {
        const QSqlRecord& r = rows.first();
        JData values = input->JValues();
        const qint32 type = input->InputType();
        qint64 timeout = 0, shr = 0;
        const bool timeoutOk = WholeIn(r.value(QStringLiteral("TIMEOUT")), 0, 255, timeout);
        bool ok = timeoutOk;
        if (type == TypeJ1587 || type == TypeCAN)
            ok = ok && IdentifierFromRow(type, r, values) && WholeIn(r.value(QStringLiteral("SHR")), 0, 255, shr);
        if (!ok) {
            // A row that does not fit the record stores nothing; the combo goes back.
            if (m_c.showInputValues)
                m_c.showInputValues(input);
            return;
        }
        if (type == TypeJ1587 || type == TypeCAN)
            values.iShr = quint8(shr);
        values.iTimeout = quint8(timeout);
        input->SetJValues(values);
    }
    if (m_c.txtDigitalDescription)
        m_c.txtDigitalDescription->setText(name);
    if (m_c.showInputValues)
        m_c.showInputValues(input);
}

// ---- analog half ------------------------------------------------------------------------------

AnalogJSelection::AnalogJSelection(MainState& state, Controls controls)
    : m_state(state), m_c(std::move(controls))
{
}

AnalogJSelection::~AnalogJSelection()
{
    if (m_state.JDataAnalog == m_map.get())
        m_state.JDataAnalog = nullptr;
}

XelAnalogIn* AnalogJSelection::SelectedInput() const
{
    XelObject* setup = m_state.XelObject();
    if (!setup || !m_c.lvwAnalog || !m_c.lvwAnalog->currentItem())
        return nullptr;
    return setup->AnalogIn()->Item(pagecommon::RowKey(m_c.lvwAnalog->currentItem()));
}

void AnalogJSelection::ClearMap()
{
    m_map.reset();
    m_state.JDataAnalog = nullptr;
}

void AnalogJSelection::FillAnalogJCombo()
{
    FillJCombo(m_state, m_c.cmbAnalogJ, m_map, pagecommon::CurrentItemData(m_c.cmbAnalogInputType, 0), false);
    m_state.JDataAnalog = m_map.get();
}

void AnalogJSelection::SelectAnalogJData(XelAnalogIn* input, bool /*flag*/)
{
    if (!input || !m_c.cmbAnalogJ)
        return;
    pagecommon::ScopedFlag opening(m_state.OpeningSetup);
    const int row = StoredPosition(m_map.get(), input->InputType(), input->JValues());
    m_c.cmbAnalogJ->setCurrentIndex(row);
    if (row < 0)
        return;
    // The row found is the stored parameter: its offset is the one the limits are shown with.
    const double offset = modAnalog::ParameterOffset(m_state.ADO, *input);
    if (m_c.showSensorRange)
        m_c.showSensorRange(modAnalog::ShownValue(input->SensorMin(), offset), modAnalog::ShownValue(input->SensorMax(), offset));
}

void AnalogJSelection::cmbAnalogInputType_Click()
{
    XelAnalogIn* input = SelectedInput();
    if (!input) {
        if (m_c.setSensorRangeLocked)
            m_c.setSensorRangeLocked(false);
        if (m_c.setPIDChildrenEnabled)
            m_c.setPIDChildrenEnabled(false);
        if (m_c.showAnalogInput)
            m_c.showAnalogInput();
        return;
    }
    if (!m_c.cmbAnalogInputType || m_c.cmbAnalogInputType->currentIndex() < 0)
        return;
    const int type = pagecommon::CurrentItemData(m_c.cmbAnalogInputType, 0);
    auto setVisible = [](QWidget* w, bool visible) {
        if (w)
            w->setVisible(visible);
    };
    if (type > 2) {
        FillAnalogJCombo();
        setVisible(m_c.conAnalogPID, true);
        if (m_c.setPIDChildrenEnabled)
            m_c.setPIDChildrenEnabled(true);
        if (m_c.setSensorRangeLocked)
            m_c.setSensorRangeLocked(true);
        setVisible(m_c.conAnalogAlarmSetpoint0, false);
        setVisible(m_c.conAnalogAlarmSetpoint1, false);
        setVisible(m_c.graRPMDependentAlarm, false);
    } else {
        if (m_c.setPIDChildrenEnabled)
            m_c.setPIDChildrenEnabled(false);
        setVisible(m_c.conAnalogPID, false);
        if (m_c.setSensorRangeLocked)
            m_c.setSensorRangeLocked(false);
        setVisible(m_c.conAnalogAlarmSetpoint0, false);
        setVisible(m_c.conAnalogAlarmSetpoint1, false);
        const qint32 action = input->Action();
        setVisible(m_c.graRPMDependentAlarm, action >= 6 && action <= 8);
        ClearMap();
    }
    if (m_c.fillActionCombo) {
        // The refill leaves the flag as it found it.
        pagecommon::ScopedFlag keep(m_state.OpeningSetup, m_state.OpeningSetup);
        XelObject* setup = m_state.XelObject();
        m_c.fillActionCombo(setup ? setup->Main()->OperationMode() : 0, type, input);
    }
    if (!m_state.OpeningSetup) {
        if (!pagecommon::ShiftHeld() && !m_state.ExpertMode && m_c.showSwitchSetting) {
            const qint32 old = input->InputType();
            if (type != old && type == 2)
                m_c.showSwitchSetting(1);
            else if (old == 2 && (type == 0 || type == 1))
                m_c.showSwitchSetting(2);
        }
        input->SetInputType(type);
    }
    if (m_c.showAnalogInput)
        m_c.showAnalogInput();
}

void AnalogJSelection::cmbAnalogJ_Click()
{
    if (m_state.OpeningSetup || !m_c.cmbAnalogJ)
        return;
    XelAnalogIn* input = SelectedInput();
    const int row = m_c.cmbAnalogJ->currentIndex();
    if (!input || row < 0)
        return;
    const QString name = ParameterName(m_c.cmbAnalogJ->itemText(row));
    const bool mapped = m_map && !m_map->GetJDataHex(row, 10).isEmpty();
    clsADO::Recordset rows;
    if (mapped && m_state.ADO)
        rows = m_state.ADO->GetJFieldsFromIDAnalog(*input, m_map->GetJData(row));
    if (!rows.isEmpty()) {
        const QSqlRecord& r = rows.first();
        JData values = input->JValues();
        const qint32 type = input->InputType();
        qint64 size = 0, timeout = 0;
        bool ok = WholeIn(r.value(QStringLiteral("SIZE")), 0, 255, size)
            && WholeIn(r.value(QStringLiteral("TIMEOUT")), 0, 255, timeout);
        if (type == TypeJ1587 || type == TypeCAN)
            ok = ok && IdentifierFromRow(type, r, values);
        qint32 minX10 = 0, maxX10 = 0, error = 0;
        quint8 shift = values.iShr, multiplier = values.iSub;
        if (ok) {
            ok = extra::ComputeScaling(qint32(size), r.value(QStringLiteral("RESOLUTION")).toDouble(),
                                       r.value(QStringLiteral("OFFSET")).toDouble(),
                                       r.value(QStringLiteral("MAX")).toDouble(), minX10, maxX10, shift,
                                       multiplier, error);
            if (!ok && error != -23)
                platform::MessagePresenter::Instance().Show(QStringLiteral("Error ") + QString::number(error),
                                                            platform::MsgStyle::OKOnly, kTitle);
        }
        if (!ok) {
            // Nothing is stored; the combo goes back to the input's own parameter.
            if (m_c.showInputValues)
                m_c.showInputValues(input);
            return;
        }
        values.iTimeout = quint8(timeout);
        values.iShr = shift;
        values.iSub = multiplier;
        const qint32 oldMin = input->SensorMin(), oldMax = input->SensorMax();
        input->SetSensorMin(minX10);
        input->SetSensorMax(maxX10);
        if (input->SensorMin() != minX10 || input->SensorMax() != maxX10) {
            // The input cannot hold this range: keep the input as it was rather than store a
            // parameter with the wrong scaling.
            input->SetSensorMin(oldMin);
            input->SetSensorMax(oldMax);
            platform::MessagePresenter::Instance().Show(
                QStringLiteral("The value range of this parameter does not fit the input. Nothing was stored."),
                platform::MsgStyle::Exclamation, kTitle);
            if (m_c.showInputValues)
                m_c.showInputValues(input);
            return;
        }
        input->SetUnits(r.value(QStringLiteral("UNITS")).toString());
        input->SetJValues(values);
    }
    if (m_c.txtAnalogDescription)
        m_c.txtAnalogDescription->setText(name);
    if (m_c.showInputValues)
        m_c.showInputValues(input);
}

void AnalogJSelection::cmbAnalogJ_KeyDown(int keyCode, int /*shift*/)
{
    if (keyCode == 13 && m_c.cmbAnalogJ && m_c.txtAnalogDescription)
        m_c.txtAnalogDescription->setText(m_c.cmbAnalogJ->currentText());
}
