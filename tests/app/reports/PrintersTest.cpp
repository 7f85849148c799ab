// The printers stand-in: the system's printers with a settings value that maps a PDF file in,
// and the PDF double.
#include "platform/Printers.h"
#include "platform/SettingsStore.h"
#include "tests/common/Doubles.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <gtest/gtest.h>

namespace {

TEST(Printers, SettingsValueMapsAPdfPrinterIn)
{
    testing_doubles::PlatformDoubles doubles;
    platform::Printers& system = platform::Printers::Instance();
    const QString file = doubles.dir.filePath("mapped.pdf");
    EXPECT_FALSE(system.PrinterNames().contains("PDF"));
    QPrinter printer;
    EXPECT_FALSE(system.SelectPrinter(printer, "PDF"));
    EXPECT_FALSE(system.SelectPrinter(printer, ""));
    platform::SettingsStore::Instance().SetValue("Printers/PdfOutput", file);
    EXPECT_EQ(system.PrinterNames().value(0), "PDF");
    EXPECT_EQ(system.DefaultPrinter(), "PDF");
    ASSERT_TRUE(system.SelectPrinter(printer, "PDF"));
    EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(printer.outputFileName(), file);
    EXPECT_FALSE(system.SelectPrinter(printer, "No Such Printer"));
}

TEST(Printers, PdfDoubleSelectsItsNamesAndScriptsTheSetupDialog)
{
    platform::PdfPrinters pdf("/tmp/x.pdf", {"A", "B"});
    QPrinter printer;
    struct Case {
        const char* name;
        bool ok;
    } cases[] = {{"A", true}, {"B", true}, {"", false}, {"C", false}};
    for (const Case& c : cases)
        EXPECT_EQ(pdf.SelectPrinter(printer, c.name), c.ok) << c.name;
    EXPECT_EQ(pdf.selected, QStringList({"A", "B", "", "C"}));
    QString name = "A";
    pdf.setupChoice = "B";
    EXPECT_TRUE(pdf.ShowPrinterSetup(nullptr, printer, name));
    EXPECT_EQ(name, "B");
    pdf.setupAccepts = false;
    name = "A";
    EXPECT_FALSE(pdf.ShowPrinterSetup(nullptr, printer, name));
    EXPECT_EQ(name, "A");
    EXPECT_EQ(pdf.setupShown, 2);
}

} // namespace
