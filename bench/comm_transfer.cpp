// A setup transfer through Comm against the simulated unit at the real line rate:
// 1792 registers written and read back, Retries 3 and TimeOut 3 as the transfer uses.
// The wire-time bound is the bytes exchanged (requests plus replies) at 11 bits a
// character and 9600 baud.
#include "seriallink/Comm.h"
#include "tools/ecxsim/SimulatedPort.h"
#include "tools/ecxsim/Unit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int kRegisters = 1792;
constexpr qint32 kUnlock = 24873;

void CommTransfer(benchmark::State& state)
{
    ecxsim::Unit unit;
    unit.SetPaced(true);
    // The master's requests take their line time as well.
    platform::SerialPort::SetFactory(ecxsim::SimulatedPort::FactoryFor(&unit, true));

    QVector<qint32> image(kRegisters);
    for (int i = 0; i < kRegisters; ++i)
        image[i] = qint32((i * 40503u + 7) & 0xFFFF);
    image[0] = kUnlock; // the image keeps the unit unlocked

    double seconds = 0, bound = 0;
    qint64 bytes = 0;
    bool ok = true;
    for (auto _ : state) {
        unit.ResetStatistics();
        Comm comm;
        comm.SetSettings("9600,o,8,1");
        comm.SetIdentity(240);
        comm.SetRetries(3);
        comm.SetTimeOut(3);
        comm.SetIgnorenotToMaster(true);
        comm.StartComm();
        QElapsedTimer clock;
        clock.start();
        QVector<qint32> back;
        ok = comm.SetRegister(0, kUnlock) && comm.SetRegistersEx(0, image) && comm.GetRegistersEx(0, kRegisters, back)
             && back == image;
        seconds = clock.nsecsElapsed() / 1e9;
        comm.EndComm();
        bytes = unit.BytesIn() + unit.BytesOut();
        bound = double(bytes) * 11.0 / 9600.0;
        state.SetIterationTime(seconds);
    }
    platform::SerialPort::SetFactory({});
    if (!ok)
        state.SkipWithError("transfer failed");
    state.counters["seconds"] = seconds;
    state.counters["bound_s"] = bound;
    state.counters["ratio"] = bound > 0 ? seconds / bound : 0;
    state.counters["bytes"] = double(bytes);
    std::printf("transfer of %d registers: %.3f s, wire-time bound %.3f s (%lld bytes), ratio %.3f\n", kRegisters,
                seconds, bound, static_cast<long long>(bytes), bound > 0 ? seconds / bound : 0.0);
}

BENCHMARK(CommTransfer)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
