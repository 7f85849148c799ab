// Checks of the reference data itself: the SQL scripts loaded on their own, and the
// shipped file built from them.
#include "extra/extra.h"
#include "tests/app/services/DatabaseTestSupport.h"
#include "tests/common/Doubles.h"

#include <QRegularExpression>
#include <QSet>
#include <QSqlRecord>

#include <gtest/gtest.h>

namespace {

class DatabaseData : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "dbdata");
        db.setDatabaseName(":memory:");
        ASSERT_TRUE(db.open());
        loaded = dbtest::RunInto(db, dbtest::ScriptFiles());
    }
    static void TearDownTestSuite()
    {
        QSqlDatabase::database("dbdata", false).close();
        QSqlDatabase::removeDatabase("dbdata");
    }
    void SetUp() override { ASSERT_TRUE(loaded); }

    static QVector<QSqlRecord> Rows(const QString& sql)
    {
        QVector<QSqlRecord> rows;
        QSqlQuery query(QSqlDatabase::database("dbdata", false));
        EXPECT_TRUE(query.exec(sql)) << sql.toStdString();
        while (query.next())
            rows << query.record();
        return rows;
    }
    static qint64 Count(const QString& table)
    {
        return Rows("SELECT COUNT(*) FROM " + table).value(0).value(0).toLongLong();
    }

    static inline ::testing::AssertionResult loaded = ::testing::AssertionFailure();
    testing_doubles::PlatformDoubles doubles;
};

TEST_F(DatabaseData, EnoughRowsInEveryTable)
{
    EXPECT_GE(Count("J1939"), 40);
    EXPECT_GE(Count("CAN_DIGITAL"), 15);
    EXPECT_GE(Count("J1587"), 20);
    EXPECT_GE(Count("J1587_DIGITAL"), 5);
    EXPECT_GE(Count("MANUFACTURER"), 10);
    EXPECT_GE(Count("FUEL_CONSUMPTION"), 2);
    EXPECT_GE(Count("ENGINE_HOURS"), 10);
    EXPECT_EQ(Rows("SELECT VERSION FROM SCHEMA_VERSION").size(), 1);
}

TEST_F(DatabaseData, J1939IdentifiersAreUpperCaseHexAndMatchTheirPgn)
{
    const QRegularExpression hex("^[0-9A-F]{8}$");
    for (const QString table : {"J1939", "CAN_DIGITAL"}) {
        QSet<QString> keys;
        for (const QSqlRecord& row : Rows("SELECT DESCRIPTION, ID, POSITION, SIZE, PGN FROM " + table)) {
            const QString id = row.value("ID").toString();
            SCOPED_TRACE((table + ": " + row.value("DESCRIPTION").toString()).toStdString());
            EXPECT_TRUE(hex.match(id).hasMatch()) << id.toStdString();
            const qint64 value = qint64(extra::HexToValue(id));
            EXPECT_LT(value, qint64(1) << 29); // a 29-bit identifier
            EXPECT_EQ((value >> 8) & 0x3FFFF, row.value("PGN").toLongLong());
            const int position = row.value("POSITION").toInt();
            EXPECT_GE(position, 1);
            EXPECT_LE(position - 1 + row.value("SIZE").toInt(), 8);
            const QString key = id + extra::ValueToHex(position, 2);
            EXPECT_FALSE(keys.contains(key)) << "duplicate " << key.toStdString();
            keys << key;
        }
    }
}

TEST_F(DatabaseData, J1587KeysAreUniqueAndInRange)
{
    for (const QString table : {"J1587", "J1587_DIGITAL"}) {
        QSet<qint64> keys;
        for (const QSqlRecord& row : Rows("SELECT DESCRIPTION, MID, PID, PPID FROM " + table)) {
            SCOPED_TRACE((table + ": " + row.value("DESCRIPTION").toString()).toStdString());
            const qint64 mid = row.value("MID").toLongLong();
            const qint64 pid = row.value("PID").toLongLong();
            const qint64 ppid = row.value("PPID").toLongLong();
            EXPECT_TRUE(mid >= 128 && mid <= 255) << mid;
            EXPECT_TRUE(pid >= 0 && pid <= 255) << pid;
            EXPECT_TRUE(ppid >= 0 && ppid <= 1023) << ppid;
            const qint64 key = mid * 262144 + pid * 1024 + ppid;
            EXPECT_FALSE(keys.contains(key));
            keys << key;
        }
    }
}

TEST_F(DatabaseData, DescriptionsAreUniqueWithinATable)
{
    for (const QString table : {"J1939", "J1587", "CAN_DIGITAL", "J1587_DIGITAL", "MANUFACTURER",
                                 "FUEL_CONSUMPTION"}) {
        const auto rows = Rows("SELECT UPPER(TRIM(DESCRIPTION)) AS D, COUNT(*) AS N FROM " + table
                               + " GROUP BY D HAVING N > 1");
        EXPECT_TRUE(rows.isEmpty()) << table.toStdString() << ": "
                                    << rows.value(0).value("D").toString().toStdString();
        EXPECT_TRUE(Rows("SELECT * FROM " + table + " WHERE TRIM(DESCRIPTION) = ''").isEmpty());
    }
}

TEST_F(DatabaseData, EveryMeasuredValueScales)
{
    for (const QString table : {"J1939", "J1587"}) {
        for (const QSqlRecord& row :
             Rows("SELECT DESCRIPTION, SIZE, RESOLUTION, OFFSET, MAX, UNITS, TIMEOUT FROM " + table)) {
            SCOPED_TRACE((table + ": " + row.value("DESCRIPTION").toString()).toStdString());
            const int size = row.value("SIZE").toInt();
            const double resolution = row.value("RESOLUTION").toDouble();
            const double offset = row.value("OFFSET").toDouble();
            const double maximum = row.value("MAX").toDouble();
            EXPECT_TRUE(size == 1 || size == 2 || size == 4) << size;
            EXPECT_GT(resolution, 0.0);
            EXPECT_GT(maximum, offset);
            EXPECT_FALSE(row.value("UNITS").toString().trimmed().isEmpty());
            const int timeout = row.value("TIMEOUT").toInt();
            EXPECT_TRUE(timeout >= 1 && timeout <= 255) << timeout;
            qint32 minX10 = 0, maxX10 = 0, error = 0;
            quint8 shift = 0, subtract = 0;
            EXPECT_TRUE(extra::ComputeScaling(size, resolution, offset, maximum, minX10, maxX10, shift,
                                              subtract, error))
                << "error " << error;
        }
    }
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());
}

TEST_F(DatabaseData, SwitchFieldsFitTheirByte)
{
    for (const QString table : {"CAN_DIGITAL", "J1587_DIGITAL"})
        for (const QSqlRecord& row : Rows("SELECT DESCRIPTION, SIZE, SHR FROM " + table)) {
            EXPECT_EQ(row.value("SIZE").toInt(), 1) << row.value("DESCRIPTION").toString().toStdString();
            const int shr = row.value("SHR").toInt();
            EXPECT_TRUE(shr >= 0 && shr <= 7) << row.value("DESCRIPTION").toString().toStdString();
        }
}

// Values written by hand from the J1939 and J1587 tables.
TEST_F(DatabaseData, WellKnownParametersAsPublished)
{
    auto j1939 = Rows("SELECT * FROM J1939 WHERE SPN = 190");
    ASSERT_EQ(j1939.size(), 1);
    EXPECT_EQ(j1939[0].value("ID").toString(), "0CF00400");
    EXPECT_EQ(j1939[0].value("POSITION").toInt(), 4);
    EXPECT_EQ(j1939[0].value("SIZE").toInt(), 2);
    EXPECT_DOUBLE_EQ(j1939[0].value("RESOLUTION").toDouble(), 0.125);
    EXPECT_DOUBLE_EQ(j1939[0].value("MAX").toDouble(), 8031.875);
    j1939 = Rows("SELECT * FROM J1939 WHERE SPN = 110");
    ASSERT_EQ(j1939.size(), 1);
    EXPECT_EQ(j1939[0].value("ID").toString(), "18FEEE00");
    EXPECT_EQ(j1939[0].value("POSITION").toInt(), 1);
    EXPECT_DOUBLE_EQ(j1939[0].value("OFFSET").toDouble(), -40.0);
    j1939 = Rows("SELECT * FROM J1939 WHERE SPN = 100");
    ASSERT_EQ(j1939.size(), 1);
    EXPECT_EQ(j1939[0].value("ID").toString(), "18FEEF00");
    EXPECT_EQ(j1939[0].value("POSITION").toInt(), 4);
    EXPECT_DOUBLE_EQ(j1939[0].value("RESOLUTION").toDouble(), 4.0);
    j1939 = Rows("SELECT * FROM J1939 WHERE SPN = 168");
    ASSERT_EQ(j1939.size(), 1);
    EXPECT_EQ(j1939[0].value("ID").toString(), "18FEF700");
    EXPECT_EQ(j1939[0].value("POSITION").toInt(), 5);
    EXPECT_DOUBLE_EQ(j1939[0].value("RESOLUTION").toDouble(), 0.05);

    auto j1587 = Rows("SELECT * FROM J1587 WHERE MID = 128 AND PID = 190 AND PPID = 0");
    ASSERT_EQ(j1587.size(), 1);
    EXPECT_EQ(j1587[0].value("DESCRIPTION").toString(), "Engine Speed");
    EXPECT_EQ(j1587[0].value("SIZE").toInt(), 2);
    EXPECT_DOUBLE_EQ(j1587[0].value("RESOLUTION").toDouble(), 0.25);
    j1587 = Rows("SELECT * FROM J1587 WHERE MID = 128 AND PID = 100");
    ASSERT_EQ(j1587.size(), 1);
    EXPECT_DOUBLE_EQ(j1587[0].value("RESOLUTION").toDouble(), 3.45);
}

TEST_F(DatabaseData, MakersFuelTypesAndEngineHourSourcesHangTogether)
{
    // The setup's defaults: maker 255 and fuel type 0.
    EXPECT_EQ(Rows("SELECT * FROM MANUFACTURER WHERE ID = 255").size(), 1);
    EXPECT_EQ(Rows("SELECT * FROM FUEL_CONSUMPTION WHERE TYPE = 0").size(), 1);
    EXPECT_TRUE(Rows("SELECT * FROM FUEL_CONSUMPTION WHERE TRIM(MESSAGE) = ''").isEmpty());
    // A maker's number is used once, whatever its sign.
    EXPECT_TRUE(Rows("SELECT ABS(ID) AS A FROM MANUFACTURER GROUP BY A HAVING COUNT(*) > 1").isEmpty());
    EXPECT_TRUE(Rows("SELECT * FROM ENGINE_HOURS WHERE MANUFACTURER_ID NOT IN (SELECT ID FROM MANUFACTURER)")
                    .isEmpty());
    for (const QSqlRecord& row : Rows("SELECT * FROM ENGINE_HOURS")) {
        const int shr = row.value("SHR").toInt();
        if (shr & 64) {
            // J1939: Engine Hours, Revolutions, total hours in bytes 1-4.
            const qint64 id = row.value("PPID").toLongLong() * 65536 + row.value("PID").toLongLong();
            EXPECT_EQ((id >> 8) & 0x3FFFF, 65253);
            EXPECT_EQ(row.value("MID").toInt(), 4 * 16 + 0);
        } else {
            EXPECT_EQ(shr & 128, 128);
            EXPECT_EQ(row.value("PID").toInt(), 247);
            EXPECT_GE(row.value("MID").toInt(), 128);
        }
    }
}

TEST_F(DatabaseData, TheShippedFileHoldsWhatTheScriptsSay)
{
    QSqlDatabase shipped = QSqlDatabase::addDatabase("QSQLITE", "dbshipped");
    shipped.setConnectOptions("QSQLITE_OPEN_READONLY");
    shipped.setDatabaseName(dbtest::ShippedFile());
    ASSERT_TRUE(shipped.open());
    for (const QString table : {"J1939", "J1587", "CAN_DIGITAL", "J1587_DIGITAL", "FUEL_CONSUMPTION",
                                 "MANUFACTURER", "ENGINE_HOURS", "SCHEMA_VERSION"}) {
        QSqlQuery query(shipped);
        ASSERT_TRUE(query.exec("SELECT COUNT(*) FROM " + table));
        ASSERT_TRUE(query.next());
        EXPECT_EQ(query.value(0).toLongLong(), Count(table)) << table.toStdString();
    }
    shipped.close();
    shipped = QSqlDatabase();
    QSqlDatabase::removeDatabase("dbshipped");
}

TEST(SqlScript, SplitsOnlyOutsideTextsAndComments)
{
    const QStringList parts = sqlscript::SplitStatements(
        "-- head; comment\nCREATE TABLE T (A);\n/* block; */INSERT INTO T VALUES ('a;''b');;\n"
        "INSERT INTO T VALUES (\"x;y\")  -- tail;\n");
    ASSERT_EQ(parts.size(), 3);
    EXPECT_EQ(parts[0], "CREATE TABLE T (A)");
    EXPECT_EQ(parts[1], "INSERT INTO T VALUES ('a;''b')");
    EXPECT_EQ(parts[2], "INSERT INTO T VALUES (\"x;y\")");
    EXPECT_TRUE(sqlscript::SplitStatements("  ;\n-- only\n").isEmpty());
    // An unterminated text or comment ends with the script.
    EXPECT_EQ(sqlscript::SplitStatements("SELECT 'open;").size(), 1);
    EXPECT_EQ(sqlscript::SplitStatements("SELECT 1 /* open;").size(), 1);
}

} // namespace
