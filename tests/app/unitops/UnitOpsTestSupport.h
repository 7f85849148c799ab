#pragma once
// Unit operations against the simulated unit: platform doubles, the unit bound to every port
// the program opens, the language library, a default setup and a stand-in frame.
#include "app/setupdefaults/DefaultSetup.h"
#include "app/pages/MainState.h"
#include "app/pages/PageApis.h"
#include "extra/extra.h"
#include "app/services/modRegistry.h"
#include "app/unitops/UnitOps.h"
#include "app/unitops/UnitRegisters.h"
#include "app/unitops/frmComm.h"
#include "datamodel/XelObject.h"
#include "seriallink/XelCommTesting.h"
#include "tests/common/Doubles.h"
#include "tests/common/WaitFor.h"
#include "tools/ecxsim/SimulatedPort.h"
#include "tools/ecxsim/Unit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace unitops_test {

using ecxsim::Unit;

class FakeFrame : public FrameApi {
public:
    explicit FakeFrame(MainState& state) : m_state(state) {}
    int tab = 0, portDialogs = 0, backupWindows = 0;
    QList<int> selectedTabs;
    bool portDialogCancelled = true, channelDescriptionsOk = true, runTransfer = true;
    QStringList transmits; // firmware of each transmit
    std::function<void()> onBackupWindow;
    std::function<void()> onRecord; // where the frame saves the verified transfer's record

    QWidget* MainWindow() override { return nullptr; }
    QIcon WindowIcon() override { return {}; }
    int CurrentTab() override { return tab; }
    void SelectTab(int t) override { selectedTabs << t; }
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
            modRegistry::SaveCommPort(1);
        return portDialogCancelled;
    }
    void ShowOptions() override {}
    bool TransmitSetupToUnit() override { return TransmitSetupToUnitFor(unitops::ReadUnitVersion(true)); }
    // As the frame does: build the image for the firmware, then the transfer dialog.
    bool TransmitSetupToUnitFor(const QString& firmware) override
    {
        transmits << firmware;
        const bool sent =
            runTransfer && m_state.XelObject()->CreateSetup(firmware) && unitops::RunSetupTransfer(m_state, 0, firmware);
        if (sent && onRecord)
            onRecord();
        return sent;
    }
    bool ReceiveSetupFromUnit() override { return unitops::RunSetupTransfer(m_state, 1); }
    bool CheckChannelDescriptions() override { return channelDescriptionsOk; }
    void ShowBackupSystemSettings() override
    {
        ++backupWindows;
        if (onBackupWindow)
            onBackupWindow();
    }

private:
    MainState& m_state;
};

// What the program put on the line over every port it opened (a link's port goes with it).
struct Wire {
    QList<QByteArray> writes;
    std::function<void(const QByteArray&)> onWrite; // before the unit hears it
    int portNumber = 0;
    QString settings;
};

class RecordingPort : public ecxsim::SimulatedPort {
public:
    RecordingPort(Unit* unit, std::shared_ptr<Wire> wire) : SimulatedPort(unit), m_wire(std::move(wire)) {}
    bool Open(int port, const QString& settings) override
    {
        m_wire->portNumber = port;
        m_wire->settings = settings;
        return SimulatedPort::Open(port, settings);
    }
    bool Write(const QByteArray& bytes) override
    {
        m_wire->writes << bytes;
        if (m_wire->onWrite)
            m_wire->onWrite(bytes);
        return SimulatedPort::Write(bytes);
    }

private:
    std::shared_ptr<Wire> m_wire;
};

inline std::shared_ptr<Wire> Bind(Unit& unit)
{
    auto wire = std::make_shared<Wire>();
    platform::SerialPort::SetFactory(
        [u = &unit, wire]() -> std::unique_ptr<platform::SerialPort> { return std::make_unique<RecordingPort>(u, wire); });
    return wire;
}

// Presses OK on a transfer dialog once its transfer has ended, as the user would.
class TransferDialogCloser {
public:
    TransferDialogCloser()
    {
        timer.setInterval(1);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<frmComm*>(w); d && d->isVisible() && d->Finished() && !d->IsBusy())
                    d->findChild<QPushButton*>("cmdOK")->click();
        });
        timer.start();
    }
    QTimer timer;
};

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
        wire = Bind(unit);
        modRegistry::SaveCommPort(1);
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
    bool Shown(quint16 id, const QVariantList& args = {}) const
    {
        const QString text = extra::FormatLangString(id, args);
        return std::any_of(doubles.presenter.shown.begin(), doubles.presenter.shown.end(),
                           [&](const auto& s) { return s.text == text; });
    }
    int ShownCount() const { return int(doubles.presenter.shown.size()); }
    // Shows a transfer dialog (no exec) and waits until its transfer has ended.
    std::unique_ptr<frmComm> RunDialog(int commType, const QString& firmware = {})
    {
        auto d = std::make_unique<frmComm>(state);
        d->SetCommType(qint16(commType));
        d->SetXelObject(state.XelObject());
        d->SetFirmware(firmware);
        d->show();
        EXPECT_TRUE(testing_doubles::RunEventsUntil([&] { return d->Finished(); })) << "the transfer did not end";
        return d;
    }
    static QVector<int> Marks(const frmComm& d)
    {
        QVector<int> s;
        for (int i = 0; i < 5; ++i)
            s << d.StepState(i);
        return s;
    }
    static QString Summary(const frmComm& d) { return d.findChild<QPlainTextEdit*>("txtCommSummary")->toPlainText(); }
};

} // namespace unitops_test
