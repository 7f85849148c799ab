#pragma once
// Unit operations against the simulated unit: the platform doubles, the unit bound in-process
// to every port the program opens, the language library, a default setup and a stand-in frame.
#include "app/frame/DefaultSetup.h"
#include "app/frame/MainState.h"
#include "app/pages/PageApis.h"
#include "app/services/extra/extra.h"
#include "app/services/modRegistry.h"
#include "app/unitops/UnitOps.h"
#include "app/unitops/UnitRegisters.h"
#include "app/unitops/frmComm.h"
#include "datamodel/XelObject.h"
#include "seriallink/XelCommTesting.h"
#include "tests/common/Doubles.h"
#include "tools/ecxsim/SimulatedPort.h"
#include "tools/ecxsim/Unit.h"

#include <QApplication>
#include <QIcon>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace unitops_test {

using ecxsim::Unit;

// The frame as the unit operations see it; records what they ask of it.
class FakeFrame : public FrameApi {
public:
    explicit FakeFrame(MainState& state) : m_state(state) {}
    int tab = 0;
    QList<int> selectedTabs;
    bool portDialogCancelled = true;
    int portDialogs = 0;
    int portChosen = 1; // stored when the port dialog is not cancelled
    bool channelDescriptionsOk = true;
    int channelChecks = 0;
    QStringList transmits; // firmware of each TransmitSetupToUnitFor
    int backupWindows = 0;
    // What the transmit does: build the image and run the dialog, as the frame does.
    bool runTransfer = true;

    QWidget* MainWindow() override { return nullptr; }
    QIcon WindowIcon() override { return {}; }
    int CurrentTab() override { return tab; }
    void SelectTab(int t) override { selectedTabs << t; tab = t; }
    void SetTabCaption(int, const QString&) override {}
    void ShowTabPage(int) override {}
    void SetPanelText(const QString&, const QString&) override {}
    void SetPanelToolTip(const QString&, const QString&) override {}
    void SetPanelVisible(const QString&, bool) override {}
    void UpdateCaption(const QString&) override {}
    bool ShowCommSetupCancelled() override
    {
        ++portDialogs;
        if (!portDialogCancelled)
            modRegistry::SaveCommPort(qint16(portChosen));
        return portDialogCancelled;
    }
    void ShowOptions() override {}
    bool TransmitSetupToUnit() override { return TransmitSetupToUnitFor(unitops::ReadUnitVersion(true)); }
    bool TransmitSetupToUnitFor(const QString& firmware) override
    {
        transmits << firmware;
        if (!runTransfer)
            return false;
        if (!m_state.XelObject()->CreateSetup(firmware))
            return false;
        return unitops::RunSetupTransfer(m_state, 0, firmware);
    }
    bool ReceiveSetupFromUnit() override { return unitops::RunSetupTransfer(m_state, 1); }
    void ShowBackupSystemSettings() override { ++backupWindows; }
    bool CheckChannelDescriptions() override
    {
        ++channelChecks;
        return channelDescriptionsOk;
    }

private:
    MainState& m_state;
};

// Presses OK on a transfer dialog once its transfer has ended, as the user would; keeps what
// the dialog showed.
class TransferDialogCloser : public QObject {
public:
    TransferDialogCloser()
    {
        timer.setInterval(1);
        QObject::connect(&timer, &QTimer::timeout, [this] { Poll(); });
        timer.start();
    }
    struct Seen {
        QVector<int> steps;
        QString summary;
        bool success = false;
    };
    QList<Seen> closed;

private:
    void Poll()
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* d = qobject_cast<frmComm*>(w);
            if (!d || !d->isVisible() || !d->Finished() || d->IsBusy())
                continue;
            Seen seen;
            for (int i = 0; i < 5; ++i)
                seen.steps << d->StepState(i);
            seen.summary = d->findChild<QPlainTextEdit*>("txtCommSummary")->toPlainText();
            seen.success = d->Success();
            closed << seen;
            d->findChild<QPushButton*>("cmdOK")->click();
        }
    }
    QTimer timer;
};

// What the program put on the line, over every port it opened (each link's port is gone
// when the link ends).
struct Wire {
    QList<QByteArray> writes;
    int portNumber = 0;
    QString settings;
};

class RecordingPort : public ecxsim::SimulatedPort {
public:
    RecordingPort(Unit* unit, std::shared_ptr<Wire> wire) : SimulatedPort(unit), m_wire(std::move(wire)) {}
    bool Open(int portNumber, const QString& settings) override
    {
        m_wire->portNumber = portNumber;
        m_wire->settings = settings;
        return SimulatedPort::Open(portNumber, settings);
    }
    bool Write(const QByteArray& bytes) override
    {
        m_wire->writes << bytes;
        return SimulatedPort::Write(bytes);
    }

private:
    std::shared_ptr<Wire> m_wire;
};

// Binds every port the program opens to unit; returns the record of the line.
inline std::shared_ptr<Wire> Bind(Unit& unit)
{
    auto wire = std::make_shared<Wire>();
    Unit* u = &unit;
    platform::SerialPort::SetFactory([u, wire]() -> std::unique_ptr<platform::SerialPort> {
        return std::make_unique<RecordingPort>(u, wire);
    });
    return wire;
}

class UnitOpsTest : public ::testing::Test {
protected:
    testing_doubles::PlatformDoubles doubles;
    Unit unit;
    std::shared_ptr<Wire> wire;
    std::unique_ptr<XelObject> setup;
    MainState state;
    FakeFrame frame{state};

    void SetUp() override
    {
        ASSERT_TRUE(extra::LoadLanguageLibrary());
        XelCommTesting::SetMillisecondsPerSecond(20);
        XelCommTesting::ResetPackageStamp();
        wire = Bind(unit);
        modRegistry::SaveCommPort(1);
        unit.SetCommandDelay(0);
        setup = CreateDefaultSetupDocument();
        state.SetXelObject(setup.get());
        state.frame = &frame;
        unitops::SetUnitLinkFrame(&frame);
    }
    void TearDown() override
    {
        unitops::SetUnitLinkFrame(nullptr);
        platform::SerialPort::SetFactory({});
        XelCommTesting::SetMillisecondsPerSecond(1000);
        extra::FreeLanguageLibrary();
    }

    // Every message shown, as language message ids where the text is one of them.
    bool Shown(quint16 id, const QVariantList& args = {}) const
    {
        const QString text = extra::FormatLangString(id, args);
        for (const auto& s : doubles.presenter.shown)
            if (s.text == text)
                return true;
        return false;
    }
    int ShownCount() const { return int(doubles.presenter.shown.size()); }
    // A pattern of register values with register 0 left alone.
    void FillRegisters(int from, int count, quint16 seed)
    {
        for (int i = from; i < from + count; ++i)
            unit.SetRegister(i, quint16((i * 40503u + seed) & 0xFFFF));
    }
};

} // namespace unitops_test
