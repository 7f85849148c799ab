// The report printer's additions for the setup report: formats with repeated signs, texts over
// empty cells, headers of empty cells, line breaks in cells and the free text.
#include "app/reports/ReportPrinter.h"
#include "tests/app/reports/ReportTestSupport.h"
#include "tests/common/Doubles.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPrinter>
#include <QScopeGuard>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

// The system's fixed-pitch font with its lines 1.36 em apart, as some fixed-pitch fonts have
// them, under a family of its own ("" where it is no TrueType file); id unloads it.
QString TallFixedFont(int& id)
{
    QProcess match;
    match.start("fc-match", {"-f", "%{file}", "monospace"});
    QFile file(match.waitForFinished(10000) ? QString::fromLocal8Bit(match.readAllStandardOutput()) : QString());
    QByteArray font = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    QMap<QByteArray, char*> table;
    for (int i = 0; font.size() > 12 + 16 * (i + 1) && i < qFromBigEndian<quint16>(font.constData() + 4); ++i) {
        const quint32 at = qFromBigEndian<quint32>(font.constData() + 12 + 16 * i + 8);
        if (at + 80 <= quint32(font.size())) // room for every field written below
            table[font.mid(12 + 16 * i, 4)] = font.data() + at;
    }
    if (!table.contains("head") || !table.contains("hhea") || !table.contains("OS/2"))
        return {};
    // Ascent and descent as the horizontal header, the typographic and the Windows values give them.
    char *hhea = table["hhea"], *os2 = table["OS/2"];
    const qint16 em = qFromBigEndian<qint16>(table["head"] + 18), up = qint16(em * 1.07), down = qint16(em * 0.29);
    for (auto [at, value] : {std::pair{hhea + 4, up}, {hhea + 6, qint16(-down)}, {os2 + 68, up}, {os2 + 70, qint16(-down)},
                             {os2 + 74, up}, {os2 + 76, down}})
        qToBigEndian<qint16>(value, at);
    const QString family = QFontInfo(QFontDatabase::systemFont(QFontDatabase::FixedFont)).family(), tall = "Q" + family.mid(1);
    QStringEncoder utf16(QStringConverter::Utf16BE); // the name table holds the family in Latin-1 and UTF-16
    font.replace(family.toLatin1(), tall.toLatin1()).replace(QByteArray(utf16(family)), QByteArray(utf16(tall)));
    id = QFontDatabase::addApplicationFontFromData(font);
    return QFontDatabase::applicationFontFamilies(id).value(0);
}

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
    const double one = printer.LineHeight(10) + 60;
    struct Case {
        QString cell;
        int lines;
    } cases[] = {{"Alarm", 1}, {"Warning\r\nAlarm", 2}, {"a\nb\rc", 3}, {"", 1}};
    for (const Case& c : cases) {
        const double before = printer.CurrentY;
        printer.AddTable("<2500|<7200", {}, {{"Action", c.cell}}, QColor(), QColor(), true);
        EXPECT_DOUBLE_EQ(printer.CurrentY - before, c.lines * printer.LineHeight(10) + 60) << c.cell.toStdString();
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
    EXPECT_DOUBLE_EQ(printer.CurrentY - before, printer.LineHeight(9) + 60);
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
        EXPECT_DOUBLE_EQ(printer.CurrentY - before, printer.LineHeight(10) + 60) << label;
    }
    EXPECT_EQ(ReportPrinter::Lines("\tByte"), "   Byte");
    // A word too long for its column is broken inside rather than written over the next one.
    const double before = printer.CurrentY;
    printer.AddTable("<2500|>1000|<6200", {}, {{"OVERSPEED-PRE-ALARM-RELAY-NUMBER-ONE", "1500", "RPM"}}, QColor(), QColor(), true);
    EXPECT_GE(printer.CurrentY - before, 2 * printer.LineHeight(10) + 60);
    printer.EndDoc();
}

// Long comments and info lines drawn on a PDF: every word of every drawn line, from its font's
// ascent to its descent, lies inside its cell, so nothing is clipped on paper (the PDF's text
// layer would still hold a clipped end or tail).
TEST(ReportPrinterLayout, WrappedLinesFitTheirCellsOnThePdf)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString words = "Check the oil pressure switch after every service and note the reading below the "
                          "rows, as the engine builder asks, then check it again with the engine at speed";
    const QString umlauts = QString::fromUtf8("Öldruckschalter prüfen, Kühlwasser nachfüllen; Überdrehzahl "
                                              "während der Prüfung beobachten, Ölstand à la carte, façade ÆØÅ æøå");
    const QString tails = "Gg jpq y, ; [a] (b) {c} gjpqy, ";
    int tallId = -1;
    const QString tall = TallFixedFont(tallId);
    const auto unload = qScopeGuard([tallId] { QFontDatabase::removeApplicationFont(tallId); });
    enum { Plain, Fixed, Tall };
    struct Row {
        const char* what;
        int font;
        QStringList cells;
    } rows[] = {
        {"comment of ordinary words", Plain, {"Comments", words}},
        {"comment of W runs", Plain, {"Comments", QString(30, 'W') + " " + QString(120, 'W')}},
        {"comment of i runs", Plain, {"Comments", QString(90, 'i') + " " + QString(300, 'i')}},
        {"comment in other letters", Plain, {"Comments", umlauts + " " + umlauts}},
        {"info line of ordinary words", Fixed, {words, ""}},
        {"info line of W runs", Fixed, {QString(200, 'W'), ""}},
        {"info line of i runs", Fixed, {QString(40, 'i') + " " + QString(200, 'i'), ""}},
        {"info line in other letters", Fixed, {umlauts + " " + umlauts, ""}},
        {"info line with tails", Fixed, {tails.repeated(4), ""}},
        {"wrapped info line with tails in a tall font", Tall, {tails.repeated(4), ""}},
        {"comment with tails in a tall font", Tall, {"Comments", tails.repeated(5)}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.font == Tall && tall.isEmpty())
            continue; // no TrueType fixed-pitch font to make tall
        ReportPrinter report;
        if (row.font != Plain)
            report.Font.setFamily(row.font == Tall ? tall : QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
        const QString format = row.cells[1].isEmpty() ? "<8700|<1000" : "<2500|<7200";
        ASSERT_TRUE(report.StartDoc());
        report.AddTable(format, {}, {row.cells}, QColor(), QColor(), true);
        report.EndDoc();
        const QString pdf = dir.filePath("row.pdf");
        ASSERT_TRUE(report.WritePdf(pdf, QPrinter(QPrinter::HighResolution)));
        const reporttest::PdfLayout layout = reporttest::PdfWords(pdf);
        if (layout.pages.isEmpty())
            GTEST_SKIP() << "pdftotext is not installed";
        // Where each cell's text may run, in points: its span less the padding of 60 twips.
        QFont font = report.Font;
        font.setPointSizeF(report.FontSize);
        const auto columns = ReportPrinter::ParseFormat(format);
        const auto spans = report.Spans(columns, row.cells, font);
        QList<QPair<double, double>> room;
        double x = report.MarginLeft;
        for (int i = 0; i < columns.size(); ++i) {
            room.append({(x + 60) / 20, (x + spans[i].width - 60) / 20});
            x += columns[i].width;
        }
        QMap<int, int> linesOfCell;
        QSet<QPair<int, double>> lineTops;
        for (const reporttest::PdfWord& word : layout.words) {
            int cell = 0;
            while (cell + 1 < room.size() && word.box.left() >= room[cell + 1].first - 1)
                ++cell;
            EXPECT_LE(word.box.right(), room[cell].second + 0.2) << word.text.toStdString();
            EXPECT_GE(word.box.top(), (report.Ops().last().y + 30) / 20 - 0.2) << word.text.toStdString();
            EXPECT_LE(word.box.bottom(), (report.Ops().last().y + report.Ops().last().height - 30) / 20 + 0.2)
                << word.text.toStdString();
            if (!lineTops.contains({cell, std::round(word.box.top())})) {
                lineTops.insert({cell, std::round(word.box.top())});
                ++linesOfCell[cell];
            }
        }
        // The long text took several lines, and the row is as tall as they are.
        const int textCell = row.cells[1].isEmpty() ? 0 : 1;
        EXPECT_GE(linesOfCell[textCell], 2);
        EXPECT_DOUBLE_EQ(report.Ops().last().height, linesOfCell[textCell] * report.LineHeight(10) + 60);
    }
}

} // namespace
