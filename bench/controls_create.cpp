// Building a page's worth of entry and display controls, and painting the graph.
#include "controls/Container.h"
#include "controls/Float.h"
#include "controls/InfoWindow.h"
#include "controls/Number.h"
#include "controls/TarnGraph.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

// A busy page: four groups, forty whole-number boxes, twelve decimal boxes.
void BM_PageOfControls(benchmark::State& state)
{
    for (auto _ : state) {
        QWidget page;
        for (int g = 0; g < 4; ++g) {
            auto* group = new Container(&page);
            group->SetCaption("Group");
            for (int i = 0; i < 10; ++i) {
                auto* n = new Number(group);
                n->SetMax(600);
                n->SetValue(i);
            }
            for (int i = 0; i < 3; ++i) {
                auto* f = new Float(group);
                f->SetMax(100);
                f->SetValue(1.5f);
            }
        }
        benchmark::DoNotOptimize(page.children().size());
    }
}
BENCHMARK(BM_PageOfControls)->Unit(benchmark::kMillisecond);

void BM_CreateNumber(benchmark::State& state)
{
    QWidget page;
    for (auto _ : state) {
        auto* n = new Number(&page);
        benchmark::DoNotOptimize(n);
        delete n;
    }
}
BENCHMARK(BM_CreateNumber)->Unit(benchmark::kMicrosecond);

void BM_CreateInfoWindow(benchmark::State& state)
{
    for (auto _ : state) {
        InfoWindow info;
        info.SetText("Line one\r\nLine two");
        benchmark::DoNotOptimize(&info);
    }
}
BENCHMARK(BM_CreateInfoWindow)->Unit(benchmark::kMicrosecond);

void BM_PaintGraph(benchmark::State& state)
{
    TarnGraph graph;
    graph.resize(495, 249);
    for (int i = 0; i <= 20; ++i)
        graph.AddDataValue(float(i) / 2, float(i % 7));
    QImage image(graph.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        graph.render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_PaintGraph)->Unit(benchmark::kMicrosecond);

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
