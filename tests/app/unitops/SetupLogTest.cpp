// Raw setup log files: the exact line layout, the tolerant reader, the byte swap and the
// commands on the open setup.
#include "tests/app/unitops/UnitOpsTestSupport.h"

#include "app/unitops/SetupLog.h"
#include "datamodel/XelSpeedSensor.h"
#include "tests/common/ServiceDoubles.h"

#include <QFile>
#include <QSet>

namespace unitops_test {
namespace {

using namespace unitops;

TEST(SetupLogFormat, LinesAsWritten)
{
    EXPECT_EQ(SetupLogText({4660, 0, 65535, 24873}),
              QByteArray("0\t:\t4660\t18\t52\r\n"
                         "1\t:\t0\t0\t0\r\n"
                         "2\t:\t65535\t255\t255\r\n"
                         "3\t:\t24873\t97\t41\r\n"));
    EXPECT_EQ(SetupLogText({}), QByteArray());
}

TEST(SetupLogFormat, ReaderTakesTheValueField)
{
    struct Case {
        const char* text;
        QVector<qint32> words;
    } cases[] = {
        {"5:1234\r\n", {1234}},
        {"5\t:\t1234\t4\t210\r\n", {1234}},
        {"12\t:\t4660\t18\t52", {4660}}, // last line without a line break
        {"no colon here\r\n7:8\r\n", {0, 8}},
        {"7\t:\tabc\t1\t2\r\n", {0}},
        {"3:\t12.5\r\n3:13.5\r\n", {12, 14}}, // halves to the even neighbour
        {"1:1\n2:2\n", {1, 2}},
        {"", {}},
        {"\r\n", {0}},
    };
    for (const Case& c : cases) {
        QVector<qint32> words{99};
        EXPECT_TRUE(ParseSetupLog(c.text, words)) << c.text;
        EXPECT_EQ(words, c.words) << c.text;
    }
}

TEST(SetupLogFormat, ValuesOutsideAWordRefuseTheLog)
{
    for (const char* text : {"0:1\r\n1\t:\t65536\t0\t0\r\n", "0:-1\r\n", "0:99999999999999999999\r\n"}) {
        QVector<qint32> words{1, 2};
        EXPECT_FALSE(ParseSetupLog(text, words)) << text;
        EXPECT_TRUE(words.isEmpty());
    }
    QVector<qint32> words;
    EXPECT_TRUE(ParseSetupLog("0:65535.4\r\n", words));
    EXPECT_EQ(words, QVector<qint32>{65535});
}

TEST(SetupLogFormat, WordBytesSwapped)
{
    struct Case {
        qint32 in, out;
    } cases[] = {{4660, 13330}, {0, 0}, {65535, 65535}, {1, 256}, {256, 1}};
    for (const Case& c : cases) {
        qint32 w = c.in;
        SwapWordBytes(w);
        EXPECT_EQ(w, c.out) << c.in;
    }
}

TEST(SetupLogFormat, ImageSwapTouchesExactlyTheListedWords)
{
    // The list by word index.
    QSet<int> listed{0};
    for (int i = 0; i <= 4; ++i)
        listed << 208 + 23 * i << 209 + 23 * i;
    listed << 326 << 327 << 328 << 329 << 333 << 1027 << 1028 << 1029 << 1030;
    for (int i = 0; i <= 5; ++i)
        for (int k = 0; k < 4; ++k)
            listed << 1032 + 23 * i + k << 1293 + 23 * i + k;
    for (int i = 0; i <= 23; ++i)
        listed << 1431 + 4 * i << 1432 + 4 * i;
    for (int i = 0; i <= 3; ++i)
        listed << 1527 + 2 * i;
    listed << 1534 << 1535;
    ASSERT_EQ(listed.size(), 122);

    QVector<qint32> words;
    for (int i = 0; i < 1600; ++i)
        words << (i % 200 + 1) * 256 + (i % 7 + 210);
    QVector<qint32> swapped = words;
    ASSERT_TRUE(SwapImageWords(swapped));
    for (int i = 0; i < words.size(); ++i) {
        qint32 expected = words[i];
        if (listed.contains(i))
            SwapWordBytes(expected);
        ASSERT_EQ(swapped[i], expected) << i;
    }
    QVector<qint32> tooShort(1535, 0x0102);
    EXPECT_FALSE(SwapImageWords(tooShort));
    EXPECT_EQ(tooShort, QVector<qint32>(1535, 0x0102));
}

class SetupLogFiles : public UnitOpsTest {
protected:
    testing_doubles::ServiceDoubles services;
    QTemporaryDir dir;
    QString Path(const QString& name) const { return dir.filePath(name); }
    void Choose(const QString& path)
    {
        services.dialogs.fileAnswer = true;
        services.dialogs.fileChosen = path;
    }
    void WriteFile(const QString& path, const QByteArray& text)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
};

TEST_F(SetupLogFiles, SavedLogReadsBackIntoTheSameSetup)
{
    setup->SpeedSensor()->SetNomSpeed(1777);
    ASSERT_TRUE(setup->CreateSetup("4.47"));
    QVector<qint32> image;
    setup->GetSetup(image);
    Choose(Path("setup.log"));
    ASSERT_TRUE(SaveSetupLog(state));
    QFile f(Path("setup.log"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_TRUE(text.startsWith("0\t:\t24873\t97\t41\r\n"));
    EXPECT_EQ(text.count('\n'), 4128);

    auto target = CreateDefaultSetupDocument();
    state.SetXelObject(target.get());
    ASSERT_TRUE(OpenSetupLog(state, false));
    EXPECT_EQ(target->SpeedSensor()->NomSpeed(), 1777);
    ASSERT_TRUE(target->CreateSetup("4.47"));
    QVector<qint32> again;
    target->GetSetup(again);
    EXPECT_EQ(again.mid(1, 1791), image.mid(1, 1791));
}

TEST_F(SetupLogFiles, BadOrShortLogsLoadNothing)
{
    struct Case {
        const char* name;
        QByteArray text;
        bool swap;
    } cases[] = {
        {"value above a word", "0:1\r\n1:70000\r\n", false},
        {"too short for the swap", "0:1\r\n1:2\r\n", true},
        {"empty", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(Path("bad.log"), c.text);
        Choose(Path("bad.log"));
        EXPECT_FALSE(OpenSetupLog(state, c.swap));
        EXPECT_FALSE(setup->Changed());
        EXPECT_EQ(ShownCount(), 0);
    }
    Choose(Path("missing.log"));
    EXPECT_FALSE(OpenSetupLog(state, false));
    services.dialogs.fileAnswer = false;
    EXPECT_FALSE(OpenSetupLog(state, false));
    EXPECT_FALSE(SaveSetupLog(state));
    EXPECT_FALSE(setup->Changed());
}

TEST_F(SetupLogFiles, ReceivedWordsOfferedAsALogInDebugMode)
{
    state.DebugInfo = true;
    FillRegisters(1, 1791, 3);
    Choose(Path("received.log"));
    frmComm d(state);
    d.SetCommType(1);
    d.SetXelObject(setup.get());
    d.show();
    while (!d.Finished())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QFile f(Path("received.log"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QVector<qint32> words;
    ASSERT_TRUE(ParseSetupLog(f.readAll(), words));
    ASSERT_EQ(words.size(), 1792);
    for (int r = 1; r < 1792; ++r)
        ASSERT_EQ(words[r], unit.Register(r)) << r;
}

} // namespace
} // namespace unitops_test
