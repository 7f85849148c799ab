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
BENCHMARK(BM_ProgramPrintsFullSetup)->Unit(benchmark::kMillisecond)->Iterations(5);
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
