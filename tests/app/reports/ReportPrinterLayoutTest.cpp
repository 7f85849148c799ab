// The report printer's additions for the setup report: formats with repeated signs, texts over
// empty cells, headers of empty cells, line breaks in cells and the free text.
#include "app/reports/ReportPrinter.h"
#include "tests/common/Doubles.h"

#include <QFontMetricsF>
#include <gtest/gtest.h>

namespace {

TEST(ReportPrinterLayout, FormatsWithRepeatedSigns)
{
    struct Case {
        const char* format;
        QVector<double> widths;
        QVector<bool> right;
    } cases[] = {
        {"<<1800|<7600", {1800, 7600}, {false, false}},
        {"<<9700", {9700}, {false}},
        {"<2500|>1000|<6200", {2500, 1000, 6200}, {false, true, false}},
        {">>800", {800}, {true}},
        {"<abc", {0}, {false}},
    };
    for (const Case& c : cases) {
        const auto cols = ReportPrinter::ParseFormat(c.format);
        ASSERT_EQ(cols.size(), c.widths.size()) << c.format;
        for (int i = 0; i < cols.size(); ++i) {
            EXPECT_EQ(cols[i].width, c.widths[i]) << c.format;
            EXPECT_EQ(cols[i].right, c.right[i]) << c.format;
        }
    }
}

TEST(ReportPrinterLayout, TextsRunOnOverEmptyCells)
{
    ReportPrinter printer;
    QFont font = printer.Font;
    font.setPointSizeF(10);
    const auto cols = ReportPrinter::ParseFormat("<800|>1000|<6200");
    struct Case {
        QStringList cells;
        QVector<double> widths;
        QVector<bool> right, covered;
    } cases[] = {
        // A label over the two empty cells after it.
        {{"A very long label that needs room", "", ""}, {8000, 1000, 6200}, {false, true, false}, {false, true, true}},
        // Nothing empty after it: the label keeps its column.
        {{"Label", "12", "V"}, {800, 1000, 6200}, {false, true, false}, {false, false, false}},
        // A short right-aligned value stays in its column and alignment.
        {{"Label", "12", ""}, {800, 1000, 6200}, {false, true, false}, {false, false, false}},
        // A right-aligned value too long for one line runs on, left-aligned.
        {{"Fuel", "Control Unit Algorithm Number 2", ""}, {800, 7200, 6200}, {false, false, false}, {false, false, true}},
        // An empty first cell does not run anywhere.
        {{"", "", "x"}, {800, 1000, 6200}, {false, true, false}, {false, false, false}},
    };
    for (const Case& c : cases) {
        const auto spans = printer.Spans(cols, c.cells, font);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(spans[i].width, c.widths[i]) << c.cells.join("|").toStdString() << " " << i;
            EXPECT_EQ(spans[i].right, c.right[i]) << c.cells.join("|").toStdString() << " " << i;
            EXPECT_EQ(spans[i].covered, c.covered[i]) << c.cells.join("|").toStdString() << " " << i;
        }
    }
}

TEST(ReportPrinterLayout, HeaderOfEmptyCellsIsNotRepeated)
{
    ReportPrinter printer;
    ASSERT_TRUE(printer.StartDoc());
    printer.CurrentY = printer.PageHeight() - printer.MarginBottom - 10;
    printer.AddTable("<1800|<7900", {"", ""}, {{"row", "on a new page"}}, QColor(220, 220, 220), QColor(), true);
    EXPECT_EQ(printer.PageCount(), 2);
    EXPECT_FALSE(printer.Ops().last().headerShown);
    printer.CurrentY = printer.PageHeight() - printer.MarginBottom - 10;
    printer.AddTable("<1800|<7900", {"Channel 3", ""}, {{"row", "on a new page"}}, QColor(235, 235, 235), QColor(), true);
    EXPECT_EQ(printer.PageCount(), 3);
    EXPECT_TRUE(printer.Ops().last().headerShown);
    printer.EndDoc();
}

TEST(ReportPrinterLayout, LineBreaksInCellsAndFreeText)
{
    ReportPrinter printer;
    ASSERT_TRUE(printer.StartDoc());
    const double one = ReportPrinter::LineHeight(10) + 60;
    struct Case {
        QString cell;
        int lines;
    } cases[] = {{"Alarm", 1}, {"Warning\r\nAlarm", 2}, {"a\nb\rc", 3}, {"", 1}};
    for (const Case& c : cases) {
        const double before = printer.CurrentY;
        printer.AddTable("<2500|<7200", {}, {{"Action", c.cell}}, QColor(), QColor(), true);
        EXPECT_DOUBLE_EQ(printer.CurrentY - before, c.lines * ReportPrinter::LineHeight(10) + 60) << c.cell.toStdString();
        // The recording keeps the text as it was given.
        EXPECT_EQ(printer.Ops().last().body[0][1], c.cell);
    }
    EXPECT_EQ(ReportPrinter::Lines("a\r\nb\rc\nd"), "a\nb\nc\nd");
    const double before = printer.CurrentY;
    printer.FontSize = 9;
    printer.Text("  * = note");
    const ReportPrinter::Op& note = printer.Ops().last();
    EXPECT_EQ(note.kind, ReportPrinter::Op::Text);
    EXPECT_EQ(note.y, before);
    EXPECT_EQ(note.fontSize, 9);
    EXPECT_DOUBLE_EQ(printer.CurrentY - before, ReportPrinter::LineHeight(9) + 60);
    EXPECT_GT(one, 0);
    printer.EndDoc();
    // Nothing is added to a closed document.
    printer.Text("late");
    EXPECT_EQ(printer.Ops().last().body[0][0], "  * = note");
}

TEST(ReportPrinterLayout, IndentedLabelsTakeOneLine)
{
    ReportPrinter printer;
    ASSERT_TRUE(printer.StartDoc());
    // The bus rows indent their labels with a tab; the row stays one line high.
    for (const char* label : {"\tMessage Group", "\tBytes", "   Indented label", "Broken Wire Detection"}) {
        const double before = printer.CurrentY;
        printer.AddTable("<2500|<7200", {}, {{label, "x"}}, QColor(), QColor(), true);
        EXPECT_DOUBLE_EQ(printer.CurrentY - before, ReportPrinter::LineHeight(10) + 60) << label;
    }
    EXPECT_EQ(ReportPrinter::Lines("\tByte"), "   Byte");
    // A word too long for its column is broken inside rather than written over the next one.
    const double before = printer.CurrentY;
    printer.AddTable("<2500|>1000|<6200", {}, {{"OVERSPEED-PRE-ALARM-RELAY-NUMBER-ONE", "1500", "RPM"}}, QColor(), QColor(), true);
    EXPECT_GE(printer.CurrentY - before, 2 * ReportPrinter::LineHeight(10) + 60);
    printer.EndDoc();
}

} // namespace
