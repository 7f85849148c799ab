// The system's printers through Qt's print support, and the PDF stand-in.
#include "platform/Printers.h"
#include "platform/DialogFrame.h"
#include "platform/FileDialogs.h"
#include "platform/InstanceSlot.h"
#include "platform/MessagePresenter.h"
#include "platform/RegularFile.h"
#include "platform/SettingsStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QComboBox>
#include <QLineEdit>
#include <QPrintEngine>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSpinBox>
#include <QTabWidget>

namespace platform {

namespace {

const QString kPdfOutputKey = QStringLiteral("Printers/PdfOutput");
const QString kPdfName = QStringLiteral("PDF");
// The CUPS print engine keeps the dialog's job options as name, value pairs.
constexpr auto kCupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);

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

// What Qt's set-up dialog offers beyond the printer and its paper is taken away:
// - its "Copies" tab (page range, page set, copies, collate, reverse): the report prints every
//   page, as many times as the program's own copies box says. The tab's widgets stay, hidden:
//   Qt reads them when the dialog closes.
// - its output file field: before it closes, Qt opens the typed name to test it, and a pipe
//   holds that open until something reads it. The field is hidden and kept disabled, which
//   Qt's test skips; the PDF file is asked for with the program's own dialog when the report
//   prints (ChooseOutputFile), where every name is checked before anything opens it.
class SetupDialogTrimmed : public QObject {
public:
    explicit SetupDialogTrimmed(QPrintDialog& dialog) : m_dialog(dialog)
    {
        for (QSpinBox* copies : dialog.findChildren<QSpinBox*>(QStringLiteral("copies")))
            for (QTabWidget* tabs : dialog.findChildren<QTabWidget*>()) {
                const int tab = CopiesTab(*tabs, copies);
                if (tab >= 0) {
                    QWidget* page = tabs->widget(tab);
                    tabs->removeTab(tab);
                    page->hide();
                }
            }
        dialog.installEventFilter(this);
        for (QWidget* widget : FileChoice())
            widget->installEventFilter(this);
        HideFileChoice();
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Qt shows the field again as the dialog shows, and enables it whenever its PDF entry
        // is chosen.
        if (watched == &m_dialog) {
            if (event->type() == QEvent::Show)
                HideFileChoice();
        } else if (event->type() == QEvent::Show) {
            QMetaObject::invokeMethod(this, [this] { HideFileChoice(); }, Qt::QueuedConnection);
        } else if (event->type() == QEvent::EnabledChange) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget->isEnabled())
                widget->setEnabled(false);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QList<QWidget*> FileChoice() const
    {
        QList<QWidget*> widgets;
        for (const char* name : {"lOutput", "filename", "fileBrowser"})
            widgets += m_dialog.findChildren<QWidget*>(QString::fromLatin1(name));
        return widgets;
    }
    void HideFileChoice()
    {
        for (QWidget* widget : FileChoice()) {
            if (!widget->isHidden())
                widget->hide();
            if (widget->isEnabled())
                widget->setEnabled(false);
        }
    }
    static int CopiesTab(const QTabWidget& tabs, const QWidget* copies)
    {
        for (int i = 0; i < tabs.count(); ++i)
            if (tabs.widget(i)->isAncestorOf(copies))
                return i;
        return -1;
    }
    QPrintDialog& m_dialog;
};

// Qt's own dialog proposes a file in the home or current folder when its PDF entry is chosen:
// the program's proposal replaces it, and the file dialog of the print offers it again.
void OfferFileWhenChosen(QPrintDialog& dialog, const QString& file)
{
    QComboBox* printers = dialog.findChild<QComboBox*>(QStringLiteral("printers"));
    QLineEdit* edit = dialog.findChild<QLineEdit*>(QStringLiteral("filename"));
    if (!printers || !edit)
        return;
    auto offer = [printers, edit, file] {
        if (printers->currentText() == Printers::PdfOutput)
            edit->setText(QDir::toNativeSeparators(file));
    };
    offer();
    QObject::connect(printers, &QComboBox::currentIndexChanged, edit, offer);
}

class SystemPrinters : public Printers {
public:
    QStringList PrinterNames() override
    {
        QStringList names = QPrinterInfo::availablePrinterNames();
        if (!MappedPdfFile().isEmpty())
            names.prepend(kPdfName);
        names.append(PdfOutput);
        return names;
    }
    bool SelectPrinter(QPrinter& printer, const QString& name) override
    {
        const QString pdf = MappedPdfFile();
        if (!pdf.isEmpty() && name == kPdfName) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        }
        if (name == PdfOutput) {
            // The file is asked for when the report is printed.
            printer.setOutputFormat(QPrinter::PdfFormat);
            return true;
        }
        if (name.isEmpty() || !QPrinterInfo::availablePrinterNames().contains(name))
            return false;
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(name);
        // Qt keeps the paper it had when the new printer also knows it (A4 on a Letter queue):
        // the queue's own default paper is taken instead.
        const QPageSize paper = QPrinterInfo::printerInfo(name).defaultPageSize();
        if (paper.isValid())
            printer.setPageSize(paper);
        return printer.isValid();
    }
    bool ShowPrinterSetup(QWidget* owner, QPrinter& printer, QString& name, const QString& pdfFile) override
    {
        if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
            return false;
        if (!MappedPdfFile().isEmpty() && name == kPdfName)
            return true;
        // The dialog offers the system's printers and its own print to a PDF file; with the PDF
        // output selected it opens on that choice.
        if (name == PdfOutput) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(Proposal(printer));
        }
        QPrintDialog dialog(&printer, DialogOwner(owner));
        dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
        // Every page is printed: no page range, selection or current page to choose.
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, false);
        SetSmallDialogFrame(&dialog);
        SetupDialogTrimmed trimmed(dialog);
        if (name != PdfOutput)
            OfferFileWhenChosen(dialog, pdfFile.isEmpty() ? PdfFileFor(printer.docName()) : pdfFile);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        PrintEveryPage(printer);
        printer.setCopyCount(1);
        if (printer.outputFormat() == QPrinter::PdfFormat) {
            // The file named in the dialog is offered again when the report is printed.
            name = PdfOutput;
        } else {
            name = printer.printerName();
        }
        return true;
    }
    bool ChooseOutputFile(QWidget* owner, QPrinter& printer, const QString& name) override
    {
        if (name != PdfOutput)
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

    PrintCheck AskServer(QString& defaultPrinter) override
    {
        // Asked even when the PDF file is the printer: Qt's printer asks the server all the same.
        const PrintCheck check = Heard(PrintQueue().Default(defaultPrinter));
        if (MappedPdfFile().isEmpty())
            return check;
        defaultPrinter = kPdfName;
        return PrintCheck{PrintCheck::Yes, {}};
    }
    bool PrintsToFile(const QString& name) override
    {
        return name == PdfOutput || (name == kPdfName && !MappedPdfFile().isEmpty());
    }
    PrintCheck Submit(const QString& name, const QString& pdfFile, const QString& title, const QStringList& options) override
    {
        return Heard(PrintQueue().Submit(name, pdfFile, title, options));
    }

private:
    // Qt's printer calls on this thread go to the server only while it answers, and then
    // through the relay that bounds each of them.
    static PrintCheck Heard(const PrintCheck& check)
    {
        CupsApi::KeepThreadAway(check.answer == PrintCheck::CannotAsk);
        return check;
    }
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

const QString Printers::PdfOutput = QStringLiteral("Print to File (PDF)");

QStringList Printers::JobOptions(QPrinter& printer, int copies)
{
    QStringList options{QStringLiteral("media"), printer.pageLayout().pageSize().key()};
    if (copies > 1)
        options << QStringLiteral("copies") << QString::number(copies);
    switch (printer.duplex()) {
    case QPrinter::DuplexLongSide: options << QStringLiteral("sides") << QStringLiteral("two-sided-long-edge"); break;
    case QPrinter::DuplexShortSide: options << QStringLiteral("sides") << QStringLiteral("two-sided-short-edge"); break;
    case QPrinter::DuplexNone: options << QStringLiteral("sides") << QStringLiteral("one-sided"); break;
    default: break;
    }
    const QPrintEngine* engine = printer.printEngine();
    const QVariant kept = engine ? engine->property(kCupsOptions) : QVariant();
    options << kept.toStringList();
    return options;
}

void Printers::PrintEveryPage(QPrinter& printer)
{
    printer.setPrintRange(QPrinter::AllPages);
    printer.setPageRanges(QPageRanges());
    printer.setFromTo(0, 0);
    QPrintEngine* engine = printer.printEngine();
    const QVariant kept = engine ? engine->property(kCupsOptions) : QVariant();
    if (!kept.isValid())
        return;
    const QStringList options = kept.toStringList();
    QStringList left;
    for (int i = 0; i + 1 < options.size(); i += 2) {
        if (options[i] != QLatin1String("page-set") && options[i] != QLatin1String("page-ranges"))
            left << options[i] << options[i + 1];
    }
    if (left.size() != options.size())
        engine->setProperty(kCupsOptions, left);
}

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
    printer.setPageLayout(QPageLayout(paper, QPageLayout::Portrait, unprintable, QPageLayout::Point, unprintable));
    return true;
}

PrintCheck PdfPrinters::AskServer(QString& printer)
{
    if (!cups) {
        printer = defaultPrinter;
        return PrintCheck{PrintCheck::Yes, {}};
    }
    return PrintQueue(cups, cupsTimeoutMs).Default(printer);
}

PrintCheck PdfPrinters::Submit(const QString& name, const QString& pdfFile, const QString& title, const QStringList& options)
{
    jobOptions = options;
    PrintCheck check = PrintQueue(cups, cupsTimeoutMs).Submit(name, pdfFile, title, options);
    if (check.answer == PrintCheck::Yes) {
        QFile::remove(outputFile);
        QFile::copy(pdfFile, outputFile);
    }
    return check;
}

bool PdfPrinters::ShowPrinterSetup(QWidget*, QPrinter& printer, QString& name, const QString& pdfFile)
{
    ++setupShown;
    setupPdfFile = pdfFile;
    if (!setupAccepts)
        return false;
    if (!setupChoice.isEmpty())
        name = setupChoice;
    return SelectPrinter(printer, name);
}

} // namespace platform
