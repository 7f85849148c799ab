#pragma once
#include "platform/PlatformExport.h"
#include "platform/PrintQueue.h"
#include <QMarginsF>
#include <QPageSize>
#include <QString>
#include <QStringList>

#include <memory>

class QPrinter;
class QWidget;

namespace platform {

// The printers of the system: their names, the default one, pointing a QPrinter at one of them,
// and the printer set-up dialog. Besides the system's printers the platform's PDF output is
// offered under the name PdfOutput: it needs no printer and asks for its file when it prints.
class PLATFORM_EXPORT Printers {
public:
    // The name of the platform's PDF output, as the set-up dialog shows it.
    static const QString PdfOutput; // "Print to File (PDF)"

    virtual ~Printers();
    virtual QStringList PrinterNames() = 0;
    // Points printer at the named printer, on the printer's own default paper; false when no
    // printer of that name can be selected.
    virtual bool SelectPrinter(QPrinter& printer, const QString& name) = 0;
    // The printer set-up dialog over printer; false when cancelled. The printer chosen comes back
    // in name. It offers no page range, page set and no copies: the report prints every page, as
    // many times as the program's own copies box says. Nor does it take a file name: the PDF
    // output asks for its file when it prints (ChooseOutputFile), first offering pdfFile ("" leaves
    // the offer to the platform). A hidden owner (a window never shown) is passed over for the
    // window on show.
    virtual bool ShowPrinterSetup(QWidget* owner, QPrinter& printer, QString& name, const QString& pdfFile = {}) = 0;
    // Called before every print on the named printer. The PDF output asks here for the file with
    // the save dialog (".pdf" added to a name without it) and puts it in printer; false when the
    // user cancelled. A name that exists and is no regular file (a pipe, a folder, a device) is
    // refused with a message before anything opens it, and asked for again. Other printers need
    // nothing.
    virtual bool ChooseOutputFile(QWidget* owner, QPrinter& printer, const QString& name) = 0;
    // The question before any other that reaches the print server: whether it answers (bounded
    // in time), and the system's default printer ("" for none). No when the server does not know
    // the printer named default, CannotAsk when it does not answer; the reason says so. Until it
    // answers again, Qt's printer calls find no printers instead of waiting for it. The PDF
    // output is never the default: it asks for a file, and a print from the command line has
    // nobody to answer.
    virtual PrintCheck AskServer(QString& defaultPrinter) = 0;
    // A printer that writes a file needs no print server; any other is a queue of the server.
    virtual bool PrintsToFile(const QString& name) = 0;
    // Hands the report, drawn into a PDF file, to the named queue: Yes with the job made; No
    // when the queue does not take jobs now.
    virtual PrintCheck Submit(const QString& name, const QString& pdfFile, const QString& title, const QStringList& options) = 0;

    // Clears whatever would print only part of the document: print range, page ranges, and the
    // CUPS page set and page ranges. Called before every print.
    static void PrintEveryPage(QPrinter& printer);
    // The job options a print on printer's queue takes along, as name, value pairs: its paper,
    // copies, sides and the options chosen in the set-up dialog, as Qt's own print would.
    static QStringList JobOptions(QPrinter& printer, int copies);

    static Printers& Instance();
    // nullptr restores the system's printers.
    static void SetInstance(Printers* printers);
};

// Printers that write PDF files: every name maps to one output file. Tests use it, and a run of
// the program gets one when the settings value "Printers/PdfOutput" names a file (the printer is
// then called "PDF" and is the default).
class PLATFORM_EXPORT PdfPrinters : public Printers {
public:
    explicit PdfPrinters(const QString& outputFile, const QStringList& names = {QStringLiteral("PDF")});
    QStringList PrinterNames() override { return names; }
    bool SelectPrinter(QPrinter& printer, const QString& name) override;
    bool ShowPrinterSetup(QWidget* owner, QPrinter& printer, QString& name, const QString& pdfFile = {}) override;
    // The file is fixed: nothing is asked.
    bool ChooseOutputFile(QWidget*, QPrinter&, const QString&) override { return true; }
    // Without a print server the printers are plain files. With one they are its queues, and a
    // job the server made is written to the output file.
    PrintCheck AskServer(QString& defaultPrinter) override;
    bool PrintsToFile(const QString&) override { return !cups; }
    PrintCheck Submit(const QString& name, const QString& pdfFile, const QString& title, const QStringList& options) override;

    QString outputFile;
    QStringList names;
    QString defaultPrinter;
    // The set-up dialog's answer: accepted with setupChoice (when not empty), or cancelled.
    bool setupAccepts = true;
    QString setupChoice;
    int setupShown = 0;
    QString setupPdfFile; // the file the last set-up dialog was to offer
    QStringList selected; // every name SelectPrinter was asked for
    // The printers' default paper and the edges they cannot print on (points).
    QPageSize paper{QPageSize::A4};
    QMarginsF unprintable;
    std::shared_ptr<CupsApi> cups;
    int cupsTimeoutMs = PrintQueue::kTimeoutMs;
    QStringList jobOptions; // the options of the last job handed to the server
};

} // namespace platform
