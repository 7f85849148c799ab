#pragma once
// The printed setup report: every section of a setup laid out as tables on the report printer.
// The texts the pages show (relay rows, sender names, the speeds of the overspeed percentage)
// come from the pages through MainState when they are there, else from the setup by value.
#include <QColor>
#include <QString>
#include <QStringList>
#include <QVector>

class MainState;
class ReportPrinter;
class XelObject;
struct JData;

class SetupReport {
public:
    // Shades of the section headings and of the channel blocks.
    static const QColor HeadingShade; // RGB(220, 220, 220)
    static const QColor ChannelShade; // RGB(235, 235, 235)
    static const QColor NoShade;      // shade 0: the cell is not filled
    static const QString AppTitle;    // "Quarno Q2"

    SetupReport(MainState& state, ReportPrinter& printer);

    // True: label/value rows keep the box border of their heading.
    bool Border = false;

    // Builds the whole document for setup; false when the document could not be started, and
    // then no section was added.
    bool BuildReport(const XelObject& setup);
    // The frame of the document alone: name, margins, start, first header and the new-page
    // handler; false when the document could not be started. EndDocument closes it.
    bool StartDocument(const XelObject& setup);
    void EndDocument();

    // The page header, footer and rules of the page begun last.
    void PrintHeaderFooter();

    // The sections, in the order of the report.
    void PrintSetupInformation();
    void PrintMain();
    void PrintSwitchInputs();
    void PrintAnalogInputs();
    void PrintStandbyOperation();
    void PrintSpeedSensor();
    void PrintBattery();
    void PrintInformation();
    void PrintRelays();
    void PrintSMS();
    void PrintBackupSystemSettings();
    void PrintComponentsUsed();

    // The "Byte"/"Bytes" label and the byte list of a J1939 data position.
    static void J1939Bytes(quint8 iMID, QString& label, QString& list);

private:
    // One row of a block that is measured before it is printed; a line without a format is a
    // gap alone.
    struct Line {
        QString format;
        QStringList cells;
        QStringList header;
        double gapBefore = 0;
    };
    double LinesHeight(const QVector<Line>& lines) const;
    void PrintLines(const QVector<Line>& lines);
    double RowHeight(const QString& format, const QStringList& cells) const;
    // The format with its first column widened, at the cost of the second, where the widest of
    // texts would not stay on one line in it.
    QString FitFirstColumn(const QString& format, const QStringList& texts) const;

    void Gap(double twips);
    // Starts a new page when what follows (height twips) no longer fits above the bottom margin
    // and the page already holds something: a heading never stays alone at the foot of a page.
    void KeepTogether(double height);
    // The page-break rule of a section with a page reserve. The reserve counts rows of the
    // original's height; the rows here are taller and may wrap, so the section also moves on
    // when its measured block (keep twips after the gap) would not fit.
    void PageReserve(double reserve, double keep);
    // The shaded, boxed, bold heading line and its height.
    void HeadingTable(const QStringList& header, const QColor& shade);
    double HeadingHeight(const QStringList& header, const QString& format = QStringLiteral("<7900|<1800")) const;
    // keepNext: the height of what must stay on the page with the heading.
    void SectionHeading(const QStringList& header, double gapBefore, double gapAfter, double keepNext,
                        const QColor& shade = HeadingShade);
    // keep: the height of the section's rows, all kept with the heading.
    void ReservedHeading(const QStringList& header, double reserve, double keep, double gapAfter = 75);
    double ChannelHeadingHeight(const QString& text) const;
    // A channel's heading and its first row, the "Description" row.
    double FirstChannelHeight(const QString& heading, const QString& description) const;
    // The channel's heading stays on the page with the channel's first row.
    void ChannelHeading(const QString& text, const QStringList& firstRow);
    void Row(const QString& format, const QStringList& cells, const QStringList& header = {},
             const QColor& shade = HeadingShade);
    void BusRows(int inputType, const JData& j, const QStringList& header);
    // The rows of one relay card as its relay list shows them; marked: a row carries the mark.
    QVector<Line> RelayLines(bool terminalCard, bool& marked) const;
    // tail: the height of what follows the block and is kept with it.
    void RelayBlock(const QString& title, double reserve, const QVector<Line>& lines, bool marked, double tail);
    void Footnote();

    MainState& m_state;
    ReportPrinter& m_vsp;
    const XelObject* m_setup = nullptr;
};
