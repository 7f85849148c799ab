// The assembled program as a service engineer uses it: the real pages on the shipped database,
// values typed into their controls, saved and opened again, sent to the simulated unit and read
// back, exported and printed, and the tabs walked through with their page checks.
#include "tests/app/frame/FrameTestSupport.h"

#include "app/frame/frmOptions.h"
#include "app/unitops/frmComm.h"
#include "controls/EntryBox.h"
#include "controls/InfoWindow.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelBattery.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelInfo.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelSpeedSensor.h"
#include "datamodel/XelStandbyOperation.h"
#include "datamodel/cAnalogIn.h"
#include "datamodel/cDigitalIn.h"
#include "platform/Printers.h"
#include "platform/SerialPort.h"
#include "seriallink/XelCommTesting.h"
#include "tools/ecxsim/SimulatedPort.h"
#include "tools/ecxsim/Unit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

using namespace frametest;
using platform::MsgResult::Yes;

namespace {

const QString kFirmware = QStringLiteral("4.47");

// The editable line of a control: entry boxes, line edits and the display text editor.
QWidget* Editor(QWidget* control)
{
    if (auto* entry = qobject_cast<EntryBox*>(control))
        return entry->TextBox();
    if (auto* info = qobject_cast<InfoWindow*>(control))
        return info->hWndEdit();
    return control;
}

QString ShownText(QWidget* control)
{
    QWidget* editor = Editor(control);
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        return line->text();
    if (auto* text = qobject_cast<QPlainTextEdit*>(editor))
        return text->toPlainText();
    return QString();
}

QString PdfText(const QString& pdf)
{
    QProcess p;
    p.start(QStandardPaths::findExecutable("pdftotext"), {"-layout", pdf, "-"});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// One value typed on a page, and where the setup keeps it.
struct Edit {
    int tab;
    const char* control;
    QString typed;
    std::function<QString(XelObject&)> stored;
    QString expected;
};

const std::vector<Edit>& Edits()
{
    static const std::vector<Edit> edits = {
        {TabMain, "numMainLCDLightDelay", "5", [](XelObject& s) { return QString::number(s.Main()->LCDLight()); }, "65"},
        {TabSwitch, "txtDigitalDescription", "FIRE PUMP",
         [](XelObject& s) { return s.DigitalIn()->Item(2)->Text().trimmed(); }, "FIRE PUMP"},
        {TabAnalogIn, "txtAnalogDescription", "LUBE OIL TEMP",
         [](XelObject& s) { return s.AnalogIn()->Item(3)->Text().trimmed(); }, "LUBE OIL TEMP"},
        {TabStandbyOperation, "numStandbyOperationCranking", "9",
         [](XelObject& s) { return QString::number(s.StandbyOperation()->CrankingTime()); }, "9"},
        {TabSpeedSensor, "numSpeedSensorNomMax", "1600",
         [](XelObject& s) { return QString::number(s.SpeedSensor()->NomSpeed()); }, "1600"},
        {TabBattery, "numBatteryDelay", "45", [](XelObject& s) { return QString::number(s.Battery()->Delay()); }, "45"},
        {TabInfo, "txtInfo_0", "MV NORDLYS", [](XelObject& s) { return s.Info()->Info().section("\r\n", 0, 0).trimmed(); },
         "MV NORDLYS"},
        {TabInfo, "txtInfoWindow", "CALL BRIDGE",
         [](XelObject& s) { return s.Info()->Info().section("\r\n", 1, 1).trimmed(); }, "CALL BRIDGE"},
    };
    return edits;
}

class EndToEnd : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        XelCommTesting::SetMillisecondsPerSecond(20);
        unitSim.SetFirmwareVersion(kFirmware);
        platform::SerialPort::SetFactory(ecxsim::SimulatedPort::FactoryFor(&unitSim));
        doubles.settings->SetValue("CommPort", "1");
        // The transfer dialog is closed by the user once it is done.
        QObject::connect(&closer, &QTimer::timeout, [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<frmComm*>(w); d && d->isVisible() && d->Finished() && !d->IsBusy())
                    d->findChild<QPushButton*>("cmdOK")->click();
        });
        closer.start(1);
    }
    void TearDown() override
    {
        closer.stop();
        FrameTest::TearDown();
        platform::Printers::SetInstance(nullptr);
        platform::SerialPort::SetFactory({});
        XelCommTesting::SetMillisecondsPerSecond(1000);
    }

    // The program's window with its own pages, database and unit routines.
    bool Open(const QStringList& args = {})
    {
        CloseWindow();
        window = std::make_unique<frmMain>();
        if (!window->Form_Load(args))
            return false;
        window->show();
        return true;
    }
    template <class W = QWidget>
    W* Control(const char* name) const
    {
        return window->findChild<W*>(QString::fromLatin1(name));
    }
    void GoTo(int tab) { window->Tabs()->setCurrentIndex(tab); }
    void Type(QWidget* control, const QString& text)
    {
        QWidget* editor = Editor(control);
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->selectAll();
        else if (auto* edit = qobject_cast<QPlainTextEdit*>(editor))
            edit->selectAll();
        QTest::keyClicks(editor, text);
    }
    // The list row a channel page's edits go to: switch input 2, analog input 3.
    struct Channel {
        const char* list;
        const char* active;
        int row;
    };
    static Channel ChannelOf(int tab)
    {
        return tab == TabSwitch ? Channel{"lvwDigital", "chkDigitalActive", 2} : Channel{"lvwAnalog", "chkAnalogActive", 3};
    }
    bool ChannelActive(int tab) const
    {
        XelObject& s = *window->XelObject();
        return tab == TabSwitch ? s.DigitalIn()->Item(2)->Active() : s.AnalogIn()->Item(3)->Active();
    }
    void ClickChannelRow(int tab)
    {
        auto* list = Control<QTreeWidget>(ChannelOf(tab).list);
        ASSERT_NE(list, nullptr);
        QTreeWidgetItem* row = list->topLevelItem(ChannelOf(tab).row - 1);
        list->scrollToItem(row);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(row).center());
        ASSERT_EQ(list->currentItem(), row);
    }
    // The channel picked and made active, as the user does it before describing it.
    void ActivateChannel(int tab)
    {
        ClickChannelRow(tab);
        if (ChannelActive(tab))
            return;
        auto* active = Control<QCheckBox>(ChannelOf(tab).active);
        QTest::mouseClick(active, Qt::LeftButton, {}, QPoint(6, active->height() / 2));
        ASSERT_TRUE(ChannelActive(tab)) << tab;
    }
    // Every edit typed on its page; the setup holds each value at once.
    void TypeAll()
    {
        for (const Edit& e : Edits()) {
            GoTo(e.tab);
            ASSERT_EQ(window->Tabs()->currentIndex(), e.tab) << e.control << ": " << Shown().join('|').toStdString();
            if (e.tab == TabSwitch || e.tab == TabAnalogIn)
                ActivateChannel(e.tab);
            QWidget* control = Control(e.control);
            ASSERT_NE(control, nullptr) << e.control;
            Type(control, e.typed);
            EXPECT_EQ(e.stored(*window->XelObject()), e.expected) << e.control;
        }
        GoTo(TabMain); // leaving the last page checks it
        EXPECT_TRUE(doubles.presenter.shown.isEmpty()) << Shown().join('|').toStdString();
    }
    // The setup and the pages show every edit.
    void ExpectAllShown(const char* when)
    {
        for (const Edit& e : Edits()) {
            EXPECT_EQ(e.stored(*window->XelObject()), e.expected) << when << ": " << e.control;
            GoTo(e.tab);
            if (e.tab == TabSwitch || e.tab == TabAnalogIn) {
                ClickChannelRow(e.tab);
                EXPECT_TRUE(Control<QCheckBox>(ChannelOf(e.tab).active)->isChecked()) << when << " " << e.tab;
            }
            const QString shown = ShownText(Control(e.control)).trimmed();
            EXPECT_TRUE(shown == e.typed || shown.startsWith(e.typed)) << when << ": " << e.control << " shows "
                                                                        << shown.toStdString();
        }
        GoTo(TabMain);
    }
    QString SaveAs(const QString& name)
    {
        const QString path = Path(name);
        dialogs.answers = {path};
        window->ToolClick("saveas");
        return path;
    }
    // The words of the image the unit gets for this file.
    QVector<qint32> ImageOf(const QString& path)
    {
        auto doc = window->NewDefaultDocument();
        EXPECT_TRUE(doc->LoadFile(path));
        QVector<qint32> image;
        EXPECT_TRUE(doc->CreateSetup(kFirmware));
        EXPECT_TRUE(doc->GetSetup(image));
        return image;
    }

    ecxsim::Unit unitSim;
    QTimer closer;
};

} // namespace

TEST_F(EndToEnd, ValuesTypedOnThePagesAreSavedAndShownAgainInANewWindow)
{
    ASSERT_TRUE(Open());
    TypeAll();
    // Relay 1 of the optional card given a function through its selection dialog.
    GoTo(TabRelays);
    auto* relays = Control<QTreeWidget>("lvwRelay");
    QTest::mouseClick(relays->viewport(), Qt::LeftButton, {}, relays->visualItemRect(relays->topLevelItem(0)).center());
    DialogAnswer pick("frmRelaySelection", "cmdOK", [](QDialog* d) {
        auto* list = d->findChild<QTreeWidget*>("lvwRelaySelection");
        const auto found = list->findItems("Common Alarm", Qt::MatchExactly);
        if (!found.isEmpty())
            list->setCurrentItem(found.first());
    });
    Control<QPushButton>("cmdRelayAdd")->click();
    EXPECT_EQ(pick.seen, 1);
    EXPECT_TRUE(relays->topLevelItem(0)->text(1).contains("Common Alarm"));
    GoTo(TabMain);
    const QString path = SaveAs("e2e.QRN");
    ASSERT_TRUE(QFile::exists(path));
    EXPECT_FALSE(window->XelObject()->Changed());
    const QByteArray saved = Bytes(path);

    ASSERT_TRUE(Open({"-f", path}));
    EXPECT_EQ(window->XelObject()->Filename(), path);
    // Filled while its tab was not shown, the list still draws an active input in the list colour.
    GoTo(TabSwitch);
    auto* list = Control<QTreeWidget>("lvwDigital");
    EXPECT_EQ(list->topLevelItem(1)->foreground(2).color(), list->palette().color(QPalette::Active, QPalette::Text));
    ExpectAllShown("reopened");
    GoTo(TabRelays);
    EXPECT_TRUE(Control<QTreeWidget>("lvwRelay")->topLevelItem(0)->text(1).contains("Common Alarm"));
    GoTo(TabMain);
    EXPECT_FALSE(window->XelObject()->Changed()); // showing a setup changes nothing
    window->ToolClick("save");
    EXPECT_EQ(Bytes(path), saved);
    EXPECT_TRUE(doubles.presenter.shown.isEmpty()) << Shown().join('|').toStdString();
}

TEST_F(EndToEnd, TransmitLeavesTheImageInTheUnitAndReceiveBringsTheSameSetupBack)
{
    struct Row {
        const char* mode;
        quint16 unitType;
        bool propulsion;
        const char* standbyCaption;
    };
    const Row rows[] = {{"Auxiliary", 0, false, "S&tandby Operation"}, {"Propulsion", 1, true, "S&tart/Fuel"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mode);
        unitSim.SetUnitType(row.unitType);
        ASSERT_TRUE(Open());
        auto* mode = Control<QComboBox>("cmbMainOperationMode");
        mode->setCurrentIndex(mode->findText(row.mode));
        TypeAll();
        const QString path = SaveAs(QStringLiteral("sent %1.QRN").arg(row.mode));
        const QVector<qint32> image = ImageOf(path);
        const int words = frmComm::SetupImageSize(kFirmware) / 2;
        ASSERT_LE(words, image.size());

        doubles.keys.shift = true; // no confirmations, no switch-setting window
        window->ToolClick("transmit");
        doubles.keys.shift = false;
        EXPECT_EQ(Status(), Lang(223)) << Shown().join('|').toStdString();
        int differing = 0;
        for (int r = 1; r < words; ++r)
            differing += unitSim.Register(r) != quint16(image[r]);
        EXPECT_EQ(differing, 0);

        // Received into a new window: the pages show the values and the mode again.
        ASSERT_TRUE(Open());
        XelObject* before = window->XelObject();
        window->ToolClick("load");
        ASSERT_NE(window->XelObject(), before) << Shown().join('|').toStdString();
        EXPECT_TRUE(window->XelObject()->Filename().isEmpty());
        EXPECT_EQ(window->State().PROPULSION, row.propulsion);
        EXPECT_EQ(window->Tabs()->tabText(TabStandbyOperation), row.standbyCaption);
        EXPECT_EQ(Control<QComboBox>("cmbMainOperationMode")->currentText(), row.mode);
        ExpectAllShown("received");
        // Saved, the received setup makes the same image.
        const QString back = Path(QStringLiteral("received %1.QRN").arg(row.mode));
        dialogs.answers = {back};
        window->ToolClick("save");
        const QVector<qint32> received = ImageOf(back);
        for (int r = 1; r < words; ++r)
            differing += received.value(r) != image[r];
        EXPECT_EQ(differing, 0);
        EXPECT_TRUE(doubles.presenter.shown.isEmpty()) << Shown().join('|').toStdString();
    }
}

// Every road that switches J1939/J1587 off leaves the pages without it and channels 12 to 17
// gone; the setup saved then reads back as it was, every later part in its place.
TEST_F(EndToEnd, ASetupWhoseCANWentOffIsSavedAsItReadsBack)
{
    const auto setup = [](bool can) {
        return [can](XelObject& s) {
            for (int n = 12; n <= 17; ++n) // the bus channels, none in use
                s.Main()->SetCAN(can), s.AnalogIn()->Add(n, extra::GetLangString(920));
            s.Battery()->SetLowBatteryVoltage(23.5f);
            s.Info()->SetInfo("MV NORDLYS");
            s.SpeedSensor()->SetPickupType(1, 1); // two local pickups: neither reads the bus
            s.SpeedSensor()->SetPulsesPerRevolution(1, 118);
        };
    };
    const QString withCan = WriteSetup("can.QRN", setup(true)), withoutCan = WriteSetup("plain.QRN", setup(false));
    const struct Row { const char* road; const char* firmware; std::function<void()> run; bool asks187; } rows[] = {
        {"Main page box", "4.47", [&] { Control<QCheckBox>("chkMainCAN")->setChecked(false); }, false},
        {"Yes to 187", "3.9", [&] { doubles.keys.shift = true, window->ToolClick("transmit"); }, true},
        {"receive", "3.9", [&] { window->ToolClick("load"); }, false},
        {"open a file", "4.47", [&] { window->OpenSetupByName(withoutCan); }, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.road);
        unitSim.SetFirmwareVersion(row.firmware);
        ASSERT_TRUE(Open() && window->OpenSetupByName(withCan));
        doubles.presenter.shown.clear();
        doubles.presenter.answers = {Yes};
        row.run();
        doubles.keys.shift = false;
        EXPECT_EQ(Shown(), row.asks187 ? QStringList{Lang(187, {"3.9", "4.3"})} : QStringList());
        EXPECT_FALSE(Control<QCheckBox>("chkMainCAN")->isChecked());
        EXPECT_EQ(Control<QTreeWidget>("lvwAnalog")->topLevelItemCount(), 11);
        XelObject& shown = *window->XelObject();
        auto back = window->NewDefaultDocument();
        ASSERT_TRUE(back->LoadFile(SaveAs("saved.QRN")));
        EXPECT_EQ(back->AnalogIn()->Count() + back->Main()->CAN(), 11);
        EXPECT_EQ(back->Battery()->LowBatteryVoltage(), shown.Battery()->LowBatteryVoltage());
        EXPECT_EQ(back->Info()->Info(), shown.Info()->Info());
        for (int pickup = 0; pickup < 2; ++pickup) {
            EXPECT_EQ(back->SpeedSensor()->PickupType(pickup), shown.SpeedSensor()->PickupType(pickup)) << pickup;
            EXPECT_EQ(back->SpeedSensor()->PulsesPerRevolution(pickup), shown.SpeedSensor()->PulsesPerRevolution(pickup));
            if (row.asks187) // the local pickups stay: the unit gets its speed input
                EXPECT_EQ(shown.SpeedSensor()->PickupType(pickup), 1) << pickup;
        }
        EXPECT_EQ(back->SpeedSensor()->NomSpeed(), shown.SpeedSensor()->NomSpeed());
        EXPECT_FALSE(back->HoldsUnreadBytes());
    }
}

TEST_F(EndToEnd, TheOpenSetupExportedAsTextAndPrintedToPdf)
{
    ASSERT_TRUE(Open());
    TypeAll();
    const QString report = Path("report.txt");
    dialogs.answers = {report};
    window->ToolClick("exportastext");
    const QString text = QString::fromLatin1(Bytes(report));
    const QString pdf = Path("report.pdf");
    platform::PdfPrinters printers(pdf);
    platform::Printers::SetInstance(&printers);
    bool printed = false;
    window->CmdPrint(true, &printed);
    EXPECT_TRUE(printed);
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    const QString printedText = PdfText(pdf);
    for (const QString& expected : {QString("FIRE PUMP"), QString("LUBE OIL TEMP"), QString("MV NORDLYS"), QString("1600")}) {
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString();
        EXPECT_TRUE(printedText.contains(expected)) << expected.toStdString();
    }
    EXPECT_TRUE(doubles.presenter.shown.isEmpty()) << Shown().join('|').toStdString();
}

TEST_F(EndToEnd, EveryTabShowsItsPageAndABadValueKeepsItsPage)
{
    ASSERT_TRUE(Open());
    for (int tab : {1, 2, 3, 4, 5, 6, 7, 0, 7, 3}) {
        GoTo(tab);
        EXPECT_EQ(window->Tabs()->currentIndex(), tab);
        for (int t = 0; t < 8; ++t)
            EXPECT_EQ(window->PageContainer(t)->isEnabled(), t == tab) << tab << " " << t;
        EXPECT_TRUE(window->PageContainer(tab)->findChildren<QWidget*>().size() > 0) << tab;
    }
    EXPECT_TRUE(doubles.presenter.shown.isEmpty()) << Shown().join('|').toStdString();

    struct Bad {
        int tab;
        const char* control;
        QString typed;
    };
    const Bad rows[] = {{TabBattery, "numBatteryLowBatteryVAlarm", "17"}, {TabStandbyOperation, "numStandbyOperationCranking", "1"}};
    for (const Bad& row : rows) {
        GoTo(row.tab);
        Type(Control(row.control), row.typed);
        doubles.presenter.shown.clear();
        GoTo(TabMain);
        EXPECT_EQ(window->Tabs()->currentIndex(), row.tab) << row.control;
        EXPECT_EQ(doubles.presenter.shown.size(), 1) << row.control;
        Type(Control(row.control), "20");
        GoTo(TabMain);
        EXPECT_EQ(window->Tabs()->currentIndex(), int(TabMain)) << row.control;
    }
}

// Every page shows its controls whole: none collapsed, no caption cut, nothing over the
// description; the options dialog shows all its tab captions.
TEST_F(EndToEnd, PagesAndOptionsShowTheirControlsWhole)
{
    ASSERT_TRUE(Open());
    window->resize(800, 600);
    const std::pair<int, const char*> rows[] = {
        {TabMain, "cmbMainOperationMode"},
        {TabSwitch, "lvwDigital"},
        {TabAnalogIn, "lvwAnalog"},
        {TabStandbyOperation, "lblStandbyOperationFuelMessage"},
        {TabSpeedSensor, "lblSpeedSensor_9"},
        {TabSpeedSensor, "lblSpeedSensor_3"},
        {TabBattery, "numBatteryDelay"},
        {TabInfo, "txtInfoWindow"},
        {TabRelays, "lvwRelay"},
    };
    for (const auto& [tab, name] : rows) {
        GoTo(tab);
        QWidget* control = Control(name);
        ASSERT_NE(control, nullptr) << name;
        if (tab == TabStandbyOperation)
            continue; // a message label, shown only when there is something to say
        EXPECT_TRUE(control->isVisible()) << name;
        if (qobject_cast<QLabel*>(control)) {
            EXPECT_GE(control->width(), control->sizeHint().width()) << name; // caption not cut
        }
        EXPECT_GE(control->height(), 16) << name;
    }
    for (const char* name : {"lvwDigital", "lvwAnalog"}) {
        auto* list = Control<QTreeWidget>(name);
        EXPECT_GE(list->header()->sectionSize(0), list->header()->sectionSizeHint(0)) << name; // first caption whole
    }
    auto* info = Control<InfoWindow>("txtInfoWindow");
    EXPECT_GE(info->hWndEdit()->viewport()->height(), QFontMetrics(info->Font()).lineSpacing() * 7);
    GoTo(TabSwitch);
    QWidget* pid = Control("conDigitalPID");
    QWidget* description = Control("txtDigitalDescription");
    EXPECT_FALSE(pid->isVisible() && pid->geometry().intersects(description->geometry()));

    frmOptions options(window.get());
    options.show();
    auto* tabs = options.findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    EXPECT_LE(tabs->tabBar()->tabRect(tabs->count() - 1).right(), tabs->tabBar()->width());
    options.close();
}

// "-p FILE" as its own process: the report goes to the printer the settings name, exit status 0;
// a print that fails ends with 4 and tells the script why on standard error.
TEST(EndToEndPrint, PrintOptionPrintsTheFileThroughTheSettingsPrinter)
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    testing_doubles::PlatformDoubles doubles;
    extra::LoadLanguageLibrary();
    auto doc = CreateDefaultSetupDocument();
    doc->DigitalIn()->Item(3)->SetActive(true);
    doc->DigitalIn()->Item(3)->SetText("LUB OIL LEVEL");
    const QString file = doubles.dir.filePath("print me.QRN");
    ASSERT_TRUE(doc->SaveFile(file));
    extra::FreeLanguageLibrary();

    struct Row {
        QString pdf; // "": the system's printers
        int code;
        QString stderrLine;
    };
    // No print server on the socket libcups is pointed at.
    const QString noServer = doubles.dir.filePath("no-cupsd.sock");
    const Row rows[] = {
        {doubles.dir.filePath("printed.pdf"), frmMain::ExitOk, QString()},
        {doubles.dir.filePath("no folder/printed.pdf"), frmMain::ExitPrintFailed,
         "Quarno: exit 4, the setup was not printed: the file '"},
        {QString(), frmMain::ExitPrintFailed, "Quarno: exit 4, the setup was not printed: no print server answers at " + noServer + "."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.pdf.toStdString());
        const QString config = doubles.dir.filePath("config");
        QDir().mkpath(config + "/Kelvaro");
        QFile conf(config + "/Kelvaro/Quarno.conf");
        ASSERT_TRUE(conf.open(QIODevice::WriteOnly | QIODevice::Truncate));
        if (!row.pdf.isEmpty())
            conf.write("[Printers]\nPdfOutput=" + row.pdf.toUtf8() + "\n");
        conf.close();

        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", config);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("CUPS_SERVER", noServer);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationDirPath() + "/quarno", {"-p", file});
        ASSERT_TRUE(child.waitForStarted());
        ASSERT_TRUE(child.waitForFinished(60000)) << "the print did not end";
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
        const QString errors = QString::fromLocal8Bit(child.readAllStandardError());
        EXPECT_EQ(child.exitCode(), row.code) << errors.toStdString();
        const QStringList said = errors.split('\n').filter(QStringLiteral("Quarno: "));
        if (row.stderrLine.isEmpty()) {
            EXPECT_TRUE(said.isEmpty()) << errors.toStdString();
            const QString printed = PdfText(row.pdf);
            EXPECT_TRUE(printed.contains("LUB OIL LEVEL")) << printed.left(400).toStdString();
            EXPECT_TRUE(printed.contains("Page 1"));
        } else {
            ASSERT_EQ(said.size(), 1) << errors.toStdString();
            EXPECT_TRUE(said[0].startsWith(row.stderrLine)) << said[0].toStdString();
        }
    }
}

