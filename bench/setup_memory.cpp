// Resident memory across many image builds: a document builds its image 1000 times (each
// build writes the unit's display texts from the language library), and the language library
// is loaded and freed 1000 times. Both report the growth of the resident set in KB
// ("rss_growth_kb"); a steady state shows 0 or a few pages of allocator noise.
#include "app/setupdefaults/DefaultSetup.h"
#include "extra/extra.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "datamodel/cAnalogIn.h"
#include "platform/LibraryLoader.h"

#include <QCoreApplication>
#include <QFile>
#include "bench/FullSetup.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kCalls = 1000;

// Resident set size in KB, from the kernel's status of this process.
double ResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0.0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble();
    return 0.0;
}

// One iteration is 1000 CreateSetup calls on one document; the time per call is the
// iteration time / 1000.
void BM_CreateSetupResident(benchmark::State& state)
{
    auto doc = FullBenchSetup();
    for (int i = 0; i < 50; ++i) // warm-up: first-use allocations are not growth
        doc->CreateSetup("4.47");
    const double before = ResidentKb();
    for (auto _ : state)
        for (int i = 0; i < kCalls; ++i)
            benchmark::DoNotOptimize(doc->CreateSetup("4.47"));
    state.counters["rss_growth_kb"] = ResidentKb() - before;
    state.counters["per_call"] = benchmark::Counter(double(state.iterations()) * kCalls,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// 1000 load/free cycles of the language library through the platform loader.
void BM_LanguageLibraryCycles(benchmark::State& state)
{
    platform::LibraryLoader& loader = platform::LibraryLoader::Instance();
    for (int i = 0; i < 50; ++i)
        loader.Free(loader.Load(QStringLiteral("XELLAN.DLL")));
    const double before = ResidentKb();
    for (auto _ : state)
        for (int i = 0; i < kCalls; ++i)
            loader.Free(loader.Load(QStringLiteral("XELLAN.DLL")));
    state.counters["rss_growth_kb"] = ResidentKb() - before;
}

BENCHMARK(BM_CreateSetupResident)->Iterations(4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LanguageLibraryCycles)->Iterations(4)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // The program's own hold, as at start-up; the document's copy of the helpers keeps its own.
    extra::LoadLanguageLibrary();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    extra::FreeLanguageLibrary();
    return 0;
}
