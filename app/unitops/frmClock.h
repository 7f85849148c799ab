#pragma once
// The clock of a first-generation unit: date and time from five boxes, or the PC clock in UTC,
// written into the unit's clock block in one register write.
#include <QDialog>
#include <QVector>

class FrameApi;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QTimer;

class frmClock : public QDialog {
    Q_OBJECT
public:
    explicit frmClock(QWidget* parent = nullptr, FrameApi* frame = nullptr);

    // The PC clock in UTC as "DD MM YYYY HH MM".
    static QString PCClockText();
    // The five box values (minute, hour, day, month, year) when they form a valid entry
    // (a real date, hour 0..23, minute 0..59); empty otherwise.
    QVector<qint32> ValidEntry() const;
    bool Writing() const { return m_writing; }

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FillFromText(const QString& text);
    void OnSyncToggled(bool checked);
    void OnTick();
    void OnOK();
    qint32 BoxValue(int box) const;

    QLineEdit* m_txtDate[5];
    QCheckBox* m_chkSync;
    QTimer* m_timDateTime;
    QPushButton* m_cmdOK;
    QPushButton* m_cmdCancel;
    QString m_lastClockText;
    bool m_writing = false;
};
