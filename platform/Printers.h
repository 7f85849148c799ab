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
    // The system's default printer; "" when the system has no printer. The PDF output is never
    // the default: it asks for a file, and a print from the command line has nobody to answer.
    virtual QString DefaultPrinter() = 0;
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
    // Asked right before a print on the named printer: whether its queue takes jobs now. A
    // printer that writes a file needs no print server and says Yes.
    virtual PrintCheck QueueAccepts(const QString& name) = 0;
    // Asked after the print: whether the print server took the job (`before` is what
    // QueueAccepts said). A printer that writes a file says Yes.
    virtual PrintCheck JobCreated(const QString& name, const PrintCheck& before) = 0;

    // Clears whatever would print only part of the document: print range, page ranges, and the
    // CUPS page set and page ranges. Called before every print.
    static void PrintEveryPage(QPrinter& printer);

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
    QString DefaultPrinter() override { return defaultPrinter; }
    bool SelectPrinter(QPrinter& printer, const QString& name) override;
    bool ShowPrinterSetup(QWidget* owner, QPrinter& printer, QString& name, const QString& pdfFile = {}) override;
    // The file is fixed: nothing is asked.
    bool ChooseOutputFile(QWidget*, QPrinter&, const QString&) override { return true; }
    // Without a print server the printers are plain files: Yes. With one they are CUPS queues
    // that print into the file, and that server answers.
    PrintCheck QueueAccepts(const QString& name) override;
    PrintCheck JobCreated(const QString& name, const PrintCheck& before) override;

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
};

} // namespace platform
