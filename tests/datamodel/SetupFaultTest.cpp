// A value the image cannot carry makes CreateSetup fail and names the part, item and field;
// a setup that fits builds as before. Such values reach a document only from a file written
// elsewhere or damaged (the properties refuse them), so the analog cases patch a saved file.
#include "DocumentTestSupport.h"

#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelSpeedSensor.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"

#include <QtEndian>
#include <cctype>
#include <ostream>

using doctest::DocumentFixture;

namespace {

QByteArray ImageOf(const XelObject& doc)
{
    QVector<qint32> words;
    doc.GetSetup(words);
    QByteArray image;
    for (qint32 w : words)
        image.append(char(w >> 8)).append(char(w & 0xFF));
    return image;
}

QString Marker(int key) { return QStringLiteral("MARK-%1").arg(key, 2, 10, QLatin1Char('0')); }

// CAN on, all 17 analog channels active with warning and alarm, each text a marker that
// finds its record in the file.
std::unique_ptr<XelObject> SeventeenChannels()
{
    auto doc = CreateDefaultSetupDocument();
    doc->Main()->SetCAN(true);
    for (int key = 12; key <= 17; ++key)
        doc->AnalogIn()->Add(key, "J1939");
    for (XelAnalogIn* channel : *doc->AnalogIn()) {
        channel->SetActive(true);
        channel->SetAction(4);
        channel->SetSensorMin(-40);
        channel->SetSensorMax(1200);
        channel->SetLimit(0, 900);
        channel->SetLimit(1, 800);
        channel->SetText(Marker(channel->Index()));
    }
    doc->ResetBackup();
    return doc;
}

void PutLong(QByteArray& file, qsizetype at, qint32 value)
{
    const qint32 le = qToLittleEndian(value);
    file.replace(at, 4, reinterpret_cast<const char*>(&le), 4);
}

void PutInteger(QByteArray& file, qsizetype at, qint16 value)
{
    const qint16 le = qToLittleEndian(value);
    file.replace(at, 2, reinterpret_cast<const char*>(&le), 2);
}

// Offsets from the start of the record's Text field (Index 1, Terminal 10, Active 2 before it).
constexpr int kSensorMin = 30, kSensorMax = 34, kLimit0 = 46, kLimit1 = 50, kRPMLimit0 = 74;

struct AnalogCase {
    int key;
    int action;
    const char* field;
    int offset;
    qint32 value;
    bool integerField;
};

// "Input17_Limit0": the input and the field, readable in the listed test names.
std::string CaseName(const AnalogCase& c)
{
    std::string name = "Input" + std::to_string(c.key) + "_";
    for (const char* p = c.field; *p; ++p)
        if (std::isalnum(static_cast<unsigned char>(*p)))
            name += *p;
    return name;
}
void PrintTo(const AnalogCase& c, std::ostream* os) { *os << CaseName(c); }

class SetupFaultTest : public DocumentFixture, public ::testing::WithParamInterface<AnalogCase> {};

TEST_P(SetupFaultTest, AnAnalogValueThatDoesNotFitFailsTheBuildAndNamesChannelAndField)
{
    const AnalogCase c = GetParam();
    auto good = SeventeenChannels();
    good->AnalogIn()->Item(QStringLiteral("%1*").arg(c.key))->SetAction(c.action);
    ASSERT_TRUE(good->CreateSetup("4.47"));
    EXPECT_TRUE(good->SetupError().isEmpty());
    const QByteArray goodImage = ImageOf(*good);

    const QString path = PathOf("fault.QRN");
    ASSERT_TRUE(good->SaveFile(path));
    QByteArray file = doctest::ReadAll(path);
    const qsizetype text = file.indexOf(Marker(c.key).toLatin1());
    ASSERT_GT(text, 0);
    if (c.integerField)
        PutInteger(file, text + c.offset, qint16(c.value));
    else
        PutLong(file, text + c.offset, c.value);
    ASSERT_TRUE(doctest::WriteAll(path, file));

    auto doc = SeventeenChannels();
    ASSERT_TRUE(doc->LoadFile(path));
    EXPECT_FALSE(doc->CreateSetup("4.47"));
    EXPECT_EQ(doc->SetupFailure().Part, "AnalogIn");
    EXPECT_EQ(doc->SetupFailure().Item, c.key);
    EXPECT_EQ(doc->SetupFailure().Field, c.field);
    EXPECT_EQ(doc->SetupError(), QStringLiteral("AnalogIn %1: %2").arg(c.key).arg(c.field));

    // Everything outside the failing channel and the ones after it is built as before; the
    // channels after it stay blank.
    const QByteArray image = ImageOf(*doc);
    ASSERT_EQ(image.size(), goodImage.size());
    QVector<bool> skip(image.size(), false);
    for (int key = c.key; key <= 17; ++key)
        for (int i = 0; i < 46; ++i)
            skip[XelAnalogIn::ImageBase(key) + i] = true;
    for (int i = 3068; i < 3072; ++i) // the speed line's points come from the channels
        skip[i] = true;
    for (qsizetype i = 0; i < image.size(); ++i)
        if (!skip[i]) {
            ASSERT_EQ(image[i], goodImage[i]) << "byte " << i;
        }
    for (int key = c.key + 1; key <= 17; ++key)
        EXPECT_EQ(image.mid(XelAnalogIn::ImageBase(key), 2), QByteArray(2, '\0')) << key;
}

INSTANTIATE_TEST_SUITE_P(
    Channels, SetupFaultTest,
    ::testing::Values(AnalogCase{1, 4, "SensorMin", kSensorMin, -40000, false},
                      AnalogCase{9, 4, "SensorMax", kSensorMax, 32767, false},
                      AnalogCase{17, 4, "Limit(0)", kLimit0, 70000, false},
                      AnalogCase{1, 4, "Limit(1)", kLimit1, -32769, false},
                      AnalogCase{9, 6, "RPMLimit(0)", kRPMLimit0, -5, true},
                      AnalogCase{17, 5, "SensorMax", kSensorMax, 65535, false}),
    [](const auto& info) { return CaseName(info.param); });

class SetupFaultPartsTest : public DocumentFixture {};

TEST_F(SetupFaultPartsTest, EveryPartThatCannotEncodeIsNamed)
{
    struct Case {
        const char* expected;
        std::function<void(XelObject&)> spoil;
    };
    const std::vector<Case> cases = {
        {"Main: CANSPN", [](XelObject& d) { d.Main()->SetCANDiagnose(true); d.Main()->SetCANSPN(70000); }},
        {"SpeedSensor: Speeding", [](XelObject& d) { d.SpeedSensor()->SetSpeeding(-1); }},
        {"DigitalIn 10: JValues",
         [](XelObject& d) {
             XelDigitalIn* in = d.DigitalIn()->Item(10);
             in->SetActive(true);
             in->SetInputType(4);
             JData j;
             j.lPID = 65536;
             in->SetJValues(j);
         }},
        {"AnalogIn 2: JValues",
         [](XelObject& d) {
             XelAnalogIn* in = d.AnalogIn()->Item(2);
             in->SetActive(true);
             in->SetInputType(3);
             JData j;
             j.lPPID = -1;
             in->SetJValues(j);
         }},
    };
    for (const Case& c : cases) {
        auto doc = CreateDefaultSetupDocument();
        c.spoil(*doc);
        EXPECT_FALSE(doc->CreateSetup("4.47")) << c.expected;
        EXPECT_EQ(doc->SetupError(), c.expected);
        // The parts after the failing one are still built.
        const QByteArray image = ImageOf(*doc);
        EXPECT_EQ(image.mid(2350, 10), QByteArray("Diagnostic"));
        EXPECT_EQ(quint8(image[664]), 60);
    }
}

TEST_F(SetupFaultPartsTest, TheFirstFailureIsKeptAndASuccessfulBuildClearsIt)
{
    auto doc = CreateDefaultSetupDocument();
    doc->SpeedSensor()->SetSpeeding(70000);
    doc->Main()->SetCANDiagnose(true);
    doc->Main()->SetCANSPN(-2);
    EXPECT_FALSE(doc->CreateSetup("4.47"));
    EXPECT_EQ(doc->SetupFailure().Part, "Main"); // built first
    EXPECT_EQ(doc->SetupFailure().Item, 0);

    doc->Main()->SetCANSPN(100);
    doc->SpeedSensor()->SetSpeeding(1800);
    EXPECT_TRUE(doc->CreateSetup("4.47"));
    EXPECT_TRUE(doc->SetupError().isEmpty());
    EXPECT_TRUE(doc->SetupFailure().IsEmpty());
}

TEST_F(SetupFaultPartsTest, ABuildAfterTheSetupWasClosedLeavesNoImageOfIt)
{
    auto doc = CreateDefaultSetupDocument();
    ASSERT_TRUE(doc->CreateSetup("4.47"));
    doc->CloseFile();
    EXPECT_FALSE(doc->CreateSetup("4.47"));
    QVector<qint32> words;
    EXPECT_FALSE(doc->GetSetup(words));
    EXPECT_TRUE(words.isEmpty());
}

TEST_F(SetupFaultPartsTest, ValuesAtTheEdgesOfTheWordRuleBuildAsTheWordsOfTheMap)
{
    auto doc = SeventeenChannels();
    XelAnalogIn* first = doc->AnalogIn()->Item(1);
    first->SetSensorMin(-32768);
    first->SetSensorMax(32766);
    first->SetLimit(0, -1);
    first->SetLimit(1, 0);
    XelAnalogIn* last = doc->AnalogIn()->Item(17);
    last->SetAction(6);
    last->SetRPMLimit(0, 32767);
    last->SetRPMLimit(1, 0);
    last->SetRPM(0, 600);
    last->SetRPM(1, 1200);
    ASSERT_TRUE(doc->CreateSetup("4.47"));
    EXPECT_TRUE(doc->SetupError().isEmpty());
    const QByteArray im = ImageOf(*doc);
    // Channel 1: A = 1 + 2 + 128 + 8, B 0, SensorMin 65535 - 32768, SensorMax, Limit(1) 0, Limit(0) 65534.
    EXPECT_EQ(im.mid(414, 12), QByteArray::fromHex("8B 00 7FFF 7FFE 0000 FFFE 00 02"));
    // Channel 17 (input type 4..20mA): alarm with the speed line.
    EXPECT_EQ(im.mid(XelAnalogIn::ImageBase(17), 10), QByteArray::fromHex("0B 20 FFD7 04B0 0000 7FFF"));
    EXPECT_EQ(im.mid(3068, 4), QByteArray::fromHex("0258 04B0"));
}

} // namespace
