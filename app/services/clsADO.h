#pragma once
// The reference database: engine-bus parameters (J1939, J1587), fuel-consumption types,
// engine makers and engine-hour sources, read from the SQLite file "Quarno.mdb" next to
// the program. The file is opened read-only and never changed, not even its attributes.
#include "app/services/clsJData.h"

#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>
#include <type_traits>

class QComboBox;

class clsADO {
public:
    // Rows of a query, detached from the connection; empty when nothing matched.
    using Recordset = QVector<QSqlRecord>;

    // Input type codes of the channels that take their value from the engine bus.
    static constexpr qint16 InputTypeJ1587 = 3;
    static constexpr qint16 InputTypeCAN = 4;
    // The schema this program reads; an older file still opens but is reported (98).
    static constexpr qint32 SchemaVersion = 2;
    static const QString FileName; // "Quarno.mdb"

    clsADO();
    ~clsADO();
    clsADO(const clsADO&) = delete;
    clsADO& operator=(const clsADO&) = delete;

    // Opens the database file; path "" is the file next to the program. success is false
    // when the file is missing or is not a readable reference database (the caller
    // shows message 97).
    void InitDatabase(const QString& path, bool& success);
    bool IsOpen() const;

    // Parameter combos: items are added in the order of the query; map is replaced by a
    // new one that holds each item's JParameterID. Other input types add nothing.
    void FillJComboAnalog(QComboBox* combo, std::unique_ptr<clsJData>& map, qint16 inputType);
    void FillJComboDigital(QComboBox* combo, std::unique_ptr<clsJData>& map, qint16 inputType);
    // The descriptions of the rows the last parameter fill left out: a parameter that names
    // the same identifier as an earlier row, or whose fields do not fit the input's record
    // (J1587 MID or PID above 255, PPID above 1023; a J1939 ID that is not eight hexadecimal
    // digits or a POSITION outside 1..16).
    QStringList RefusedJRows() const { return m_refusedJRows; }

    // The row of one parameter. Input is an analog or switch input with InputType() and
    // JValues() (iMID, lPID, lPPID); a null pointer gives no row.
    template <class Input>
    Recordset GetJFieldsFromIDAnalog(const Input& input, double id)
    {
        if constexpr (std::is_pointer_v<Input>)
            return input ? GetJFieldsFromIDAnalog(*input, id) : Recordset();
        else
            return JFieldsFromID(false, qint16(input.InputType()), id);
    }
    template <class Input>
    Recordset GetJFieldsAnalog(const Input& input)
    {
        if constexpr (std::is_pointer_v<Input>) {
            return input ? GetJFieldsAnalog(*input) : Recordset();
        } else {
            const auto values = input.JValues();
            return JFieldsFromValues(false, qint16(input.InputType()), values.iMID, values.lPID,
                                     values.lPPID);
        }
    }
    template <class Input>
    Recordset GetJFieldsFromIDDigital(const Input& input, double id)
    {
        if constexpr (std::is_pointer_v<Input>)
            return input ? GetJFieldsFromIDDigital(*input, id) : Recordset();
        else
            return JFieldsFromID(true, qint16(input.InputType()), id);
    }
    template <class Input>
    Recordset GetJFieldsDigital(const Input& input)
    {
        if constexpr (std::is_pointer_v<Input>) {
            return input ? GetJFieldsDigital(*input) : Recordset();
        } else {
            const auto values = input.JValues();
            return JFieldsFromValues(true, qint16(input.InputType()), values.iMID, values.lPID,
                                     values.lPPID);
        }
    }

    // The same with the input's type and record given directly.
    Recordset JFieldsFromID(bool digital, qint16 inputType, double id);
    Recordset JFieldsFromValues(bool digital, qint16 inputType, quint8 iMID, qint32 lPID,
                                qint32 lPPID);
    // SQL text of the row of one parameter; "" for an input type without a table or an
    // id that cannot name a parameter.
    static QString RowQueryFromID(bool digital, qint16 inputType, double id);
    static QString RowQueryFromValues(bool digital, qint16 inputType, quint8 iMID, qint32 lPID,
                                      qint32 lPPID);

    void FillFuelConsumptionCombo(QComboBox* combo);
    QString GetFuelConsumptionMessage(qint16 type);
    void FillEngineManufacturerCombo(QComboBox* combo);
    // The maker stored as n or as -n; "" when there is none.
    QString GetManufacturerFromID(qint32 n);
    // Engine-hour rows of the mode and maker; the rows of mode -1 when the mode has none.
    Recordset GetEngineHourData(qint32 operationMode, qint32 manufacturer);
    // Any query; the connection is read-only, so a statement that writes fails.
    Recordset ExecuteQuery(const QString& sql);

private:
    void FillJCombo(QComboBox* combo, std::unique_ptr<clsJData>& map, qint16 inputType,
                    bool digital);
    void Close();

    QString m_connection;
    QStringList m_refusedJRows;
};
