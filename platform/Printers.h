#pragma once
#include "platform/PlatformExport.h"
#include <QString>
#include <QStringList>

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
    // Points printer at the named printer; false when no printer of that name can be selected.
    virtual bool SelectPrinter(QPrinter& printer, const QString& name) = 0;
    // The printer set-up dialog over printer; false when cancelled. The printer chosen comes back
    // in name.
    virtual bool ShowPrinterSetup(QWidget* owner, QPrinter& printer, QString& name) = 0;
    // Called before every print on the named printer. The PDF output asks here for the file with
    // the save dialog (".pdf" added to a name without it) and puts it in printer; false when the
    // user cancelled. Other printers need nothing.
    virtual bool ChooseOutputFile(QWidget* owner, QPrinter& printer, const QString& name) = 0;

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
    bool ShowPrinterSetup(QWidget* owner, QPrinter& printer, QString& name) override;
    // The file is fixed: nothing is asked.
    bool ChooseOutputFile(QWidget*, QPrinter&, const QString&) override { return true; }

    QString outputFile;
    QStringList names;
    QString defaultPrinter;
    // The set-up dialog's answer: accepted with setupChoice (when not empty), or cancelled.
    bool setupAccepts = true;
    QString setupChoice;
    int setupShown = 0;
    QStringList selected; // every name SelectPrinter was asked for
};

} // namespace platform
