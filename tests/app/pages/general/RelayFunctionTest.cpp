#include "app/setupdefaults/DefaultSetup.h"
#include "app/pages/general/RelayFunction.h"
#include "extra/extra.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelObject.h"
#include "datamodel/XelRelay.h"
#include "datamodel/XelSpeedRelay.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "datamodel/cRelay.h"
#include "datamodel/cSpeedRelay.h"
#include "tests/common/Doubles.h"

#include <gtest/gtest.h>

using namespace RelayFunction;

namespace {

// The code space written out by hand: first, last, what it names, its number is code - offset.
struct Range {
    int first, last;
    Kind kind;
    int offset;
    bool warning;
    const char* keyLetter; // "" when the picker has no key for it
};
const Range kRanges[] = {
    {0, 0, Kind::None, 0, false, ""},
    {1, 12, Kind::SwitchInput, 0, false, "D"},
    {13, 17, Kind::AnalogInput, 12, false, "A"},
    {18, 27, Kind::Fixed, 0, false, "*"},
    {28, 33, Kind::AnalogInput, 22, false, "A"},
    {34, 34, Kind::Fixed, 0, false, ""},
    {35, 57, Kind::Fixed, 0, false, "*"},
    {58, 61, Kind::SpeedRelay, 57, false, "S"},
    {62, 192, Kind::Fixed, 0, false, "*"},
    {193, 204, Kind::SwitchInput, 192, true, "D"},
    {205, 209, Kind::AnalogInput, 204, true, "A"},
    {210, 219, Kind::Unassigned, 0, false, ""},
    {220, 225, Kind::AnalogInput, 214, true, "A"},
    {226, 255, Kind::Fixed, 0, false, "*"},
};

const Range& RangeOf(int code)
{
    for (const Range& r : kRanges)
        if (code >= r.first && code <= r.last)
            return r;
    ADD_FAILURE() << "no range for " << code;
    return kRanges[0];
}

class RelayFunctionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(extra::LoadLanguageLibrary());
        setup = CreateDefaultSetupDocument();
    }
    testing_doubles::PlatformDoubles doubles;
    std::unique_ptr<XelObject> setup;
};

} // namespace

TEST(RelayFunctionCode, EveryCodeDecodesToItsRangeAndKey)
{
    for (int code = 0; code <= 255; ++code) {
        SCOPED_TRACE(code);
        const Range& r = RangeOf(code);
        const Source s = Decode(code);
        EXPECT_EQ(s.kind, r.kind);
        if (r.kind == Kind::SwitchInput || r.kind == Kind::AnalogInput || r.kind == Kind::SpeedRelay) {
            EXPECT_EQ(s.number, code - r.offset);
        }
        EXPECT_EQ(s.warning, r.warning);
        const QString key = SelectionKey(code);
        if (*r.keyLetter == 0) {
            EXPECT_TRUE(key.isEmpty());
        } else {
            EXPECT_EQ(key, QString::fromLatin1(r.keyLetter) + QString::number(code));
            EXPECT_EQ(KeyCode(key), code);
        }
    }
    EXPECT_EQ(Decode(-1).kind, Kind::Unassigned);
    EXPECT_EQ(Decode(256).kind, Kind::Unassigned);
}

TEST(RelayFunctionCode, FormingGivesBackTheSource)
{
    // Every switch input: plain code, and +192 for the warning action only.
    for (int n = 1; n <= 12; ++n) {
        for (int action = 1; action <= 3; ++action) {
            const int code = SwitchCode(n, action);
            EXPECT_EQ(code, action == 1 ? n + 192 : n);
            const Source s = Decode(code);
            EXPECT_EQ(s.kind, Kind::SwitchInput);
            EXPECT_EQ(s.number, n);
            EXPECT_EQ(s.warning, action == 1);
        }
    }
    EXPECT_EQ(SwitchCode(0, 2), 0);
    EXPECT_EQ(SwitchCode(13, 2), 0);

    // Every analog input, both levels.
    const int plain[12] = {0, 13, 14, 15, 16, 17, 28, 29, 30, 31, 32, 33};
    for (int n = 1; n <= 11; ++n) {
        EXPECT_EQ(AnalogPlainCode(n), plain[n]);
        EXPECT_EQ(AnalogWarningCode(n), plain[n] + 192);
        for (int code : {AnalogPlainCode(n), AnalogWarningCode(n)}) {
            const Source s = Decode(code);
            EXPECT_EQ(s.kind, Kind::AnalogInput);
            EXPECT_EQ(s.number, n);
            EXPECT_EQ(s.warning, code >= 192);
        }
    }
    // The CAN channels 12..17 have no code: 34..39 would hit fixed functions.
    for (int n : {0, 12, 17})
        EXPECT_EQ(AnalogPlainCode(n), 0);
    EXPECT_EQ(AnalogWarningCode(12), 0);

    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(Decode(SpeedRelayCode(n)).number, n);
    EXPECT_EQ(SpeedRelayCode(5), 0);
}

TEST(RelayFunctionCode, AnalogCodesPerAction)
{
    struct Case {
        int index, action;
        QVector<int> codes;
        QStringList levels;
    } cases[] = {
        {2, 2, {14}, {""}},                                     // Alarm
        {2, 1, {206}, {""}},                                    // Warning
        {7, 5, {221, 29}, {"WARNING", "SHUTDOWN"}},             // WarningShutdown
        {7, 4, {221, 29}, {"WARNING", "ALARM"}},                // WarningAlarm
        {1, 0, {13}, {""}},                                     // None (bus inputs)
        {11, 6, {33}, {""}},                                    // RPM-dependent alarm
        {11, 7, {33}, {""}},                                    // RPM-dependent warning
        {5, 8, {17}, {""}},                                     // RPM-dependent shutdown
        {5, 3, {17}, {""}},                                     // Shutdown
        {12, 2, {}, {}},                                        // no code
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index * 100 + c.action);
        const QVector<AnalogOffer> offers = AnalogCodes(c.index, c.action);
        ASSERT_EQ(offers.size(), c.codes.size());
        for (int i = 0; i < offers.size(); ++i) {
            EXPECT_EQ(offers[i].code, c.codes[i]);
            EXPECT_EQ(offers[i].level, c.levels[i]);
        }
    }
}

TEST(RelayFunctionCode, LevelWordsAndTexts)
{
    EXPECT_EQ(LevelWord(4, true), "WARNING");
    EXPECT_EQ(LevelWord(4, false), "ALARM");
    EXPECT_EQ(LevelWord(5, true), "WARNING");
    EXPECT_EQ(LevelWord(5, false), "SHUTDOWN");
    for (int action : {0, 1, 2, 3, 6, 7, 8}) {
        EXPECT_EQ(LevelWord(action, true), "");
        EXPECT_EQ(LevelWord(action, false), "");
    }
    EXPECT_EQ(SwitchText(3, "Oil"), "SW3, Oil");
    EXPECT_EQ(AnalogText(7, "Temp", "WARNING"), "AI7, (WARNING) Temp");
    EXPECT_EQ(AnalogText(7, "Temp", ""), "AI7, Temp");
    EXPECT_EQ(BusSuffix(4), "   CAN");
    EXPECT_EQ(BusSuffix(3), "   J1587");
    EXPECT_EQ(BusSuffix(0), "");
    EXPECT_EQ(SpeedRelayText(2, 1500), "Speed Relay 2, 1500 RPM");
    EXPECT_EQ(InvalidText(27), "No 27 - Invalid!");
}

TEST(RelayFunctionCode, PictureKinds)
{
    // The picker's kind and the relay rows' own picture differ at 38.
    struct { int code; const char* kind; int rowPicture; } cases[] = {
        {18, "ALARM", 2}, {27, "ALARM", 2}, {35, "ALARM", 2}, {37, "ALARM", 2},
        {38, "EVENT", 2}, {39, "EVENT", 1}, {57, "EVENT", 1}, {58, "EVENT", 3},
        {61, "EVENT", 3}, {62, "EVENT", 1}, {75, "EVENT", 1}, {34, "ALARM", 1},
        {226, "EVENT", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(FixedKind(c.code), QString::fromLatin1(c.kind));
        EXPECT_EQ(FixedRowPicture(c.code), c.rowPicture);
    }
}

TEST(RelayFunctionCode, KeysThatCarryNoCode)
{
    for (const char* key : {"", "D", "*", "Dx", "S0", "A256", "*-3"})
        EXPECT_EQ(KeyCode(QString::fromLatin1(key)), 0) << key;
    EXPECT_EQ(KeyCode("D195"), 195);
    EXPECT_EQ(KeyCode("*62"), 62);
}

TEST_F(RelayFunctionTest, FixedTextsFromTheLanguageTable)
{
    struct { int code; const char* text; } cases[] = {
        {18, "Start Failure"}, {37, "Broken Wire"}, {38, "Start Command Externally"},
        {46, "Standby Mode"}, {62, "Downloading Configuration"}, {66, "Disc. Gen Breaker Relay Activated"},
        {68, "Preheat"}, {70, "J1587 - Diagnose PID"}, {75, "Common Alarm"},
        {27, ""}, {45, ""}, {34, ""}, {192, ""}, {226, ""}, {0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RelayFunction::FixedText(c.code), QString::fromLatin1(c.text)) << c.code;
}

TEST_F(RelayFunctionTest, NamesInASetup)
{
    XelDigitalIn* d3 = setup->DigitalIn()->Item("3*");
    d3->SetText("Oil Pressure");
    XelAnalogIn* a7 = setup->AnalogIn()->Item("7*");
    a7->SetText("Coolant");
    a7->SetAction(5);
    XelSpeedRelay* s2 = setup->SpeedRelays()->Item("2*");
    s2->SetInUse(true);
    s2->SetRPM(1500);

    struct { int code; const char* name; } cases[] = {
        {0, ""},
        {3, "SW3, Oil Pressure"},
        {195, "SW3, Oil Pressure"},
        {221, "AI7, (WARNING) Coolant"},
        {29, "AI7, (SHUTDOWN) Coolant"},
        {59, "Speed Relay 2, 1500 RPM"},
        {60, "Speed Relay 3 - NOT ACTIVE!"},
        {62, "Downloading Configuration"},
        {210, "No 210 - Invalid!"},
        {215, "No 215 - Invalid!"},
        {219, "No 219 - Invalid!"},
        {27, "No 27 - Invalid!"},
        {250, "No 250 - Invalid!"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FunctionName(*setup, c.code), QString::fromLatin1(c.name)) << c.code;
}

TEST_F(RelayFunctionTest, SpeedRelaysAreFoundByKeyAcrossAGap)
{
    // Speed relay 3 missing: relay 4 is the third item, but code 61 still names relay 4.
    ASSERT_TRUE(setup->SpeedRelays()->Remove("3*"));
    XelSpeedRelay* s4 = setup->SpeedRelays()->Item("4*");
    ASSERT_NE(s4, nullptr);
    s4->SetInUse(true);
    s4->SetRPM(900);
    EXPECT_EQ(SpeedRelay(*setup, 4), s4);
    EXPECT_EQ(SpeedRelay(*setup, 3), nullptr);
    EXPECT_EQ(FunctionName(*setup, 61), "Speed Relay 4, 900 RPM");
    EXPECT_EQ(FunctionName(*setup, 60), "No 60 - Invalid!");
    EXPECT_EQ(SelectionKey(61), "S61");
}

TEST_F(RelayFunctionTest, RelaysUsingACode)
{
    // The defaults: K7 on 46 and K9 on 66, both in use.
    EXPECT_TRUE(AnyRelayUses(*setup, kStandbyMode));
    EXPECT_FALSE(AnyRelayUses(*setup, kPreheat));
    XelRelay* r5 = setup->Relay()->Item("5*");
    r5->SetFunctionNo(kPreheat);
    EXPECT_FALSE(AnyRelayUses(*setup, kPreheat)); // not in use
    r5->SetInUse(true);
    EXPECT_TRUE(AnyRelayUses(*setup, kPreheat));
    EXPECT_TRUE(AnyRelayUses(setup->Relay(), kPreheat));
    EXPECT_FALSE(AnyRelayUses(setup->RelayNew(), kPreheat));
    EXPECT_FALSE(AnyRelayUses(static_cast<const cRelay*>(nullptr), kPreheat));

    setup->Relay()->Item("1*")->SetFunctionNo(kCommonAlarm);
    setup->Relay()->Item("1*")->SetInUse(true);
    setup->RelayNew()->Item("2*")->SetFunctionNo(kCommonAlarm);
    EXPECT_EQ(ClearRelaysUsing(*setup, kCommonAlarm), 2);
    EXPECT_FALSE(AnyRelayUses(*setup, kCommonAlarm));
    EXPECT_FALSE(setup->RelayNew()->Item("2*")->InUse());
    EXPECT_EQ(setup->RelayNew()->Item("2*")->FunctionNo(), 0);
    EXPECT_EQ(setup->RelayNew()->Item("1*")->FunctionNo(), kStandbyMode);
}
