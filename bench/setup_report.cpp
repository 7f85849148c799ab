// The printed setup report of a full setup (17 analog channels, both relay cards, SMS): building
// the whole document, and printing it to a PDF file.
#include "app/setupdefaults/DefaultSetup.h"
#include "app/pages/MainState.h"
#include "app/reports/ReportPrinter.h"
#include "app/reports/SetupReport.h"
#include "app/reports/frmPrint.h"
#include "platform/Printers.h"
#include "platform/SettingsStore.h"
#include "extra/extra.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelInfo.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "datamodel/XelRelay.h"
#include "datamodel/XelSMS.h"
#include "datamodel/XelSMSNumber.h"
#include "datamodel/XelSpeedRelay.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "datamodel/cRelay.h"
#include "datamodel/cSMSNumber.h"
#include "datamodel/cSpeedRelay.h"

#include <QApplication>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>
#include "bench/FullSetup.h"

#include <benchmark/benchmark.h>

namespace {

std::unique_ptr<XelObject> FullSetup()
{
    auto doc = FullBenchSetup();
    for (XelAnalogIn* channel : doc->AnalogIn()->NewEnum()) {
        channel->SetUnits("bar");
    }
    for (XelDigitalIn* in : doc->DigitalIn()->NewEnum()) {
        in->SetActive(true);
        in->SetAction(2);
        in->SetText("Switch text");
    }
    for (XelRelay* r : doc->Relay()->NewEnum()) {
        r->SetInUse(true);
        r->SetFunctionNo(75);
        r->SetFunctionText("Common Alarm");
    }
    for (XelSpeedRelay* r : doc->SpeedRelays()->NewEnum())
        r->SetInUse(true);
    doc->SMS()->SetSend(true);
    for (int i = 1; i <= 5; ++i) {
        XelSMSNumber* n = doc->SMSNumbers()->Add(i);
        n->SetInUse(true);
        n->SetNumber("+47 555 000" + QString::number(i));
    }
    doc->Info()->SetInfo("ECX 510\r\nENGINE ROOM 2\r\nCALL +47 555 0000");
    doc->ResetBackup();
    return doc;
}

void BM_BuildReport(benchmark::State& state)
{
    auto doc = FullSetup();
    MainState shared;
    shared.SetXelObject(doc.get());
    ReportPrinter printer;
    SetupReport report(shared, printer);
    for (auto _ : state)
        benchmark::DoNotOptimize(report.BuildReport(*doc));
    state.counters["pages"] = printer.PageCount();
}

void BM_BuildAndPrintPdf(benchmark::State& state)
{
    QTemporaryDir dir;
    auto doc = FullSetup();
    MainState shared;
    shared.SetXelObject(doc.get());
    ReportPrinter printer;
    SetupReport report(shared, printer);
    for (auto _ : state) {
        report.BuildReport(*doc);
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(dir.filePath("report.pdf"));
        benchmark::DoNotOptimize(printer.Print(pdf));
    }
    state.counters["pages"] = printer.PageCount();
}

// The print window's surroundings: a PDF printer, and a scratch settings store (the window
// keeps its place there, not in the user's), with the full setup.
struct PrintRoad {
    PrintRoad()
    {
        platform::Printers::SetInstance(&printers);
        platform::SettingsStore::SetInstance(&settings);
        shared.SetXelObject(doc.get());
    }
    ~PrintRoad()
    {
        platform::Printers::SetInstance(nullptr);
        platform::SettingsStore::SetInstance(nullptr);
    }
    QTemporaryDir dir;
    platform::PdfPrinters printers{dir.filePath("report.pdf")};
    platform::QtSettingsStore settings{dir.filePath("settings.ini")};
    std::unique_ptr<XelObject> doc = FullSetup();
    MainState shared;
};

// The print command's window: created, given the setup (which builds the report), released.
void BM_PrintWindowWithReport(benchmark::State& state)
{
    PrintRoad road;
    for (auto _ : state) {
        frmPrint form(road.shared);
        form.SetXelObject(road.doc.get());
        benchmark::DoNotOptimize(form.PageCount());
    }
}

// The print road on the PDF printer: the window made, the report built and printed at once.
void BM_DirectPrintOnPdfPrinter(benchmark::State& state)
{
    PrintRoad road;
    for (auto _ : state) {
        frmPrint form(road.shared);
        form.SetXelObject(road.doc.get());
        form.Run(true);
        if (form.Result() != frmPrint::Printed) {
            state.SkipWithError("not printed");
            break;
        }
    }
}

// File > Print to the preview: the window made, the report built, the preview drawn and shown.
void BM_PrintToPreview(benchmark::State& state)
{
    PrintRoad road;
    for (auto _ : state) {
        frmPrint form(road.shared);
        form.SetXelObject(road.doc.get());
        form.SetDevice("PDF");
        form.Preview = true;
        QTimer::singleShot(0, &form, [&form] { form.close(); });
        form.PrintOrPreview();
        benchmark::DoNotOptimize(form.PageCount());
    }
}

BENCHMARK(BM_DirectPrintOnPdfPrinter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintToPreview)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildReport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildAndPrintPdf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintWindowWithReport)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    extra::LoadLanguageLibrary();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    extra::FreeLanguageLibrary();
    return 0;
}
