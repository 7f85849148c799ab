// The setup document with a full setup (CAN on, 17 analog channels): file save and load,
// image build and decode.
#include "app/setupdefaults/DefaultSetup.h"
#include "extra/extra.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "datamodel/cAnalogIn.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include "bench/FullSetup.h"

#include <benchmark/benchmark.h>

namespace {

void BM_SaveFile(benchmark::State& state)
{
    QTemporaryDir dir;
    auto doc = FullBenchSetup();
    const QString path = dir.filePath("bench.QRN");
    for (auto _ : state)
        benchmark::DoNotOptimize(doc->SaveFile(path));
}

void BM_LoadFile(benchmark::State& state)
{
    QTemporaryDir dir;
    auto doc = FullBenchSetup();
    const QString path = dir.filePath("bench.QRN");
    doc->SaveFile(path);
    auto target = CreateDefaultSetupDocument();
    for (auto _ : state)
        benchmark::DoNotOptimize(target->LoadFile(path));
}

void BM_CreateSetup(benchmark::State& state)
{
    auto doc = FullBenchSetup();
    for (auto _ : state)
        benchmark::DoNotOptimize(doc->CreateSetup("4.47"));
}

void BM_LoadSetup(benchmark::State& state)
{
    auto doc = FullBenchSetup();
    doc->CreateSetup("4.47");
    QVector<qint32> words;
    doc->GetSetup(words);
    words.resize(1792);
    auto target = CreateDefaultSetupDocument();
    for (auto _ : state)
        benchmark::DoNotOptimize(target->LoadSetup(words, "4.47"));
}

BENCHMARK(BM_SaveFile);
BENCHMARK(BM_LoadFile);
BENCHMARK(BM_CreateSetup);
BENCHMARK(BM_LoadSetup);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    extra::LoadLanguageLibrary();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    extra::FreeLanguageLibrary();
    return 0;
}
