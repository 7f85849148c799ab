#pragma once
// What the tests of the Main, Standby Operation, Battery and Info. pages share: the platform
// doubles, a default setup with the shipped reference database, and recording stand-ins for
// the frame and the pages built elsewhere.
#include "app/setupdefaults/DefaultSetup.h"
#include "app/pages/MainState.h"
#include "app/pages/PageApis.h"
#include "app/services/clsADO.h"
#include "extra/extra.h"
#include "datamodel/XelObject.h"
#include "platform/FileDialogs.h"
#include "tests/common/Doubles.h"
#include "tests/common/ServiceDoubles.h"

#include <QIcon>
#include <QList>
#include <QMap>
#include <QStringList>

#include <gtest/gtest.h>
#include <memory>

#include <ostream>

// Readable failure output for texts.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
QT_END_NAMESPACE

namespace generaltest {

class FakeFrame : public FrameApi {
public:
    int tab = TabMain;
    QMap<QString, QString> panelText, panelTip;
    QMap<QString, bool> panelVisible;
    QMap<int, QString> tabCaption;
    QWidget* MainWindow() override { return nullptr; }
    QIcon WindowIcon() override { return QIcon(); }
    int CurrentTab() override { return tab; }
    void SelectTab(int t) override { tab = t; }
    void SetTabCaption(int t, const QString& caption) override { tabCaption[t] = caption; }
    void ShowTabPage(int) override {}
    void SetPanelText(const QString& key, const QString& text) override { panelText[key] = text; }
    void SetPanelToolTip(const QString& key, const QString& text) override { panelTip[key] = text; }
    void SetPanelVisible(const QString& key, bool visible) override { panelVisible[key] = visible; }
    void UpdateCaption(const QString&) override {}
    bool ShowCommSetupCancelled() override { return false; }
    void ShowOptions() override {}
    bool TransmitSetupToUnit() override { return false; }
    bool ReceiveSetupFromUnit() override { return false; }
    bool CheckChannelDescriptions() override { return true; }
};

// Records the calls the Main page makes on the input pages.
class FakeSwitchPage : public SwitchPageApi {
public:
    QStringList calls;
    void SetDigitalDefaults() override {}
    void SetDigitalInAdditionalDefaults() override {}
    void LoadDigital() override {}
    bool ValidateDigital() override { return true; }
    void RefreshDigitalList() override {}
    void UpdateDigitalListItem(int) override {}
    void UpdateDigitalCount() override {}
    void ShowSelectedDigitalInput() override {}
    void SetDetailsEnabled(bool) override {}
    void FillDigitalInputTypeCombo(int list, bool flag) override
    {
        calls << QStringLiteral("FillDigitalInputTypeCombo(%1,%2)").arg(list).arg(flag);
    }
    void DigitalOperationModeChanged(bool emergency) override
    {
        calls << QStringLiteral("DigitalOperationModeChanged(%1)").arg(emergency);
    }
    void RefreshDigitalInAdditional() override {}
    void FillDigitalInAdditionalCombo() override { calls << QStringLiteral("FillDigitalInAdditionalCombo"); }
    int DigitalPictureIndex(int) override { return 0; }
    void SetActiveCheckEnabled(bool) override {}
};

class FakeAnalogPage : public AnalogPageApi {
public:
    QStringList calls;
    void SetAnalogDefaults() override {}
    void LoadAnalog() override {}
    bool ValidateAnalog(int) override { return true; }
    void RefreshAnalogList() override { calls << QStringLiteral("RefreshAnalogList"); }
    void UpdateAnalogListItem(int) override {}
    void UpdateAnalogCount() override {}
    void ShowSelectedAnalogInput() override {}
    void SetDetailsEnabled(bool enabled) override { calls << QStringLiteral("SetDetailsEnabled(%1)").arg(enabled); }
    void FillAnalogInputTypeCombo(int list, bool flag) override
    {
        calls << QStringLiteral("FillAnalogInputTypeCombo(%1,%2)").arg(list).arg(flag);
    }
    void AnalogCANChanged(bool on) override { calls << QStringLiteral("AnalogCANChanged(%1)").arg(on); }
    void AnalogOperationModeChanged(bool emergency) override
    {
        calls << QStringLiteral("AnalogOperationModeChanged(%1)").arg(emergency);
    }
    void SetSensorRangeLocked(bool locked) override { calls << QStringLiteral("SetSensorRangeLocked(%1)").arg(locked); }
    int AnalogPictureIndex(int) override { return 0; }
    void LimitUnitsText(int) override {}
    void SetActiveCheckEnabled(bool) override {}
};

class FakeSpeedSensorPage : public SpeedSensorPageApi {
public:
    QStringList calls;
    QString nomMaxCaption;
    void SetSpeedSensorDefaults() override {}
    void SetSpeedRelaysDefaults() override {}
    void LoadSpeedSensor() override {}
    void LoadSpeedRelays() override {}
    bool ValidateSpeedSensor() override { return true; }
    void UpdateSpeedingLabel() override {}
    void FillAdditionalRunDetection() override {}
    void FillSpeedRelays() override {}
    void SetPickupFramesEnabled(bool) override {}
    void ShowTabPage() override {}
    bool RunDetectionAvailable() override { return true; }
    QString RPMSenderName(int) override { return QString(); }
    QString PulsesCaption(int) override { return QString(); }
    void SetPickupEngineDataEntries(bool on) override
    {
        calls << QStringLiteral("SetPickupEngineDataEntries(%1)").arg(on);
    }
    void SetNomMaxCaption(const QString& caption) override { nomMaxCaption = caption; }
};

// Answers the file dialogs from a script: each entry is a chosen path, "" for a cancel.
using ScriptedFileDialogs = testing_doubles::QueuedFileDialogs;

// Platform doubles, the language library, the shipped database and a default setup.
class PageFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(extra::LoadLanguageLibrary());
        bool ok = false;
        ado.InitDatabase(QString(), ok);
        ASSERT_TRUE(ok) << "the shipped reference database is missing";
        state.ADO = &ado;
        NewSetup();
        platform::FileDialogs::SetInstance(&dialogs);
    }
    void TearDown() override { platform::FileDialogs::SetInstance(nullptr); }

    // A fresh default setup becomes the open one.
    XelObject& NewSetup()
    {
        setup = CreateDefaultSetupDocument();
        state.SetXelObject(setup.get());
        return *setup;
    }
    // The texts of the message boxes shown so far.
    QStringList Messages() const
    {
        QStringList texts;
        for (const auto& shown : doubles.presenter.shown)
            texts << shown.text;
        return texts;
    }
    static QString Lang(quint16 id, const QVariantList& args = {}) { return extra::FormatLangString(id, args); }

    testing_doubles::PlatformDoubles doubles;
    ScriptedFileDialogs dialogs;
    clsADO ado;
    MainState state;
    std::unique_ptr<XelObject> setup;
};

} // namespace generaltest
