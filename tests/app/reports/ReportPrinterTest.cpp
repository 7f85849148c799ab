#include "tests/app/reports/ReportTestSupport.h"

#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

namespace {

bool PrintToPdf(ReportPrinter& printer, const QString& pdf)
{
    QPrinter out(QPrinter::HighResolution);
    out.setOutputFormat(QPrinter::PdfFormat);
    out.setOutputFileName(pdf);
    return printer.Print(out);
}

} // namespace

TEST(ReportPrinter, FormatsParseAlignAndWidth)
{
    const auto cols = ReportPrinter::ParseFormat("<1800|>7900");
    ASSERT_EQ(cols.size(), 2);
    EXPECT_FALSE(cols[0].right);
    EXPECT_DOUBLE_EQ(cols[0].width, 1800);
    EXPECT_TRUE(cols[1].right);
    EXPECT_DOUBLE_EQ(cols[1].width, 7900);
}

TEST(ReportPrinter, RowsFlowOntoNewPagesWithTheHandlerRunEachTime)
{
    ReportPrinter printer;
    int pagesStarted = 0;
    printer.OnNewPage = [&] {
        ++pagesStarted;
        printer.SetFooter({"", "", "Page %d"});
        printer.CurrentY += 100;
    };
    ASSERT_TRUE(printer.StartDoc());
    EXPECT_EQ(pagesStarted, 1);
    const double row = printer.LineHeight(10) + 60;
    const double room = printer.PageHeight() - printer.MarginBottom - printer.MarginTop - 100;
    const int perPage = int(room / row);
    for (int i = 0; i < perPage; ++i)
        printer.AddTable("<1800|<7900", {}, {{"label", "value"}}, QColor(), QColor(), true);
    EXPECT_EQ(printer.PageCount(), 1);
    printer.AddTable("<1800|<7900", {"Heading|"}, {{"one more", "row"}}, QColor(220, 220, 220), QColor(), true);
    EXPECT_EQ(printer.PageCount(), 2);
    EXPECT_EQ(pagesStarted, 2);
    // The flagged row that broke the page repeats its block's heading at the top.
    EXPECT_TRUE(printer.Ops().last().headerShown);
    EXPECT_DOUBLE_EQ(printer.CurrentY, printer.MarginTop + 100 + 2 * row);
    printer.EndDoc();
}

TEST(ReportPrinter, FailedStartAddsNothing)
{
    ReportPrinter printer;
    printer.SetStartFails(true);
    EXPECT_FALSE(printer.StartDoc());
    EXPECT_NE(printer.Error(), 0);
    printer.AddTable("<100", {}, {{"x"}}, QColor(), QColor());
    EXPECT_TRUE(printer.Ops().isEmpty());
    EXPECT_EQ(printer.PageCount(), 0);
}

TEST(ReportPrinter, PdfCarriesMarkupCharactersAsText)
{
    testing_doubles::PlatformDoubles doubles;
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    ReportPrinter printer;
    printer.OnNewPage = [&] { printer.SetHeader({"Quarno Q2 Setup : a|b %d.qrn", "", "TESTER"}); printer.SetFooter({"", "", "Page %d"}); };
    ASSERT_TRUE(printer.StartDoc());
    printer.AddTable("<1800|<7900", {}, {{"Phone", "+47 | 100%d"}}, QColor(), QColor(), true);
    printer.NewPage();
    printer.AddTable("<9700", {}, {{"second page"}}, QColor(), QColor(), true);
    printer.EndDoc();
    const QString pdf = doubles.dir.filePath("report.pdf");
    ASSERT_TRUE(PrintToPdf(printer, pdf));
    const QString text = reporttest::PdfText(pdf);
    EXPECT_TRUE(reporttest::HasRow(text, {"Phone", "+47 | 100%d"})) << text.toStdString();
    EXPECT_TRUE(reporttest::HasRow(text, {"Quarno Q2 Setup : a|b %d.qrn", "TESTER"})) << text.toStdString();
    const QStringList pages = reporttest::PdfPageTexts(pdf);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(reporttest::HasRow(pages[0], {"Page 1"}));
    EXPECT_TRUE(reporttest::HasRow(pages[1], {"second page"}));
    EXPECT_TRUE(reporttest::HasRow(pages[1], {"Page 2"}));
}

TEST(ReportPrinter, LongHeaderIsCutBeforeItsRightPart)
{
    testing_doubles::PlatformDoubles doubles;
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    struct Case {
        QString left;
        bool cut;
    } cases[] = {{"Quarno Q2 Setup : ME1.qrn", false},
                 {"Quarno Q2 Setup : MV Northern Star ME1 auxiliary generator 3 after the overhaul of 2024", true}};
    for (const Case& c : cases) {
        ReportPrinter printer;
        printer.OnNewPage = [&] { printer.SetHeader({c.left, "", "TESTER - 5 Mar 2024 14:07:09"}); };
        ASSERT_TRUE(printer.StartDoc());
        printer.AddTable("<9700", {}, {{"row"}}, QColor(), QColor(), true);
        printer.EndDoc();
        const QString pdf = doubles.dir.filePath("header.pdf");
        ASSERT_TRUE(PrintToPdf(printer, pdf));
        const QString text = reporttest::PdfText(pdf);
        // The right part is whole; the left part whole, or cut short with an ellipsis.
        EXPECT_EQ(reporttest::HasRow(text, {c.left, "TESTER - 5 Mar 2024 14:07:09"}), !c.cut) << text.toStdString();
        EXPECT_EQ(text.contains(c.left), !c.cut) << text.toStdString();
        EXPECT_EQ(text.contains(QChar(0x2026)), c.cut) << text.toStdString();
    }
}

} // namespace
