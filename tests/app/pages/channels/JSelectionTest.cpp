#include "SwitchPageTestSupport.h"

#include "app/pages/channels/JSelection.h"
#include "app/services/clsJData.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/cAnalogIn.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace {

QSqlRecord MakeRow(std::initializer_list<std::pair<const char*, QVariant>> fields)
{
    QSqlRecord row;
    for (const auto& f : fields) {
        QSqlField field(QString::fromLatin1(f.first), f.second.metaType());
        field.setValue(f.second);
        row.append(field);
    }
    return row;
}

// A database file without the shipped constraints, so it can hold what a damaged or foreign
// reference file might.
bool MakeLooseDatabase(const QString& path, const QStringList& statements)
{
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "loose-db");
        db.setDatabaseName(path);
        ok = db.open();
        QSqlQuery q(db);
        const QStringList all = QStringList{
            "CREATE TABLE SCHEMA_VERSION (VERSION INTEGER)",
            "INSERT INTO SCHEMA_VERSION VALUES (2)",
            "CREATE TABLE CAN_DIGITAL (DESCRIPTION TEXT, ID TEXT, POSITION INTEGER, SIZE INTEGER, SHR INTEGER, TIMEOUT INTEGER)",
            "CREATE TABLE J1587_DIGITAL (DESCRIPTION TEXT, MID INTEGER, PID INTEGER, PPID INTEGER, SIZE INTEGER, SHR INTEGER, TIMEOUT INTEGER)",
            "CREATE TABLE J1587 (DESCRIPTION TEXT, MID INTEGER, PID INTEGER, PPID INTEGER, SIZE INTEGER, RESOLUTION REAL, OFFSET REAL, MAX REAL, UNITS TEXT, TIMEOUT INTEGER)",
            "CREATE TABLE J1939 (DESCRIPTION TEXT, ID TEXT, POSITION INTEGER, SIZE INTEGER, RESOLUTION REAL, OFFSET REAL, MAX REAL, UNITS TEXT, TIMEOUT INTEGER)",
        } + statements;
        for (const QString& s : all)
            ok = q.exec(s) && ok;
        db.close();
    }
    QSqlDatabase::removeDatabase("loose-db");
    return ok;
}

} // namespace

// ---- the rules of the record ------------------------------------------------------------------

TEST(JSelectionRules, StoredRecordsNameTheirParameter)
{
    struct Case {
        const char* name;
        qint32 type;
        JData values;
        double id;
    } cases[] = {
        {"J1587 engine speed", 3, {5, 128, 190, 0, 0, 0}, 128.0 * 262144 + 190 * 1024},
        {"J1587 with PPID", 3, {5, 128, 254, 5, 0, 0}, 128.0 * 262144 + 254 * 1024 + 5},
        {"J1587 PID above 255 would collide with the MID", 3, {5, 127, 300, 0, 0, 0}, 0},
        {"J1587 PPID above 1023", 3, {5, 128, 44, 1024, 0, 0}, 0},
        {"J1587 negative PID", 3, {5, 128, -1, 0, 0, 0}, 0},
        {"CAN size 2 at position 3", 4, {5, 34, 0x0400, 0x00F0, 0, 0}, 0x00F00400 * 256.0 + 3},
        {"CAN position 16", 4, {5, 0x1F, 0xF100, 0x18FE, 0, 0}, 0x18FEF100 * 256.0 + 16},
        {"CAN half above 16 bits", 4, {5, 34, 0x10000, 0x00F0, 0, 0}, 0},
        {"CAN all zero", 4, {}, 0},
        {"plain switch", 0, {5, 128, 190, 0, 0, 0}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_DOUBLE_EQ(jselection::StoredParameterID(c.type, c.values), c.id);
    }
}

TEST(JSelectionRules, RowsFillTheIdentifierFieldsOnlyWhenTheyFit)
{
    struct Case {
        const char* name;
        qint32 type;
        QSqlRecord row;
        bool ok;
        quint8 mid;
        qint32 pid, ppid;
    } cases[] = {
        {"J1587", 3, MakeRow({{"MID", 128}, {"PID", 70}, {"PPID", 0}}), true, 128, 70, 0},
        {"J1587 PID 256", 3, MakeRow({{"MID", 128}, {"PID", 256}, {"PPID", 0}}), false, 0, 0, 0},
        {"CAN size 2", 4, MakeRow({{"ID", "00f00400"}, {"POSITION", 3}, {"SIZE", 2}}), true, 34, 0x0400, 0x00F0},
        {"CAN position 17", 4, MakeRow({{"ID", "18FEF100"}, {"POSITION", 17}, {"SIZE", 1}}), false, 0, 0, 0},
        {"CAN size 16", 4, MakeRow({{"ID", "18FEF100"}, {"POSITION", 1}, {"SIZE", 16}}), false, 0, 0, 0},
        {"plain", 0, MakeRow({{"MID", 128}, {"PID", 70}, {"PPID", 0}}), false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JData values;
        values.iSub = 9;
        EXPECT_EQ(jselection::IdentifierFromRow(c.type, c.row, values), c.ok);
        EXPECT_EQ(values.iMID, c.mid);
        EXPECT_EQ(values.lPID, c.pid);
        EXPECT_EQ(values.lPPID, c.ppid);
        EXPECT_EQ(values.iSub, 9);
    }
    EXPECT_EQ(jselection::ParameterName("Engine Speed   (190)"), "Engine Speed");
    EXPECT_EQ(jselection::ParameterName("Turbo (A) Speed   (254-5)"), "Turbo (A) Speed");
    EXPECT_EQ(jselection::ParameterName("  Fuel Rate "), "Fuel Rate");
}

TEST(JSelectionRules, LeftOutRowsAreToldOnceForEachMainWindowState)
{
    testing_doubles::PlatformDoubles doubles;
    QTemporaryDir dir;
    const QString path = dir.filePath("foreign.mdb");
    ASSERT_TRUE(MakeLooseDatabase(path, {
        "INSERT INTO CAN_DIGITAL VALUES ('Alpha', '18FEF100', 1, 1, 2, 5)",
        "INSERT INTO CAN_DIGITAL VALUES ('Beta', '18FEF100', 1, 1, 0, 5)",
        "INSERT INTO J1587_DIGITAL VALUES ('Wide', 127, 300, 0, 1, 0, 10)",
    }));
    clsADO foreign;
    bool ok = false;
    foreign.InitDatabase(path, ok);
    ASSERT_TRUE(ok);
    QComboBox switchCombo, otherCombo;
    std::unique_ptr<clsJData> map;
    struct Step {
        int session;
        QComboBox* combo;
        qint32 type;
        int shown; // reports seen so far
    } steps[] = {
        {1, &switchCombo, jselection::TypeCAN, 1},
        {1, &switchCombo, jselection::TypeCAN, 1},   // the same rows again
        {1, &otherCombo, jselection::TypeCAN, 1},    // another combo of the same window
        {1, &switchCombo, jselection::TypeJ1587, 2}, // other rows
        {1, &switchCombo, jselection::TypeCAN, 2},
        {2, &switchCombo, jselection::TypeCAN, 3},   // a new window state tells them again
        {2, &otherCombo, jselection::TypeJ1587, 4},
        {2, &otherCombo, jselection::TypeCAN, 4},
    };
    MainState sessions[2];
    for (MainState& s : sessions)
        s.ADO = &foreign;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.session * 100 + step.type);
        jselection::FillJCombo(sessions[step.session - 1], step.combo, map, step.type, true);
        EXPECT_EQ(doubles.presenter.shown.size(), step.shown);
    }
    EXPECT_TRUE(doubles.presenter.shown[0].text.endsWith("\nBeta"));
    EXPECT_TRUE(doubles.presenter.shown[1].text.endsWith("\nWide"));
    EXPECT_EQ(sessions[0].ReportedRefusedJRows.size(), 2);
}

// ---- the switch half on the page, against the shipped database ------------------------------

class SwitchJTest : public SwitchPageTest {
protected:
    void SetUp() override
    {
        SwitchPageTest::SetUp();
        OpenDatabase();
        // Bus support on, with the bus channels the Main page adds along with it.
        doc->Main()->SetCAN(true);
        for (int n = 12; n <= 17; ++n)
            doc->AnalogIn()->Add(n, extra::GetLangString(quint16(920 + n)))->SetInputType(4);
        for (int n : {11, 12}) {
            In(n)->SetActive(true);
            JData values;
            values.iSub = 7; // kept by a switch choice
            In(n)->SetJValues(values);
        }
        Reload();
    }
};

TEST_F(SwitchJTest, J1939ChoiceIsStoredSavedAndFoundAgain)
{
    Select(11);
    EXPECT_FALSE(page->conDigitalPID->isVisibleTo(page.get()));
    Choose("cmbDigitalInputType", "J1939");
    EXPECT_EQ(In(11)->InputType(), 4);
    EXPECT_EQ(Row(11)->text(1), "J1939");
    EXPECT_TRUE(page->conDigitalPID->isVisibleTo(page.get()));
    EXPECT_TRUE(page->conDigitalPID->ChildrenEnabled());
    EXPECT_EQ(page->cmbDigitalJ->count(), 16);
    EXPECT_EQ(page->cmbDigitalJ->currentIndex(), -1);
    ASSERT_NE(state.JDataDigital, nullptr);

    Choose("cmbDigitalJ", "Cruise Control Active");
    const JData stored = In(11)->JValues();
    EXPECT_EQ(stored.iTimeout, 5);
    EXPECT_EQ(stored.iMID, 1 * 16 + 4 - 1);
    EXPECT_EQ(stored.lPID, 0xF100);
    EXPECT_EQ(stored.lPPID, 0x18FE);
    EXPECT_EQ(stored.iShr, 0);
    EXPECT_EQ(stored.iSub, 7);
    EXPECT_EQ(In(11)->Text(), "Cruise Control Active");
    EXPECT_EQ(Row(11)->text(2), "Cruise Control Active");
    EXPECT_EQ(page->cmbDigitalJ->currentText(), "Cruise Control Active");

    // The record in the saved file, byte by byte: it follows the description (30 characters)
    // and ten bytes of action, contact, flags and delays; the input type comes after it.
    QTemporaryDir dir;
    const QString path = dir.filePath("j1939.qrn");
    ASSERT_TRUE(doc->SaveFile(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const QByteArray text = QByteArray("Cruise Control Active").leftJustified(30, ' ');
    const int at = bytes.indexOf(text);
    ASSERT_GE(at, 0);
    const QByteArray expected("\x05\x13\x00\xF1\x00\x00\xFE\x18\x00\x00\x00\x07\x04\x00", 14);
    EXPECT_EQ(bytes.mid(at + 40, 14).toHex(' '), expected.toHex(' '));

    // Opened again, the input shows the same parameter.
    // A file is opened into a document that holds the default inputs.
    auto reopenedDoc = CreateDefaultSetupDocument();
    XelObject& reopened = *reopenedDoc;
    ASSERT_TRUE(reopened.LoadFile(path));
    state.SetXelObject(&reopened);
    page->LoadDigital();
    Select(11);
    EXPECT_EQ(page->cmbDigitalInputType->currentText(), "J1939");
    EXPECT_EQ(page->cmbDigitalJ->currentText(), "Cruise Control Active");
    EXPECT_FALSE(reopened.Changed());
    state.SetXelObject(doc.get());
}

TEST_F(SwitchJTest, J1587ChoiceTakesMidPidAndShift)
{
    Select(12);
    Choose("cmbDigitalInputType", "J1587");
    EXPECT_EQ(page->cmbDigitalJ->count(), 7);
    Choose("cmbDigitalJ", "Parking Brake Switch");
    const JData stored = In(12)->JValues();
    EXPECT_EQ(stored, (JData{10, 128, 70, 0, 7, 7}));
    EXPECT_EQ(Row(12)->text(1), "J1587");
    EXPECT_EQ(In(12)->Text(), "Parking Brake Switch");

    // A plain type drops the map and keeps the stored record.
    Choose("cmbDigitalInputType", "Switch");
    EXPECT_EQ(state.JDataDigital, nullptr);
    EXPECT_FALSE(page->conDigitalPID->isVisibleTo(page.get()));
    EXPECT_EQ(In(12)->InputType(), 0);
    EXPECT_EQ(In(12)->JValues(), stored);
    EXPECT_EQ(Row(12)->text(1), "18");
}

TEST_F(SwitchJTest, StoredRecordsThatNameNothingShowNoSelection)
{
    struct Case {
        const char* name;
        qint32 type;
        JData values;
        QString shown;
    } cases[] = {
        {"all zero", 4, {}, ""},
        {"valid J1587", 3, {10, 128, 97, 0, 7, 0}, "Water In Fuel Indicator"},
        // MID 127 with PID 300 has the id of MID 128, PID 44 ("Red Stop Lamp").
        {"PID above 255", 3, {10, 127, 300, 0, 7, 0}, ""},
        {"unknown J1939", 4, {5, 0, 0x1234, 0x5678, 0, 0}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        In(12)->SetInputType(c.type);
        In(12)->SetJValues(c.values);
        Reload();
        Select(12);
        EXPECT_EQ(page->cmbDigitalJ->currentText(), c.shown);
        EXPECT_EQ(In(12)->JValues(), c.values);
        EXPECT_FALSE(doc->Changed());
    }
}

TEST_F(SwitchJTest, PositioningKeepsTheLoadingFlagAsItWas)
{
    Select(11);
    Choose("cmbDigitalInputType", "J1939");
    for (bool flag : {false, true}) {
        state.OpeningSetup = flag;
        page->JSelection().SelectDigitalJData(In(11), false);
        EXPECT_EQ(state.OpeningSetup, flag);
    }
    // While the flag is set a choice stores nothing.
    const JData before = In(11)->JValues();
    page->cmbDigitalJ->setCurrentIndex(2);
    EXPECT_EQ(In(11)->JValues(), before);
    state.OpeningSetup = false;
}

TEST_F(SwitchJTest, ForeignReferenceRowsAreReportedAndLeftOut)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("foreign.mdb");
    ASSERT_TRUE(MakeLooseDatabase(path, {
        "INSERT INTO CAN_DIGITAL VALUES ('Alpha', '18FEF100', 1, 1, 2, 5)",
        "INSERT INTO CAN_DIGITAL VALUES ('Beta', '18FEF100', 1, 1, 0, 5)",
        "INSERT INTO CAN_DIGITAL VALUES ('Delta', '18FEF100', 2, 1, 4, 9)",
        "INSERT INTO CAN_DIGITAL VALUES ('Gamma', 'XYZ', 1, 1, 0, 5)",
        "INSERT INTO J1587_DIGITAL VALUES ('Lamp', 128, 44, 0, 1, 0, 10)",
        "INSERT INTO J1587_DIGITAL VALUES ('Wide', 127, 300, 0, 1, 0, 10)",
    }));
    clsADO foreign;
    bool ok = false;
    foreign.InitDatabase(path, ok);
    ASSERT_TRUE(ok);
    state.ADO = &foreign;
    Select(11);
    Choose("cmbDigitalInputType", "J1939");
    EXPECT_EQ(ComboTexts("cmbDigitalJ"), (QStringList{"Alpha", "Delta"}));
    ASSERT_EQ(doubles.presenter.shown.size(), 1);
    EXPECT_TRUE(doubles.presenter.shown[0].text.endsWith("\nBeta\nGamma"));
    // The same rows again are not reported a second time.
    Select(12);
    Select(11);
    EXPECT_EQ(doubles.presenter.shown.size(), 1);
    Choose("cmbDigitalJ", "Delta");
    EXPECT_EQ(In(11)->JValues(), (JData{9, 1 * 16 + 1, 0xF100, 0x18FE, 4, 7}));

    Choose("cmbDigitalInputType", "J1587");
    EXPECT_EQ(ComboTexts("cmbDigitalJ"), QStringList{"Lamp"});
    EXPECT_TRUE(doubles.presenter.shown.last().text.endsWith("\nWide"));
    state.ADO = ado.get();
}

// ---- the analog half, with the controls the Analog In page gives it -------------------------

class AnalogJTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(extra::LoadLanguageLibrary());
        doc = CreateDefaultSetupDocument();
        state.SetXelObject(doc.get());
        list.setColumnCount(3);
        for (int n = 1; n <= 3; ++n)
            pagecommon::AddRow(&list, pagecommon::ItemKey(n), QString::number(n), 1, {});
        for (int t = 0; t <= 4; ++t)
            types.addItem(QString::number(t), t);
        types.setCurrentIndex(-1);
        AnalogJSelection::Controls c;
        c.lvwAnalog = &list;
        c.cmbAnalogInputType = &types;
        c.cmbAnalogJ = &parameters;
        c.txtAnalogDescription = &description;
        c.conAnalogPID = &pidFrame;
        c.conAnalogAlarmSetpoint0 = &setpoint0;
        c.conAnalogAlarmSetpoint1 = &setpoint1;
        c.graRPMDependentAlarm = &graph;
        c.setPIDChildrenEnabled = [this](bool on) { pidEnabled = on; };
        c.setSensorRangeLocked = [this](bool on) { locked = on; };
        c.showSensorRange = [this](double lo, double hi) { range = {lo, hi}; };
        c.fillActionCombo = [this](qint32, qint32 type, XelAnalogIn*) {
            actionFills << type;
            openingDuringFill = state.OpeningSetup;
        };
        c.showInputValues = [this](XelAnalogIn* input) {
            ++shows;
            selection->SelectAnalogJData(input, false);
        };
        c.showAnalogInput = [this] { ++layouts; };
        c.showSwitchSetting = [this](int setting) { switchSettings << setting; };
        selection = std::make_unique<AnalogJSelection>(state, std::move(c));
        QObject::connect(&types, &QComboBox::currentIndexChanged, [this] { selection->cmbAnalogInputType_Click(); });
        QObject::connect(&parameters, &QComboBox::currentIndexChanged, [this] { selection->cmbAnalogJ_Click(); });
    }
    void TearDown() override
    {
        selection.reset();
        extra::FreeLanguageLibrary();
    }
    void Open(const QString& path)
    {
        bool ok = false;
        ado.InitDatabase(path, ok);
        ASSERT_TRUE(ok);
        state.ADO = &ado;
    }
    XelAnalogIn* In(int n) { return doc->AnalogIn()->Item(pagecommon::ItemKey(n)); }

    testing_doubles::PlatformDoubles doubles;
    std::unique_ptr<XelObject> doc;
    MainState state;
    clsADO ado;
    QTreeWidget list;
    QComboBox types, parameters;
    QLineEdit description;
    QWidget pidFrame, setpoint0, setpoint1, graph;
    bool pidEnabled = false, locked = false, openingDuringFill = false;
    std::pair<double, double> range{-1, -1};
    QList<int> actionFills, switchSettings;
    int shows = 0, layouts = 0;
    std::unique_ptr<AnalogJSelection> selection;
};

TEST_F(AnalogJTest, J1587ChoiceStoresRecordUnitsAndRange)
{
    Open(QCoreApplication::applicationDirPath() + "/Quarno.mdb");
    list.setCurrentItem(list.topLevelItem(1));
    types.setCurrentIndex(3);
    EXPECT_EQ(In(2)->InputType(), 3);
    EXPECT_TRUE(locked);
    EXPECT_TRUE(pidEnabled);
    EXPECT_FALSE(graph.isVisibleTo(&graph) && !graph.isHidden());
    EXPECT_EQ(actionFills, QList<int>{3});
    EXPECT_TRUE(switchSettings.isEmpty());
    ASSERT_NE(state.JDataAnalog, nullptr);
    const int row = parameters.findText("Engine Coolant Temperature   (110)");
    ASSERT_GE(row, 0);
    parameters.setCurrentIndex(row);
    const JData stored = In(2)->JValues();
    EXPECT_EQ(stored.iTimeout, 10);
    EXPECT_EQ(stored.iMID, 128);
    EXPECT_EQ(stored.lPID, 110);
    EXPECT_EQ(stored.lPPID, 0);
    EXPECT_EQ(In(2)->Units().trimmed(), QString::fromUtf8("°C"));
    EXPECT_EQ(description.text(), "Engine Coolant Temperature");
    EXPECT_NE(In(2)->SensorMax(), 1000);
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());
    // Shown again: the same row, and the range with the row's offset.
    EXPECT_EQ(parameters.currentIndex(), row);
    EXPECT_NEAR(range.first, (-177.8 + In(2)->SensorMin()) / 10.0, 1e-9);
    EXPECT_NEAR(range.second, (-177.8 + In(2)->SensorMax()) / 10.0, 1e-9);
    EXPECT_FALSE(state.OpeningSetup);

    // A range the input cannot hold (engine speed up to 16383.75 rpm) stores nothing.
    const JData before = In(2)->JValues();
    const qint32 max = In(2)->SensorMax();
    parameters.setCurrentIndex(parameters.findText("Engine Speed   (190)"));
    ASSERT_EQ(doubles.presenter.shown.size(), 1);
    EXPECT_EQ(doubles.presenter.shown[0].style, 48);
    EXPECT_EQ(In(2)->JValues(), before);
    EXPECT_EQ(In(2)->SensorMax(), max);
    EXPECT_EQ(parameters.currentIndex(), row);
    EXPECT_EQ(description.text(), "Engine Coolant Temperature");
    // Enter copies the whole row text.
    selection->cmbAnalogJ_KeyDown(13, 0);
    EXPECT_EQ(description.text(), "Engine Coolant Temperature   (110)");
}

TEST_F(AnalogJTest, ScalingThatCannotBeComputedStoresNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("zero.mdb");
    ASSERT_TRUE(MakeLooseDatabase(path, {
        "INSERT INTO J1587 VALUES ('Broken', 128, 100, 0, 1, 0, 0, 100, 'bar', 5)",
        "INSERT INTO J1587 VALUES ('Good', 128, 101, 0, 1, 0.5, 0, 100, 'bar', 5)",
    }));
    Open(path);
    list.setCurrentItem(list.topLevelItem(0));
    types.setCurrentIndex(3);
    parameters.setCurrentIndex(parameters.findText("Good   (101)"));
    const JData good = In(1)->JValues();
    const qint32 min = In(1)->SensorMin(), max = In(1)->SensorMax();
    description.setText("Kept");
    doubles.presenter.shown.clear();

    parameters.setCurrentIndex(parameters.findText("Broken   (100)"));
    ASSERT_EQ(doubles.presenter.shown.size(), 1);
    EXPECT_EQ(doubles.presenter.shown[0].text, "Error -1");
    EXPECT_EQ(In(1)->JValues(), good);
    EXPECT_EQ(In(1)->SensorMin(), min);
    EXPECT_EQ(In(1)->SensorMax(), max);
    EXPECT_EQ(description.text(), "Kept");
    EXPECT_EQ(parameters.currentText(), "Good   (101)");
}

TEST_F(AnalogJTest, InputTypeChangesShowTheSwitchSettingOnce)
{
    list.setCurrentItem(list.topLevelItem(0));
    In(1)->SetAction(6);
    struct Case {
        int type;
        bool shift, expert;
        QList<int> settings;
        bool graphShown;
    } cases[] = {
        {2, false, false, {1}, true},  // 4..20mA -> 0..10V
        {0, false, false, {2}, true},  // back to a current input
        {2, true, false, {}, true},    // Shift held
        {4, false, false, {}, false},  // 0..10V -> J1939
        {2, false, true, {}, true},    // J1939 -> 0..10V in expert mode
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        switchSettings.clear();
        doubles.keys.shift = c.shift;
        state.ExpertMode = c.expert;
        types.setCurrentIndex(c.type);
        EXPECT_EQ(switchSettings, c.settings);
        EXPECT_EQ(In(1)->InputType(), c.type);
        EXPECT_EQ(!graph.isHidden(), c.graphShown);
        EXPECT_EQ(locked, c.type > 2);
    }
    // Under the loading flag the type is not stored.
    state.OpeningSetup = true;
    types.setCurrentIndex(1);
    EXPECT_EQ(In(1)->InputType(), 2);
    EXPECT_TRUE(openingDuringFill);
    state.OpeningSetup = false;
    // No selected input: the range is unlocked and the parameter group disabled.
    list.setCurrentItem(nullptr);
    locked = true;
    pidEnabled = true;
    const int before = layouts;
    types.setCurrentIndex(4);
    EXPECT_FALSE(locked);
    EXPECT_FALSE(pidEnabled);
    EXPECT_EQ(layouts, before + 1);
}
