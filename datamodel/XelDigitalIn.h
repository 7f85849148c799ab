#pragma once
// One switch input: its record (also its 579-byte form in the setup file) and its bytes in
// the unit image (34 bytes from 6 + 34 (n - 1); inputs 10-12 also a J-parameter block).
#include "datamodel/JData.h"
#include "datamodel/XelQrnExport.h"

#include <QByteArray>
#include <QString>

class RecordReader;
class RecordWriter;

class XELQRN_EXPORT XelDigitalIn {
public:
    static constexpr int kTerminalLength = 10;
    static constexpr int kTextLength = 30;
    static constexpr int kInfoLength = 512;
    static constexpr int kRecordBytes = 579;

    XelDigitalIn();

    // Inputs 1 to 6 are the ones whose wire the unit watches for a break: only they offer
    // broken-wire detection, need a Normally Open contact to shut down, and may shut down in a
    // classifiable project.
    static constexpr bool IsBrokenWireInput(int index) { return index >= 1 && index <= 6; }

    bool Active() const { return m_rec.Active; }
    void SetActive(bool v) { m_rec.Active = v; }
    quint8 Index() const { return m_rec.Index; }
    void SetIndex(qint32 v);
    // All 10 characters, blank-padded.
    QString Terminal() const { return m_rec.Terminal; }
    void SetTerminal(const QString& v);
    qint32 SwitchType() const { return m_rec.SwitchType; }
    void SetSwitchType(qint32 v);
    qint32 Action() const { return m_rec.Action; }
    void SetAction(qint32 v);
    quint8 Delay() const { return m_rec.Delay; }
    void SetDelay(qint32 v);
    // Trailing blanks removed.
    QString Text() const;
    void SetText(const QString& v);
    quint8 InitialDelay() const { return m_rec.InitialDelay; }
    void SetInitialDelay(qint32 v);
    bool OnRunOnly() const { return m_rec.OnRunOnly; }
    void SetOnRunOnly(bool v) { m_rec.OnRunOnly = v; }
    bool RUNAlsoDetectedBy() const { return m_rec.RUNAlsoDetectedBy; }
    void SetRUNAlsoDetectedBy(bool v) { m_rec.RUNAlsoDetectedBy = v; }
    bool BrokenWireDetection() const { return m_rec.BrokenWireDetection; }
    void SetBrokenWireDetection(bool v) { m_rec.BrokenWireDetection = v; }
    qint32 InputType() const { return m_rec.InputType; }
    void SetInputType(qint32 v);
    JData JValues() const { return m_rec.JValues; }
    void SetJValues(const JData& v) { m_rec.JValues = v; }
    // All 512 characters, blank-padded.
    QString Info() const { return m_rec.Info; }
    void SetInfo(const QString& v);

    // Library-internal: the document and the collection call these.
    bool Changed() const;
    void ResetBackup();
    bool ReadFromFile(RecordReader& reader, const QString& fileVersion);
    bool WriteToFile(RecordWriter& writer);
    bool FromImage(const QByteArray& image, const QString& sFirmware);
    bool ToImage(QByteArray& image, QString* failedField = nullptr) const;

private:
    struct Record {
        quint8 Index = 0;
        QString Terminal;
        bool Active = false;
        QString Text;
        quint8 Action = 0;
        quint8 SwitchType = 0;
        bool OnRunOnly = false;
        quint8 InitialDelay = 0;
        quint8 Delay = 0;
        bool RUNAlsoDetectedBy = false;
        bool BrokenWireDetection = false;
        JData JValues;
        qint16 InputType = 0;
        QString Info;
    };
    // First image byte of this input; -1 for an index outside 1..12.
    int ImageBase() const;
    // Its J-parameter block; -1 for inputs without one (1 to 9).
    int BlockBase() const;

    Record m_rec;
    Record m_backup;
};
