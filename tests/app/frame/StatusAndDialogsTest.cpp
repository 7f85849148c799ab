// The status bar, the page change, the options and port dialogs, the about box and the e-mail.
#include "tests/app/frame/FrameTestSupport.h"
#include "tests/common/TextRoom.h"
#include "tests/common/WaitFor.h"

#include "app/frame/frmAbout.h"
#include "app/frame/frmCommSetup.h"
#include "app/frame/frmFileVersionConflict.h"
#include "app/frame/frmOptions.h"
#include "app/pages/channels/AnalogInPage.h"
#include "app/pages/channels/frmSetpoints.h"
#include "app/pages/general/frmBackupSystemSettings.h"
#include "app/pages/general/frmCANDiagnosis.h"
#include "app/pages/general/frmCANSettings.h"
#include "app/pages/general/frmIDNumber.h"
#include "app/pages/general/frmMessage.h"
#include "app/pages/general/frmRelaySelection.h"
#include "app/pages/general/frmSecretSettings.h"
#include "app/reports/Reports.h"
#include "app/reports/frmPrint.h"
#include "app/reports/frmPrintDialog.h"
#include "app/reports/frmPrinterSetup.h"
#include "app/unitops/frmClock.h"
#include "app/unitops/frmComm.h"
#include "app/unitops/frmCounters.h"
#include "app/unitops/frmRetrieveLog.h"
#include "app/unitops/frmServicePassword.h"
#include "app/unitops/UnitOps.h"
#include "platform/DialogFrame.h"
#include "platform/MessagePresenter.h"
#include "platform/Printers.h"
#include "app/services/modRegistry.h"
#include "controls/Float.h"
#include "controls/Number.h"
#include "datamodel/XelMain.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabWidget>
#include <QTest>
#include <QTextDocument>
#include <QWindow>

using namespace frametest;
using platform::MsgResult::No;
using platform::MsgResult::Yes;

namespace {

class FakeBattery : public BatteryPageApi {
public:
    bool valid = true;
    int validations = 0;
    void SetBatteryDefaults() override {}
    void LoadBattery() override {}
    bool ValidateBattery() override
    {
        ++validations;
        return valid;
    }
    QString StartBatteryVoltageText() override { return {}; }
};

// The text a label or a tip shows: one that Qt takes for markup loses its tags.
QString AsShown(const QString& text, Qt::TextFormat format = Qt::AutoText)
{
    QTextDocument page;
    page.setHtml(text);
    return format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(text)) ? page.toPlainText() : text;
}

class StatusBar : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_TRUE(Start());
    }
    void WaitForRestore()
    {
        QTest::qWait(20); // the stepped clock makes the 5000 ms timer 1 ms
    }
};

} // namespace

TEST_F(StatusBar, TextPanelCopiesAndTheTimerPutsThePreviousTextBack)
{
    window->SetStatusText("Opened a.QRN");
    window->PanelDblClick("text");
    EXPECT_EQ(doubles.clipboard.text, "Opened a.QRN");
    EXPECT_EQ(Status(), "Status line copied to clipboard");
    EXPECT_TRUE(window->StatusTimer()->isActive());
    WaitForRestore();
    EXPECT_EQ(Status(), "Opened a.QRN");
    EXPECT_FALSE(window->StatusTimer()->isActive());
    // A second double-click during the notice keeps the notice as the text to restore.
    window->PanelDblClick("TEXT");
    window->PanelDblClick("TEXT");
    WaitForRestore();
    EXPECT_EQ(Status(), "Status line copied to clipboard");
    // A new status message stops the restore.
    window->SetStatusText("x");
    window->PanelDblClick("TEXT");
    extra::ShowStatusMessage(222);
    EXPECT_FALSE(window->StatusTimer()->isActive());
    WaitForRestore();
    EXPECT_EQ(Status(), Lang(222));
    // An empty text panel copies nothing.
    extra::ShowStatusMessage(0);
    doubles.clipboard.text = "keep";
    window->PanelDblClick("TEXT");
    EXPECT_EQ(doubles.clipboard.text, "keep");
    EXPECT_FALSE(window->StatusTimer()->isActive());
}

TEST_F(StatusBar, UserPanelCopiesTheTrimmedName)
{
    window->SetPanelText("USER", "  tester");
    window->SetStatusText("before");
    window->PanelDblClick("USER");
    EXPECT_EQ(doubles.clipboard.text, "tester");
    EXPECT_EQ(Status(), "Username copied to clipboard");
    WaitForRestore();
    EXPECT_EQ(Status(), "before");
}

TEST_F(StatusBar, ModeChordsAndTheDebugPanel)
{
    doubles.keys.alt = doubles.keys.shift = true;
    doubles.keys.chars = "J";
    window->PanelDblClick("MODE");
    EXPECT_TRUE(window->State().DebugInfo);
    EXPECT_TRUE(window->Panel("DEBUG")->isVisibleTo(window.get()));
    window->PanelDblClick("MODE");
    EXPECT_FALSE(window->State().DebugInfo);
    EXPECT_FALSE(window->Panel("DEBUG")->isVisibleTo(window.get()));

    doubles.keys.chars = "V";
    window->PanelDblClick("MODE");
    EXPECT_TRUE(window->State().ExpertMode);
    EXPECT_EQ(Status(), "God Mode activated");
    EXPECT_FALSE(window->StatusTimer()->isActive());
    window->PanelDblClick("MODE");
    EXPECT_EQ(Status(), "God Mode de-activated");

    // Without Alt nothing happens.
    doubles.keys.alt = false;
    window->PanelDblClick("MODE");
    EXPECT_FALSE(window->State().ExpertMode);
    doubles.keys.alt = true;

    // DEBUG panel: switches debug mode off.
    window->State().DebugInfo = true;
    window->SetPanelVisible("DEBUG", true);
    window->PanelDblClick("DEBUG");
    EXPECT_FALSE(window->State().DebugInfo);
    EXPECT_FALSE(window->Panel("DEBUG")->isVisibleTo(window.get()));
    // CLASSIFIABLE: nothing.
    window->PanelDblClick("CLASSIFIABLE");
    EXPECT_TRUE(unit.calls.isEmpty());
}

TEST_F(StatusBar, TheCountersAndLogChord)
{
    doubles.keys.alt = doubles.keys.shift = true;
    struct Row {
        QString chars;
        bool detect;
        QList<int> answers;
        QStringList calls;
        QStringList asked;
    };
    const Row rows[] = {
        {"X", false, {}, {"DetectUnit"}, {Lang(140)}},
        {"XW", true, {}, {"DetectUnit", "CmdResetCounters(0)", "CmdDeleteLog(0)"}, {}},
        {"X", true, {No, Yes}, {"DetectUnit", "CmdDeleteLog(0)"}, {"Reset counters?", "Delete log?"}},
        {"X", true, {Yes, No}, {"DetectUnit", "CmdResetCounters(0)"}, {"Reset counters?", "Delete log?"}},
    };
    for (const Row& row : rows) {
        doubles.keys.chars = row.chars;
        unit.detect = row.detect;
        unit.calls.clear();
        doubles.presenter.shown.clear();
        doubles.presenter.answers = row.answers;
        window->PanelDblClick("MODE");
        EXPECT_EQ(unit.calls, row.calls) << row.chars.toStdString();
        EXPECT_EQ(Shown(), row.asked);
        for (const auto& shown : doubles.presenter.shown) {
            if (shown.text == "Reset counters?" || shown.text == "Delete log?")
                EXPECT_EQ(shown.caption, "Secret shortcut");
        }
    }
    // Refused while a command runs.
    unit.calls.clear();
    window->UnitOps().CmdClock = [&](MainState&) { window->PanelDblClick("MODE"); };
    window->ToolClick("clock");
    EXPECT_TRUE(unit.calls.isEmpty());
    EXPECT_EQ(doubles.presenter.beeps, 1);
}

TEST_F(StatusBar, APageChangeIsRefusedWhenThePageLeftIsInvalid)
{
    FakeBattery battery;
    window->State().batteryPage = &battery;
    QTabWidget* tabs = window->Tabs();
    tabs->setCurrentIndex(5);
    EXPECT_TRUE(window->PageContainer(5)->isEnabled());
    EXPECT_FALSE(window->PageContainer(0)->isEnabled());
    EXPECT_EQ(window->HelpContext(), 69);
    battery.valid = false;
    battery.validations = 0;
    tabs->setCurrentIndex(6);
    EXPECT_EQ(tabs->currentIndex(), 5);
    EXPECT_EQ(battery.validations, 1); // the way back is not validated again
    EXPECT_TRUE(window->PageContainer(5)->isEnabled());
    EXPECT_FALSE(window->PageContainer(6)->isEnabled());
    battery.valid = true;
    window->SetStatusText("old");
    tabs->setCurrentIndex(6);
    EXPECT_EQ(tabs->currentIndex(), 6);
    EXPECT_FALSE(window->PageContainer(5)->isEnabled());
    EXPECT_TRUE(window->PageContainer(6)->isEnabled());
    EXPECT_EQ(window->HelpContext(), 72);
    EXPECT_EQ(Status(), "");
    window->ShowTabPage(8);
    window->ShowTabPage(-1);
    EXPECT_EQ(window->HelpContext(), 72);
    window->State().batteryPage = nullptr;
}

// A range message stays only while its box holds a value out of range; every page takes it
// away the same way, and a page left takes its message with it.
TEST_F(StatusBar, RangeMessagesLeaveOnceTheirBoxHoldsAValidValue)
{
    struct Case {
        int tab;
        const char* box;
        double valid;
    } cases[] = {{1, "numDigitalAlarmDelay", 3}, {2, "numAnalogSensorMax", 50}, {3, "numStandbyOperationCranking", 5},
                 {4, "numSpeedSensorPulsesPerRevolution_0", 120}, {4, "numSpeedSensorNomMax", 1600},
                 {4, "numSpeedSensorSpeedingShutdown", 0.5}, {5, "numBatteryDelay", 5},
                 {5, "numBatteryLowBatteryVAlarm", 20}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box);
        window->Tabs()->setCurrentIndex(c.tab);
        auto* box = window->findChild<EntryBox*>(c.box);
        ASSERT_NE(box, nullptr);
        auto setValid = [&] {
            if (auto* number = qobject_cast<Number*>(box))
                number->SetValue(int(c.valid));
            else
                qobject_cast<Float*>(box)->SetValue(float(c.valid));
        };
        emit box->ErrorValue();
        EXPECT_NE(Status(), "");
        setValid();
        EXPECT_EQ(Status(), "");
        window->SetStatusText("Saved");
        setValid();
        EXPECT_EQ(Status(), "Saved") << "another message stays";
        emit box->ErrorValue();
        window->Tabs()->setCurrentIndex(6);
        EXPECT_EQ(Status(), "");
    }
}

// A name a user or the system gives shows as it is, tags and all: in the status bar, its tips
// and the questions alike.
TEST_F(StatusBar, NamesShowAsTextNeverAsMarkup)
{
    const QString name = "<h1><u>BIG x.QRN", cut = QString(300, 'x') + name;
    window->show();
    auto label = [](const QLabel* shown) { return AsShown(shown->text(), shown->textFormat()); };
    auto box = [&](QMessageBox::StandardButton answer, const char* tool) {
        QString seen;
        platform::MessagePresenter::SetInstance(nullptr);
        testing_doubles::WhenModal<QMessageBox>([&](QMessageBox* shown) {
            seen = AsShown(shown->text(), shown->textFormat());
            shown->button(answer)->click();
        });
        window->ToolClick(tool);
        platform::MessagePresenter::SetInstance(&doubles.presenter);
        return seen;
    };
    dialogs.answers = {Path(name)};
    window->ToolClick("saveas");
    const QString status = label(window->Panel("TEXT"));
    window->XelObject()->Main()->SetIDNumber(7);
    const QString save = box(QMessageBox::Cancel, "new"), mail = box(QMessageBox::No, "email");
    window->SetStatusText(cut);
    const QString rows[][2] = {{status, Lang(234, {name})}, {save, Lang(101, {name})}, {mail, Lang(133, {name})},
                               {AsShown(window->Panel("TEXT")->toolTip()), cut}};
    for (const auto& [shown, given] : rows)
        EXPECT_EQ(shown, given);
}

// ---- dialogs -------------------------------------------------------------------------

// Message boxes and the small dialogs offer a close button only: no minimise or maximise
// button, none the window manager would add on its own either. Each is a dialog transient for
// its owner: the modal window on top, else the main window.
TEST_F(StatusBar, SmallDialogsAndMessageBoxesHaveAnOwnerAndNoMinimiseOrMaximiseButton)
{
    window->show();
    auto framed = [](QWidget& w, QWidget* owner) {
        const Qt::WindowFlags f = w.windowFlags();
        const bool wasShown = w.isVisible();
        w.show(); // the owner is named as the window maps
        const bool owned = w.windowHandle()->transientParent() == owner->windowHandle();
        if (!wasShown)
            w.hide();
        return owned && w.windowType() == Qt::Dialog && f.testFlag(Qt::CustomizeWindowHint)
               && !f.testFlag(Qt::WindowMinimizeButtonHint) && !f.testFlag(Qt::WindowMaximizeButtonHint);
    };
    MainState& s = window->State();
    frmPrint print(s);
    {
        // Each built and gone before the box below is up.
        const std::vector<std::shared_ptr<QWidget>> dialogs = {
            std::make_shared<frmCommSetup>(), std::make_shared<frmOptions>(), std::make_shared<frmAbout>(),
            std::make_shared<frmFileVersionConflict>(), std::make_shared<frmRetrieveLog>(),
            std::make_shared<frmServicePassword>(), std::make_shared<frmComm>(s), std::make_shared<frmClock>(),
            std::make_shared<frmCounters>(), std::make_shared<frmPrintDialog>(print),
            std::make_shared<frmCANDiagnosis>(), std::make_shared<frmBackupSystemSettings>(s),
            std::make_shared<frmCANSettings>(), std::make_shared<frmMessage>(), std::make_shared<frmRelaySelection>(s),
            std::make_shared<frmIDNumber>(), std::make_shared<frmSecretSettings>()};
        for (const auto& dialog : dialogs) {
            EXPECT_TRUE(framed(*dialog, window.get())) << dialog->objectName().toStdString();
            // Enter acts as OK wherever there is one.
            if (const auto* ok = dialog->findChild<QPushButton*>("cmdOK"))
                EXPECT_TRUE(ok->isDefault()) << dialog->objectName().toStdString();
        }
    }
    // The platform's own message box, as the program shows one.
    auto boxFramed = [&](QWidget* owner) {
        platform::MessagePresenter::SetInstance(nullptr);
        bool framedBox = false;
        QTimer::singleShot(0, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                    framedBox = framed(*box, owner);
                    box->button(QMessageBox::Ok)->click();
                }
        });
        platform::MessagePresenter::Instance().Show("Checked", platform::MsgStyle::OKOnly, "Quarno Q2");
        platform::MessagePresenter::SetInstance(&doubles.presenter);
        return framedBox;
    };
    EXPECT_TRUE(boxFramed(window.get()));
    // A modal window on top owns the box and a dialog it opens.
    QDialog modal(window.get());
    modal.setModal(true);
    modal.show();
    EXPECT_TRUE(boxFramed(&modal));
    EXPECT_TRUE(framed(*std::make_unique<frmCommSetup>(), &modal));
    modal.reject();

    // The print road and the setpoints window, opened as the user opens them: each is owned by
    // the window it was opened from, or by the main window when that one is not on show (the
    // print dialog's preview window is hidden until a preview). A window manager ignores a
    // window never shown, so a dialog owned by one could be minimised alone.
    platform::FileDialogs::SetInstance(nullptr); // the PDF file dialog as the program shows it
    doubles.settings->SetValue("PrinterDevice", platform::Printers::PdfOutput);
    struct Owned {
        std::string what;
        bool byExpected, ownerShown, endsAtMain; // as the dialog is up
    };
    std::vector<Owned> owned;
    auto note = [&](const std::string& what, QWidget* dialog, QWidget* expected) {
        QWindow* owner = dialog->windowHandle() ? dialog->windowHandle()->transientParent() : nullptr;
        QWindow* up = dialog->windowHandle();
        for (int step = 0; step < 16 && up && up != window->windowHandle(); ++step)
            up = up->transientParent();
        owned.push_back({what, owner && owner == expected->windowHandle(), owner && owner->isVisible(),
                         up && up == window->windowHandle()});
    };
    using testing_doubles::WhenModal;
    WhenModal<frmPrintDialog>([&](frmPrintDialog* print) {
        note("print dialog", print, window.get());
        WhenModal<frmPrinterSetup>([&](frmPrinterSetup* setup) {
            note("set-up dialog over the print dialog", setup, print);
            setup->reject();
        });
        print->cmdSetup->click();
        WhenModal<frmPrint>([&](frmPrint* preview) {
            note("preview", preview, window.get());
            WhenModal<frmPrinterSetup>([&](frmPrinterSetup* setup) {
                note("set-up dialog over the preview", setup, preview);
                setup->reject();
            });
            preview->ToolClick("printsetup");
            WhenModal<QFileDialog>([&](QFileDialog* file) {
                note("PDF file dialog over the preview", file, preview);
                file->reject();
            });
            preview->ToolClick("print");
            preview->close();
        });
        print->chkPreview->setChecked(true);
        print->cmdOK->click();
    });
    reports::PrintSetup(s, false);
    WhenModal<frmPrintDialog>([&](frmPrintDialog* print) {
        WhenModal<QFileDialog>([&](QFileDialog* file) {
            note("PDF file dialog after the print dialog", file, window.get());
            file->reject();
        });
        print->cmdOK->click();
    });
    reports::PrintSetup(s, false);
    auto* analog = window->findChild<AnalogInPage*>();
    ASSERT_NE(analog, nullptr);
    WhenModal<frmSetpoints>([&](frmSetpoints* setpoints) {
        note("setpoints window", setpoints, window.get());
        setpoints->close();
    });
    analog->graRPMDependentAlarm_DblClick();
    platform::FileDialogs::SetInstance(&dialogs);

    // A restore from the task bar shows a dialog again, with the windows it owns: it keeps the
    // owner it opened with, and so does a box it opens.
    platform::MessagePresenter::SetInstance(nullptr);
    WhenModal<frmCommSetup>([&](frmCommSetup* port) {
        port->showMinimized();
        port->showNormal();
        WhenModal<QMessageBox>([&](QMessageBox* box) {
            note("box from the restored port dialog", box, port);
            port->showMinimized();
            box->showMinimized();
            port->showNormal();
            box->showNormal();
            note("port dialog restored under its box", port, window.get());
            note("box restored over the port dialog", box, port);
            box->button(QMessageBox::Ok)->click();
        });
        platform::MessagePresenter::Instance().Show("Checked", platform::MsgStyle::OKOnly, "Quarno Q2");
        port->reject();
    });
    window->ShowCommSetupCancelled();
    platform::MessagePresenter::SetInstance(&doubles.presenter);
    QDialog behind; // shown only after a window it opened
    platform::SetSmallDialogFrame(&behind);
    QDialog opened(&behind);
    opened.open();
    behind.show();
    note("dialog shown behind a window it opened", &behind, window.get());
    // The log window is modal over the main window: no unit command starts while it is up.
    window->UnitOps().CmdRetrieveLog = unitops::CmdRetrieveLog;
    unit.calls.clear();
    doubles.presenter.beeps = 0;
    const QStringList commands{"load", "transmit", "deletelog", "resetcounters", "counters", "clock", "retrievelog"};
    WhenModal<frmRetrieveLog>([&](frmRetrieveLog* log) {
        note("log window", log, window.get());
        for (const QString& key : commands)
            window->ToolClick(key);
        log->close();
    });
    window->ToolClick("retrievelog");
    EXPECT_TRUE(unit.calls.isEmpty()) << unit.calls.join(' ').toStdString();
    EXPECT_EQ(doubles.presenter.beeps, commands.size());
    ASSERT_EQ(owned.size(), 12u);
    for (const Owned& o : owned) {
        EXPECT_TRUE(o.byExpected) << o.what;
        EXPECT_TRUE(o.ownerShown) << o.what;
        EXPECT_TRUE(o.endsAtMain) << o.what;
    }
}

TEST_F(StatusBar, PortDialogStoresThePickedPort)
{
    ports.present = {3, 14};
    ports.descriptions[14] = "FTDI FT232R USB UART";
    doubles.settings->SetValue("Ports/COM14", "/dev/serial/by-id/usb-ecx-line");
    // Each number names its device; the stored port is listed and selected even when the
    // system does not list it.
    struct Row {
        QString stored;
        int selected; // item data, -1 none
        int count;
    };
    const Row rows[] = {{"", -1, 11}, {"0", -1, 11}, {"3", 3, 11}, {"14", 14, 11}, {"29", 29, 12}, {"abc", -1, 11}};
    for (const Row& row : rows) {
        doubles.settings->SetValue("CommPort", row.stored);
        frmCommSetup dialog;
        auto* combo = dialog.findChild<QComboBox*>("cmbCommPort");
        auto* ok = dialog.findChild<QPushButton*>("cmdOK");
        EXPECT_EQ(combo->count(), row.count) << row.stored.toStdString(); // COM1..COM10, the listed COM14, the stored one
        EXPECT_EQ(combo->itemText(0), "COM1 (/dev/ttyS0)   - not detected");
        EXPECT_EQ(combo->itemText(2), "COM3 (/dev/ttyS2)");
        EXPECT_EQ(combo->itemText(5), "COM6 (/dev/ttyUSB1)   - not detected");
        EXPECT_EQ(combo->itemText(10), "COM14 (/dev/serial/by-id/usb-ecx-line)");
        EXPECT_EQ(combo->itemData(10, Qt::ToolTipRole).toString(), "FTDI FT232R USB UART");
        if (row.count == 12)
            EXPECT_EQ(combo->itemText(11), "COM29 (/dev/ttyACM8)   - not detected");
        EXPECT_EQ(combo->currentIndex() >= 0 ? combo->currentData().toInt() : -1, row.selected) << row.stored.toStdString();
        EXPECT_EQ(ok->isEnabled(), row.selected >= 0);
        frmOptions options; // chooses the same; OK with nothing chosen stores nothing
        options.findChild<QTabWidget*>("tabOptions")->setCurrentIndex(2);
        EXPECT_EQ(options.findChild<QComboBox*>("cmbCommPort")->currentData().toInt(), qMax(0, row.selected));
        options.findChild<QPushButton*>("cmdOK")->click();
        EXPECT_EQ(doubles.settings->Value("CommPort").value_or(""), row.stored);
        // The longest entry shows whole in the drop-down list.
        dialog.show();
        QApplication::processEvents();
        int widest = 0;
        for (int i = 0; i < combo->count(); ++i)
            widest = qMax(widest, combo->view()->fontMetrics().horizontalAdvance(combo->itemText(i)));
        EXPECT_LE(widest, testing_doubles::ListRoom(combo));
    }
    EXPECT_EQ(ports.opened, 0); // no port was opened to build the lists
    frmCommSetup dialog;
    dialog.findChild<QComboBox*>("cmbCommPort")->setCurrentIndex(4);
    dialog.findChild<QPushButton*>("cmdOK")->click();
    EXPECT_FALSE(dialog.Cancelled());
    EXPECT_EQ(modRegistry::GetCommPort(), 5);
    frmCommSetup cancelled;
    cancelled.findChild<QPushButton*>("cmdCancel")->click();
    EXPECT_TRUE(cancelled.Cancelled());
    EXPECT_EQ(modRegistry::GetCommPort(), 5);
    frmCommSetup escaped; // Esc and the close box store nothing and count as a cancel
    escaped.findChild<QComboBox*>("cmbCommPort")->setCurrentIndex(2);
    escaped.reject();
    EXPECT_TRUE(escaped.Cancelled());
    EXPECT_EQ(modRegistry::GetCommPort(), 5);
}

TEST_F(StatusBar, OptionsDialogRoundTripsItsSettings)
{
    const QString open = Path("");
    const QString newSave = Path("made/for/saving");
    doubles.settings->SetValue("Mode", "1");
    doubles.settings->SetValue("FileOpenLocationAlways", "1");
    doubles.settings->SetValue("FileOpenLocation", open);
    doubles.settings->SetValue("CommPort", "7");
    {
        frmOptions dialog;
        EXPECT_EQ(dialog.findChild<QComboBox*>("cmbQRNMode")->currentIndex(), 1);
        EXPECT_TRUE(dialog.findChild<QCheckBox*>("chkQRNDirOpen")->isChecked());
        EXPECT_EQ(dialog.findChild<QLineEdit*>("txtQRNDirOpen")->text(), open);
        // OK without visiting the port tab keeps the port.
        dialog.findChild<QComboBox*>("cmbQRNMode")->setCurrentIndex(0);
        dialog.findChild<QLineEdit*>("txtQRNDirSave")->setText(newSave);
        dialog.findChild<QCheckBox*>("chkQRNDirSave")->setChecked(true);
        doubles.presenter.answers = {Yes}; // create the missing folder
        dialog.findChild<QPushButton*>("cmdOK")->click();
    }
    EXPECT_EQ(doubles.settings->Value("Mode").value_or(""), "0");
    EXPECT_EQ(doubles.settings->Value("CommPort").value_or(""), "7");
    EXPECT_EQ(Shown(), QStringList{Lang(95, {newSave})});
    EXPECT_TRUE(QFileInfo(newSave).isDir());
    EXPECT_EQ(doubles.settings->Value("FileSaveLocation").value_or(""), newSave);
    EXPECT_EQ(doubles.settings->Value("FileSaveLocationAlways").value_or(""), "1");
    {
        // The port tab: a stored port the system does not list is offered and selected.
        ports.present = {};
        doubles.settings->SetValue("CommPort", "27");
        frmOptions dialog;
        dialog.findChild<QTabWidget*>("tabOptions")->setCurrentIndex(2);
        auto* combo = dialog.findChild<QComboBox*>("cmbCommPort");
        EXPECT_EQ(combo->count(), 11);
        EXPECT_EQ(combo->currentText(), "COM27 (/dev/ttyACM6)   - not detected");
        dialog.show();
        QApplication::processEvents();
        // The box keeps its width; its list and its tip show the entry whole.
        EXPECT_LE(combo->view()->fontMetrics().horizontalAdvance(combo->currentText()), testing_doubles::ListRoom(combo));
        EXPECT_EQ(combo->toolTip(), combo->currentText());
        EXPECT_TRUE(dialog.PortListFilled());
        // Entering the tab again keeps the list; with Shift it is built anew.
        auto* tabs = dialog.findChild<QTabWidget*>("tabOptions");
        const int listed = ports.listed;
        tabs->setCurrentIndex(0);
        tabs->setCurrentIndex(2);
        EXPECT_EQ(ports.listed, listed);
        doubles.keys.shift = true;
        ports.present = {20};
        tabs->setCurrentIndex(0);
        tabs->setCurrentIndex(2);
        doubles.keys.shift = false;
        EXPECT_EQ(ports.listed, listed + 1);
        EXPECT_EQ(combo->count(), 32); // with Shift every number is offered
        EXPECT_EQ(combo->itemText(19), "COM20 (/dev/ttyUSB15)");
        combo->setCurrentIndex(2);
        // Clearing the save folder stores "0" and "", an empty open folder keeps its value.
        dialog.findChild<QLineEdit*>("txtQRNDirSave")->clear();
        dialog.findChild<QLineEdit*>("txtQRNDirOpen")->clear();
        dialog.findChild<QPushButton*>("cmdOK")->click();
    }
    EXPECT_EQ(doubles.settings->Value("CommPort").value_or(""), "3");
    EXPECT_EQ(doubles.settings->Value("FileSaveLocationAlways").value_or(""), "0");
    EXPECT_EQ(doubles.settings->Value("FileSaveLocation").value_or("x"), "");
    EXPECT_EQ(doubles.settings->Value("FileOpenLocation").value_or(""), open);
    EXPECT_EQ(ports.opened, 0);
}

TEST_F(StatusBar, OptionsFolderWarningsAndACancel)
{
    frmOptions dialog;
    dialog.show();
    dialog.findChild<QTabWidget*>("tabOptions")->setCurrentIndex(1);
    auto* text = dialog.findChild<QLineEdit*>("txtQRNDirSave");
    auto* warning = dialog.findChild<QWidget*>("picActionText_1");
    text->setText(Path("nowhere"));
    dialog.findChild<QCheckBox*>("chkQRNDirSave")->setChecked(true);
    EXPECT_TRUE(warning->isVisibleTo(&dialog));
    EXPECT_EQ(text->palette().color(QPalette::Text), QColor(255, 0, 0));
    EXPECT_TRUE(dialog.findChild<QWidget*>("conQRNDirSave")->isEnabled());
    dialog.findChild<QCheckBox*>("chkQRNDirSave")->setChecked(false);
    EXPECT_FALSE(warning->isVisibleTo(&dialog));
    EXPECT_FALSE(dialog.findChild<QWidget*>("conQRNDirSave")->isEnabled());
    dialog.findChild<QPushButton*>("cmdCancel")->click();
    EXPECT_FALSE(doubles.settings->Value("FileSaveLocationAlways").has_value());
    EXPECT_FALSE(doubles.settings->Value("Mode").has_value());
}

TEST_F(StatusBar, AboutBoxReadsTheUnitOnceAndCannotCloseWhileReading)
{
    struct Row {
        bool reader;
        QString fw, hw;
    };
    const Row rows[] = {{true, "4.47", "3"}, {false, "N/A", "N/A"}};
    for (const Row& row : rows) {
        frmAbout about;
        about.SetQRNVersion("2.15.0");
        int reads = 0;
        if (row.reader)
            about.SetVersionReader([&](bool fw) {
                ++reads;
                // A close while the unit is read is held back until the read ends.
                EXPECT_FALSE(about.close());
                return fw ? QString("4.47") : QString("3");
            });
        EXPECT_EQ(about.findChild<QLabel*>("lblVersionFW")->text(), "...");
        EXPECT_FALSE(about.findChild<QPushButton*>("cmdOK")->isEnabled());
        about.show();
        EXPECT_FALSE(about.close()); // not read yet
        // The read runs from a timer: wait for its end, not for a fixed time.
        ASSERT_TRUE(testing_doubles::RunEventsUntil([&] {
            return about.findChild<QPushButton*>("cmdOK")->isEnabled() && !(row.reader && about.isVisible());
        }));
        EXPECT_EQ(about.findChild<QLabel*>("lblVersionFW")->text(), row.fw);
        EXPECT_EQ(about.findChild<QLabel*>("lblVersionHW")->text(), row.hw);
        EXPECT_EQ(about.findChild<QLabel*>("lblVersionQRN")->text(), "2.15.0");
        EXPECT_TRUE(about.findChild<QPushButton*>("cmdOK")->isEnabled());
        EXPECT_TRUE(about.findChild<QWidget*>("txtQuarno")->isEnabled());
        EXPECT_EQ(reads, row.reader ? 2 : 0);
        if (row.reader)
            EXPECT_FALSE(about.isVisible()); // the held-back close happened
        about.hide();
        about.show();
        QTest::qWait(10);
        EXPECT_EQ(reads, row.reader ? 2 : 0);
        EXPECT_EQ(about.windowTitle(), "About Quarno Q2");
    }
}

TEST_F(StatusBar, AboutCommandHandsTheLibraryVersion)
{
    QString qrn;
    DialogAnswer ok("frmAbout", "cmdOK", [&](QDialog* d) { qrn = d->findChild<QLabel*>("lblVersionQRN")->text(); });
    window->ToolClick("about");
    EXPECT_EQ(ok.seen >= 1, true);
    EXPECT_EQ(qrn, window->XelObject()->Version());
    EXPECT_TRUE(unit.calls.contains("ReadUnitVersion(fw)"));
}

// ---- e-mail --------------------------------------------------------------------------

TEST_F(StatusBar, EmailIsEnabledOnlyWithAMailProgram)
{
    EXPECT_TRUE(window->Tool("email")->isEnabled());
    CloseWindow();
    mailer.available = false;
    ASSERT_TRUE(Start());
    EXPECT_FALSE(window->Tool("email")->isEnabled());
}

TEST_F(StatusBar, EmailSavesFirstAndAttachesTheFile)
{
    struct Row {
        const char* name;
        bool hasFile, changed;
        QList<int> answers;
        QString saveAs;
        bool starts;
        bool result;
        QString asked, status;
    };
    const Row rows[] = {
        {"new setup, No", false, false, {No}, "", true, false, Lang(132), ""},
        {"new setup, save cancelled", false, false, {Yes}, "", true, false, Lang(132), Lang(251)},
        {"new setup, saved", false, false, {Yes}, "mail.QRN", true, true, Lang(132), Lang(253)},
        {"changed file, No", true, true, {No}, "", true, false, Lang(133, {"mail.QRN"}), ""},
        {"unchanged file", true, false, {}, "", true, true, "", Lang(253)},
        {"mail program fails", true, false, {}, "", false, false, Lang(174), Lang(254)},
    };
    for (const Row& row : rows) {
        const std::string name = row.name;
        if (!row.hasFile) {
            doubles.keys.shift = true;
            window->ToolClick("new");
            doubles.keys.shift = false;
        }
        if (row.hasFile && !row.changed)
            ASSERT_TRUE(window->XelObject()->SaveFile(QString()));
        if (row.changed)
            window->XelObject()->Main()->SetIDNumber(quint8(window->XelObject()->Main()->IDNumber() + 1));
        mailer.sent.clear();
        mailer.starts = row.starts;
        doubles.presenter.shown.clear();
        doubles.presenter.answers = row.answers;
        dialogs.answers = {row.saveAs.isEmpty() ? QString() : Path(row.saveAs)};
        window->SetStatusText("");
        const QByteArray before = row.hasFile ? Bytes(Path("mail.QRN")) : QByteArray();
        EXPECT_EQ(window->CmdEmail(), row.result) << name;
        EXPECT_EQ(Shown(), row.asked.isEmpty() ? QStringList() : QStringList{row.asked}) << name;
        EXPECT_EQ(Status(), row.status) << name;
        if (row.result || !row.starts) {
            ASSERT_EQ(mailer.sent.size(), 1) << name;
            EXPECT_EQ(mailer.sent[0].subject, "Quarno Q2 Project");
            EXPECT_EQ(mailer.sent[0].body, "Quarno Q2 Project file attached");
            EXPECT_EQ(mailer.sent[0].attachmentPath, Path("mail.QRN"));
            EXPECT_EQ(mailer.sent[0].attachmentName, "mail.QRN");
            EXPECT_FALSE(window->XelObject()->Changed());
        } else {
            EXPECT_TRUE(mailer.sent.isEmpty()) << name;
            if (row.hasFile)
                EXPECT_EQ(Bytes(Path("mail.QRN")), before) << name;
        }
    }
}
