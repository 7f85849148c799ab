// The system's printers through the print seam, and the PDF stand-in.
#include "platform/Printers.h"
#include "platform/DialogFrame.h"
#include "platform/FileDialogs.h"
#include "platform/InstanceSlot.h"
#include "platform/MessagePresenter.h"
#include "platform/RegularFile.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>

namespace platform {

namespace {

const QString kPdfOutputKey = QStringLiteral("Printers/PdfOutput");
const QString kPdfName = QStringLiteral("PDF");

QString MappedPdfFile()
{
    const auto value = SettingsStore::Instance().Value(kPdfOutputKey);
    return value ? value->trimmed() : QString();
}

// A PDF file in the user's home folder named after the document: its base name, then ".pdf".
QString PdfFileFor(const QString& docName)
{
    QString base = QFileInfo(docName).completeBaseName().trimmed();
    if (base.isEmpty())
        base = QStringLiteral("Setup");
    return QDir::home().filePath(base + QStringLiteral(".pdf"));
}

bool HasPdfSuffix(const QString& file) { return file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive); }

class SystemPrinters : public Printers {
public:
    PrintCheck List(QStringList& names, QString& defaultPrinter) override
    {
        names.clear();
        defaultPrinter.clear();
        PrintCheck check{PrintCheck::Yes, {}};
        // The settings' PDF file is the default: the server is not asked.
        if (!MappedPdfFile().isEmpty()) {
            names << kPdfName;
            defaultPrinter = kPdfName;
        } else {
            check = PrintQueue().Destinations(names, defaultPrinter);
        }
        names << PdfOutput;
        return check;
    }
    PrintCheck Queue(const QString& name, CupsAnswer& queue) override
    {
        queue = CupsAnswer();
        if (PrintsToFile(name))
            return PrintCheck{PrintCheck::Yes, {}};
        return PrintQueue().Queue(name, queue);
    }
    bool PrintsToFile(const QString& name) override
    {
        return Canonical(name) == PdfOutput || (name == kPdfName && !MappedPdfFile().isEmpty());
    }
    bool ChooseOutputFile(QWidget* owner, QPrinter& printer, const QString& name) override
    {
        const QString mapped = MappedPdfFile();
        if (!mapped.isEmpty() && name == kPdfName) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(mapped);
            return true;
        }
        if (Canonical(name) != PdfOutput)
            return true;
        FileDialogRequest request;
        request.title = PdfOutput;
        request.filter = QStringLiteral("PDF file (*.pdf)|*.pdf");
        request.fileName = Proposal(printer);
        request.flags = FileDialogRequest::OverwritePrompt;
        for (;;) {
            if (!FileDialogs::Instance().ShowSave(DialogOwner(owner), request))
                return false;
            QString file = request.fileName.trimmed();
            if (file.isEmpty())
                return false;
            const bool suffixAdded = !HasPdfSuffix(file);
            if (suffixAdded)
                file += QStringLiteral(".pdf");
            // Asked before anything opens it: a pipe would hold the write until something reads it.
            if (QFileInfo::exists(file) && !IsRegularFile(file)) {
                MessagePresenter::Instance().Show(QStringLiteral("The file \"%1\" is not a regular file and was not "
                                                                 "written.\nChoose another name for the PDF file.")
                                                      .arg(QDir::toNativeSeparators(file)),
                                                  MsgStyle::Exclamation, PdfOutput);
                request.fileName = file;
                continue;
            }
            if (suffixAdded) {
                // The dialog asked about the name as typed; the name with ".pdf" is asked here.
                if (QFileInfo::exists(file)
                    && MessagePresenter::Instance().Show(
                           QDir::toNativeSeparators(file) + QStringLiteral(" already exists.\nDo you want to replace it?"),
                           MsgStyle::YesNo | MsgStyle::Exclamation | MsgStyle::DefaultButton2, PdfOutput)
                           != MsgResult::Yes) {
                    request.fileName = file;
                    continue;
                }
            }
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(file);
            return true;
        }
    }
    PrintCheck Submit(const QString& name, const QString& pdfFile, const QString& title, const QStringList& options,
                      const QStringList& saved) override
    {
        return PrintQueue().Print(name, pdfFile, title, options, saved);
    }

private:
    // The file offered: the one chosen last for this printer, else one named after the document.
    static QString Proposal(const QPrinter& printer)
    {
        const QString file = printer.outputFileName().trimmed();
        if (file.isEmpty())
            return PdfFileFor(printer.docName());
        return HasPdfSuffix(file) ? file : file + QStringLiteral(".pdf");
    }
};

InstanceSlot<Printers, SystemPrinters> g_printers;

} // namespace

const QString Printers::PdfOutput = QStringLiteral("Print to PDF file");
const QString Printers::FormerPdfOutput = QStringLiteral("Print to File (PDF)");

QStringList Printers::JobOptions(const QPageSize& paper, int copies)
{
    QStringList options;
    if (paper.isValid())
        options << QStringLiteral("media") << paper.key();
    if (copies > 0)
        options << QStringLiteral("copies") << QString::number(copies);
    return options;
}

Printers::~Printers() = default;
Printers& Printers::Instance() { return g_printers.get(); }
void Printers::SetInstance(Printers* printers) { g_printers.current = printers; }

PdfPrinters::PdfPrinters(const QString& file, const QStringList& printerNames)
    : outputFile(file), names(printerNames), defaultPrinter(printerNames.value(0))
{
}

PrintCheck PdfPrinters::List(QStringList& listed, QString& printer)
{
    if (cups)
        return PrintQueue(cups).Destinations(listed, printer);
    listed = names;
    printer = defaultPrinter;
    return PrintCheck{PrintCheck::Yes, {}};
}

PrintCheck PdfPrinters::Queue(const QString& name, CupsAnswer& queue)
{
    selected.append(name);
    queue = CupsAnswer();
    PrintCheck check{PrintCheck::Yes, {}};
    if (cups)
        check = PrintQueue(cups).Queue(name, queue);
    else if (!CupsApi::Lists(names, name))
        check = PrintCheck{PrintCheck::No, QStringLiteral("the print server does not know this printer")};
    if (!queue.paper.isValid()) {
        queue.paper = paper;
        queue.unprintable = unprintable;
    }
    if (queue.offered.isEmpty())
        queue.offered = offered;
    return check;
}

bool PdfPrinters::ChooseOutputFile(QWidget*, QPrinter& printer, const QString&)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(outputFile);
    return true;
}

PrintCheck PdfPrinters::Submit(const QString& name, const QString& pdfFile, const QString& title, const QStringList& options,
                               const QStringList& saved)
{
    jobOptions = options;
    PrintCheck check = PrintQueue(cups).Print(name, pdfFile, title, options, saved);
    if (check.answer == PrintCheck::Yes) {
        QFile::remove(outputFile);
        QFile::copy(pdfFile, outputFile);
    }
    return check;
}

} // namespace platform
