#include "app/reports/frmPrint.h"

#include "app/pages/MainState.h"
#include "app/pages/PageApis.h"
#include "app/pages/common/PageCommon.h"
#include "app/reports/frmPrintDialog.h"
#include "app/reports/frmPrinterSetup.h"
#include "extra/extra.h"
#include "app/services/modRegistry.h"
#include "datamodel/XelObject.h"
#include "platform/CupsApi.h"
#include "platform/DialogFrame.h"
#include "platform/MessagePresenter.h"
#include "platform/Printers.h"
#include "platform/StatusSink.h"
#include "platform/StopSignals.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGraphicsView>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintPreviewWidget>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QVBoxLayout>

#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

frmPrint::PrintResult g_lastResult = frmPrint::NotRun;

// The smallest preview window a stored size may give.
constexpr int kMinWidth = 400, kMinHeight = 300;

QString ReadValue(const QString& name)
{
    const modRegistry::RegKey key = modRegistry::OpenRegKey(modRegistry::HKeyCurrentUser, modRegistry::ProgramKeyPath(), true);
    const QString value = modRegistry::GetRegValue(key, name);
    modRegistry::CloseRegKey(key);
    return value;
}

void WriteValue(const QString& name, const QString& value)
{
    const modRegistry::RegKey key = modRegistry::OpenRegKey(modRegistry::HKeyCurrentUser, modRegistry::ProgramKeyPath(), true);
    modRegistry::SetRegValue(key, name, value);
    modRegistry::CloseRegKey(key);
}

// The whole number at the start of a text ("75%" -> 75); false when there is none.
bool LeadingNumber(const QString& text, double& value)
{
    const QString t = text.trimmed();
    int end = 0;
    while (end < t.size() && (t[end].isDigit() || t[end] == QLatin1Char('.') || (end == 0 && t[end] == QLatin1Char('-'))))
        ++end;
    bool ok = false;
    value = t.left(end).toDouble(&ok);
    return ok;
}

QRect WorkArea(const QWidget* near)
{
    QScreen* screen = near && near->screen() ? near->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

// A PDF file is first offered under the setup's own name in the setup's folder; an untitled
// setup leaves the offer to the platform.
QString PdfOffer(const ::XelObject* setup)
{
    if (!setup || setup->Filename().isEmpty())
        return QString();
    const QFileInfo file(setup->Filename());
    return QDir::toNativeSeparators(file.dir().filePath(file.completeBaseName() + QStringLiteral(".pdf")));
}

// A sentence of a message, with what the system said in brackets when it said anything.
QString WithWhy(const QString& text, const QString& why)
{
    return text + (why.isEmpty() ? QString() : QStringLiteral(" (") + why + QLatin1Char(')')) + QLatin1Char('.');
}

// A file chosen before is offered again.
void OfferPdfFile(QPrinter& printer, const QString& device, const ::XelObject* setup)
{
    const QString offer = PdfOffer(setup);
    if (device == platform::Printers::PdfOutput && printer.outputFileName().trimmed().isEmpty() && !offer.isEmpty())
        printer.setOutputFileName(offer);
}

} // namespace

frmPrint::frmPrint(MainState& state, QWidget* parent)
    : QDialog(parent)
    , m_state(state)
    , m_builder(state, m_report)
    , m_printer(QPrinter::HighResolution)
{
    setObjectName(QStringLiteral("frmPrint"));
    setWindowTitle(QStringLiteral("Print"));
    setModal(true);
    // Only painted: every page goes into a PDF, for a file or for the print server.
    m_printer.setOutputFormat(QPrinter::PdfFormat);
    if (state.frame)
        setWindowIcon(state.frame->WindowIcon());
    BuildControls();
    InitZoomList();
    // The box says 100%: the preview shows it so (its own start is one printer dot per pixel).
    SetZoom(m_zoom);
    resize(pagecommon::Twips(9600), pagecommon::Twips(7200));
    LoadPreviewSettings();
}

frmPrint::~frmPrint() { Unload(); }

frmPrint::PrintResult frmPrint::LastResult() { return g_lastResult; }
void frmPrint::SetLastResult(PrintResult result) { g_lastResult = result; }

void frmPrint::BuildControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    layout->setMenuBar(menuBar);
    actPrint = new QToolBar(this);
    actPrint->setObjectName(QStringLiteral("actPrint"));
    layout->addWidget(actPrint);

    struct ToolDef {
        const char* key;
        const char* caption;
        const char* menu;
        const char* description;
    };
    const ToolDef tools[] = {
        {"print", "Print", "&Print...", "Print current file"},
        {"printsetup", "Print Setup", "Print &Setup...", "Set up printer properties"},
        {"prev", "Previous Page", nullptr, nullptr},
        {"next", "Next Page", nullptr, nullptr},
        {"close", "Close", nullptr, "Close Preview Window and Cancel Printing"},
        {"exit", "E&xit", nullptr, "Close all documents and exit"},
    };
    QMenu* file = menuBar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File"));
    for (const ToolDef& t : tools) {
        auto* action = new QAction(QString::fromLatin1(t.caption), this);
        action->setObjectName(QString::fromLatin1(t.key));
        if (t.description)
            action->setToolTip(QString::fromLatin1(t.description));
        action->setStatusTip(action->toolTip());
        const QString key = QString::fromLatin1(t.key);
        connect(action, &QAction::triggered, this, [this, key] { ToolClick(key); });
        if (key == QLatin1String("exit")) {
            file->addSeparator();
            file->addAction(action);
            continue;
        }
        if (key == QLatin1String("prev")) {
            auto* label = new QLabel(QStringLiteral("Zoom:"), actPrint);
            label->setObjectName(QStringLiteral("lblZoom"));
            actPrint->addWidget(label);
            zoom = new QComboBox(actPrint);
            zoom->setObjectName(QStringLiteral("zoom"));
            zoom->setEditable(true);
            zoom->setToolTip(QStringLiteral("Zoom level"));
            actPrint->addWidget(zoom);
        }
        actPrint->addAction(action);
        if (t.menu) {
            // The menu shows the same tool under its menu text.
            auto* item = file->addAction(QString::fromLatin1(t.menu));
            item->setObjectName(key + QStringLiteral("_menu"));
            item->setStatusTip(action->toolTip());
            connect(item, &QAction::triggered, this, [this, key] { ToolClick(key); });
        }
    }
    connect(zoom, &QComboBox::currentTextChanged, this, &frmPrint::ZoomBoxChanged);

    m_previewPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_previewPrinter->setFullPage(true);
    m_previewPrinter->setPageSize(QPageSize(QPageSize::A4));
    m_previewPrinter->setPageOrientation(QPageLayout::Portrait);
    vspPrint = new QPrintPreviewWidget(m_previewPrinter.get(), this);
    vspPrint->setObjectName(QStringLiteral("vspPrint"));
    vspPrint->setZoomMode(QPrintPreviewWidget::CustomZoom);
    connect(vspPrint, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* printer) { m_report.Render(*printer); });
    connect(vspPrint, &QPrintPreviewWidget::previewChanged, this, &frmPrint::PreviewChanged);
    vspPrint->installEventFilter(this);
    for (QWidget* child : vspPrint->findChildren<QWidget*>())
        child->installEventFilter(this);
    layout->addWidget(vspPrint, 1);

    staPrint = new QStatusBar(this);
    staPrint->setObjectName(QStringLiteral("staPrint"));
    staPrint->setSizeGripEnabled(false);
    panelStatus = new QLabel(staPrint);
    panelStatus->setObjectName(QStringLiteral("STATUS"));
    panelPage = new QLabel(staPrint);
    panelPage->setObjectName(QStringLiteral("PAGE"));
    panelZoom = new QLabel(staPrint);
    panelZoom->setObjectName(QStringLiteral("ZOOM"));
    staPrint->addWidget(panelStatus, 1);
    staPrint->addPermanentWidget(panelPage);
    staPrint->addPermanentWidget(panelZoom);
    layout->addWidget(staPrint);
}

QAction* frmPrint::Tool(const QString& key) const { return findChild<QAction*>(key); }

void frmPrint::InitZoomList()
{
    const QSignalBlocker block(zoom);
    zoom->clear();
    for (const char* z : {"10%", "25%", "35%", "50%", "75%", "100%", "150%", "200%"})
        zoom->addItem(QString::fromLatin1(z));
    zoom->setCurrentIndex(zoom->findText(QStringLiteral("100%")));
}

// ---- the document ---------------------------------------------------------------------------------

void frmPrint::SetXelObject(::XelObject* setup)
{
    m_setup = setup;
    BuildReport();
}

void frmPrint::BuildReport()
{
    m_built = m_setup && m_builder.BuildReport(*m_setup);
    m_page = 1;
    // The preview draws its pages when it is on show; a direct print never needs them. While it
    // draws them again it reports the page it was on: the report starts at page 1.
    if (isVisible()) {
        {
            const QSignalBlocker quiet(vspPrint);
            vspPrint->updatePreview();
        }
        SetPreviewPage(1);
        ShowPagePanel();
    }
}

void frmPrint::FitPaper()
{
    if (TakePaperSize())
        BuildReport();
}

bool frmPrint::TakePaperSize()
{
    // The pages are laid out for the paper of the printer they go to (portrait): a document laid
    // out for a longer sheet would lose its footer on a shorter one.
    m_printer.setPageOrientation(QPageLayout::Portrait);
    QPageLayout layout = m_printer.pageLayout();
    const QSizeF mm = layout.fullRect(QPageLayout::Millimeter).size();
    if (mm.width() <= 0 || mm.height() <= 0)
        return false;
    const QSizeF twips(std::round(mm.width() / 25.4 * 1440), std::round(mm.height() / 25.4 * 1440));
    // The edges the printer cannot reach: page breaks and footer stay inside its printable area.
    layout.setUnits(QPageLayout::Point);
    const QMarginsF edge = layout.minimumMargins();
    const QMarginsF edgeTwips(std::round(edge.left() * 20), std::round(edge.top() * 20), std::round(edge.right() * 20),
                              std::round(edge.bottom() * 20));
    m_previewPrinter->setPageSize(layout.pageSize());
    m_previewPrinter->setPageOrientation(QPageLayout::Portrait);
    if (twips == m_report.PaperSize() && edgeTwips == m_report.Unprintable())
        return false;
    m_report.SetPageSize(twips);
    m_report.SetUnprintable(edgeTwips);
    return true;
}

bool frmPrint::SetDevice(const QString& chosen)
{
    const QString name = platform::Printers::Canonical(chosen);
    // The printer just chosen in the set-up dialog keeps the paper chosen there.
    const bool justChosen = m_setupChosen && !name.isEmpty() && name == m_device;
    m_setupChosen = false;
    if (justChosen)
        return true;
    // The PDF file output needs no print server.
    if (name == platform::Printers::PdfOutput) {
        m_device = name;
        return true;
    }
    ListPrinters();
    if (!name.isEmpty() && (platform::CupsApi::Lists(m_names, name) || m_server.answer == platform::PrintCheck::CannotAsk)) {
        m_device = name;
        return true;
    }
    const QString fallback = m_server.answer == platform::PrintCheck::Yes ? m_namedDefault : QString();
    m_device = m_names.contains(fallback) ? fallback : QString();
    // No name yet is no refusal: the default printer simply takes its place.
    return name.isEmpty();
}

void frmPrint::ListPrinters(bool fresh)
{
    if (m_listed && !fresh)
        return;
    m_server = platform::Printers::Instance().List(m_names, m_namedDefault);
    m_listed = true;
    EndIfSignalled(m_server);
}

void frmPrint::SelectDefault()
{
    ListPrinters();
    m_device = m_server.answer == platform::PrintCheck::Yes && m_names.contains(m_namedDefault) ? m_namedDefault : QString();
}

QString frmPrint::NoPrinterReason()
{
    ListPrinters();
    if (m_server.answer == platform::PrintCheck::Yes)
        return QStringLiteral("no printer is selected.");
    return m_server.reason + QLatin1Char('.');
}

bool frmPrint::ShowPrinterSetup()
{
    ListPrinters(true);
    OfferPdfFile(m_printer, m_device, m_setup);
    const QPageSize paper = m_paperOf == m_device ? m_printer.pageLayout().pageSize() : QPageSize();
    // An instance no lpoptions line names is offered beside its queue while it is the printer.
    QStringList names = m_names;
    if (!m_device.isEmpty() && !names.contains(m_device) && platform::CupsApi::Lists(names, m_device))
        names.insert(names.indexOf(m_device.section(QLatin1Char('/'), 0, -2)) + 1, m_device);
    frmPrinterSetup dialog(names, m_device, paper, platform::DialogOwner(this));
    // Without the server's printers, the dialog says why they are missing.
    if (m_server.answer == platform::PrintCheck::CannotAsk)
        dialog.lblState->setText(m_server.reason + QLatin1Char('.'));
    if (dialog.exec() != QDialog::Accepted || dialog.Printer().isEmpty())
        return false;
    m_device = dialog.Printer();
    m_setupChosen = true;
    const QPageSize chosen = dialog.Paper();
    if (chosen.isValid()) {
        m_printer.setPageLayout(QPageLayout(chosen, QPageLayout::Portrait, dialog.Unprintable(), QPageLayout::Point,
                                            dialog.Unprintable()));
        m_paperChosen = true;
        m_paperOf = m_device;
    }
    return true;
}

void frmPrint::TakePrinterPaper(const platform::CupsAnswer& queue)
{
    if ((m_paperChosen && m_paperOf == m_device) || !queue.paper.isValid())
        return;
    m_printer.setPageLayout(QPageLayout(queue.paper, QPageLayout::Portrait, queue.unprintable, QPageLayout::Point,
                                        queue.unprintable));
    m_paperOf = m_device;
}

int frmPrint::SavedCopies()
{
    platform::Printers& printers = platform::Printers::Instance();
    if (m_device.isEmpty() || printers.PrintsToFile(m_device))
        return 1;
    if (m_copiesOf != m_device) {
        platform::CupsAnswer queue;
        EndIfSignalled(printers.Queue(m_device, queue));
        m_savedCopies = queue.copies;
        m_copiesOf = m_device;
        // The same answer gives the paper, so that a preview need not ask again.
        TakePrinterPaper(queue);
    }
    return m_savedCopies;
}

bool frmPrint::WindowOnShow() const
{
    const QWidget* window = parentWidget() ? parentWidget()->window() : nullptr;
    return window && window->isVisible();
}

void frmPrint::EndIfSignalled(const platform::PrintCheck& check, bool printed)
{
    if (!check.signal)
        return;
    // A print from the command line ends with its own status; the window ends as the signal
    // demands, once the print has stopped.
    if (m_direct && !WindowOnShow())
        return;
    // A job read back as completed printed, stop or not.
    if (!printed)
        std::fprintf(stderr, "Quarno: the setup was not printed: %s.\n", check.reason.toLocal8Bit().constData());
    platform::StopSignals::EndBySignal(check.signal);
}

void frmPrint::NotPrintedMessage(const QString& reason)
{
    const QString text = QStringLiteral("The setup was not printed: ") + reason;
    platform::StatusSink::Instance().SetStatusText(text);
    // A print started from the command line has nobody to answer a box.
    if (!m_direct)
        platform::MessagePresenter::Instance().Show(text, platform::MsgStyle::Exclamation, SetupReport::AppTitle);
}

frmPrint::PrintResult frmPrint::PrintDocument()
{
    // The default printer serves until one is chosen; from the preview a missing printer is
    // chosen now, while a direct print has nobody to ask.
    if (m_device.isEmpty())
        SelectDefault();
    if (m_device.isEmpty() && !m_direct)
        ShowPrinterSetup();
    if (m_device.isEmpty()) {
        NotPrintedMessage(NoPrinterReason());
        return NotPrinted;
    }
    if (!m_built || m_report.PageCount() == 0) {
        NotPrintedMessage(QStringLiteral("the report document could not be started."));
        return NotPrinted;
    }
    platform::Printers& printers = platform::Printers::Instance();
    // Whether the printer takes a print now, and its paper.
    platform::CupsAnswer queue;
    platform::PrintCheck ready = printers.Queue(m_device, queue);
    EndIfSignalled(ready);
    if (ready.signal && ready.answer == platform::PrintCheck::Yes) {
        // The answer came, but so did the stop: nothing is handed over.
        ready.answer = platform::PrintCheck::CannotAsk;
        ready.reason = QStringLiteral("the print was stopped by ") + platform::StopSignals::Name(ready.signal);
    }
    if (ready.answer != platform::PrintCheck::Yes) {
        NotPrintedMessage(QStringLiteral("printer '") + m_device + QStringLiteral("': ") + ready.reason + QLatin1Char('.'));
        return NotPrinted;
    }
    TakePrinterPaper(queue);
    FitPaper();
    m_printer.setDocName(m_report.DocName);
    OfferPdfFile(m_printer, m_device, m_setup);
    if (!printers.ChooseOutputFile(this, m_printer, m_device)) {
        platform::StatusSink::Instance().SetStatusText(QStringLiteral("The setup was not printed: no file was chosen."));
        return Cancelled;
    }
    if (!printers.PrintsToFile(m_device))
        return PrintOnQueue(queue.saved);
    const QString file = QDir::toNativeSeparators(m_printer.outputFileName());
    QString failure;
    if (!m_report.Print(m_printer, Copies, &failure)) {
        NotPrintedMessage(WithWhy(QStringLiteral("the file '") + file + QStringLiteral("' could not be written"), failure));
        return NotPrinted;
    }
    // The platform's PDF output names the file it wrote; a printer is named by its own name.
    extra::ShowStatusMessage(255, {m_device == platform::Printers::PdfOutput ? file : m_device});
    return Printed;
}

frmPrint::PrintResult frmPrint::PrintOnQueue(const QStringList& saved)
{
    // The print server is handed the report as one PDF job; only a job it holds is a print.
    const QString printer = QStringLiteral("printer '") + m_device + QStringLiteral("': ");
    const QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("report.pdf"));
    QString failure;
    if (!folder.isValid() || !m_report.WritePdf(pdf, m_printer, 1, &failure)) {
        NotPrintedMessage(WithWhy(printer + QStringLiteral("the document for the print server could not be written"), failure));
        return NotPrinted;
    }
    // A paper chosen in the set-up dialog goes with the job; else the queue prints on the paper
    // the report was laid out on, its saved one or its default.
    const QPageSize chosen = m_paperChosen && m_paperOf == m_device ? m_printer.pageLayout().pageSize() : QPageSize();
    const QStringList options = platform::Printers::JobOptions(chosen, Copies);
    const platform::PrintCheck job = platform::Printers::Instance().Submit(m_device, pdf, m_report.DocName, options, saved);
    EndIfSignalled(job, job.answer == platform::PrintCheck::Yes);
    if (job.answer != platform::PrintCheck::Yes) {
        NotPrintedMessage(printer + job.reason + QLatin1Char('.'));
        return NotPrinted;
    }
    extra::ShowStatusMessage(255, {m_device});
    return Printed;
}

// ---- running --------------------------------------------------------------------------------------

void frmPrint::Run(bool direct)
{
    m_direct = direct;
    m_result = NotRun;
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    if (direct) {
        // A print from the command line is stopped by a signal at any point, never ended by it:
        // the print's own questions see the signal, and the run ends with its status.
        std::optional<platform::StopSignals::Arm> arm;
        if (!WindowOnShow())
            arm.emplace();
        Preview = false;
        SelectDefault();
        PrintOrPreview();
    } else {
        // Owned by the window on show, never by this one, which is hidden until a preview.
        frmPrintDialog dialog(*this);
        dialog.exec();
        if (m_continue) {
            PrintOrPreview();
        } else if (dialog.OKWithoutPrinter) {
            NotPrintedMessage(NoPrinterReason());
            m_result = NotPrinted;
        } else {
            // Nothing is being printed: the command's notice goes.
            extra::ShowStatusMessage(0);
            m_result = Cancelled;
        }
    }
    Unload();
    g_lastResult = m_result;
}

void frmPrint::PrintOrPreview()
{
    if (Preview) {
        if (!m_device.isEmpty() && m_paperOf != m_device) {
            platform::CupsAnswer queue;
            const platform::PrintCheck ready = platform::Printers::Instance().Queue(m_device, queue);
            EndIfSignalled(ready);
            TakePrinterPaper(queue);
        }
        FitPaper();
        vspPrint->updatePreview();
        SetPreviewPage(1);
        ShowPagePanel();
        // The keys go to the pages, not to the zoom box.
        if (auto* view = vspPrint->findChild<QGraphicsView*>())
            view->setFocus();
        extra::ShowStatusMessage(239);
        m_result = Previewed;
        exec();
        // However the preview was closed, its notice goes with it; a print leaves its own.
        if (m_result == Previewed)
            extra::ShowStatusMessage(0);
        return;
    }
    m_result = PrintDocument();
    close();
}

void frmPrint::ToolClick(const QString& key)
{
    if (key == QLatin1String("print")) {
        // A file dialog cancelled returns to the preview.
        const PrintResult result = PrintDocument();
        if (result == Cancelled)
            return;
        m_result = result;
        close();
    } else if (key == QLatin1String("printsetup")) {
        ShowPrinterSetup();
        TakePaperSize();
        BuildReport();
        ShowPagePanel();
    } else if (key == QLatin1String("close") || key == QLatin1String("exit")) {
        extra::ShowStatusMessage(0);
        close();
    } else if (key == QLatin1String("prev")) {
        if (m_page >= 2)
            SetPreviewPage(m_page - 1);
        ShowPagePanel();
    } else if (key == QLatin1String("next")) {
        if (m_page < PageCount())
            SetPreviewPage(m_page + 1);
        ShowPagePanel();
    }
}

void frmPrint::SetPreviewPage(int page)
{
    m_page = qBound(1, page, qMax(1, PageCount()));
    vspPrint->setCurrentPage(m_page);
}

void frmPrint::SetZoom(int percent)
{
    if (percent <= 0)
        return;
    m_zoom = percent;
    const QSignalBlocker block(vspPrint);
    vspPrint->setZoomMode(QPrintPreviewWidget::CustomZoom);
    vspPrint->setZoomFactor(percent / 100.0);
}

void frmPrint::ShowZoomPanel(const QString& text) { panelZoom->setText(QStringLiteral("Zoom: ") + text); }

void frmPrint::ShowPagePanel()
{
    panelPage->setText(QStringLiteral("Page ") + QString::number(m_page) + QStringLiteral(" of ") + QString::number(PageCount()));
    Tool(QStringLiteral("next"))->setEnabled(m_page < PageCount());
    Tool(QStringLiteral("prev"))->setEnabled(m_page >= 2);
}

void frmPrint::ZoomBoxChanged(const QString& text)
{
    if (m_zoomEcho)
        return;
    double value = 0;
    if (!LeadingNumber(text, value))
        return;
    SetZoom(int(std::lround(value)));
    ShowZoomPanel(text);
}

void frmPrint::PreviewZoomChanged(int percent)
{
    if (percent != 0)
        m_zoomEcho = true;
    m_zoom = percent > 0 ? percent : m_zoom;
    const QString text = QString::number(percent) + QLatin1Char('%');
    zoom->setCurrentText(text);
    ShowZoomPanel(text);
    m_zoomEcho = false;
}

void frmPrint::PreviewChanged()
{
    const int percent = int(std::lround(vspPrint->zoomFactor() * 100));
    if (percent != m_zoom)
        PreviewZoomChanged(percent);
    const int page = vspPrint->currentPage();
    if (page >= 1 && page != m_page) {
        m_page = page;
        ShowPagePanel();
    }
}

bool frmPrint::PreviewKey(int key, Qt::KeyboardModifiers modifiers)
{
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const bool others = modifiers & (Qt::ShiftModifier | Qt::AltModifier);
    auto setZoomText = [this](const QString& text) {
        zoom->setCurrentText(text);
        double value = 0;
        LeadingNumber(text, value);
        SetZoom(int(value));
        ShowZoomPanel(text);
    };
    switch (key) {
    case Qt::Key_Home:
        if (ctrl) {
            setZoomText(QStringLiteral("100%"));
        } else if (!others) {
            if (m_page != 1)
                SetPreviewPage(1);
            ShowPagePanel();
        }
        return true;
    case Qt::Key_End:
        if (ctrl) {
            setZoomText(QStringLiteral("200%"));
        } else if (!others) {
            if (m_page != PageCount())
                SetPreviewPage(PageCount());
            ShowPagePanel();
        }
        return true;
    case Qt::Key_PageUp:
        if (m_page > 1)
            SetPreviewPage(m_page - 1);
        ShowPagePanel();
        return true;
    case Qt::Key_PageDown:
        if (m_page < PageCount())
            SetPreviewPage(m_page + 1);
        ShowPagePanel();
        return true;
    default: return false;
    }
}

bool frmPrint::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (PreviewKey(key->key(), key->modifiers()))
            return true;
    } else if (event->type() == QEvent::ChildAdded && watched == vspPrint) {
        if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()))
            child->installEventFilter(this);
    }
    return QDialog::eventFilter(watched, event);
}

// ---- window state -----------------------------------------------------------------------------------

void frmPrint::LoadPreviewSettings()
{
    const QString state = ReadValue(QStringLiteral("PrintState"));
    const QString place = ReadValue(QStringLiteral("Print"));
    const QString zoomText = ReadValue(QStringLiteral("Zoom"));
    if (!place.isEmpty()) {
        QRect r = geometry();
        const QStringList fields = place.split(QLatin1Char(','));
        int values[4] = {pagecommon::ToTwips(r.x()), pagecommon::ToTwips(r.y()), pagecommon::ToTwips(r.width()),
                         pagecommon::ToTwips(r.height())};
        // A field that is no number ends the reading; the fields before it still count.
        bool broken = false;
        for (int i = 0; i < 4 && i < fields.size() && !broken; ++i) {
            if (fields[i].trimmed().isEmpty())
                continue;
            bool ok = false;
            const double v = fields[i].trimmed().toDouble(&ok);
            broken = !ok || !std::isfinite(v) || std::fabs(v) > 1e7;
            if (!broken)
                values[i] = int(v);
        }
        // The stored place may be on a screen that is gone, or nonsense: keep the window on the
        // work area and at a usable size.
        const QRect work = WorkArea(this);
        const int w = qBound(qMin(kMinWidth, work.width()), pagecommon::Twips(values[2]), work.width());
        const int h = qBound(qMin(kMinHeight, work.height()), pagecommon::Twips(values[3]), work.height());
        const int x = qBound(work.left(), pagecommon::Twips(values[0]), work.right() + 1 - w);
        const int y = qBound(work.top(), pagecommon::Twips(values[1]), work.bottom() + 1 - h);
        setGeometry(x, y, w, h);
        if (broken)
            return;
    }
    if (!state.isEmpty()) {
        bool ok = false;
        const int s = state.trimmed().toInt(&ok);
        if (!ok)
            return;
        setWindowState(s == 1 ? Qt::WindowMinimized : s == 2 ? Qt::WindowMaximized : Qt::WindowNoState);
    }
    if (!zoomText.isEmpty()) {
        double value = 0;
        if (!LeadingNumber(zoomText, value) || value <= 0 || value > 10000)
            return;
        SetZoom(int(std::lround(value)));
        ShowZoomPanel(zoomText.trimmed() + QLatin1Char('%'));
        const QSignalBlocker block(zoom);
        zoom->setCurrentText(zoomText.trimmed() + QLatin1Char('%'));
    }
}

void frmPrint::SavePreviewSettings()
{
    const Qt::WindowStates s = windowState();
    const int state = s.testFlag(Qt::WindowMinimized) ? 1 : s.testFlag(Qt::WindowMaximized) ? 2 : 0;
    WriteValue(QStringLiteral("PrintState"), QString::number(state));
    if (state == 0) {
        const QRect work = WorkArea(this);
        const QRect r = geometry();
        const int left = qMax(r.x(), work.left());
        const int top = qMax(r.y(), work.top());
        const int width = qMax(0, qMin(r.width(), work.right() + 1 - left));
        const int height = qMax(0, qMin(r.height(), work.bottom() + 1 - top));
        WriteValue(QStringLiteral("Print"), QStringList{QString::number(pagecommon::ToTwips(left)),
                                                         QString::number(pagecommon::ToTwips(top)),
                                                         QString::number(pagecommon::ToTwips(width)),
                                                         QString::number(pagecommon::ToTwips(height))}
                                                 .join(QLatin1Char(',')));
    }
    WriteValue(QStringLiteral("Zoom"), QString::number(m_zoom));
}

void frmPrint::Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    SavePreviewSettings();
}
