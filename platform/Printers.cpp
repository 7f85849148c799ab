// The system's printers through Qt's print support, and the PDF stand-in.
#include "platform/Printers.h"
#include "platform/InstanceSlot.h"
#include "platform/SettingsStore.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace platform {

namespace {

const QString kPdfOutputKey = QStringLiteral("Printers/PdfOutput");
const QString kPdfName = QStringLiteral("PDF");

QString MappedPdfFile()
{
    const auto value = SettingsStore::Instance().Value(kPdfOutputKey);
    return value ? value->trimmed() : QString();
}

class SystemPrinters : public Printers {
public:
    QStringList PrinterNames() override
    {
        QStringList names = QPrinterInfo::availablePrinterNames();
        if (!MappedPdfFile().isEmpty())
            names.prepend(kPdfName);
        return names;
    }
    QString DefaultPrinter() override
    {
        if (!MappedPdfFile().isEmpty())
            return kPdfName;
        return QPrinterInfo::defaultPrinterName();
    }
    bool SelectPrinter(QPrinter& printer, const QString& name) override
    {
        const QString pdf = MappedPdfFile();
        if (!pdf.isEmpty() && name == kPdfName) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        }
        if (name.isEmpty() || !QPrinterInfo::availablePrinterNames().contains(name))
            return false;
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(name);
        return printer.isValid();
    }
    bool ShowPrinterSetup(QWidget* owner, QPrinter& printer, QString& name) override
    {
        if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
            return false;
        if (!MappedPdfFile().isEmpty() && name == kPdfName)
            return true;
        QPrintDialog dialog(&printer, owner);
        dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        name = printer.printerName();
        return true;
    }
};

InstanceSlot<Printers, SystemPrinters> g_printers;

} // namespace

Printers::~Printers() = default;
Printers& Printers::Instance() { return g_printers.get(); }
void Printers::SetInstance(Printers* printers) { g_printers.current = printers; }

PdfPrinters::PdfPrinters(const QString& file, const QStringList& printerNames)
    : outputFile(file), names(printerNames), defaultPrinter(printerNames.value(0))
{
}

bool PdfPrinters::SelectPrinter(QPrinter& printer, const QString& name)
{
    selected.append(name);
    if (name.isEmpty() || !names.contains(name))
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(outputFile);
    return true;
}

bool PdfPrinters::ShowPrinterSetup(QWidget*, QPrinter& printer, QString& name)
{
    ++setupShown;
    if (!setupAccepts)
        return false;
    if (!setupChoice.isEmpty())
        name = setupChoice;
    return SelectPrinter(printer, name);
}

} // namespace platform
