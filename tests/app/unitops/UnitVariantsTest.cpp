// Every unit operation against each way real units fill the reply fields the master must not
// rely on: a bit's reply with size "01" (the frame) or "00" (echoed), data replies with
// another type character.
#include "ServiceCommandsTestSupport.h"

#include "app/setupdefaults/DefaultSetup.h"
#include "app/unitops/frmClock.h"
#include "app/unitops/frmComm.h"
#include "app/unitops/frmCounters.h"
#include "app/unitops/frmRetrieveLog.h"
#include "controls/Number.h"
#include "datamodel/XelObject.h"
#include "datamodel/XelSpeedSensor.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <ostream>

using namespace unitopstest;
using ecxsim::Unit;

namespace {

struct UnitVariant {
    const char* name;
    Unit::BitReplySize bitSize;
    char dataType; // 0: as the frame
};

// The case by its name, so the listed test names carry no raw bytes.
void PrintTo(const UnitVariant& c, std::ostream* os) { *os << c.name; }

class UnitVariantTest : public UnitFixture, public ::testing::WithParamInterface<UnitVariant> {
protected:
    void SetUp() override
    {
        UnitFixture::SetUp();
        unit.SetBitReplySize(GetParam().bitSize);
        unit.SetDataReplyType(GetParam().dataType);
        setup = CreateDefaultSetupDocument();
        state.SetXelObject(setup.get());
    }
    // The transfer dialog in one direction, run to its end; true when it succeeded.
    bool Transfer(int commType, const QString& firmware)
    {
        frmComm dialog(state);
        dialog.SetCommType(qint16(commType));
        dialog.SetXelObject(setup.get());
        dialog.SetFirmware(firmware);
        dialog.show();
        EXPECT_TRUE(RunUntil([&] { return dialog.Finished(); }, 30000));
        return dialog.Success();
    }
    std::unique_ptr<XelObject> setup;
};

TEST_P(UnitVariantTest, ShortReadsFindTheUnit)
{
    unit.SetUnitType(1);
    unit.SetHardwareVersion(3);
    EXPECT_TRUE(unitops::DetectUnit());
    EXPECT_TRUE(unitops::EngineIsStopped());
    EXPECT_TRUE(unitops::IsPropulsionUnit());
    EXPECT_EQ(unitops::ReadUnitVersion(true), "4.47");
    EXPECT_EQ(unitops::ReadUnitVersion(false), "3");
    unit.SetEngineRunning(true);
    unit.SetUnitType(0);
    EXPECT_FALSE(unitops::EngineIsStopped());
    EXPECT_FALSE(unitops::IsPropulsionUnit());
    EXPECT_TRUE(Shown().isEmpty());
}

TEST_P(UnitVariantTest, TransmitVerifiesAndReceiveLoads)
{
    setup->SpeedSensor()->SetNomSpeed(1777);
    ASSERT_TRUE(setup->CreateSetup("4.47"));
    QVector<qint32> image;
    ASSERT_TRUE(setup->GetSetup(image));
    ASSERT_TRUE(Transfer(0, "4.47"));
    for (int r = 1; r < frmComm::SetupImageSize("4.47") / 2; ++r)
        ASSERT_EQ(unit.Register(r), quint16(image[r])) << r;
    EXPECT_TRUE(Relocked());

    setup = CreateDefaultSetupDocument();
    state.SetXelObject(setup.get());
    ASSERT_NE(setup->SpeedSensor()->NomSpeed(), 1777);
    ASSERT_TRUE(Transfer(1, QString()));
    EXPECT_EQ(setup->SpeedSensor()->NomSpeed(), 1777);
    EXPECT_TRUE(Shown().isEmpty());
}

TEST_P(UnitVariantTest, DeleteLogAndResetCountersAreCarriedOut)
{
    unitops::CmdDeleteLog(state, false);
    unitops::CmdResetCounters(state, false);
    EXPECT_EQ(unit.CommandsDone(), (QVector<quint8>{76, 72}));
    EXPECT_EQ(Shown(), (QStringList{Message(117), Message(120)}));
    EXPECT_EQ(unit.EngineHours(), 0);
    EXPECT_TRUE(unit.LogText(Unit::LogSection::Log).isEmpty());
    EXPECT_TRUE(Relocked());
}

TEST_P(UnitVariantTest, CountersAreWritten)
{
    WhenModal<frmCounters>([](frmCounters* c) {
        c->numHours()->SetValue(23456);
        Click(c, "cmdOK");
        if (c->isVisible())
            Click(c, "cmdCancel");
    });
    unitops::CmdCounters(state, false);
    EXPECT_EQ(Shown(), QStringList{Message(177)});
    EXPECT_EQ(unit.Register(1546), 2);
    EXPECT_EQ(unit.Register(1547), 3456);
    EXPECT_TRUE(Relocked());
}

TEST_P(UnitVariantTest, TheClockIsSet)
{
    unit.SetFirmwareVersion(QStringLiteral("3.9"));
    WhenModal<frmClock>([](frmClock* d) {
        d->findChild<QCheckBox*>("chkSync")->click();
        const QStringList values{"28", "02", "2027", "13", "45"};
        for (int i = 0; i < 5; ++i)
            d->findChild<QLineEdit*>(QStringLiteral("txtDate_%1").arg(i))->setText(values[i]);
        Click(d, "cmdOK");
        if (d->isVisible()) // no unit found: the dialog stays
            Click(d, "cmdCancel");
    });
    unitops::CmdClock(state);
    QVector<int> clock;
    for (int r = 2820; r <= 2824; ++r)
        clock << unit.Register(r);
    EXPECT_EQ(clock, (QVector<int>{45, 13, 28, 2, 2027}));
    EXPECT_TRUE(Shown().isEmpty());
}

TEST_P(UnitVariantTest, TheLogIsDownloaded)
{
    unit.SetLogBurst(1 << 20, 0);
    unit.SetLogText(Unit::LogSection::Log, "001 Power on\r\n");
    frmRetrieveLog w(nullptr, &frame);
    w.SetLogFolder(doubles.dir.filePath("logs"));
    w.show();
    ASSERT_TRUE(RunUntil([&] { return w.findChild<QPushButton*>("cmdDownload")->isEnabled(); }));
    Click(&w, "cmdDownload");
    for (int section = 0; section < 3; ++section) {
        RunUntil([&] { return !unit.Sending(); });
        QTest::qWait(15);
        doubles.time.now += frmRetrieveLog::kSilenceMs;
        QTest::qWait(20);
    }
    ASSERT_EQ(w.CurrentState(), frmRetrieveLog::State::Done);
    EXPECT_TRUE(w.RetrievedLogBytes().contains("Log\r\n---\r\n\r\n001 Power on\r\n"));
    EXPECT_EQ(shell.opened, QStringList{w.LogFile()});
}

INSTANTIATE_TEST_SUITE_P(Units, UnitVariantTest,
                         ::testing::Values(UnitVariant{"BitSizeCountsTheData", Unit::BitReplySize::DataBytes, 0},
                                           UnitVariant{"BitSizeEchoed", Unit::BitReplySize::Echo, 0},
                                           UnitVariant{"OtherDataType", Unit::BitReplySize::DataBytes, '2'},
                                           UnitVariant{"EchoedAndOtherType", Unit::BitReplySize::Echo, '4'}),
                         [](const ::testing::TestParamInfo<UnitVariant>& info) { return std::string(info.param.name); });

} // namespace
