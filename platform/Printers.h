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

// The printers to print on: the print server's printers and instances, asked through the
// program's print seam (PrintQueue), and the platform's PDF output under the name PdfOutput,
// which needs no server and asks for its file when it prints. Qt's print support only paints.
class PLATFORM_EXPORT Printers {
public:
    // The name of the platform's PDF output, as the set-up dialog shows it.
    static const QString PdfOutput; // "Print to PDF file"
    // Its name in earlier releases: a stored choice of it still means PdfOutput.
    static const QString FormerPdfOutput; // "Print to File (PDF)"
    static QString Canonical(const QString& name) { return name == FormerPdfOutput ? PdfOutput : name; }

    virtual ~Printers();
    // The printers to choose from, and the default ("" for none). The PDF output is listed and
    // never the default: it asks for a file, and a print from the command line has nobody to
    // answer. CannotAsk when the server did not answer (its printers are then missing), No when
    // it does not know the printer named default; the reason says so.
    virtual PrintCheck List(QStringList& names, QString& defaultPrinter) = 0;
    // Whether the printer takes a print now, and its paper (queue.paper invalid: not said). A
    // printer that writes a file always does.
    virtual PrintCheck Queue(const QString& name, CupsAnswer& queue) = 0;
    // A printer that writes a file needs no print server; any other is a queue of the server.
    virtual bool PrintsToFile(const QString& name) = 0;
    // Called before every print on the named printer: a printer that writes a file puts it in
    // printer. The PDF output asks for it with the save dialog (".pdf" added to a name without
    // it); false when the user cancelled. A name that exists and is no regular file (a pipe, a
    // folder, a device) is refused with a message before anything opens it, and asked for again.
    virtual bool ChooseOutputFile(QWidget* owner, QPrinter& printer, const QString& name) = 0;
    // Hands the report, drawn into a PDF file, to the named queue, with the options saved for it
    // (the queue's answer, asked for this print): Yes only when the server holds the job.
    virtual PrintCheck Submit(const QString& name, const QString& pdfFile, const QString& title, const QStringList& options,
                              const QStringList& saved) = 0;

    // The job options a print takes along, as name, value pairs: the paper when one was chosen
    // for it (an invalid one: the saved paper or the printer's default serves, as for lp), and
    // the copies when chosen (0: the printer's saved options say).
    static QStringList JobOptions(const QPageSize& paper, int copies);

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
    // Without a print server the printers are plain files. With one they are its queues, and a
    // job the server holds is written to the output file.
    PrintCheck List(QStringList& names, QString& defaultPrinter) override;
    PrintCheck Queue(const QString& name, CupsAnswer& queue) override;
    bool PrintsToFile(const QString&) override { return !cups; }
    // The file is fixed: nothing is asked.
    bool ChooseOutputFile(QWidget*, QPrinter& printer, const QString& name) override;
    PrintCheck Submit(const QString& name, const QString& pdfFile, const QString& title, const QStringList& options,
                      const QStringList& saved) override;

    QString outputFile;
    QStringList names;
    QString defaultPrinter;
    QStringList selected; // every printer asked about
    // The printers' default paper, the edges they cannot print on (points), the sizes offered.
    QPageSize paper{QPageSize::A4};
    QMarginsF unprintable;
    QList<QPageSize> offered{QPageSize(QPageSize::A4), QPageSize(QPageSize::Letter)};
    std::shared_ptr<CupsApi> cups;
    QStringList jobOptions; // the options of the last job handed to the server
};

} // namespace platform
