// The unit memory image: the bytes of a known setup at the addresses of the image map, the
// display texts, and the decode of every transfer length.
#include "DocumentTestSupport.h"

#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelInfo.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelStandbyOperation.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "datamodel/cDigitalInAdditional.h"
#include "datamodel/cInstrument.h"
#include "datamodel/cRelay.h"
#include "datamodel/cSpeedRelay.h"
#include "platform/AnsiCodePage.h"
#include "platform/LibraryLoader.h"

#include <QHash>
#include <ostream>

using doctest::DocumentFixture;

namespace {

// A setup with something in every area of the image.
std::unique_ptr<XelObject> KnownSetup()
{
    auto doc = CreateDefaultSetupDocument();
    XelMain* main = doc->Main();
    main->SetIDNumber(5);
    main->SetLCDLight(21);
    main->SetEngineType(12);
    main->SetPrinterOutput(true);
    main->SetAckOnWarning(true);
    main->SetShutdownOverride(true);
    XelDigitalIn* d = doc->DigitalIn()->Item(3);
    d->SetActive(true);
    d->SetSwitchType(1);
    d->SetAction(3);
    d->SetOnRunOnly(true);
    d->SetText("Oil pressure");
    XelAnalogIn* a = doc->AnalogIn()->Item(1);
    a->SetActive(true);
    a->SetAction(2);
    a->SetSensorMin(-40);
    a->SetSensorMax(1200);
    a->SetLimit(0, 950);
    a->SetText("Coolant");
    a->SetUnits("C");
    XelAnalogIn* fuel = doc->AnalogIn()->Item(6);
    fuel->SetActive(true);
    fuel->SetAction(1);
    fuel->SetLimit(1, 50);
    fuel->SetText("Fuel");
    doc->Relay()->Item(1)->SetFunctionNo(38);
    doc->Relay()->Item(1)->SetInUse(true);
    doc->SpeedRelays()->Item(1)->SetInUse(true);
    doc->SpeedRelays()->Item(1)->SetRPM(1500);
    doc->DigitalInAdditional()->Item(2)->SetFunctionNo(3);
    doc->Info()->SetInfo("Unit {AUTHOR}");
    return doc;
}

QByteArray ImageOf(const XelObject& doc)
{
    QVector<qint32> words;
    if (!doc.GetSetup(words))
        return QByteArray();
    QByteArray image;
    for (qint32 w : words)
        image.append(char(w >> 8)).append(char(w & 0xFF));
    return image;
}

QVector<qint32> WordsOf(const QByteArray& image)
{
    QVector<qint32> words;
    for (qsizetype i = 0; i + 1 < image.size(); i += 2)
        words.append(quint8(image.at(i)) * 256 + quint8(image.at(i + 1)));
    return words;
}

QByteArray Hex(const char* hex) { return QByteArray::fromHex(hex); }
QByteArray Zeros(int n) { return QByteArray(n, '\0'); }

class SetupImageTest : public DocumentFixture {};
class SetupImageFirmwareTest : public DocumentFixture, public ::testing::WithParamInterface<const char*> {};

TEST_P(SetupImageFirmwareTest, AKnownSetupGivesTheBytesOfTheImageMap)
{
    const QString firmware = GetParam();
    const bool old = firmware == "1.5";
    auto doc = KnownSetup();
    ASSERT_TRUE(doc->CreateSetup(firmware));
    const QByteArray im = ImageOf(*doc);
    ASSERT_EQ(im.size(), 8256);

    EXPECT_EQ(im.left(5), Hex("6129 03 10 05")); // unlock code, 3, language 0 + classified, id
    EXPECT_EQ(im.mid(645, 4), Hex("01 03 07 07"));  // standby, not propulsion
    EXPECT_EQ(im.mid(649, 12), Hex("01 96 01 05DC 06BD 0190 0582 01"));
    EXPECT_EQ(im.mid(661, 8), Hex("B4 03 00 3C 3C 00FF 3C")); // ..., 664 = 60, battery, run delay
    EXPECT_EQ(quint8(im[669]), 0);  // operation mode
    EXPECT_EQ(quint8(im[670]), old ? 31 : 38);
    EXPECT_EQ(im.mid(684, 2), Hex("2E 42"));
    EXPECT_EQ(im.mid(686, 38), QByteArray("Unit TESTER") + Zeros(27));
    EXPECT_EQ(im.mid(724, 38), Zeros(38));

    // Switch input 3 and analog inputs 1 and 6.
    EXPECT_EQ(im.mid(74, 16), Hex("17 0F 02 00") + "Oil pressure");
    EXPECT_EQ(quint8(im[40]), 0); // input 2 inactive: flag bytes 0
    EXPECT_EQ(quint8(im[43]), 0);
    EXPECT_EQ(im.mid(414, 12), Hex("0B 00 FFD7 04B0 0000 03B6 00 02"));
    EXPECT_EQ(im.mid(426, 7), QByteArray("Coolant"));
    EXPECT_EQ(im.mid(456, 1), QByteArray("C"));
    if (old)
        EXPECT_EQ(im.mid(2062, 46), Zeros(46));
    else
        EXPECT_EQ(im.mid(2062, 16), Hex("83 00 0000 03E8 0032 0000 00 02") + "Fuel");

    // Bytes that lie between the display texts and belong to parts.
    EXPECT_EQ(quint8(im[2017]), 21);
    EXPECT_EQ(im.mid(2054, 8), Hex("05DC 0000 0000 0000"));
    EXPECT_EQ(im.mid(2350, 10), QByteArray("Diagnostic"));
    EXPECT_EQ(im.mid(2536, 10), Hex("00 00 00 03 01 00 01 AB 00 00"));
    EXPECT_EQ(quint8(im[664]), 60);
    EXPECT_EQ(quint8(im[3072]), 0);
    EXPECT_EQ(im.mid(3073, 6), Hex("0C 00 01 00 00 01"));
    EXPECT_EQ(im.mid(3096, 2), Hex("FFFF"));
    EXPECT_EQ(quint8(im[3113]), firmware == "4.47" ? 90 : 0);

    // The English display texts with the fixed user.
    EXPECT_EQ(im.mid(990, 20), QByteArray("Mode             :") + Zeros(2));
    EXPECT_EQ(im.mid(1104, 15), QByteArray("Battery voltage"));
    EXPECT_EQ(im.mid(2018, 12), QByteArray("Propulsion") + Zeros(2));
    EXPECT_EQ(im.mid(2384, 38), QByteArray("New parameters - TESTER") + Zeros(15));
    EXPECT_EQ(im.mid(2546, 38), QByteArray("Acknowledge") + Zeros(27));
}

INSTANTIATE_TEST_SUITE_P(Firmware, SetupImageFirmwareTest, ::testing::Values("1.5", "3.9", "4.2", "4.19", "4.47"),
                         [](const auto& info) {
                             return QString(info.param).replace('.', '_').prepend("F").toStdString();
                         });

TEST_F(SetupImageTest, TheLanguageByteChoosesTheDisplayTexts)
{
    auto doc = CreateDefaultSetupDocument();
    doc->Main()->SetLanguage(5);
    ASSERT_TRUE(doc->CreateSetup("4.47"));
    QByteArray im = ImageOf(*doc);
    const QString entry = extra::GetLangString(15001);
    const QByteArray spanish = platform::AnsiCodePage::FromUnicode(extra::TextToUnit(entry.mid(3)));
    ASSERT_FALSE(spanish.isEmpty());
    EXPECT_EQ(im.mid(990, spanish.size()), spanish);

    // 100 to 127 is the language plus 100 (105 And 15 would be 9, whose first text is the same).
    const QByteArray spanishTexts = im.mid(990, 2584 - 990);
    doc->Main()->SetClassified(false);
    doc->Main()->SetLanguage(105);
    ASSERT_TRUE(doc->CreateSetup("4.47"));
    im = ImageOf(*doc);
    ASSERT_EQ(quint8(im[3]), 105);
    EXPECT_EQ(im.mid(990, 2584 - 990), spanishTexts);
    doc->Main()->SetClassified(true);

    // The Italian block has 11 texts only.
    doc->Main()->SetLanguage(7);
    ASSERT_TRUE(doc->CreateSetup("4.47"));
    im = ImageOf(*doc);
    EXPECT_NE(quint8(im[990]), 0);
    EXPECT_EQ(im.mid(2384, 38), Zeros(38));

    // No block for language 12: no display text at all.
    doc->Main()->SetLanguage(12);
    ASSERT_TRUE(doc->CreateSetup("4.47"));
    im = ImageOf(*doc);
    EXPECT_EQ(im.mid(990, 114), Zeros(114));
}

// A propulsion unit runs one start attempt and a 7 s delay, whatever the standby part holds.
TEST_F(SetupImageTest, PropulsionOverwritesTheStartAttemptsAndDelay)
{
    auto doc = CreateDefaultSetupDocument();
    doc->StandbyOperation()->SetStartAttempts(5);
    doc->StandbyOperation()->SetDelay(20);
    doc->Main()->SetOperationMode(2);
    ASSERT_TRUE(doc->CreateSetup("4.47"));
    QByteArray im = ImageOf(*doc);
    EXPECT_EQ(im.mid(645, 4), Hex("01 01 07 07"));
    EXPECT_EQ(quint8(im[669]), 2);

    doc->Main()->SetOperationMode(1);
    ASSERT_TRUE(doc->CreateSetup("4.47"));
    im = ImageOf(*doc);
    EXPECT_EQ(im.mid(645, 4), Hex("01 05 07 14"));
}

// The image has four instrument slots: a fifth and sixth instrument change nothing in it and
// keep what they hold when an image is loaded.
TEST_F(SetupImageTest, InstrumentsPastTheFourSlotsAreLeftOut)
{
    auto four = KnownSetup();
    auto six = KnownSetup();
    for (auto* doc : {four.get(), six.get()})
        for (int i = 1; i <= 4; ++i)
            doc->Instrument()->Add(i, "Instrument")->SetFunctionNo(10 + i);
    for (int i = 5; i <= 6; ++i)
        six->Instrument()->Add(i, "Instrument")->SetFunctionNo(20 + i);
    ASSERT_TRUE(four->CreateSetup("4.47"));
    ASSERT_TRUE(six->CreateSetup("4.47"));
    const QByteArray im = ImageOf(*six);
    EXPECT_EQ(im, ImageOf(*four));
    EXPECT_EQ(im.mid(3052, 16), Hex("0B000000 0C000000 0D000000 0E000000"));

    QByteArray changed = im;
    changed[3056] = char(40);
    ASSERT_TRUE(six->LoadSetup(WordsOf(changed), "4.47"));
    EXPECT_EQ(six->Instrument()->Item(2)->FunctionNo(), 40);
    EXPECT_EQ(six->Instrument()->Item(5)->FunctionNo(), 25);
    EXPECT_EQ(six->Instrument()->Item(6)->FunctionNo(), 26);
}

// A language table with texts made for the test.
class TableLoader : public platform::LibraryLoader {
public:
    QHash<quint16, QString> texts;
    quintptr Load(const QString&) override { return 1; }
    void Free(quintptr) override {}
    std::optional<QString> String(quintptr, quint16 id) override
    {
        if (!texts.contains(id))
            return std::nullopt;
        return texts.value(id);
    }
};

struct LoaderSwap {
    explicit LoaderSwap(platform::LibraryLoader* l) { platform::LibraryLoader::SetInstance(l); }
    ~LoaderSwap() { platform::LibraryLoader::SetInstance(nullptr); }
};

TEST_F(SetupImageTest, ADisplayTextIsCutToItsFieldAndOnlyLowerCaseUserMarksAreFilled)
{
    auto doc = CreateDefaultSetupDocument();
    doc->Main()->SetClassified(false);
    TableLoader table;
    table.texts = {{10001, "05-ABCDEFGHIJ"}, {10002, "09-x%u%U"}, {10003, "03-LONGER"}};
    {
        LoaderSwap swap(&table);
        ASSERT_TRUE(doc->CreateSetup("4.47"));
    }
    const QByteArray im = ImageOf(*doc);
    EXPECT_EQ(im.mid(990, 17), QByteArray("ABCDExTESTER%ULON") + QByteArray());
    EXPECT_EQ(quint8(im[1007]), 0);
}

TEST_F(SetupImageTest, TheUserMarkFallsBackToTheComputerNameAndThenToNA)
{
    auto doc = CreateDefaultSetupDocument();
    TableLoader table;
    table.texts = {{10001, "10-%u"}};
    doubles.system.user = "";
    doubles.system.computer = "bench";
    {
        LoaderSwap swap(&table);
        ASSERT_TRUE(doc->CreateSetup("4.47"));
        EXPECT_EQ(ImageOf(*doc).mid(990, 10), QByteArray("BENCH") + Zeros(5));
        doubles.system.computer = "";
        ASSERT_TRUE(doc->CreateSetup("4.47"));
        EXPECT_EQ(ImageOf(*doc).mid(990, 10), QByteArray("N/A") + Zeros(7));
    }
}

struct Transfer {
    int words;
    const char* firmware;
};

// Readable in the listed test names.
void PrintTo(const Transfer& t, std::ostream* os) { *os << t.words << " words, firmware " << t.firmware; }

class SetupImageTransferTest : public DocumentFixture, public ::testing::WithParamInterface<Transfer> {};

TEST_P(SetupImageTransferTest, EachTransferLengthRestoresWhatItHolds)
{
    const Transfer t = GetParam();
    auto known = KnownSetup();
    ASSERT_TRUE(known->CreateSetup(t.firmware));
    QVector<qint32> words;
    ASSERT_TRUE(known->GetSetup(words));
    ASSERT_EQ(words.size(), 4128);
    EXPECT_EQ(words[0], 24873);
    words.resize(t.words);

    auto doc = CreateDefaultSetupDocument();
    ASSERT_TRUE(doc->SaveFile(PathOf("before.QRN")));
    const int idBefore = doc->Main()->IDNumber();
    const int lightBefore = doc->Main()->LCDLight();
    ASSERT_TRUE(doc->LoadSetup(words, t.firmware));
    EXPECT_TRUE(doc->Filename().isEmpty());
    EXPECT_TRUE(doc->FileTitle().isEmpty());

    // The general settings stop at the engine type, which 1536 registers do not hold.
    const XelMain* main = doc->Main();
    EXPECT_EQ(main->IDNumber(), t.words >= 1538 ? 5 : idBefore);
    EXPECT_EQ(main->LCDLight(), t.words >= 1538 ? 21 : lightBefore);
    EXPECT_EQ(main->RunDelay(), 60);
    EXPECT_EQ(main->Firmware().trimmed(), t.firmware);
    EXPECT_EQ(main->EngineType(), t.words >= 1538 ? 12 : 255);
    EXPECT_EQ(main->PrinterOutput(), t.words >= 1538);
    EXPECT_EQ(main->AckOnWarning(), t.words >= 1540);
    EXPECT_EQ(main->ShutdownOverride(), t.words >= 1792);

    const XelDigitalIn* d = doc->DigitalIn()->Item(3);
    EXPECT_TRUE(d->Active());
    EXPECT_EQ(d->Action(), 3);
    EXPECT_EQ(d->SwitchType(), 1);
    EXPECT_EQ(d->Text(), "Oil pressure");
    const XelAnalogIn* a = doc->AnalogIn()->Item(1);
    EXPECT_EQ(a->SensorMin(), -40);
    EXPECT_EQ(a->SensorMax(), 1200);
    EXPECT_EQ(a->Limit(0), 950);
    EXPECT_EQ(a->Text(), "Coolant");
    EXPECT_EQ(a->Units(), "C");
    EXPECT_EQ(doc->AnalogIn()->Item(6)->Limit(1), 50);
    EXPECT_EQ(doc->AnalogIn()->Count(), 11);
    EXPECT_EQ(doc->Relay()->Item(1)->FunctionNo(), 38);
    EXPECT_EQ(doc->RelayNew()->Item(2)->FunctionNo(), 66);
    EXPECT_EQ(doc->SpeedRelays()->Item(1)->RPM(), 1500);
    EXPECT_EQ(doc->DigitalInAdditional()->Item(2)->FunctionNo(), 3);
    EXPECT_EQ(doc->Info()->Info(), "Unit TESTER");
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Lengths, SetupImageTransferTest,
                         ::testing::Values(Transfer{1536, "4.2"}, Transfer{1538, "4.19"}, Transfer{1540, "4.30"},
                                           Transfer{1792, "4.47"}),
                         [](const auto& info) { return "W" + std::to_string(info.param.words); });

TEST_F(SetupImageTest, AFullImageDecodesAndEncodesToTheSameWords)
{
    auto known = KnownSetup();
    ASSERT_TRUE(known->CreateSetup("4.47"));
    QVector<qint32> words;
    ASSERT_TRUE(known->GetSetup(words));
    auto doc = CreateDefaultSetupDocument();
    ASSERT_TRUE(doc->LoadSetup(words, "4.47"));
    ASSERT_TRUE(doc->CreateSetup("4.47"));
    QVector<qint32> again;
    ASSERT_TRUE(doc->GetSetup(again));
    EXPECT_EQ(again, words);
}

TEST_F(SetupImageTest, GarbledWordsAreRefusedBeforeAnythingIsDecoded)
{
    auto known = KnownSetup();
    ASSERT_TRUE(known->CreateSetup("4.47"));
    QVector<qint32> words;
    ASSERT_TRUE(known->GetSetup(words));
    words.resize(1792);

    auto doc = CreateDefaultSetupDocument();
    const QString own = PathOf("own.QRN");
    ASSERT_TRUE(doc->SaveFile(own));
    const QByteArray before = Snapshot(*doc, PathOf("snap.QRN"));
    for (qint32 bad : {65536, -1}) {
        QVector<qint32> garbled = words;
        garbled[1700] = bad;
        EXPECT_FALSE(doc->LoadSetup(garbled, "4.47"));
    }
    EXPECT_FALSE(doc->LoadSetup({}, "4.47"));
    EXPECT_EQ(Snapshot(*doc, PathOf("snap.QRN")), before);
    EXPECT_EQ(doc->Filename(), own);
    EXPECT_FALSE(doc->Changed());
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());
}

TEST_F(SetupImageTest, ABusChannelTurnsCANOnAndTheBusChannelsAreDecoded)
{
    auto known = KnownSetup();
    XelAnalogIn* bus = known->AnalogIn()->Item(3);
    bus->SetActive(true);
    bus->SetInputType(4);
    bus->SetJValues(JData{20, 0, 61444, 0, 3, 0});
    ASSERT_FALSE(known->Main()->CAN());
    ASSERT_TRUE(known->CreateSetup("4.47"));
    QByteArray im = ImageOf(*known);
    // Channel 14 at 2676: active, alarm above its limit, with a text.
    im[2676] = char(1 + 2 + 8);
    im.replace(2688, 6, "Bus 14");

    auto doc = CreateDefaultSetupDocument();
    ASSERT_TRUE(doc->LoadSetup(WordsOf(im.left(3584)), "4.47"));
    EXPECT_TRUE(doc->Main()->CAN());
    ASSERT_EQ(doc->AnalogIn()->Count(), 17);
    EXPECT_EQ(doc->AnalogIn()->Item(3)->InputType(), 4);
    const XelAnalogIn* ch14 = doc->AnalogIn()->Item("14*");
    ASSERT_NE(ch14, nullptr);
    EXPECT_TRUE(ch14->Active());
    EXPECT_EQ(ch14->Action(), 2);
    EXPECT_EQ(ch14->Text(), "Bus 14");
    EXPECT_EQ(doc->AnalogIn()->Item("15*")->Terminal().trimmed(), "J1587");
    EXPECT_EQ(doc->AnalogIn()->Item("16*")->Terminal().trimmed(), "J1939");
    EXPECT_EQ(doc->AnalogIn()->Item("12*")->Terminal().trimmed(), "");
    EXPECT_EQ(doc->AnalogIn()->Item("13*")->InputType(), 3);
    EXPECT_EQ(doc->AnalogIn()->Item("13*")->SensorMax(), 100); // decoded as inactive
}

} // namespace
