#include "app/services/clsADO.h"

#include "extra/extra.h"
#include "platform/MessagePresenter.h"
#include "platform/ProgramLocation.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <atomic>
#include <cmath>

const QString clsADO::FileName = QStringLiteral("Quarno.mdb");

namespace {

constexpr quint16 MsgDatabaseOutOfDate = 98;

// Hourglass pointer for the time of a query, where there is a pointer to show.
class WaitCursor {
public:
    WaitCursor()
        : m_shown(qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr)
    {
        if (m_shown)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~WaitCursor()
    {
        if (m_shown)
            QApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool m_shown;
};

QString Number(qint64 value)
{
    return QString::number(value);
}

const char* RowTable(bool digital, qint16 inputType)
{
    if (inputType == clsADO::InputTypeCAN)
        return digital ? "CAN_DIGITAL" : "J1939";
    if (inputType == clsADO::InputTypeJ1587)
        return digital ? "J1587_DIGITAL" : "J1587";
    return nullptr;
}

QString J1939RowQuery(const char* table, const QString& id, qint64 position)
{
    // id is hexadecimal digits only (ValueToHex), so it can stand in the quotes as it is.
    return QStringLiteral("SELECT * FROM ") + QLatin1String(table) + QStringLiteral(" WHERE ID = '")
        + id + QStringLiteral("'") + QStringLiteral(" AND POSITION = ") + Number(position);
}

QString J1587RowQuery(const char* table, qint64 mid, qint64 pid, qint64 ppid)
{
    return QStringLiteral("SELECT * FROM ") + QLatin1String(table) + QStringLiteral(" WHERE MID = ")
        + Number(mid) + QStringLiteral(" AND PID = ") + Number(pid) + QStringLiteral(" AND PPID = ")
        + Number(ppid);
}

} // namespace

clsADO::clsADO()
{
    static std::atomic<quint64> counter{0};
    m_connection = QStringLiteral("clsADO-%1").arg(++counter);
}

clsADO::~clsADO()
{
    Close();
}

void clsADO::Close()
{
    if (!QSqlDatabase::contains(m_connection))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

bool clsADO::IsOpen() const
{
    return QSqlDatabase::contains(m_connection)
        && QSqlDatabase::database(m_connection, false).isOpen();
}

void clsADO::InitDatabase(const QString& path, bool& success)
{
    success = false;
    Close();

    const QString file = path.isEmpty() ? platform::ProgramLocation::Instance().PathOf(FileName) : path;
    // The file is only ever read: a read-only file stays read-only, and SQLite would
    // create an empty database for a missing one if it were allowed to write.
    const QFileInfo info(file);
    if (!info.exists() || !info.isFile())
        return;

    qint32 version = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        db.setDatabaseName(info.absoluteFilePath());
        if (db.open()) {
            QSqlQuery query(db);
            query.exec(QStringLiteral("PRAGMA query_only = ON"));
            // The version table stands for the whole schema: a file without it is not
            // a reference database (or not a database at all).
            if (query.exec(QStringLiteral("SELECT VERSION FROM SCHEMA_VERSION")) && query.next()) {
                bool ok = false;
                version = query.value(0).toInt(&ok);
                if (!ok)
                    version = -1;
            }
        }
    }
    if (version < 0) {
        Close();
        return;
    }
    if (version < SchemaVersion)
        extra::LangMsgBox(MsgDatabaseOutOfDate, platform::MsgStyle::OKOnly | platform::MsgStyle::Exclamation);
    success = true;
}

clsADO::Recordset clsADO::ExecuteQuery(const QString& sql)
{
    Recordset rows;
    if (!IsOpen() || sql.trimmed().isEmpty())
        return rows;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    if (!query.exec(sql))
        return rows;
    while (query.next())
        rows.append(query.record());
    return rows;
}

void clsADO::FillJComboAnalog(QComboBox* combo, std::unique_ptr<clsJData>& map, qint16 inputType)
{
    FillJCombo(combo, map, inputType, false);
}

void clsADO::FillJComboDigital(QComboBox* combo, std::unique_ptr<clsJData>& map, qint16 inputType)
{
    FillJCombo(combo, map, inputType, true);
}

void clsADO::FillJCombo(QComboBox* combo, std::unique_ptr<clsJData>& map, qint16 inputType,
                        bool digital)
{
    WaitCursor wait;
    map = std::make_unique<clsJData>();
    m_refusedJRows.clear();
    if (!combo)
        return;
    if (inputType == InputTypeJ1587) {
        const Recordset rows = ExecuteQuery(
            QStringLiteral("SELECT DESCRIPTION, MID, PID, PPID FROM ")
            + QLatin1String(digital ? "J1587_DIGITAL" : "J1587")
            + QStringLiteral(" ORDER BY DESCRIPTION"));
        for (const QSqlRecord& row : rows) {
            const qint64 mid = row.value(QStringLiteral("MID")).toLongLong();
            const qint64 pid = row.value(QStringLiteral("PID")).toLongLong();
            const qint64 ppid = row.value(QStringLiteral("PPID")).toLongLong();
            QString text = row.value(QStringLiteral("DESCRIPTION")).toString();
            if (!digital) {
                text += QStringLiteral("   (") + Number(pid);
                if (ppid != 0)
                    text += QLatin1Char('-') + Number(ppid);
                text += QLatin1Char(')');
            }
            // A field too wide for its bits would make the id of another parameter.
            const bool fits = mid >= 0 && mid <= 255 && pid >= 0 && pid <= 255 && ppid >= 0 && ppid <= 1023;
            if (!fits
                || !map->AddJData(double(mid) * 262144.0 + double(pid) * 1024.0 + double(ppid),
                                  combo->count())) {
                m_refusedJRows.append(row.value(QStringLiteral("DESCRIPTION")).toString());
                continue;
            }
            combo->addItem(text);
        }
    } else if (inputType == InputTypeCAN) {
        const Recordset rows = ExecuteQuery(
            QStringLiteral("SELECT DESCRIPTION, ID, POSITION FROM ")
            + QLatin1String(digital ? "CAN_DIGITAL" : "J1939")
            + QStringLiteral(" ORDER BY DESCRIPTION"));
        for (const QSqlRecord& row : rows) {
            const QString id = row.value(QStringLiteral("ID")).toString().trimmed().toUpper();
            bool hex = id.size() == 8;
            for (const QChar c : id)
                hex = hex && (c.isDigit() || (c >= QLatin1Char('A') && c <= QLatin1Char('F')));
            const qint64 position = row.value(QStringLiteral("POSITION")).toLongLong();
            if (!hex || position < 1 || position > 16
                || !map->AddJDataHex(id + extra::ValueToHex(double(position), 2), combo->count())) {
                m_refusedJRows.append(row.value(QStringLiteral("DESCRIPTION")).toString());
                continue;
            }
            combo->addItem(row.value(QStringLiteral("DESCRIPTION")).toString());
        }
    }
}

QString clsADO::RowQueryFromID(bool digital, qint16 inputType, double id)
{
    const char* table = RowTable(digital, inputType);
    // Ids are whole, non-negative and at most 10 hexadecimal digits.
    if (!table || !std::isfinite(id) || id < 0 || id >= 1099511627776.0)
        return QString();
    if (inputType == InputTypeCAN) {
        const QString hex = extra::ValueToHex(id, 10);
        if (hex.size() != 10)
            return QString();
        const qint64 position = qint64(extra::HexToValue(hex.right(2))) & 0xFF;
        return J1939RowQuery(table, hex.left(8), position);
    }
    const qint64 value = qint64(id);
    return J1587RowQuery(table, (value & 0xFFC0000) / 262144, (value & 0x003FC00) / 1024,
                         value & 0x00003FF);
}

QString clsADO::RowQueryFromValues(bool digital, qint16 inputType, quint8 iMID, qint32 lPID,
                                   qint32 lPPID)
{
    const char* table = RowTable(digital, inputType);
    if (!table)
        return QString();
    if (inputType == InputTypeCAN) {
        // The record keeps the identifier's high half in lPPID and its low half in lPID,
        // and SIZE x 16 + POSITION - 1 in iMID.
        return J1939RowQuery(table, extra::ValueToHex(lPPID, 4) + extra::ValueToHex(lPID, 4),
                             (iMID & 15) + 1);
    }
    return J1587RowQuery(table, iMID, lPID, lPPID);
}

clsADO::Recordset clsADO::JFieldsFromID(bool digital, qint16 inputType, double id)
{
    const QString sql = RowQueryFromID(digital, inputType, id);
    return sql.isEmpty() ? Recordset() : ExecuteQuery(sql);
}

clsADO::Recordset clsADO::JFieldsFromValues(bool digital, qint16 inputType, quint8 iMID,
                                            qint32 lPID, qint32 lPPID)
{
    const QString sql = RowQueryFromValues(digital, inputType, iMID, lPID, lPPID);
    return sql.isEmpty() ? Recordset() : ExecuteQuery(sql);
}

void clsADO::FillFuelConsumptionCombo(QComboBox* combo)
{
    if (!combo)
        return;
    WaitCursor wait;
    combo->clear();
    const Recordset rows =
        ExecuteQuery(QStringLiteral("SELECT TYPE, DESCRIPTION FROM FUEL_CONSUMPTION ORDER BY TYPE"));
    for (const QSqlRecord& row : rows)
        combo->addItem(row.value(QStringLiteral("DESCRIPTION")).toString(),
                       row.value(QStringLiteral("TYPE")).toInt());
}

QString clsADO::GetFuelConsumptionMessage(qint16 type)
{
    WaitCursor wait;
    const Recordset rows = ExecuteQuery(
        QStringLiteral("SELECT MESSAGE FROM FUEL_CONSUMPTION WHERE TYPE = ") + Number(type));
    return rows.isEmpty() ? QString() : rows.first().value(QStringLiteral("MESSAGE")).toString();
}

void clsADO::FillEngineManufacturerCombo(QComboBox* combo)
{
    if (!combo)
        return;
    WaitCursor wait;
    combo->clear();
    const Recordset rows = ExecuteQuery(
        QStringLiteral("SELECT ID, DESCRIPTION FROM MANUFACTURER ORDER BY ADD_SORT, DESCRIPTION"));
    for (const QSqlRecord& row : rows)
        combo->addItem(row.value(QStringLiteral("DESCRIPTION")).toString(),
                       row.value(QStringLiteral("ID")).toInt());
}

QString clsADO::GetManufacturerFromID(qint32 n)
{
    // The negated id is written as a number of its own: "-" before a negative n would
    // read as the start of a comment.
    const Recordset rows = ExecuteQuery(QStringLiteral("SELECT DESCRIPTION FROM MANUFACTURER WHERE ID = ")
                                        + Number(n) + QStringLiteral(" OR ID = ") + Number(-qint64(n)));
    return rows.isEmpty() ? QString() : rows.last().value(QStringLiteral("DESCRIPTION")).toString();
}

clsADO::Recordset clsADO::GetEngineHourData(qint32 operationMode, qint32 manufacturer)
{
    const QString where = QStringLiteral(" WHERE OPERATION_MODE = ") + Number(operationMode)
        + QStringLiteral(" AND MANUFACTURER_ID = ") + Number(manufacturer);
    const Recordset count = ExecuteQuery(QStringLiteral("SELECT COUNT(*) FROM ENGINE_HOURS") + where);
    if (!count.isEmpty() && count.first().value(0).toLongLong() > 0)
        return ExecuteQuery(QStringLiteral("SELECT * FROM ENGINE_HOURS") + where);
    return ExecuteQuery(QStringLiteral("SELECT * FROM ENGINE_HOURS WHERE OPERATION_MODE = -1 AND MANUFACTURER_ID = ")
                        + Number(manufacturer));
}
