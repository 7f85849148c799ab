// Raw setup log files: the exact line layout, the tolerant reader, the byte swap and the
// commands on the open setup.
#include "tests/app/unitops/UnitOpsTestSupport.h"

#include "app/unitops/SetupLog.h"
#include "datamodel/XelSpeedSensor.h"
#include "tests/common/ServiceDoubles.h"
#include "tests/common/NonRegularFiles.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <functional>

namespace unitops_test {
namespace {

using namespace unitops;

TEST(SetupLogFormat, LinesAsWritten)
{
    EXPECT_EQ(SetupLogText({4660, 0, 65535, 24873}),
              QByteArray("0\t:\t4660\t18\t52\r\n1\t:\t0\t0\t0\r\n2\t:\t65535\t255\t255\r\n3\t:\t24873\t97\t41\r\n"));
}

TEST(SetupLogFormat, ReaderTakesTheValueField)
{
    const std::pair<const char*, QVector<qint32>> cases[] = {
        {"5:1234\r\n", {1234}},
        {"5\t:\t1234\t4\t210\r\n", {1234}},
        {"12\t:\t4660\t18\t52", {4660}},
        {"no colon\r\n7\t:\tabc\t1\t2\r\n", {0, 0}},
        {"3:\t12.5\r\n3:13.5\n", {12, 14}},
        {"0:65535.4\r\n", {65535}},
        // Line ends of other editors: LF, CR alone, mixed; a last line without one.
        {"0\t:\t7\t0\t7\n1\t:\t8\t0\t8\n", {7, 8}},
        {"0\t:\t7\t0\t7\r1\t:\t8\t0\t8\r", {7, 8}},
        {"0:7\r1:8\r\n2:9\n3:10", {7, 8, 9, 10}},
        {"0:7\r\r1:8\r", {7, 0, 8}},
        {"", {}},
    };
    for (const auto& [text, expected] : cases) {
        QVector<qint32> words{99};
        EXPECT_TRUE(ParseSetupLog(text, words)) << text;
        EXPECT_EQ(words, expected) << text;
    }
    for (const char* text : {"0:1\r\n1\t:\t65536\t0\t0\r\n", "0:-1\r\n", "0:99999999999999999999\r\n"}) {
        QVector<qint32> words{1};
        EXPECT_FALSE(ParseSetupLog(text, words)) << text;
        EXPECT_TRUE(words.isEmpty());
    }
}

TEST(SetupLogFormat, NamesThatAreNoRegularFileAreRefusedWithoutBlocking)
{
    QTemporaryDir dir;
    const QString pipe = dir.filePath("pipe.log");
    ASSERT_TRUE(testing_files::MakePipe(pipe));
    for (const QString& path : {pipe, dir.path(), testing_files::Device()}) {
        QVector<qint32> words{1};
        const testing_files::Deadline deadline("ReadSetupLog(" + path.toStdString() + ")");
        EXPECT_FALSE(ReadSetupLog(path, words)) << path.toStdString();
    }
}

TEST(SetupLogFormat, SwapTouchesExactlyTheListedWords)
{
    qint32 w = 4660;
    SwapWordBytes(w);
    EXPECT_EQ(w, 13330);
    QSet<int> listed{0, 326, 327, 328, 329, 333, 1027, 1028, 1029, 1030, 1534, 1535};
    for (int i = 0; i <= 23; ++i) {
        listed << 1431 + 4 * i << 1432 + 4 * i;
        if (i <= 5)
            for (int k = 0; k < 4; ++k)
                listed << 1032 + 23 * i + k << 1293 + 23 * i + k;
        if (i <= 4)
            listed << 208 + 23 * i << 209 + 23 * i;
        if (i <= 3)
            listed << 1527 + 2 * i;
    }
    ASSERT_EQ(listed.size(), 122);
    QVector<qint32> words;
    for (int i = 0; i < 1600; ++i)
        words << (i % 200 + 1) * 256 + (i % 7 + 210);
    QVector<qint32> swapped = words;
    ASSERT_TRUE(SwapImageWords(swapped));
    for (int i = 0; i < words.size(); ++i)
        ASSERT_EQ(swapped[i], listed.contains(i) ? (words[i] % 256) * 256 + words[i] / 256 : words[i]) << i;
    QVector<qint32> tooShort(1535, 0x0102);
    EXPECT_FALSE(SwapImageWords(tooShort));
    EXPECT_EQ(tooShort, QVector<qint32>(1535, 0x0102));
}

TEST_F(UnitOpsTest, LogCommandsOnTheOpenSetup)
{
    testing_doubles::ServiceDoubles services;
    QTemporaryDir dir;
    auto choose = [&](const QString& name) {
        services.dialogs.fileAnswer = true;
        services.dialogs.fileChosen = dir.filePath(name);
    };
    setup->SpeedSensor()->SetNomSpeed(1777);
    ASSERT_TRUE(setup->CreateSetup("4.47"));
    choose("setup.log");
    ASSERT_TRUE(unitops::SaveSetupLog(state));
    QFile f(dir.filePath("setup.log"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_TRUE(text.startsWith("0\t:\t24873\t97\t41\r\n"));
    EXPECT_EQ(text.count('\n'), 4128);

    auto target = CreateDefaultSetupDocument();
    state.SetXelObject(target.get());
    ASSERT_TRUE(unitops::OpenSetupLog(state, false));
    EXPECT_EQ(target->SpeedSensor()->NomSpeed(), 1777);
    // The same log after an editor changed its line ends loads the same setup.
    for (const char* end : {"\n", "\r"}) {
        QFile other(dir.filePath("other.log"));
        ASSERT_TRUE(other.open(QIODevice::WriteOnly));
        other.write(QByteArray(text).replace("\r\n", end));
        other.close();
        auto again = CreateDefaultSetupDocument();
        state.SetXelObject(again.get());
        choose("other.log");
        ASSERT_TRUE(unitops::OpenSetupLog(state, false)) << end;
        QVector<qint32> a, b;
        ASSERT_TRUE(again->CreateSetup("4.47") && target->CreateSetup("4.47"));
        ASSERT_TRUE(again->GetSetup(a) && target->GetSetup(b));
        EXPECT_EQ(again->SpeedSensor()->NomSpeed(), 1777);
        EXPECT_EQ(a, b);
    }

    // Bad or short logs, a missing file and a cancelled dialog load nothing and say nothing.
    state.SetXelObject(setup.get());
    setup->ResetBackup();
    for (auto [content, swap] : {std::pair{"0:1\r\n1:70000\r\n", false}, {"0:1\r\n1:2\r\n", true}, {"", false}}) {
        QFile bad(dir.filePath("bad.log"));
        ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
        bad.write(content);
        bad.close();
        choose("bad.log");
        EXPECT_FALSE(unitops::OpenSetupLog(state, swap)) << content;
    }
    choose("missing.log");
    EXPECT_FALSE(unitops::OpenSetupLog(state, false));
    services.dialogs.fileAnswer = false;
    EXPECT_FALSE(unitops::OpenSetupLog(state, false));
    EXPECT_FALSE(setup->Changed());
    EXPECT_EQ(ShownCount(), 0);

    // A log that cannot be written is told on both roads, with the setup file's save message.
    const QString unwritable = dir.filePath("no folder/setup.log");
    const std::function<bool()> roads[] = {[&] { return unitops::SaveSetupLog(state); },
                                           [&] { return unitops::SaveSetupLogFromComm(state, {1, 2, 3}); }};
    for (const auto& road : roads) {
        doubles.presenter.shown.clear();
        services.dialogs.fileAnswer = true;
        services.dialogs.fileChosen = unwritable;
        EXPECT_FALSE(road());
        EXPECT_EQ(ShownCount(), 1);
        EXPECT_TRUE(Shown(190, {"setup.log", unwritable}));
    }
}

} // namespace
} // namespace unitops_test
