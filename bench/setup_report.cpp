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

// The print command's window: created, given the setup (which builds the report), released.
void BM_PrintWindowWithReport(benchmark::State& state)
{
    QTemporaryDir dir;
    platform::PdfPrinters printers(dir.filePath("report.pdf"));
    platform::Printers::SetInstance(&printers);
    // The window keeps its place in the settings: a scratch store, not the user's.
    platform::QtSettingsStore settings(dir.filePath("settings.ini"));
    platform::SettingsStore::SetInstance(&settings);
    auto doc = FullSetup();
    MainState shared;
    shared.SetXelObject(doc.get());
    for (auto _ : state) {
        frmPrint form(shared);
        form.SetXelObject(doc.get());
        benchmark::DoNotOptimize(form.PageCount());
    }
    platform::Printers::SetInstance(nullptr);
    platform::SettingsStore::SetInstance(nullptr);
}

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
