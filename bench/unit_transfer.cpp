// A whole transmit and a whole receive through the transfer dialog (shown offscreen) against
// the simulated unit at the real line rate, 9600 baud 8O1. The bound is the wire time of every
// byte exchanged (11 bits a character, both directions) plus the dialog's fixed pauses.
#include "app/setupdefaults/DefaultSetup.h"
#include "app/pages/MainState.h"
#include "extra/extra.h"
#include "app/services/modRegistry.h"
#include "app/unitops/frmComm.h"
#include "datamodel/XelObject.h"
#include "platform/MessagePresenter.h"
#include "platform/SettingsStore.h"
#include "tools/ecxsim/SimulatedPort.h"
#include "tools/ecxsim/Unit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

// A message box during the run would wait for a user: count it instead.
class CountingPresenter : public platform::MessagePresenter {
public:
    int shown = 0;
    int Show(const QString&, int, const QString&) override
    {
        ++shown;
        return 1;
    }
};

void RunTransfer(benchmark::State& state, int commType)
{
    QTemporaryDir dir;
    platform::QtSettingsStore settings(dir.filePath("settings.ini"));
    platform::SettingsStore::SetInstance(&settings);
    CountingPresenter presenter;
    platform::MessagePresenter::SetInstance(&presenter);
    modRegistry::SaveCommPort(1);
    extra::LoadLanguageLibrary();

    ecxsim::Unit unit;
    unit.SetPaced(true);
    platform::SerialPort::SetFactory(ecxsim::SimulatedPort::FactoryFor(&unit, true));

    std::unique_ptr<XelObject> setup = CreateDefaultSetupDocument();
    setup->CreateSetup(QStringLiteral("4.47"));
    QVector<qint32> image;
    setup->GetSetup(image);
    for (int r = 1; r < 1792; ++r)
        unit.SetRegister(r, quint16(image[r]));

    // The pauses: 100 ms before the link opens, then 50 ms after the unit check (transmit)
    // or before the link closes (receive).
    const double pauses = 0.150;
    double seconds = 0, bound = 0;
    qint64 bytes = 0;
    bool ok = true;
    for (auto _ : state) {
        MainState main;
        main.SetXelObject(setup.get());
        unit.ResetStatistics();
        frmComm dialog(main);
        dialog.SetCommType(qint16(commType));
        dialog.SetXelObject(setup.get());
        if (commType != 1)
            dialog.SetFirmware(QStringLiteral("4.47"));
        QElapsedTimer clock;
        clock.start();
        dialog.show();
        while (!dialog.Finished())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
        seconds = clock.nsecsElapsed() / 1e9;
        ok = dialog.Success() && presenter.shown == 0;
        bytes = unit.BytesIn() + unit.BytesOut();
        bound = double(bytes) * 11.0 / 9600.0 + pauses;
        state.SetIterationTime(seconds);
        dialog.hide();
    }
    platform::SerialPort::SetFactory({});
    extra::FreeLanguageLibrary();
    platform::MessagePresenter::SetInstance(nullptr);
    platform::SettingsStore::SetInstance(nullptr);
    if (!ok)
        state.SkipWithError("transfer failed");
    state.counters["seconds"] = seconds;
    state.counters["bound_s"] = bound;
    state.counters["ratio"] = bound > 0 ? seconds / bound : 0;
    state.counters["bytes"] = double(bytes);
    std::printf("%s through frmComm: %.3f s, bound %.3f s (%lld bytes + %.0f ms pauses), ratio %.3f\n",
                commType == 1 ? "receive" : "transmit", seconds, bound, static_cast<long long>(bytes), pauses * 1000,
                bound > 0 ? seconds / bound : 0.0);
}

void Transmit(benchmark::State& state) { RunTransfer(state, 0); }
void Receive(benchmark::State& state) { RunTransfer(state, 1); }

BENCHMARK(Transmit)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(Receive)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
