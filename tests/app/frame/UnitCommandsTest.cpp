// Receive, transmit and print commands of the main window, and the windowless transmit as a
// child process against the simulated unit.
#include "tests/app/frame/FrameTestSupport.h"

#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelMain.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "app/frame/frmAbout.h"
#include "app/unitops/UnitOps.h"
#include "app/unitops/frmComm.h"
#include "platform/FileIdentity.h"
#include "platform/SystemInfo.h"
#include "seriallink/XelCommTesting.h"
#include "tools/ecxsim/PtyServer.h"
#include "tools/ecxsim/Unit.h"
#include "tests/common/FileSizeLimit.h"

#include <QElapsedTimer>
#include <QLocalServer>
#include <QtEndian>
#include <QProcess>
#include <QProcessEnvironment>

#include <csignal>

using namespace frametest;
using platform::MsgResult::No;
using platform::MsgResult::Yes;

namespace {

class UnitCommands : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        doubles.settings->SetValue("CommPort", "1");
        ASSERT_TRUE(Start());
    }
};

// The unit image of a setup that differs from the defaults in several sections.
QVector<qint32> UnitImage(const QString& firmware)
{
    auto doc = CreateDefaultSetupDocument();
    doc->Main()->SetIDNumber(23);
    doc->DigitalIn()->Item(3)->SetActive(true);
    doc->DigitalIn()->Item(3)->SetText("Oil pressure");
    doc->AnalogIn()->Item(2)->SetActive(true);
    doc->AnalogIn()->Item(2)->SetAction(2);
    doc->AnalogIn()->Item(2)->SetText("Coolant temp");
    EXPECT_TRUE(doc->CreateSetup(firmware));
    QVector<qint32> image;
    EXPECT_TRUE(doc->GetSetup(image));
    return image;
}

// File dialogs and screen scripted for a window built without the fixture.
struct QueueDialogsGuard {
    QueuedDialogs dialogs;
    FixedScreen screen;
    FakeMailer mailer;
    QueueDialogsGuard()
    {
        platform::FileDialogs::SetInstance(&dialogs);
        platform::ScreenInfo::SetInstance(&screen);
        platform::Mailer::SetInstance(&mailer);
    }
    ~QueueDialogsGuard()
    {
        platform::FileDialogs::SetInstance(nullptr);
        platform::ScreenInfo::SetInstance(nullptr);
        platform::Mailer::SetInstance(nullptr);
    }
};

} // namespace

TEST_F(UnitCommands, ReceiveThenSaveGivesTheBytesOfTheDecodedImage)
{
    const QVector<qint32> image = UnitImage("4.47");
    unit.receive = [&](XelObject& doc) { ASSERT_TRUE(doc.LoadSetup(image, "4.47")); };
    window->ToolClick("load");
    EXPECT_EQ(Status(), Lang(222));
    EXPECT_EQ(window->XelObject()->Main()->IDNumber(), 23);
    EXPECT_EQ(window->windowTitle(), "Quarno Q2");
    EXPECT_EQ(unit.calls, (QStringList{"DetectUnit", "RunSetupTransfer(1)"}));
    dialogs.answers = {Path("received.QRN")};
    window->ToolClick("saveas");
    // The data model's own decode of the same image.
    auto model = CreateDefaultSetupDocument();
    ASSERT_TRUE(model->LoadSetup(image, "4.47"));
    ASSERT_TRUE(model->SaveFile(Path("model.QRN")));
    EXPECT_EQ(Bytes(Path("received.QRN")), Bytes(Path("model.QRN")));
}

TEST_F(UnitCommands, AFailedOrCancelledReceiveLeavesTheOpenSetupUntouched)
{
    dialogs.answers = {Path("mine.QRN")};
    window->ToolClick("saveas");
    window->XelObject()->Main()->SetIDNumber(77);
    doubles.keys.shift = true; // no save question
    struct Row {
        const char* name;
        bool detect, transferOk;
        int port;
        bool portCancelled;
        QString message;
    };
    const Row rows[] = {
        {"no unit", false, true, 1, false, Lang(140)},
        {"transfer fails", true, false, 1, false, ""},
        {"no port, dialog cancelled", true, true, 0, true, ""},
    };
    for (const Row& row : rows) {
        XelObject* before = window->XelObject();
        unit.detect = row.detect;
        unit.transferOk = row.transferOk;
        doubles.settings->SetValue("CommPort", QString::number(row.port));
        // The receive writes into its own document whatever happens to it.
        unit.receive = [](XelObject& doc) { doc.Main()->SetIDNumber(5); };
        doubles.presenter.shown.clear();
        DialogAnswer cancel("frmCommSetup", "cmdCancel");
        window->ToolClick("load");
        EXPECT_EQ(window->XelObject(), before) << row.name;
        EXPECT_EQ(before->Main()->IDNumber(), 77) << row.name;
        EXPECT_TRUE(before->Changed()) << row.name;
        EXPECT_EQ(before->Filename(), Path("mine.QRN")) << row.name;
        EXPECT_EQ(Status(), Lang(224)) << row.name;
        EXPECT_EQ(cancel.seen, row.portCancelled ? 1 : 0) << row.name;
        EXPECT_EQ(Shown(), row.message.isEmpty() ? QStringList() : QStringList{row.message}) << row.name;
    }
}

TEST_F(UnitCommands, DebugReceiveFromALogFileReportsItsOwnResult)
{
    window->State().DebugInfo = true;
    doubles.keys.shift = true;
    doubles.keys.chars = "H";
    unit.logOk = false; // the file dialog was cancelled
    doubles.presenter.answers = {Yes};
    window->ToolClick("load");
    EXPECT_EQ(Shown().value(0), "Read Log file, not Control Unit?");
    EXPECT_EQ(unit.calls, QStringList{"OpenSetupLog(1)"});
    EXPECT_EQ(Status(), Lang(224));
    unit.logOk = true;
    unit.calls.clear();
    doubles.keys.chars.clear();
    doubles.presenter.answers = {Yes};
    window->ToolClick("load");
    EXPECT_EQ(unit.calls, QStringList{"OpenSetupLog(0)"});
    EXPECT_EQ(Status(), Lang(222));
}

TEST_F(UnitCommands, TransmitChecksTheUnitAndRecordsOnlyAVerifiedTransfer)
{
    struct Row {
        const char* name;
        bool propulsionSetup, propulsionUnit, detect, transferOk;
        QString chord;
        QString message;
        bool result;
    };
    const Row rows[] = {
        {"matching unit", false, false, true, true, "", "", true},
        {"aux setup to propulsion unit", false, true, true, true, "", Lang(124), false},
        {"propulsion setup to aux unit", true, false, true, true, "", Lang(125), false},
        {"chord skips the type check", false, true, true, true, "BN", "", true},
        {"no unit", false, false, false, true, "", Lang(140), false},
        {"transfer fails", false, false, true, false, "", "", false},
    };
    for (const Row& row : rows) {
        doubles.keys.shift = true;
        window->ToolClick("new");
        doubles.keys.shift = !row.chord.isEmpty();
        doubles.keys.chars = row.chord;
        window->State().PROPULSION = row.propulsionSetup;
        unit.propulsionUnit = row.propulsionUnit;
        unit.detect = row.detect;
        unit.transferOk = row.transferOk;
        unit.firmware = "4.40";
        unit.calls.clear();
        doubles.presenter.shown.clear();
        EXPECT_EQ(window->TransmitSetupToUnit(), row.result) << row.name;
        EXPECT_EQ(Shown(), row.message.isEmpty() ? QStringList() : QStringList{row.message}) << row.name;
        EXPECT_EQ(window->XelObject()->Main()->Firmware().trimmed(), row.result ? "4.40" : "") << row.name;
        EXPECT_EQ(unit.calls.count("ReadUnitVersion(fw)"), 1) << row.name;
        if (unit.calls.contains("RunSetupTransfer(0)"))
            EXPECT_EQ(unit.transferFirmware, "4.40") << row.name; // the same version all along
    }
    doubles.keys.shift = false;
    doubles.keys.chars.clear();
    // A version already read by the caller is used as it is.
    unit.calls.clear();
    unit.transferOk = true;
    EXPECT_TRUE(window->TransmitSetupToUnitFor("4.47"));
    EXPECT_EQ(unit.calls.count("ReadUnitVersion(fw)"), 0);
    EXPECT_EQ(unit.transferFirmware, "4.47");
}

TEST_F(UnitCommands, DebugTransmitUsesTheFixedFirmwareAndOffersTheLog)
{
    window->State().DebugInfo = true;
    doubles.presenter.answers = {Yes};
    EXPECT_TRUE(window->TransmitSetupToUnit());
    EXPECT_EQ(Shown().value(0), Lang(178, {"Quarno Q2"}));
    EXPECT_EQ(unit.calls.count("ReadUnitVersion(fw)"), 0);
    EXPECT_TRUE(unit.calls.contains("SaveSetupLog"));
    EXPECT_EQ(window->XelObject()->Main()->Firmware().trimmed(), "4.47");
}

TEST_F(UnitCommands, AVerifiedTransmitKeepsItsRecordInAnUnchangedFile)
{
    dialogs.answers = {Path("t.QRN")};
    window->ToolClick("saveas");
    const QByteArray before = Bytes(Path("t.QRN"));
    const QDateTime old(QDate(2020, 1, 2), QTime(3, 4, 5));
    ASSERT_TRUE(testing_doubles::SetLastWriteTime(Path("t.QRN"), old));
    ASSERT_TRUE(window->OpenSetupByName(Path("t.QRN")));
    EXPECT_TRUE(window->TransmitSetupToUnit());
    EXPECT_NE(Bytes(Path("t.QRN")), before);
    // Only the record of the transfer changed: the file keeps its modification time.
    QDateTime written;
    ASSERT_TRUE(platform::FileIdentity::Instance().LastWriteTime(Path("t.QRN"), written));
    EXPECT_EQ(written.toSecsSinceEpoch(), old.toSecsSinceEpoch());
    auto back = CreateDefaultSetupDocument();
    ASSERT_TRUE(back->LoadFile(Path("t.QRN")));
    EXPECT_EQ(back->Main()->Firmware().trimmed(), "4.47");
    // Another window's save since then is not written over, and nothing is said about it.
    back->Main()->SetIDNumber(7);
    ASSERT_TRUE(back->SaveFile());
    const QByteArray other = Bytes(Path("t.QRN"));
    EXPECT_TRUE(window->TransmitSetupToUnit());
    EXPECT_EQ(Bytes(Path("t.QRN")), other);
    EXPECT_EQ(Shown(), QStringList());
    ASSERT_TRUE(window->OpenSetupByName(Path("t.QRN")));
    // A file with unsaved edits is left to the user's own save.
    window->XelObject()->Main()->SetIDNumber(99);
    const QByteArray edited = Bytes(Path("t.QRN"));
    EXPECT_TRUE(window->TransmitSetupToUnit());
    EXPECT_EQ(Bytes(Path("t.QRN")), edited);
}

// Bytes after the last record (an SMS number another tool wrote) are not read; the re-save
// after a transmit would drop them, so it is left to the user's own save.
TEST_F(UnitCommands, AVerifiedTransmitNeverDropsBytesTheProgramDidNotRead)
{
    const QByteArray plain = Bytes(WriteSetup("plain.QRN"));
    struct Row {
        const char* name;
        QByteArray tail;
        bool rewritten;
    };
    const Row rows[] = {
        {"nothing more", QByteArray(), true},
        {"an SMS number record", QByteArray("\x01\x00+4712345678\x00\x00", 16), false},
        {"one byte", QByteArray(1, '\x7f'), false},
    };
    for (const Row& row : rows) {
        const QString path = Path("sms.QRN");
        WriteBytes(path, plain + row.tail);
        ASSERT_TRUE(window->OpenSetupByName(path)) << row.name;
        EXPECT_EQ(window->XelObject()->HoldsUnreadBytes(), !row.tail.isEmpty()) << row.name;
        EXPECT_TRUE(window->TransmitSetupToUnit()) << row.name;
        if (row.rewritten) {
            EXPECT_NE(Bytes(path), plain) << row.name;
        } else {
            EXPECT_EQ(Bytes(path), plain + row.tail) << row.name;
            // Nor behind the user's back when the setup is asked whether it changed; the
            // record waits for the user's save.
            EXPECT_FALSE(window->XelObject()->Changed()) << row.name;
            EXPECT_EQ(Bytes(path), plain + row.tail) << row.name;
            EXPECT_EQ(window->XelObject()->Main()->Firmware().trimmed(), "4.47") << row.name;
        }
    }
}

// The re-save after a transmit on a full disk: the file stays as it was, the user is told,
// and the setup stays changed, so Exit asks.
TEST_F(UnitCommands, AReSaveAfterTransmitThatFailsIsReported)
{
    const QString path = WriteSetup("full.QRN");
    const QByteArray before = Bytes(path);
    ASSERT_TRUE(window->OpenSetupByName(path));
    {
        FileSizeLimit disk(1000);
        EXPECT_TRUE(window->TransmitSetupToUnit());
        EXPECT_TRUE(window->XelObject()->Changed());
    }
    EXPECT_EQ(Bytes(path), before);
    EXPECT_EQ(Shown(), QStringList{Lang(190, {"full.QRN", path})});
    EXPECT_EQ(doubles.presenter.shown.value(0).style, platform::MsgStyle::Exclamation);
}

TEST_F(UnitCommands, AVerifiedTransmitLeavesAnOlderFormatFileToTheUser)
{
    // Converting the file to the new format is the user's choice (the save asks first). The
    // older file is the current one without the last field of the main record, found as the
    // bytes that change with it.
    const QByteArray plain = Bytes(WriteSetup("plain.QRN"));
    const QByteArray marked = Bytes(WriteSetup("marked.QRN", [](XelObject& d) { d.Main()->SetShutdownOverride(true); }));
    ASSERT_EQ(plain.size(), marked.size());
    qsizetype at = 0;
    while (at < plain.size() && plain[at] == marked[at])
        ++at;
    qsizetype end = at;
    while (end < plain.size() && plain[end] != marked[end])
        ++end;
    ASSERT_LT(at, plain.size());
    QByteArray older = plain;
    older.remove(at, end - at);
    qToLittleEndian<qint16>(qint16(qFromLittleEndian<qint16>(older.constData() + 5) - 1), older.data() + 5);
    const QString path = Path("old.QRN");
    const QString other = WriteSetup("other.QRN");

    const QByteArray current = plain.mid(3, 4);
    // After the transmit no road rewrites the file; E-mail, which saves it, asks first.
    enum Road { New, Open, Exit, Email };
    const struct {
        Road road;
        int answer; // to the format question
        bool written;
    } rows[] = {{New, 0, false}, {Open, 0, false}, {Exit, 0, false},
                {Email, platform::MsgResult::Cancel, false}, {Email, platform::MsgResult::OK, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "road " << row.road << " answer " << row.answer);
        if (!window)
            ASSERT_TRUE(Start());
        WriteBytes(path, older);
        ASSERT_TRUE(window->OpenSetupByName(path));
        EXPECT_TRUE(window->TransmitSetupToUnit());
        EXPECT_EQ(Bytes(path), older);
        doubles.presenter.shown.clear();
        doubles.presenter.answers = {row.answer};
        dialogs.answers = {other};
        if (row.road == New || row.road == Open)
            window->ToolClick(row.road == New ? "new" : "open");
        else if (row.road == Exit)
            EXPECT_TRUE(window->close());
        else
            EXPECT_EQ(window->CmdEmail(), row.written);
        EXPECT_EQ(Shown(), row.road == Email ? QStringList{Lang(196, {"2.14"})} : QStringList());
        if (row.road == Exit)
            window.reset();
        EXPECT_EQ(Bytes(path).mid(3, 4), row.written ? current : older.mid(3, 4));
        EXPECT_EQ(Bytes(path) == older, !row.written);
    }
}

TEST_F(UnitCommands, ChannelsWithoutADescriptionAreListedSwitchesFirst)
{
    XelObject* doc = window->XelObject();
    doc->DigitalIn()->Item(4)->SetActive(true);
    doc->DigitalIn()->Item(2)->SetActive(true);
    doc->DigitalIn()->Item(5)->SetActive(true);
    doc->DigitalIn()->Item(5)->SetText("Fuel leak");
    doc->AnalogIn()->Item(3)->SetActive(true);
    doc->AnalogIn()->Item(3)->SetText("   ");
    doubles.presenter.answers = {No};
    EXPECT_FALSE(window->CheckChannelDescriptions());
    ASSERT_EQ(doubles.presenter.shown.size(), 1);
    EXPECT_EQ(doubles.presenter.shown[0].text,
              Lang(131, {"Digital Input 2\r\nDigital Input 4\r\nAnalog Input 3"}));
    EXPECT_EQ(doubles.presenter.shown[0].style,
              platform::MsgStyle::YesNo | platform::MsgStyle::Question | platform::MsgStyle::DefaultButton2);
    doubles.presenter.answers = {Yes};
    EXPECT_TRUE(window->CheckChannelDescriptions());
    for (int i : {2, 4})
        doc->DigitalIn()->Item(i)->SetText("x");
    doc->AnalogIn()->Item(3)->SetText("y");
    doubles.presenter.shown.clear();
    EXPECT_TRUE(window->CheckChannelDescriptions());
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());
}

// Settings for a child run: port 1 is the simulated unit's pseudo-terminal.
// damaged: a value ending in a backslash runs on into the [Ports] header.
QString ChildConfig(const QTemporaryDir& dir, const QString& device, int port = 1, bool damaged = false)
{
    const QString config = dir.filePath("config");
    QDir().mkpath(config + "/Kelvaro");
    QFile conf(config + "/Kelvaro/Quarno.conf");
    EXPECT_TRUE(conf.open(QIODevice::WriteOnly));
    conf.write("[General]\nCommPort=" + QByteArray::number(port) + "\nMode=0\n" + (damaged ? "FileSaveLocation=C:\\S\\\n" : "")
               + "[Ports]\nCOM1=" + device.toUtf8() + "\n");
    return config;
}

// Runs the program (or its twin with answered message boxes) as its own process, pumping
// this process's events meanwhile: the simulated unit answers from here.
struct ChildRun {
    bool ended = false;
    int exitCode = -1;
    QByteArray out, err;
};
// Where the child finds its screen: Qt's offscreen platform named for it, or, as over ssh, no
// platform named and no display, or a display named that nobody answers on.
enum class Screen { Offscreen, None, SilentX, SilentWayland, MuteWayland };
const QString kSilentX = QStringLiteral(":4097");
const QString kSilentWayland = QStringLiteral("quarno-no-compositor");
// started: handed the running child, so the test can reach it while it runs.
ChildRun RunChild(const QString& program, const QStringList& args, const QString& config, const QString& answers = {},
                  const std::function<void(QProcess&)>& started = {}, Screen screen = Screen::Offscreen)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", config);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QUARNO_TEST_ANSWERS", answers);
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        if (screen != Screen::Offscreen)
            env.remove(name);
    if (screen == Screen::SilentX)
        env.insert("DISPLAY", kSilentX);
    // A compositor that accepts and never answers.
    QLocalServer mute;
    if (screen == Screen::SilentWayland || screen == Screen::MuteWayland) {
        env.insert("WAYLAND_DISPLAY", kSilentWayland);
        env.insert("XDG_RUNTIME_DIR", config);
        if (screen == Screen::MuteWayland && !mute.listen(config + "/" + kSilentWayland))
            return {};
    }
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationDirPath() + "/" + program, args);
    ChildRun run;
    if (!child.waitForStarted())
        return run;
    if (started)
        started(child);
    QElapsedTimer clock;
    clock.start();
    while (child.state() != QProcess::NotRunning && clock.elapsed() < 60000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        child.waitForFinished(5);
    }
    if (child.state() != QProcess::NotRunning) {
        child.kill();
        child.waitForFinished(5000);
        return run;
    }
    run.ended = child.exitStatus() == QProcess::NormalExit;
    run.exitCode = child.exitCode();
    run.out = child.readAllStandardOutput();
    run.err = child.readAllStandardError();
    return run;
}

// "-q -t FILE" as its own process against the simulated unit on a pseudo-terminal.
TEST(WindowlessTransmit, ChildProcessLeavesTheFilesImageInTheUnit)
{
    testing_doubles::PlatformDoubles doubles;
    // The child runs as this user: the image carries the user's name.
    platform::SystemInfo::SetInstance(nullptr);
    doubles.system.user = platform::SystemInfo::Instance().UserName();
    doubles.system.computer = platform::SystemInfo::Instance().ComputerName();
    platform::SystemInfo::SetInstance(&doubles.system);
    ecxsim::Unit unit;
    unit.SetFirmwareVersion("4.47");
    ecxsim::PtyServer server(&unit);
    if (!server.Open())
        GTEST_SKIP() << "no pseudo-terminal: " << server.ErrorString().toStdString();
    extra::LoadLanguageLibrary();
    auto doc = CreateDefaultSetupDocument();
    doc->Main()->SetIDNumber(31);
    for (XelDigitalIn* input : *doc->DigitalIn())
        input->SetText("Input");
    const QString file = doubles.dir.filePath("send.QRN");
    ASSERT_TRUE(doc->SaveFile(file));
    QVector<qint32> expected;
    ASSERT_TRUE(doc->CreateSetup("4.47"));
    ASSERT_TRUE(doc->GetSetup(expected));
    extra::FreeLanguageLibrary();

    const ChildRun run = RunChild("quarno", {"-q", "-t", file}, ChildConfig(doubles.dir, server.SlavePath()));
    ASSERT_TRUE(run.ended) << "the transmit did not end";
    EXPECT_EQ(run.exitCode, frmMain::ExitOk) << run.err.toStdString();
    // The unit in its default mode answers a bit with size "01": it was found, written and
    // verified, and relocked at the end.
    EXPECT_GT(unit.PackagesAnswered(), 0);
    EXPECT_EQ(unit.Register(0), 0);
    EXPECT_FALSE(unit.Unlocked());
    int differing = 0;
    // The words the transfer moves for this firmware hold the image; the rest of the setup
    // block is untouched (the service block above is the unit's own).
    const int words = frmComm::SetupImageSize("4.47") / 2;
    ASSERT_LE(words, expected.size());
    for (int r = 1; r < 2816; ++r) {
        const quint16 want = r < words ? quint16(expected[r]) : 0;
        if (unit.Register(r) != want) {
            ++differing;
            ADD_FAILURE() << "register " << r << ": " << unit.Register(r) << " expected " << want;
        }
    }
    EXPECT_EQ(differing, 0);
}

// A check that changes the setup before it goes (an older unit turns CAN off) leaves the unit
// with a setup the file does not hold: the shut-down asks to save it, as every shut-down does.
TEST(WindowlessTransmit, ASetupChangedByTheChecksIsOfferedForSaving)
{
    using platform::MsgResult::Cancel;
    struct Row {
        const char* firmware;
        QList<int> answers; // to the check's question, then to the save question
        bool asked;         // the save question came
        bool saved;         // the file now holds CAN off
    };
    const Row rows[] = {
        {"4.2", {Yes, No}, true, false},
        {"4.2", {Yes, Yes}, true, true},
        {"4.2", {Yes, Cancel}, true, false},
        {"4.47", {}, false, false}, // nothing changed: nothing asked
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.firmware + QString(" answers %1").arg(row.answers.size() > 1 ? row.answers[1] : 0).toStdString());
        testing_doubles::PlatformDoubles doubles;
        ecxsim::Unit unit;
        unit.SetFirmwareVersion(row.firmware);
        ecxsim::PtyServer server(&unit);
        if (!server.Open())
            GTEST_SKIP() << "no pseudo-terminal: " << server.ErrorString().toStdString();
        extra::LoadLanguageLibrary();
        auto doc = CreateDefaultSetupDocument();
        doc->Main()->SetCAN(true);
        for (int n = 12; n <= 17; ++n) // the bus channels of a setup with J1939/J1587
            doc->AnalogIn()->Add(n, extra::GetLangString(quint16(920 + n)));
        const QString file = doubles.dir.filePath("send.QRN");
        ASSERT_TRUE(doc->SaveFile(file));
        const QString question = extra::FormatLangString(103, {"send.QRN"});
        extra::FreeLanguageLibrary();

        QStringList answers;
        for (int a : row.answers)
            answers << QString::number(a);
        const ChildRun run = RunChild("quarno_scripted", {"-q", "-t", file}, ChildConfig(doubles.dir, server.SlavePath()),
                                      answers.join(','));
        ASSERT_TRUE(run.ended) << "the transmit did not end";
        EXPECT_EQ(run.exitCode, frmMain::ExitOk) << run.out.toStdString() << run.err.toStdString();
        QStringList shown;
        for (const QByteArray& line : run.out.split('\n'))
            if (line.startsWith("message\t"))
                shown << QString::fromUtf8(line).section('\t', 2).replace("\\n", "\n");
        EXPECT_EQ(shown.contains(question), row.asked) << run.out.toStdString();
        EXPECT_EQ(shown.size(), row.answers.size()) << run.out.toStdString();
        auto back = CreateDefaultSetupDocument();
        ASSERT_TRUE(back->LoadFile(file));
        EXPECT_EQ(back->Main()->CAN(), !row.saved);
        EXPECT_EQ(back->AnalogIn()->Count(), row.saved ? 11 : 17);
        EXPECT_EQ(unit.Register(0), 0);
    }
}

// A default setup whose switch inputs all have a description (no question about them), saved
// as send.QRN; the language library must be loaded.
QString SaveDescribedSetup(const QTemporaryDir& dir)
{
    auto doc = CreateDefaultSetupDocument();
    for (XelDigitalIn* input : *doc->DigitalIn())
        input->SetText("Input");
    const QString file = dir.filePath("send.QRN");
    EXPECT_TRUE(doc->SaveFile(file));
    return file;
}

// A run that fails tells the script on standard error what ended it: the message (with the
// answer to a question) or, where none was shown, what stopped it.
TEST(WindowlessTransmit, TheReasonLineNamesWhatEndedTheRun)
{
    testing_doubles::PlatformDoubles doubles;
    extra::LoadLanguageLibrary();
    const QString file = SaveDescribedSetup(doubles.dir);
    const QString missing = doubles.dir.filePath("missing.QRN");
    const QString noDevice = doubles.dir.filePath("no tty here");
    auto quoted = [](quint16 id, const QVariantList& args = {}) {
        return "\"" + extra::FormatLangString(id, args).simplified() + "\"";
    };
    const QString notSent = "Quarno: exit 3, the setup was not transmitted: ";
    enum UnitKind { NoUnit, Idle, Running, Propulsion, CorruptReadBack };
    const QString mismatch = "the data read back from the Control Unit did not match what was sent (register 700 differs)";
    const QString noDisplay = ": neither DISPLAY nor WAYLAND_DISPLAY is set";
    // Qt's own options inside a name; a file written by a newer program.
    QFile::copy(file, doubles.dir.filePath("Ship -reverse A.QRN"));
    QFile::copy(file, doubles.dir.filePath("Ship -style B.QRN"));
    const QString newer = doubles.dir.filePath("newer.QRN");
    {
        QFile::copy(file, newer);
        QFile version(newer);
        ASSERT_TRUE(version.open(QIODevice::ReadWrite) && version.seek(3) && version.write("\x03\0\0\0", 4) == 4);
    }
    const QString notLoaded = "Quarno: exit 2, the setup file could not be loaded: ";
    // Where the names with ".." lead only after the link: the file beside the decoy is newer.
    ASSERT_TRUE(QDir().mkpath(doubles.dir.filePath("other/real")) && QFile::link("other/real", doubles.dir.filePath("linkdir")));
    ASSERT_TRUE(QFile::copy(file, doubles.dir.filePath("other/m1.QRN")) && QFile::copy(newer, doubles.dir.filePath("m1.QRN")));
    ASSERT_TRUE(QFile::copy(newer, doubles.dir.filePath("other/m2.QRN")));
    struct Back {
        QString folder = QDir::currentPath();
        ~Back() { QDir::setCurrent(folder); }
    } back;
    ASSERT_TRUE(QDir::setCurrent(doubles.dir.path()));
    using enum Screen;
    struct Row {
        QStringList args;
        UnitKind unit;
        int exit;
        QString begins, ends; // of the one line on standard error ("": none)
        Screen screen = Offscreen; // else the program itself, its boxes closed unanswered
        int port = 1;
        QString notice = {}; // the start of a first line, with the settings damaged
    };
    const Row rows[] = {
        {{"-q", "-t", file}, NoUnit, frmMain::ExitTransmitFailed, notSent + "COM1 (" + noDevice + ") could not be opened: ",
         ": " + quoted(140)},
        {{"-q", "-t", file}, Running, frmMain::ExitTransmitFailed, notSent + quoted(114), quoted(114)},
        {{"-q", "-t", file}, Propulsion, frmMain::ExitTransmitFailed, notSent + quoted(124), quoted(124)},
        {{"-q", "-t", file}, CorruptReadBack, frmMain::ExitTransmitFailed, notSent + mismatch, mismatch},
        {{"-t", file}, NoUnit, frmMain::ExitTransmitFailed, notSent + quoted(130) + " answered No", " answered No"},
        {{"-t", missing}, NoUnit, frmMain::ExitFileNotLoadable,
         "Quarno: exit 2, the setup file could not be loaded: " + quoted(104, {missing}), quoted(104, {missing})},
        {{"-q", "-t", file}, Idle, frmMain::ExitOk, "", "", None},
        {{"-q", "-t", file}, Idle, frmMain::ExitTransmitFailed, notSent + "no port is chosen", "", None, 0},
        {{"-p", missing}, NoUnit, frmMain::ExitFileNotLoadable, "Quarno: exit 2, ", quoted(104, {missing}), None},
        {{"-t", file}, NoUnit, frmMain::ExitStartupError, "Quarno: exit 6, an error stopped the start-up: no display to ask",
         noDisplay, None},
        {{"-f", file}, NoUnit, frmMain::ExitStartupError, "Quarno: exit 6, an error stopped the start-up: no display to show",
         noDisplay, None},
        // A display nobody answers on is no display.
        {{"-q", "-t", file}, Idle, frmMain::ExitOk, "", "", SilentX},
        {{"-p", missing}, NoUnit, frmMain::ExitFileNotLoadable, notLoaded, quoted(104, {missing}), SilentX},
        {{"-f", file}, NoUnit, frmMain::ExitStartupError, "Quarno: exit 6, an error stopped the start-up: no display to show",
         ": DISPLAY=" + kSilentX + " does not answer", SilentX},
        {{"-q", "-t", file}, Idle, frmMain::ExitOk, "", "", SilentWayland},
        {{"-f", file}, NoUnit, frmMain::ExitStartupError, "Quarno: exit 6, an error stopped the start-up: no display to show",
         ": WAYLAND_DISPLAY=" + kSilentWayland + " does not answer", SilentWayland},
        {{"-q", "-t", file}, Idle, frmMain::ExitOk, "", "", MuteWayland},
        {{"-p", missing}, NoUnit, frmMain::ExitFileNotLoadable, notLoaded, quoted(104, {missing}), MuteWayland},
        {{"-f", file}, NoUnit, frmMain::ExitStartupError, "Quarno: exit 6, an error stopped the start-up: no display to show",
         ": WAYLAND_DISPLAY=" + kSilentWayland + " does not answer", MuteWayland},
        // The settings' trouble comes first where no window shows it.
        {{"-q", "-t", file}, NoUnit, frmMain::ExitTransmitFailed, notSent + "no port is chosen", "", None, 0,
         "Quarno: The settings file \"" + doubles.dir.filePath("config/Kelvaro/Quarno.conf") + "\" is damaged"},
        // A name is the file the system opens: ".." climbs from where a link leads.
        {{"-q", "-t", "linkdir/../m1.QRN"}, Idle, frmMain::ExitOk, "", "", None},
        {{"-p", "linkdir/../m2.QRN"}, NoUnit, frmMain::ExitFileNotLoadable, notLoaded + quoted(199, {"2.15", "3.0"}), "", None},
        // Nobody sees the newer-file notice: it counts as closed.
        {{"-p", newer}, NoUnit, frmMain::ExitFileNotLoadable, notLoaded + quoted(199, {"2.15", "3.0"}), "", None},
        {{"-q", "-t", newer}, NoUnit, frmMain::ExitFileNotLoadable, notLoaded + quoted(199, {"2.15", "3.0"}), "", None},
        // Qt's own words inside a name belong to the name.
        {QStringList{"-q", "-t"} + doubles.dir.filePath("Ship -reverse A.QRN").split(' '), Idle, frmMain::ExitOk, "", "", None},
        {QStringList{"-q", "-t"} + doubles.dir.filePath("Ship -style B.QRN").split(' '), Idle, frmMain::ExitOk, "", ""},
    };
    extra::FreeLanguageLibrary();
    for (const Row& row : rows) {
        SCOPED_TRACE((row.args.join(' ') + ": " + row.begins).toStdString());
        ecxsim::Unit unit;
        unit.SetFirmwareVersion("4.47");
        unit.SetEngineRunning(row.unit == Running);
        if (row.unit == Propulsion)
            unit.SetUnitType(1);
        if (row.unit == CorruptReadBack) {
            unit.SetFault(ecxsim::Unit::Fault::CorruptReadBack, 1);
            unit.SetCorruptRegister(700);
        }
        ecxsim::PtyServer server(&unit);
        if (row.unit != NoUnit && !server.Open())
            GTEST_SKIP() << "no pseudo-terminal: " << server.ErrorString().toStdString();
        const QString device = row.unit == NoUnit ? noDevice : server.SlavePath();
        const ChildRun run = RunChild(row.screen == Offscreen ? "quarno_scripted" : "quarno", row.args,
                                      ChildConfig(doubles.dir, device, row.port, !row.notice.isEmpty()), {}, {}, row.screen);
        ASSERT_TRUE(run.ended) << "the transmit did not end";
        EXPECT_EQ(run.exitCode, row.exit) << run.out.toStdString() << run.err.toStdString();
        EXPECT_EQ(unit.Register(0), 0);
        const QStringList lines = QString::fromLocal8Bit(run.err).split('\n', Qt::SkipEmptyParts);
        QStringList said = lines.filter("Quarno: ");
        EXPECT_EQ(lines, said); // nothing but the program's own lines
        if (!row.notice.isEmpty())
            EXPECT_TRUE(!said.isEmpty() && said.takeFirst().startsWith(row.notice) && lines[0].contains(" COM1 ")) << run.err.toStdString();
        ASSERT_EQ(said.size(), row.begins.isEmpty() ? 0 : 1) << run.err.toStdString();
        EXPECT_TRUE(row.begins.isEmpty() || said[0].startsWith(row.begins)) << run.err.toStdString();
        EXPECT_TRUE(row.begins.isEmpty() || said[0].endsWith(row.ends)) << run.err.toStdString();
    }
}

// A signal in the middle of the image: the package on the wire is dropped, the unit locked
// again, and the run ends with the transmit status and a line that says so. A signal as the unit
// is locked again after the read-back matched ends as a verified transmit: recorded, status 0.
TEST(WindowlessTransmit, ASignalMidTransmitRelocksTheUnitAndEndsWithStatus3)
{
    testing_doubles::PlatformDoubles doubles;
    extra::LoadLanguageLibrary();
    const QString file = SaveDescribedSetup(doubles.dir);
    extra::FreeLanguageLibrary();
    const QString incomplete = "Quarno: exit 3, the setup was not transmitted: a signal (%1) stopped the transmit; "
                               "the Control Unit was locked again (0 written to register 0); its setup is incomplete "
                               "and must be transmitted again";
    struct Row {
        int signal;
        const char* name;
        bool atRelock; // else at the tenth reply of the unlocked unit
        int exit;
        QString line;
    };
    const Row rows[] = {
        {SIGTERM, "SIGTERM", false, frmMain::ExitTransmitFailed, incomplete.arg("SIGTERM")},
        {SIGHUP, "SIGHUP", false, frmMain::ExitTransmitFailed, incomplete.arg("SIGHUP")},
        {SIGTERM, "SIGTERM", true, frmMain::ExitOk,
         "Quarno: exit 0, a signal (SIGTERM) came as the transmit ended; the setup was transmitted and verified; the "
         "Control Unit was locked again (0 written to register 0)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE((QString(row.name) + (row.atRelock ? " at the relock" : "")).toStdString());
        QFile::remove(file);
        extra::LoadLanguageLibrary();
        SaveDescribedSetup(doubles.dir);
        extra::FreeLanguageLibrary();
        ecxsim::Unit unit;
        unit.SetFirmwareVersion("4.47");
        for (int r = 1; r < 1792; ++r)
            unit.SetRegister(r, quint16(r * 5));
        ecxsim::PtyServer server(&unit);
        if (!server.Open())
            GTEST_SKIP() << "no pseudo-terminal: " << server.ErrorString().toStdString();
        int lastUnlockedReply = 10;
        if (row.atRelock) { // a run of its own counts the replies up to the end of the read-back
            const QString copy = doubles.dir.filePath("count.QRN");
            QFile::remove(copy);
            ASSERT_TRUE(QFile::copy(file, copy));
            int replies = 0;
            const auto counting = QObject::connect(&unit, &ecxsim::Unit::Transmit, [&] { replies += unit.Unlocked(); });
            ASSERT_EQ(RunChild("quarno", {"-q", "-t", copy}, ChildConfig(doubles.dir, server.SlavePath())).exitCode, 0);
            QObject::disconnect(counting);
            lastUnlockedReply = replies;
        }
        QProcess* running = nullptr;
        int replies = 0;
        bool relockDue = false;
        // The unit's reply goes out first; the signal follows it at once. At the relock its reply
        // is held back a moment, so the signal comes while the program waits for it.
        QObject::connect(&unit, &ecxsim::Unit::Transmit, [&, signal = row.signal] {
            if (!running || !unit.Unlocked() || ++replies != lastUnlockedReply)
                return;
            if (!row.atRelock) {
                ::kill(pid_t(running->processId()), signal);
                return;
            }
            unit.SetReplyDelay(500);
            unit.SetFault(ecxsim::Unit::Fault::DelayedReply, 1);
            relockDue = true;
        });
        QTimer relockWatch;
        relockWatch.setInterval(1);
        QObject::connect(&relockWatch, &QTimer::timeout, [&, signal = row.signal] {
            if (relockDue && !unit.Unlocked()) {
                relockDue = false;
                ::kill(pid_t(running->processId()), signal);
            }
        });
        relockWatch.start();
        const ChildRun run = RunChild("quarno", {"-q", "-t", file}, ChildConfig(doubles.dir, server.SlavePath()), {},
                                      [&](QProcess& child) { running = &child; });
        relockWatch.stop();
        ASSERT_TRUE(run.ended) << "the transmit did not end by itself";
        EXPECT_EQ(run.exitCode, row.exit);
        const QStringList said = QString::fromLocal8Bit(run.err).split('\n').filter("Quarno: ");
        ASSERT_EQ(said.size(), 1) << run.err.toStdString();
        EXPECT_EQ(said[0], row.line);
        EXPECT_EQ(unit.Register(0), 0);
        EXPECT_FALSE(unit.Unlocked());
        EXPECT_EQ(unit.Register(1700) == 1700 * 5, !row.atRelock); // the rest of the image never went
        // Only a verified transmit is recorded in the file.
        extra::LoadLanguageLibrary();
        auto sent = CreateDefaultSetupDocument();
        ASSERT_TRUE(sent->LoadFile(file));
        EXPECT_EQ(sent->Main()->Firmware().trimmed(), row.atRelock ? "4.47" : "");
        extra::FreeLanguageLibrary();
    }
}

// The same road in-process with the program's own unit routines: a silent unit ends the run
// with the transmit status, and nothing reaches the unit.
TEST(WindowlessTransmit, ASilentUnitEndsWithTheTransmitStatus)
{
    testing_doubles::PlatformDoubles doubles;
    QueueDialogsGuard guard;
    ecxsim::Unit unit;
    unit.SetFault(ecxsim::Unit::Fault::Silence, -1);
    ecxsim::PtyServer server(&unit);
    if (!server.Open())
        GTEST_SKIP() << "no pseudo-terminal";
    doubles.settings->SetValue("CommPort", "1");
    doubles.settings->SetValue("Ports/COM1", server.SlavePath());
    extra::LoadLanguageLibrary();
    auto doc = CreateDefaultSetupDocument();
    const QString file = doubles.dir.filePath("send.QRN");
    ASSERT_TRUE(doc->SaveFile(file));
    extra::FreeLanguageLibrary();
    XelCommTesting::SetMillisecondsPerSecond(10); // the link's time-outs, shortened
    frmMain window; // the real unit routines
    EXPECT_FALSE(window.Form_Load({"-q", "-t", file}));
    XelCommTesting::SetMillisecondsPerSecond(1000);
    EXPECT_EQ(window.ExitStatus(), frmMain::ExitTransmitFailed);
    EXPECT_FALSE(window.isVisible());
    for (int r = 0; r < 16; ++r)
        EXPECT_EQ(unit.Register(r), 0) << r;
}

// The about box reads the unit through the program's own routine.
TEST(AboutBoxUnit, VersionsFromTheSimulatedUnitOrNA)
{
    struct Row {
        bool silent;
        QString fw, hw;
    };
    const Row rows[] = {{false, "4.47", "3"}, {true, "N/A", "N/A"}};
    for (const Row& row : rows) {
        testing_doubles::PlatformDoubles doubles;
        ecxsim::Unit unit;
        unit.SetFirmwareVersion("4.47");
        unit.SetHardwareVersion(3);
        if (row.silent)
            unit.SetFault(ecxsim::Unit::Fault::Silence, -1);
        ecxsim::PtyServer server(&unit);
        if (!server.Open())
            GTEST_SKIP() << "no pseudo-terminal";
        doubles.settings->SetValue("CommPort", "1");
        doubles.settings->SetValue("Ports/COM1", server.SlavePath());
        XelCommTesting::SetMillisecondsPerSecond(10);
        frmAbout about;
        about.SetVersionReader(unitops::ReadUnitVersion);
        about.show();
        QElapsedTimer clock;
        clock.start();
        while (!about.VersionsRead() && clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        XelCommTesting::SetMillisecondsPerSecond(1000);
        EXPECT_EQ(about.findChild<QLabel*>("lblVersionFW")->text(), row.fw);
        EXPECT_EQ(about.findChild<QLabel*>("lblVersionHW")->text(), row.hw);
    }
}
