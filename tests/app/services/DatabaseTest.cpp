#include "app/services/clsADO.h"
#include "app/services/ComboHelpers.h"
#include "extra/extra.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelDigitalIn.h"
#include "platform/LibraryLoader.h"
#include "tests/app/services/DatabaseTestSupport.h"
#include "tests/common/Doubles.h"
#include "tests/common/ServiceDoubles.h"

#include <QComboBox>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using testing_doubles::PlatformDoubles;

// The two database messages, as the language library holds them.
class DatabaseMessages : public platform::LibraryLoader {
public:
    quintptr Load(const QString&) override { return 1; }
    void Free(quintptr) override {}
    std::optional<QString> String(quintptr, quint16 id) override
    {
        if (id == 97)
            return QString("Your Quarno database file (quarno.mdb) could not be opened. The database file "
                           "is needed for Quarno to work properly. Please verify that the file named "
                           "quarno.mdb is located in your Quarno folder.\\nQuarno Q2 will exit!");
        if (id == 98)
            return QString("Your Quarno database file (quarno.mdb) is not up to date. An updated version "
                           "of Quarno Q2 may be available. You may download it by selecting 'Help' and "
                           "then 'Quarno Website...' from the main menu.");
        return std::nullopt;
    }
};

struct JRecord {
    quint8 iTimeout = 0;
    quint8 iMID = 0;
    qint32 lPID = 0;
    qint32 lPPID = 0;
    quint8 iShr = 0;
    quint8 iSub = 0;
};

// Stands in for an analog or switch input: only its bus type and record are read.
struct BusInput {
    qint16 type = 0;
    JRecord values;
    qint16 InputType() const { return type; }
    JRecord JValues() const { return values; }
};

class Database : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::LibraryLoader::SetInstance(&messages);
        extra::LoadLanguageLibrary();
    }
    void TearDown() override
    {
        extra::FreeLanguageLibrary();
        platform::LibraryLoader::SetInstance(nullptr);
    }
    void OpenShipped(clsADO& ado)
    {
        bool ok = false;
        ado.InitDatabase("", ok);
        ASSERT_TRUE(ok) << "missing " << dbtest::ShippedFile().toStdString();
    }
    int IndexOf(QComboBox& combo, const QString& text) { return combo.findText(text, Qt::MatchExactly); }

    PlatformDoubles doubles;
    DatabaseMessages messages;
};

// ---- opening ------------------------------------------------------------------------------

TEST_F(Database, OpensTheFileNextToTheProgramSilently)
{
    clsADO ado;
    OpenShipped(ado);
    EXPECT_TRUE(ado.IsOpen());
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());
}

TEST_F(Database, MissingOrForeignFileFailsAndTheCallerShows97)
{
    QTemporaryDir dir;
    QFile garbage(dir.filePath("garbage.mdb"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4096, '\x5A'));
    garbage.close();
    ASSERT_TRUE(dbtest::MakeDatabase(dir.filePath("empty.mdb"), {"DROP TABLE SCHEMA_VERSION"}));

    for (const QString& path : {dir.filePath("nothing.mdb"), dir.path(), dir.filePath("garbage.mdb"),
                                dir.filePath("empty.mdb")}) {
        clsADO ado;
        bool ok = true;
        ado.InitDatabase(path, ok);
        EXPECT_FALSE(ok) << path.toStdString();
        EXPECT_FALSE(ado.IsOpen());
        EXPECT_TRUE(ado.ExecuteQuery("SELECT 1").isEmpty());
    }
    // Nothing was created in place of the missing file.
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("nothing.mdb")));
    // InitDatabase itself shows nothing; the start-up answers its failure with 97.
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());
    extra::LangMsgBox(97, platform::MsgStyle::Critical);
    ASSERT_EQ(doubles.presenter.shown.size(), 1);
    EXPECT_TRUE(doubles.presenter.shown[0].text.startsWith("Your Quarno database file (quarno.mdb) could not be opened."));
}

TEST_F(Database, DefaultFileIsTheOneInTheProgramsFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dbtest::MakeDatabase(dir.filePath("Quarno.mdb"),
                                     {"INSERT INTO MANUFACTURER VALUES (41, 'Beside the program', 1)"}));
    testing_doubles::FixedProgramLocation program;
    platform::ProgramLocation::SetInstance(&program);
    for (const QString& folder : {dir.path(), dir.path() + "/"}) {
        program.folder = folder;
        clsADO ado;
        bool ok = false;
        ado.InitDatabase("", ok);
        EXPECT_TRUE(ok) << folder.toStdString();
        EXPECT_EQ(ado.GetManufacturerFromID(41), "Beside the program");
    }
    // A program folder without the file: nothing is opened or created there.
    QTemporaryDir empty;
    program.folder = empty.path();
    clsADO ado;
    bool ok = true;
    ado.InitDatabase("", ok);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(QFileInfo::exists(empty.filePath("Quarno.mdb")));
    platform::ProgramLocation::SetInstance(nullptr);
}

TEST_F(Database, OlderSchemaOpensWithMessage98)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("old.mdb");
    ASSERT_TRUE(dbtest::MakeDatabase(path, {"UPDATE SCHEMA_VERSION SET VERSION = 1",
                                            "INSERT INTO MANUFACTURER VALUES (3, 'Maker', 1)"}));
    clsADO ado;
    bool ok = false;
    ado.InitDatabase(path, ok);
    EXPECT_TRUE(ok);
    ASSERT_EQ(doubles.presenter.shown.size(), 1);
    EXPECT_EQ(doubles.presenter.shown[0].style, platform::MsgStyle::Exclamation);
    EXPECT_TRUE(doubles.presenter.shown[0].text.contains("is not up to date"));
    EXPECT_EQ(ado.GetManufacturerFromID(3), "Maker");
}

TEST_F(Database, TheFileIsNeverChangedNotEvenItsAttributes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Quarno.mdb");
    ASSERT_TRUE(QFile::copy(dbtest::ShippedFile(), path));
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    QFile before(path);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray hash = QCryptographicHash::hash(before.readAll(), QCryptographicHash::Sha256);
    before.close();
    const QDateTime mtime = QFileInfo(path).lastModified();
    const QFile::Permissions permissions = QFile::permissions(path);
    const QStringList filesBefore = QDir(dir.path()).entryList(QDir::Files);

    {
        clsADO ado;
        bool ok = false;
        ado.InitDatabase(path, ok);
        ASSERT_TRUE(ok);
        QComboBox combo;
        std::unique_ptr<clsJData> map;
        ado.FillJComboAnalog(&combo, map, 4);
        ado.FillJComboDigital(&combo, map, 3);
        ado.FillFuelConsumptionCombo(&combo);
        ado.FillEngineManufacturerCombo(&combo);
        ado.GetEngineHourData(2, 5);
        // Writing statements are refused by the connection.
        ado.ExecuteQuery("DELETE FROM MANUFACTURER");
        ado.ExecuteQuery("UPDATE J1939 SET MAX = 0");
        ado.ExecuteQuery("CREATE TABLE X (A)");
        ado.ExecuteQuery("PRAGMA user_version = 7");
        EXPECT_EQ(ado.ExecuteQuery("SELECT * FROM MANUFACTURER").size(), 18);
    }

    QFile after(path);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(QCryptographicHash::hash(after.readAll(), QCryptographicHash::Sha256), hash);
    EXPECT_EQ(QFileInfo(path).lastModified(), mtime);
    EXPECT_EQ(QFile::permissions(path), permissions);
    // No journal or other file left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), filesBefore);
}

TEST_F(Database, TwoObjectsAndAReopenKeepTheirOwnConnections)
{
    clsADO first;
    OpenShipped(first);
    {
        clsADO second;
        OpenShipped(second);
        EXPECT_EQ(second.GetManufacturerFromID(1), "Caterpillar");
    }
    EXPECT_EQ(first.GetManufacturerFromID(1), "Caterpillar");
    // Opening again replaces the connection; a failed reopen leaves it closed.
    OpenShipped(first);
    EXPECT_EQ(first.GetManufacturerFromID(2), "Cummins");
    bool ok = true;
    first.InitDatabase("/nonexistent/Quarno.mdb", ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(first.GetManufacturerFromID(2), "");
}

TEST_F(Database, AnUnopenedObjectAnswersEmpty)
{
    clsADO ado;
    QComboBox combo;
    combo.addItem("kept");
    std::unique_ptr<clsJData> map;
    ado.FillJComboAnalog(&combo, map, 3);
    ASSERT_TRUE(map);
    EXPECT_EQ(combo.count(), 1);
    ado.FillEngineManufacturerCombo(&combo);
    EXPECT_EQ(combo.count(), 0);
    EXPECT_EQ(ado.GetFuelConsumptionMessage(0), "");
    EXPECT_TRUE(ado.GetEngineHourData(2, 5).isEmpty());
    EXPECT_TRUE(ado.JFieldsFromID(false, 3, 33748992).isEmpty());
}

// ---- parameter combos and rows ------------------------------------------------------------

TEST_F(Database, J1587EngineSpeedItemIdAndRow)
{
    clsADO ado;
    OpenShipped(ado);
    QComboBox combo;
    std::unique_ptr<clsJData> map;
    ado.FillJComboAnalog(&combo, map, 3);
    const int index = IndexOf(combo, "Engine Speed   (190)");
    ASSERT_GE(index, 0);
    EXPECT_DOUBLE_EQ(map->GetJData(index), 33748992.0);
    EXPECT_EQ(map->GetJDataPosition(33748992.0), index);

    EXPECT_EQ(clsADO::RowQueryFromID(false, 3, 33748992.0),
              "SELECT * FROM J1587 WHERE MID = 128 AND PID = 190 AND PPID = 0");
    EXPECT_EQ(clsADO::RowQueryFromID(true, 3, 33748992.0),
              "SELECT * FROM J1587_DIGITAL WHERE MID = 128 AND PID = 190 AND PPID = 0");
    XelAnalogIn input;
    input.SetInputType(3);
    const clsADO::Recordset rows = ado.GetJFieldsFromIDAnalog(input, map->GetJData(index));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].value("SIZE").toInt(), 2);
    EXPECT_DOUBLE_EQ(rows[0].value("RESOLUTION").toDouble(), 0.25);
    EXPECT_DOUBLE_EQ(rows[0].value("OFFSET").toDouble(), 0.0);
    EXPECT_EQ(rows[0].value("UNITS").toString(), "rpm");
    // The same row through the record the page stores.
    JData values;
    values.iMID = 128;
    values.lPID = 190;
    input.SetJValues(values);
    EXPECT_EQ(ado.GetJFieldsAnalog(&input).size(), 1);
    EXPECT_TRUE(ado.GetJFieldsAnalog(static_cast<XelAnalogIn*>(nullptr)).isEmpty());
    // A switch input of that type looks in the switch table, which has no engine speed.
    XelDigitalIn digital;
    digital.SetInputType(3);
    digital.SetJValues(values);
    EXPECT_TRUE(ado.GetJFieldsDigital(digital).isEmpty());
    values.lPID = 97;
    digital.SetJValues(values);
    EXPECT_EQ(ado.GetJFieldsDigital(digital).size(), 1);
}

TEST_F(Database, J1939IdentifiersRoundTripThroughTheMapAndTheRecord)
{
    clsADO ado;
    OpenShipped(ado);
    for (bool digital : {false, true}) {
        QComboBox combo;
        std::unique_ptr<clsJData> map;
        if (digital)
            ado.FillJComboDigital(&combo, map, 4);
        else
            ado.FillJComboAnalog(&combo, map, 4);
        ASSERT_GT(combo.count(), 10);
        for (int i = 0; i < combo.count(); ++i) {
            SCOPED_TRACE(combo.itemText(i).toStdString());
            const double id = map->GetJData(i);
            ASSERT_GT(id, 0.0);
            EXPECT_EQ(map->GetJDataPosition(id), i);
            BusInput input{4, {}};
            const clsADO::Recordset rows =
                digital ? ado.GetJFieldsFromIDDigital(input, id) : ado.GetJFieldsFromIDAnalog(input, id);
            ASSERT_EQ(rows.size(), 1);
            EXPECT_EQ(rows[0].value("DESCRIPTION").toString(), combo.itemText(i));
            // The record as the channel page builds it from the row ...
            const QString hex = rows[0].value("ID").toString();
            const int position = rows[0].value("POSITION").toInt();
            input.values.iMID = quint8(rows[0].value("SIZE").toInt() * 16 + position - 1);
            input.values.lPID = qint32(extra::HexToValue(hex.right(4)));
            input.values.lPPID = qint32(extra::HexToValue(hex.left(4)));
            // ... finds the same row again ...
            const clsADO::Recordset again =
                digital ? ado.GetJFieldsDigital(input) : ado.GetJFieldsAnalog(input);
            ASSERT_EQ(again.size(), 1);
            EXPECT_EQ(again[0].value("DESCRIPTION").toString(), combo.itemText(i));
            // ... and the page's key of that record selects the same item.
            const double key = extra::HexToValue(extra::ValueToHex(input.values.lPPID, 4)
                                                 + extra::ValueToHex(input.values.lPID, 4)) * 256
                + ((input.values.iMID + 1) & 15);
            EXPECT_EQ(map->GetJDataPosition(key), i);
        }
    }
}

TEST_F(Database, J1939RowQueryFromAnId)
{
    EXPECT_EQ(clsADO::RowQueryFromID(false, 4, extra::HexToValue("00F0040003")),
              "SELECT * FROM J1939 WHERE ID = '00F00400' AND POSITION = 3");
    EXPECT_EQ(clsADO::RowQueryFromID(true, 4, extra::HexToValue("18FEFF0001")),
              "SELECT * FROM CAN_DIGITAL WHERE ID = '18FEFF00' AND POSITION = 1");
    // Size 2 at position 4 of 0CF00400.
    EXPECT_EQ(clsADO::RowQueryFromValues(false, 4, 2 * 16 + 3, 0x0400, 0x0CF0),
              "SELECT * FROM J1939 WHERE ID = '0CF00400' AND POSITION = 4");
}

TEST_F(Database, ParameterIdsThatNameNothingGiveNoRow)
{
    clsADO ado;
    OpenShipped(ado);
    const double bad[] = {-1.0, std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(), 1e300, 0.0, 12345.0};
    for (double id : bad) {
        EXPECT_TRUE(ado.JFieldsFromID(false, 4, id).isEmpty()) << id;
        EXPECT_TRUE(ado.JFieldsFromID(false, 3, id).isEmpty()) << id;
        EXPECT_TRUE(ado.JFieldsFromID(true, 4, id).isEmpty()) << id;
    }
    EXPECT_EQ(clsADO::RowQueryFromID(false, 3, std::nan("")), "");
    // Plain inputs have no table.
    for (qint16 type : {0, 1, 2, 5, -1}) {
        EXPECT_EQ(clsADO::RowQueryFromID(false, type, 33748992.0), "");
        EXPECT_EQ(clsADO::RowQueryFromValues(true, type, 128, 190, 0), "");
        QComboBox combo;
        std::unique_ptr<clsJData> map;
        ado.FillJComboAnalog(&combo, map, type);
        ASSERT_TRUE(map);
        EXPECT_EQ(combo.count(), 0);
        EXPECT_DOUBLE_EQ(map->GetJData(0), 0.0);
    }
    // A record with a negative or oversized half finds nothing either.
    EXPECT_TRUE(ado.JFieldsFromValues(false, 4, 0x23, -1, 0x10000).isEmpty());
}

TEST_F(Database, J1587ItemTextCarriesTheSubParameter)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ppid.mdb");
    ASSERT_TRUE(dbtest::MakeDatabase(path, {
        "INSERT INTO J1587 VALUES ('Turbo Speed', 128, 254, 5, 2, 4, 0, 262140, 'rpm', 5)",
        "INSERT INTO J1587 VALUES ('Boost Pressure', 128, 102, 0, 1, 0.862, 0, 219.81, 'kPa', 5)",
        "INSERT INTO J1587_DIGITAL VALUES ('Lamp', 128, 44, 0, 1, 0, 10)"}));
    clsADO ado;
    bool ok = false;
    ado.InitDatabase(path, ok);
    ASSERT_TRUE(ok);
    QComboBox combo;
    std::unique_ptr<clsJData> map;
    ado.FillJComboAnalog(&combo, map, 3);
    ASSERT_EQ(combo.count(), 2);
    // Ordered by description.
    EXPECT_EQ(combo.itemText(0), "Boost Pressure   (102)");
    EXPECT_EQ(combo.itemText(1), "Turbo Speed   (254-5)");
    EXPECT_DOUBLE_EQ(map->GetJData(1), 128.0 * 262144 + 254 * 1024 + 5);
    EXPECT_EQ(clsADO::RowQueryFromID(false, 3, map->GetJData(1)),
              "SELECT * FROM J1587 WHERE MID = 128 AND PID = 254 AND PPID = 5");
    EXPECT_EQ(ado.JFieldsFromID(false, 3, map->GetJData(1)).size(), 1);
    // Switch items carry the description alone, added after what the combo holds.
    ado.FillJComboDigital(&combo, map, 3);
    ASSERT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.itemText(2), "Lamp");
    EXPECT_EQ(map->GetJDataPosition(128.0 * 262144 + 44 * 1024), 2);
    EXPECT_DOUBLE_EQ(map->GetJData(0), 0.0);
}

// ---- fuel, makers, engine hours -----------------------------------------------------------

TEST_F(Database, FuelConsumptionTypesAndMessages)
{
    clsADO ado;
    OpenShipped(ado);
    QComboBox combo;
    combo.addItem("stale");
    ado.FillFuelConsumptionCombo(&combo);
    ASSERT_GE(combo.count(), 2);
    EXPECT_EQ(combo.itemText(0), "None");
    for (int i = 0; i < combo.count(); ++i) {
        EXPECT_EQ(combo.itemData(i).toInt(), i);
        EXPECT_FALSE(ado.GetFuelConsumptionMessage(qint16(i)).isEmpty());
    }
    EXPECT_EQ(extra::SelectComboItemData(&combo, 1, true), 1);
    EXPECT_EQ(ado.GetFuelConsumptionMessage(0), "Fuel consumption is not measured.");
    EXPECT_EQ(ado.GetFuelConsumptionMessage(99), "");
    EXPECT_EQ(ado.GetFuelConsumptionMessage(-1), "");
}

TEST_F(Database, ManufacturersBySortKeyAndByEitherSign)
{
    clsADO ado;
    OpenShipped(ado);
    QComboBox combo;
    ado.FillEngineManufacturerCombo(&combo);
    ASSERT_EQ(combo.count(), 18);
    EXPECT_EQ(combo.itemText(0), "Baudouin");
    EXPECT_EQ(combo.itemText(1), "Caterpillar");
    EXPECT_EQ(combo.itemData(1).toInt(), 1);
    EXPECT_EQ(combo.itemText(16), "Other J1939 Engine");
    EXPECT_EQ(combo.itemText(17), "Unknown");
    EXPECT_EQ(combo.itemData(17).toInt(), 255);
    EXPECT_EQ(combo.itemData(combo.findText("MAN")).toInt(), -7);

    EXPECT_EQ(ado.GetManufacturerFromID(7), "MAN");
    EXPECT_EQ(ado.GetManufacturerFromID(-7), "MAN");
    EXPECT_EQ(ado.GetManufacturerFromID(4), "Volvo Penta");
    EXPECT_EQ(ado.GetManufacturerFromID(-4), "Volvo Penta");
    EXPECT_EQ(ado.GetManufacturerFromID(255), "Unknown");
    EXPECT_EQ(ado.GetManufacturerFromID(0), "");
    EXPECT_EQ(ado.GetManufacturerFromID(999), "");
    EXPECT_EQ(ado.GetManufacturerFromID(std::numeric_limits<qint32>::min()), "");
}

TEST_F(Database, EngineHoursFallBackToAnyMode)
{
    clsADO ado;
    OpenShipped(ado);
    // Scania has no row for propulsion: the rows of mode -1.
    clsADO::Recordset rows = ado.GetEngineHourData(2, 5);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].value("OPERATION_MODE").toInt(), -1);
    EXPECT_EQ(rows[0].value("MANUFACTURER_ID").toInt(), 5);
    EXPECT_EQ(rows[0].value("TIMEOUT").toInt(), 20);
    EXPECT_EQ(rows[0].value("MID").toInt(), 64);
    EXPECT_EQ(rows[0].value("PID").toInt(), 0xE500);
    EXPECT_EQ(rows[0].value("PPID").toInt(), 0x18FE);
    EXPECT_EQ(rows[0].value("SHR").toInt(), 64);
    EXPECT_EQ(rows[0].value("SUB").toInt(), 0);
    // Volvo Penta has its own propulsion row, on J1587.
    rows = ado.GetEngineHourData(2, 4);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].value("OPERATION_MODE").toInt(), 2);
    EXPECT_EQ(rows[0].value("MID").toInt(), 128);
    EXPECT_EQ(rows[0].value("PID").toInt(), 247);
    EXPECT_EQ(rows[0].value("SHR").toInt(), 128);
    EXPECT_EQ(ado.GetEngineHourData(0, 4)[0].value("OPERATION_MODE").toInt(), -1);
    // A maker stored negative is looked up as stored.
    EXPECT_EQ(ado.GetEngineHourData(1, -7).size(), 1);
    // No row at all: empty.
    EXPECT_TRUE(ado.GetEngineHourData(2, 255).isEmpty());
    EXPECT_TRUE(ado.GetEngineHourData(-5, 999).isEmpty());
}

TEST_F(Database, ExecuteQueryReturnsDetachedRowsAndSurvivesBadSql)
{
    clsADO::Recordset rows;
    {
        clsADO ado;
        OpenShipped(ado);
        rows = ado.ExecuteQuery("SELECT ID, DESCRIPTION FROM MANUFACTURER WHERE ID = 1");
        EXPECT_TRUE(ado.ExecuteQuery("SELEKT nonsense").isEmpty());
        EXPECT_TRUE(ado.ExecuteQuery("").isEmpty());
        EXPECT_TRUE(ado.ExecuteQuery("SELECT * FROM NO_SUCH_TABLE").isEmpty());
    }
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].value("DESCRIPTION").toString(), "Caterpillar");
}

} // namespace
