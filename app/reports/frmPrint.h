#pragma once
// The print preview window: builds the setup report as soon as it gets the setup, asks for the
// printer in the print dialog (unless told to print at once), then prints or previews.
#include "app/reports/ReportPrinter.h"
#include "app/reports/SetupReport.h"
#include "platform/CupsApi.h"
#include "platform/PrintQueue.h"

#include <QDialog>
#include <QPrinter>

#include <memory>

class MainState;
class QAction;
class QComboBox;
class QLabel;
class QMenuBar;
class QPrintPreviewWidget;
class QStatusBar;
class QToolBar;
class XelObject;

class frmPrint : public QDialog {
    Q_OBJECT
public:
    // What a print command came to, for the caller (and "-p"'s exit status).
    enum PrintResult { NotRun, Printed, Previewed, Cancelled, NotPrinted };

    frmPrint(MainState& state, QWidget* parent = nullptr);
    ~frmPrint() override;

    // Stores the setup and builds the report at once.
    void SetXelObject(XelObject* setup);
    ::XelObject* XelObject() const { return m_setup; }
    void SetContinue(bool value) { m_continue = value; }
    bool Continue() const { return m_continue; }
    void SetBorder(bool value) { m_builder.Border = value; }

    // direct: print at once on the selected printer, without dialog and preview.
    void Run(bool direct);
    PrintResult Result() const { return m_result; }
    // The result of the last Run of the program; the "-p" start reads it for its exit status.
    static PrintResult LastResult();
    static void SetLastResult(PrintResult result);

    // The report printing control's state.
    ReportPrinter& Report() { return m_report; }
    bool ReportBuilt() const { return m_built; }
    QString Device() const { return m_device; }
    // Selects a printer by name; false when the print server answered and does not know it, and
    // then the default printer (or none) is selected instead. A server that does not answer
    // refuses nothing: the name stays selected.
    bool SetDevice(const QString& name);
    // The printer set-up dialog; true when the user accepted it.
    bool ShowPrinterSetup();
    bool Preview = true;
    // The copies the print dialog chose; 0 (a print without the dialog): the printer's saved ones.
    int Copies = 0;
    // The copies the printer's saved options give a job, asked once for each printer (1 for a
    // file, or where the server does not say).
    int SavedCopies();
    int PreviewPage() const { return m_page; }
    int PageCount() const { return m_report.PageCount(); }
    int Zoom() const { return m_zoom; }
    void SetZoom(int percent);
    void SetPreviewPage(int page);

    // Routines of the window.
    void BuildReport();
    void PrintOrPreview();
    // Prints the whole document on the selected printer: Printed, NotPrinted (and the user told
    // why) or Cancelled (the user declined to name the PDF file).
    PrintResult PrintDocument();
    void ShowPagePanel();
    void ShowZoomPanel(const QString& text);
    void LoadPreviewSettings();
    void SavePreviewSettings();
    void ToolClick(const QString& key);
    // Keys in the preview control; true when used.
    bool PreviewKey(int key, Qt::KeyboardModifiers modifiers);
    // The preview reported a zoom the user chose in it.
    void PreviewZoomChanged(int percent);

    // Controls (objectNames are the control names).
    QMenuBar* menuBar = nullptr;
    QToolBar* actPrint = nullptr;
    QComboBox* zoom = nullptr;
    QStatusBar* staPrint = nullptr;
    QLabel* panelStatus = nullptr; // "STATUS"
    QLabel* panelPage = nullptr;   // "PAGE"
    QLabel* panelZoom = nullptr;   // "ZOOM"
    QPrintPreviewWidget* vspPrint = nullptr;
    QAction* Tool(const QString& key) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void InitZoomList();
    void ZoomBoxChanged(const QString& text);
    void PreviewChanged();
    void Unload();
    void NotPrintedMessage(const QString& reason);
    // Why no printer is selected: the print server's own reason when it gave one.
    QString NoPrinterReason();
    // The printers to choose from and the default, asked of the print seam once (again when
    // fresh is set).
    void ListPrinters(bool fresh = false);
    void SelectDefault();
    // The paper of the selected printer, asked once for each printer; the one chosen in the
    // set-up dialog stays.
    void TakePrinterPaper(const platform::CupsAnswer& queue);
    // A print stopped by a signal: the window ends as the signal demands; -p ends with its
    // status.
    // The main window is on show: a print from the command line has none.
    bool WindowOnShow() const;
    void EndIfSignalled(const platform::PrintCheck& check, bool printed = false);
    // Hands the report to the queue with the options saved for it, as the queue's answer for
    // this print gave them.
    PrintResult PrintOnQueue(const QStringList& saved);
    // Lays the report out again when the printer's paper differs from the document's.
    void FitPaper();
    // Takes the printer's paper size for the document; true when it changed.
    bool TakePaperSize();

    // Before any printer is made: Qt's print support paints here and must never wait on a
    // print server.
    struct PaintOnly {
        PaintOnly() { platform::CupsApi::KeepThreadAway(); }
    } m_paintOnly;
    MainState& m_state;
    ::XelObject* m_setup = nullptr;
    ReportPrinter m_report;
    SetupReport m_builder;
    bool m_built = false;
    bool m_continue = false;
    bool m_direct = false;
    bool m_zoomEcho = false;
    bool m_unloaded = false;
    int m_zoom = 100;
    int m_page = 1;
    QString m_device;
    bool m_setupChosen = false; // m_device comes from the set-up dialog
    bool m_paperChosen = false; // and the paper with it
    QString m_paperOf;          // the printer whose paper m_printer holds
    QString m_copiesOf;         // the printer m_savedCopies was asked of
    int m_savedCopies = 1;
    // The print seam's list of printers, asked when first needed.
    bool m_listed = false;
    QStringList m_names;
    QString m_namedDefault;
    platform::PrintCheck m_server;
    QPrinter m_printer;
    std::unique_ptr<QPrinter> m_previewPrinter;
    PrintResult m_result = NotRun;
};
