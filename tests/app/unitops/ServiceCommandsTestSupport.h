#pragma once
// The service commands and their windows against the simulated unit in-process: platform
// doubles (stepped clock, scripted messages), the language texts, a port bound to the unit and
// a stand-in for the main window.
#include "app/pages/MainState.h"
#include "app/pages/PageApis.h"
#include "extra/extra.h"
#include "app/services/modRegistry.h"
#include "app/unitops/ServiceCommands.h"
#include "app/unitops/UnitOps.h"
#include "app/unitops/UnitRegisters.h"
#include "platform/Shell.h"
#include "seriallink/XelCommTesting.h"
#include "tests/common/Doubles.h"
#include "tests/common/WaitFor.h"
#include "tools/ecxsim/SimulatedPort.h"
#include "tools/ecxsim/Unit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTimeZone>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace unitopstest {

class FakeFrame : public FrameApi {
public:
    int optionsShown = 0;
    int backupShown = 0;
    int commSetupShown = 0;
    bool commSetupCancels = true;
    QWidget* MainWindow() override { return nullptr; }
    QIcon WindowIcon() override { return QIcon(); }
    int CurrentTab() override { return 0; }
    void SelectTab(int) override {}
    void SetTabCaption(int, const QString&) override {}
    void ShowTabPage(int) override {}
    void SetPanelText(const QString&, const QString&) override {}
    void SetPanelToolTip(const QString&, const QString&) override {}
    void SetPanelVisible(const QString&, bool) override {}
    void UpdateCaption(const QString&) override {}
    bool ShowCommSetupCancelled() override
    {
        ++commSetupShown;
        if (!commSetupCancels)
            modRegistry::SaveCommPort(1);
        return commSetupCancels;
    }
    void ShowOptions() override { ++optionsShown; }
    bool TransmitSetupToUnit() override { return false; }
    bool ReceiveSetupFromUnit() override { return false; }
    bool CheckChannelDescriptions() override { return true; }
    void ShowBackupSystemSettings() override { ++backupShown; }
};

class RecordingShell : public platform::Shell {
public:
    QStringList opened;
    bool succeeds = true;
    bool OpenDocument(const QString& address) override
    {
        opened << address;
        return succeeds;
    }
    bool ShowHelpIndex(QWidget*, const QString&) override { return true; }
};

using testing_doubles::WhenModal;

inline void Click(QWidget* window, const char* name)
{
    QPushButton* button = window->findChild<QPushButton*>(name);
    ASSERT_NE(button, nullptr) << name;
    button->click();
}

// Lets events run (real time, bounded) until done() holds.
inline bool RunUntil(const std::function<bool()>& done, int limitMs = 3000)
{
    return testing_doubles::RunEventsUntil(done, limitMs);
}

class UnitFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(extra::LoadLanguageLibrary()) << "libXelLan.so not found next to the test";
        XelCommTesting::SetMillisecondsPerSecond(25);
        platform::SerialPort::SetFactory(ecxsim::SimulatedPort::FactoryFor(&unit));
        platform::Shell::SetInstance(&shell);
        modRegistry::SaveCommPort(1);
        state.frame = &frame;
        unitops::SetUnitLinkFrame(&frame);
        unit.SetRegister(ecxsim::Unit::CommandRegister, 0x0100);
    }
    void TearDown() override
    {
        unitops::SetUnitLinkFrame(nullptr);
        platform::Shell::SetInstance(nullptr);
        platform::SerialPort::SetFactory({});
        XelCommTesting::SetMillisecondsPerSecond(1000);
        extra::FreeLanguageLibrary();
    }

    QString Message(quint16 id, const QVariantList& args = {}) const { return extra::FormatLangString(id, args); }
    QStringList Shown() const
    {
        QStringList texts;
        for (const auto& s : doubles.presenter.shown)
            texts << s.text;
        return texts;
    }
    QString Code() const { return unitops::ServiceCode(doubles.system.now.date()); }
    bool Relocked() const { return !unit.Unlocked() && unit.Register(0) == 0; }

    testing_doubles::PlatformDoubles doubles;
    ecxsim::Unit unit;
    RecordingShell shell;
    FakeFrame frame;
    MainState state;
};

} // namespace unitopstest
