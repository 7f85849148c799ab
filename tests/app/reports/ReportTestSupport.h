#pragma once
// Shared pieces of the printed-report tests: a setup with its pages, the recording read back as
// rows, and pdftotext.
#include "app/setupdefaults/DefaultSetup.h"
#include "app/pages/MainState.h"
#include "app/pages/common/PageCommon.h"
#include "app/pages/general/RelaysPage.h"
#include "app/pages/general/SpeedSensorPage.h"
#include "app/reports/ReportPrinter.h"
#include "app/reports/SetupReport.h"
#include "app/services/clsADO.h"
#include "extra/extra.h"
#include "datamodel/XelObject.h"
#include "tests/common/Doubles.h"

#include <QCoreApplication>
#include <QLocale>
#include <QProcess>
#include <QRectF>
#include <QSizeF>
#include <QVector>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) { *os << "[" << l.join("|").toStdString() << "]"; }
QT_END_NAMESPACE

namespace reporttest {

// One table of the recording: a heading has no cells, a row its body's first line.
struct Table {
    QString format;
    QStringList header;
    QStringList cells;
    friend bool operator==(const Table&, const Table&) = default;
};

inline std::ostream& operator<<(std::ostream& os, const Table& t)
{
    return os << t.format.toStdString() << " H[" << t.header.join("|").toStdString() << "] C["
              << t.cells.join("|").toStdString() << "]";
}

inline Table Heading(const QString& format, const QStringList& header) { return {format, header, {}}; }

inline std::vector<Table> Tables(const ReportPrinter& p)
{
    std::vector<Table> out;
    for (const ReportPrinter::Op& op : p.Ops()) {
        if (op.kind != ReportPrinter::Op::Table)
            continue;
        if (op.body.isEmpty())
            out.push_back({op.format, op.header, {}});
        for (const QStringList& row : op.body)
            out.push_back({op.format, op.header, row});
    }
    return out;
}

// The rows of the section under a heading whose first header cell is title, heading included,
// up to the next heading.
inline std::vector<Table> Section(const ReportPrinter& p, const QString& title)
{
    std::vector<Table> all = Tables(p), out;
    bool in = false;
    for (const Table& t : all) {
        const bool heading = t.cells.isEmpty() && !t.header.isEmpty() && t.format != "<2500|<7200";
        if (heading)
            in = t.header.value(0) == title;
        if (in)
            out.push_back(t);
    }
    return out;
}

inline const ReportPrinter::Op* FindTable(const ReportPrinter& p, const QString& firstHeaderCell)
{
    for (const ReportPrinter::Op& op : p.Ops())
        if (op.kind == ReportPrinter::Op::Table && op.header.value(0) == firstHeaderCell)
            return &op;
    return nullptr;
}

// The format of the "Additional Switch Inputs" rows: their terminal column is as wide as its
// texts need, at least 1200 twips, and the three columns stay 9700 wide.
inline QString AdditionalFormat(const ReportPrinter& p)
{
    for (const ReportPrinter::Op& op : p.Ops()) {
        if (op.kind != ReportPrinter::Op::Table || !op.body.value(0).value(0).startsWith("Terminal "))
            continue;
        const QVector<ReportPrinter::Column> c = ReportPrinter::ParseFormat(op.format);
        EXPECT_EQ(c.size(), 3);
        EXPECT_GE(c.value(0).width, 1200);
        EXPECT_EQ(c.value(0).width + c.value(1).width, 5000);
        EXPECT_EQ(c.value(2).width, 4700);
        return op.format;
    }
    return QString();
}

// A default setup with the Relays and Speed Sensor pages showing it, as the print command finds
// them.
class ReportFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale::c());
        ASSERT_TRUE(extra::LoadLanguageLibrary());
        setup = CreateDefaultSetupDocument();
        state.SetXelObject(setup.get());
        relays = std::make_unique<RelaysPage>(state);
        speed = std::make_unique<SpeedSensorPage>(state);
        state.relaysPage = relays.get();
        state.speedSensorPage = speed.get();
    }
    void TearDown() override
    {
        state.relaysPage = nullptr;
        state.speedSensorPage = nullptr;
        speed.reset();
        relays.reset();
        setup.reset();
        extra::FreeLanguageLibrary();
        QLocale::setDefault(QLocale::system());
    }
    // Shows the setup on the pages, as the frame's show-setup does.
    void ShowPages()
    {
        const pagecommon::ScopedFlag loading(state.Loading, true);
        relays->LoadRelays();
        relays->LoadRelaysNew();
        relays->RefreshRelayLists();
        speed->LoadSpeedSensor();
    }
    void OpenDatabase()
    {
        ado = std::make_unique<clsADO>();
        bool ok = false;
        ado->InitDatabase(QCoreApplication::applicationDirPath() + "/Quarno.mdb", ok);
        ASSERT_TRUE(ok);
        state.ADO = ado.get();
    }
    bool Build()
    {
        ShowPages();
        report = std::make_unique<SetupReport>(state, printer);
        return report->BuildReport(*setup);
    }

    testing_doubles::PlatformDoubles doubles;
    std::unique_ptr<XelObject> setup;
    MainState state;
    std::unique_ptr<RelaysPage> relays;
    std::unique_ptr<SpeedSensorPage> speed;
    std::unique_ptr<clsADO> ado;
    ReportPrinter printer;
    std::unique_ptr<SetupReport> report;
};

// pdftotext's text of a PDF ("" when the tool is missing) and pdfinfo's page count.
inline QString PdfText(const QString& pdf)
{
    const QString tool = QStandardPaths::findExecutable("pdftotext");
    if (tool.isEmpty())
        return QString();
    QProcess p;
    p.start(tool, {"-layout", pdf, "-"});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The text of each page of a PDF, as pdftotext -layout lays it out.
inline QStringList PdfPageTexts(const QString& pdf)
{
    QStringList pages = PdfText(pdf).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// True when a line of text holds the row: its cells in order, only blanks between and around
// them. A word that appears elsewhere (in another section) does not count.
inline bool HasRow(const QString& text, const QStringList& cells)
{
    QStringList parts;
    for (const QString& cell : cells)
        parts << QRegularExpression::escape(cell).replace(QRegularExpression(QStringLiteral("(\\\\ )+")), QStringLiteral("\\s+"));
    const QRegularExpression row(QStringLiteral("^\\s*") + parts.join(QStringLiteral("\\s+")) + QStringLiteral("\\s*$"),
                                 QRegularExpression::MultilineOption);
    return row.match(text).hasMatch();
}

inline int PdfPages(const QString& pdf)
{
    const QString tool = QStandardPaths::findExecutable("pdfinfo");
    if (tool.isEmpty())
        return -1;
    QProcess p;
    p.start(tool, {pdf});
    p.waitForFinished(30000);
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split('\n'))
        if (line.startsWith("Pages:"))
            return line.mid(6).trimmed().toInt();
    return -1;
}

// pdftotext's word boxes of a PDF, in points, with each page's size.
struct PdfWord {
    int page = 0;
    QRectF box;
    QString text;
};
struct PdfLayout {
    QVector<QSizeF> pages;
    QVector<PdfWord> words;
};

inline PdfLayout PdfWords(const QString& pdf)
{
    PdfLayout out;
    const QString tool = QStandardPaths::findExecutable("pdftotext");
    if (tool.isEmpty())
        return out;
    QProcess p;
    p.start(tool, {"-bbox", pdf, "-"});
    p.waitForFinished(30000);
    const QRegularExpression page(R"re(<page width="([\d.]+)" height="([\d.]+)">)re");
    const QRegularExpression word(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split('\n')) {
        if (const auto m = page.match(line); m.hasMatch())
            out.pages.append(QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()));
        else if (const auto w = word.match(line); w.hasMatch())
            out.words.append({int(out.pages.size()),
                              QRectF(QPointF(w.captured(1).toDouble(), w.captured(2).toDouble()),
                                     QPointF(w.captured(3).toDouble(), w.captured(4).toDouble())),
                              w.captured(5)});
    }
    return out;
}

} // namespace reporttest
