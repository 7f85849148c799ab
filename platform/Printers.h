#pragma once
#include "platform/PlatformExport.h"
#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

namespace platform {

// The printers of the system: their names, the default one, pointing a QPrinter at one of them,
// and the printer set-up dialog.
class PLATFORM_EXPORT Printers {
public:
    virtual ~Printers();
    virtual QStringList PrinterNames() = 0;
    // "" when the system has no printer.
    virtual QString DefaultPrinter() = 0;
    // Points printer at the named printer; false when no printer of that name can be selected.
    virtual bool SelectPrinter(QPrinter& printer, const QString& name) = 0;
    // The printer set-up dialog over printer; false when cancelled. The printer chosen comes back
    // in name.
    virtual bool ShowPrinterSetup(QWidget* owner, QPrinter& printer, QString& name) = 0;

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
