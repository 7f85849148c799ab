// The main window with its pages: a cold start to the shown window with a default setup, opening
// a full setup file into it, and each tab switch, beside the same work done by the data model alone.
// QUARNO_BENCH_GRAB=<file.png> also saves a picture of the shown window.
#include "app/setupdefaults/DefaultSetup.h"
#include "app/frame/frmMain.h"
#include "extra/extra.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelInfo.h"
#include "datamodel/XelRelay.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "datamodel/cRelay.h"
#include "platform/SettingsStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <QPixmap>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include "bench/FullSetup.h"

#include <benchmark/benchmark.h>

namespace {

QString FullSetupFile(const QTemporaryDir& dir)
{
    extra::LoadLanguageLibrary();
    auto doc = FullBenchSetup();
    // Every switch input and relay in use too, so each page has a full list to show.
    for (XelDigitalIn* input : *doc->DigitalIn()) {
        input->SetActive(true);
        input->SetText("Switch text of thirty chars...");
    }
    int function = 1;
    for (cRelay* relays : {doc->Relay(), doc->RelayNew()}) {
        for (XelRelay* relay : *relays) {
            relay->SetInUse(true);
            relay->SetFunctionNo(function++);
        }
    }
    doc->Info()->SetInfo("MV BENCH\r\nLINE ONE\r\nLINE TWO");
    const QString path = dir.filePath("full.QRN");
    doc->SaveFile(path);
    extra::FreeLanguageLibrary();
    return path;
}

// Start-up to a shown, painted window.
void BM_StartToShownWindow(benchmark::State& state)
{
    double totalMs = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        auto window = std::make_unique<frmMain>();
        window->Form_Load({});
        window->show();
        benchmark::DoNotOptimize(QTest::qWaitForWindowExposed(window.get()));
        QApplication::processEvents();
        totalMs += double(timer.nsecsElapsed()) / 1e6;
        state.PauseTiming();
        if (const QByteArray grab = qgetenv("QUARNO_BENCH_GRAB"); !grab.isEmpty())
            window->grab().save(QString::fromLocal8Bit(grab));
        window->close();
        window.reset();
        state.ResumeTiming();
    }
    state.counters["ms"] = totalMs / double(state.iterations());
}

// The data model's part of the same start: the language library and a default setup.
void BM_StartDataModelOnly(benchmark::State& state)
{
    for (auto _ : state) {
        extra::LoadLanguageLibrary();
        benchmark::DoNotOptimize(CreateDefaultSetupDocument());
        extra::FreeLanguageLibrary();
    }
}

void BM_OpenSetupIntoWindow(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = FullSetupFile(dir);
    frmMain window;
    window.Form_Load({});
    window.show();
    benchmark::DoNotOptimize(QTest::qWaitForWindowExposed(&window));
    for (auto _ : state) {
        if (!window.OpenSetupByName(path)) {
            state.SkipWithError("the setup did not open");
            break;
        }
        QApplication::processEvents();
    }
    window.close();
}

// One tab switch onto the given tab (from the tab before it), page checks and refresh included.
void BM_SwitchToTab(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = FullSetupFile(dir);
    frmMain window;
    window.Form_Load({});
    window.show();
    benchmark::DoNotOptimize(QTest::qWaitForWindowExposed(&window));
    if (!window.OpenSetupByName(path)) {
        state.SkipWithError("the setup did not open");
        return;
    }
    const int tab = int(state.range(0));
    QTabWidget* tabs = window.Tabs();
    for (auto _ : state) {
        state.PauseTiming();
        tabs->setCurrentIndex((tab + 7) % 8);
        QApplication::processEvents();
        state.ResumeTiming();
        tabs->setCurrentIndex(tab);
        QApplication::processEvents();
    }
    if (tabs->currentIndex() != tab)
        state.SkipWithError("the tab switch was refused");
    window.close();
}

// The program as its own process: start, read the full setup, print it to a PDF file, end.
// An upper bound of the program's own start-up.
void BM_ProgramPrintsFullSetup(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = FullSetupFile(dir);
    QDir().mkpath(dir.filePath("config/Kelvaro"));
    QFile conf(dir.filePath("config/Kelvaro/Quarno.conf"));
    conf.open(QIODevice::WriteOnly);
    conf.write("[Printers]\nPdfOutput=" + dir.filePath("out.pdf").toUtf8() + "\n");
    conf.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    for (auto _ : state) {
        QProcess child;
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationDirPath() + "/quarno", {"-p", path});
        if (!child.waitForFinished(30000) || child.exitCode() != 0) {
            state.SkipWithError("the program did not print");
            break;
        }
    }
}

// The program as its own process asked for the window where the display is missing (0), named
// but without an X server (1) or without a compositor (2): what asking the display costs a run
// that ends with status 6.
void BM_ProgramFindsNoDisplay(benchmark::State& state)
{
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    env.insert("XDG_RUNTIME_DIR", dir.path());
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(name);
    if (state.range(0) == 1)
        env.insert("DISPLAY", ":4097");
    if (state.range(0) == 2)
        env.insert("WAYLAND_DISPLAY", "quarno-no-compositor");
    for (auto _ : state) {
        QProcess child;
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationDirPath() + "/quarno", {"-f", dir.filePath("x.QRN")});
        if (!child.waitForFinished(30000) || child.exitCode() != 6) {
            state.SkipWithError("the program did not end with status 6");
            break;
        }
    }
}

// A print server of the benchmark's own: cupsd on a socket in dir, one raw queue Q that prints
// into /dev/null. False where cupsd cannot run.
bool StartPrintServer(const QTemporaryDir& dir, QProcess& cupsd)
{
    const QString root = dir.filePath("cups");
    for (const char* sub : {"", "/state", "/cache", "/spool", "/log"})
        QDir().mkpath(root + sub);
    const QString me = qEnvironmentVariable("USER") == "root" || QFileInfo(dir.path()).ownerId() == 0 ? "nobody" : "";
    const QMap<QString, QString> files{
        {"cups-files.conf",
         QString("ServerRoot %1\nStateDir %1/state\nCacheDir %1/cache\nRequestRoot %1/spool\nTempDir %1/spool\n"
                 "ServerBin /usr/lib/cups\nDataDir /usr/share/cups\nErrorLog %1/log/error_log\nFileDevice Yes\n%2")
             .arg(root, me.isEmpty() ? QString() : "User nobody\nGroup nogroup\nSystemGroup root\n")},
        {"cupsd.conf", QString("Listen %1/cups.sock\nBrowsing No\nWebInterface No\nDefaultAuthType None\n"
                               "<Policy default>\n<Limit All>\nOrder allow,deny\nAllow all\n</Limit>\n</Policy>\n")
                           .arg(root)},
        {"printers.conf", "<Printer Q>\nState Idle\nAccepting Yes\nDeviceURI file:///dev/null\n</Printer>\n"},
    };
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        QFile file(root + "/" + it.key());
        if (!file.open(QIODevice::WriteOnly) || file.write(it.value().toUtf8()) < 0)
            return false;
    }
    cupsd.start("/usr/sbin/cupsd", {"-f", "-c", root + "/cupsd.conf", "-s", root + "/cups-files.conf"});
    if (!cupsd.waitForStarted(10000))
        return false;
    for (int i = 0; i < 200 && !QFile::exists(root + "/cups.sock"); ++i)
        QThread::msleep(50);
    QThread::msleep(300);
    return cupsd.state() == QProcess::Running;
}

// The program as its own process prints the full setup on an accepting queue of a private print
// server (-p): start, the print server's questions, the job, end. Argument 1 runs the program
// in QUARNO_BASELINE_BIN instead, for a side-by-side figure in the same run.
void BM_ProgramPrintsOnQueue(benchmark::State& state)
{
    const QString program = state.range(0) ? qEnvironmentVariable("QUARNO_BASELINE_BIN") + "/quarno"
                                           : QCoreApplication::applicationDirPath() + "/quarno";
    if (!QFile::exists(program)) {
        state.SkipWithError("no such program (QUARNO_BASELINE_BIN names the folder of the other build)");
        return;
    }
    QTemporaryDir dir;
    const QString path = FullSetupFile(dir);
    QProcess cupsd;
    if (!StartPrintServer(dir, cupsd)) {
        state.SkipWithError("no private print server (cupsd, package cups-daemon)");
        return;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("CUPS_SERVER", dir.filePath("cups/cups.sock"));
    env.insert("CUPS_SERVERROOT", dir.filePath("cups"));
    env.insert("PRINTER", "Q");
    for (auto _ : state) {
        QProcess child;
        child.setProcessEnvironment(env);
        child.start(program, {"-p", path});
        if (!child.waitForFinished(60000) || child.exitCode() != 0) {
            state.SkipWithError("the program did not print");
            break;
        }
    }
    cupsd.terminate();
    cupsd.waitForFinished(10000);
}

void BM_OpenSetupDataModelOnly(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = FullSetupFile(dir);
    extra::LoadLanguageLibrary();
    for (auto _ : state) {
        auto doc = CreateDefaultSetupDocument();
        benchmark::DoNotOptimize(doc->LoadFile(path));
    }
    extra::FreeLanguageLibrary();
}

// The settings store's look at a typical settings file before it trusts it, as at every start.
void BM_OpenSettingsStore(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("settings.ini");
    {
        QSettings qt(ini, QSettings::IniFormat);
        for (const char* key : {"CommPort", "Mode", "FileOpenLocationAlways", "FileSaveLocationAlways"})
            qt.setValue(key, "1");
        qt.setValue("Pos", "120,340");
        qt.setValue("StartedFrom", "/opt/quarno/bin/Quarno.exe");
        for (int n = 1; n <= 4; ++n)
            qt.setValue(QStringLiteral("FileList/%1").arg(n), QStringLiteral("/home/service/Setups/Ship %1/Engine.QRN").arg(n));
    }
    for (auto _ : state) {
        platform::QtSettingsStore store(ini);
        benchmark::DoNotOptimize(store.Value("CommPort"));
    }
}

BENCHMARK(BM_StartToShownWindow)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_StartDataModelOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenSetupIntoWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SwitchToTab)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProgramFindsNoDisplay)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_ProgramPrintsFullSetup)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ProgramPrintsOnQueue)->Arg(0)->Arg(1)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_OpenSetupDataModelOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenSettingsStore)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir settingsDir;
    platform::QtSettingsStore settings(settingsDir.filePath("bench.ini"));
    platform::SettingsStore::SetInstance(&settings);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    platform::SettingsStore::SetInstance(nullptr);
    return 0;
}
