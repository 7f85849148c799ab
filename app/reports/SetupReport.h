#pragma once
// The printed setup report: every section of a setup laid out as tables on the report printer.
// The texts the pages show (relay rows, sender names, the speeds of the overspeed percentage)
// come from the pages through MainState when they are there, else from the setup by value.
#include <QColor>
#include <QString>
#include <QStringList>

class MainState;
class ReportPrinter;
class XelObject;
class XelAnalogIn;
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
    void Gap(double twips);
    // The page-break rule of a section with a page reserve.
    void PageReserve(double reserve);
    // The shaded, boxed, bold heading line.
    void HeadingTable(const QStringList& header, const QColor& shade);
    void SectionHeading(const QStringList& header, double gapBefore, double gapAfter = 75,
                        const QColor& shade = HeadingShade);
    void ReservedHeading(const QStringList& header, double reserve, double gapAfter = 75);
    void ChannelHeading(const QString& text);
    void Row(const QString& format, const QStringList& cells, const QStringList& header = {},
             const QColor& shade = HeadingShade);
    void BusRows(int inputType, const JData& j, const QStringList& header);
    // Offset the Analog In page adds to a bus input's range and limits; 0 for other inputs.
    double ReferenceOffset(const XelAnalogIn& input) const;
    void RelayBlock(bool terminalCard, const QString& title, int count);
    void Footnote();

    MainState& m_state;
    ReportPrinter& m_vsp;
    const XelObject* m_setup = nullptr;
};
