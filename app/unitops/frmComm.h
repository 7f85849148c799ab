#pragma once
// The setup transfer dialog: moves the unit memory image between the open setup and the unit,
// in five marked steps, and verifies every transfer by reading the image back.
#include "app/unitops/UnitCommandStop.h"

#include <QDialog>
#include <QIcon>
#include <QString>
#include <QVector>

#include <memory>
#include <optional>

class Comm;
class MainState;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;
class XelObject;

class frmComm : public QDialog {
    Q_OBJECT
public:
    enum TransferStep { OpenLink = 0, CheckControlUnit = 1, TransferImage = 2, VerifySetupImage = 3, CloseLink = 4 };
    enum TransferStepState { Busy = 0, Done = 1, Failed = 2 };

    explicit frmComm(MainState& state, QWidget* parent = nullptr);
    ~frmComm() override;

    // True when the last transfer ran to its end (a transmit: also verified).
    bool Success() const { return m_success; }
    // Sets the document and writes the summary's first line.
    void SetXelObject(::XelObject* setup);
    // 1 receives; any other value transmits.
    void SetCommType(qint16 type);
    // The firmware version the caller read for this command (the image was built for it).
    // When set, a unit that now reports another version gets nothing.
    void SetFirmware(const QString& firmware) { m_expectedFirmware = firmware; }

    void LoadSetup();
    void SaveSetup();

    // The stored state of a step's mark; -1 when the step has none.
    int StepState(int step) const;
    bool IsBusy() const { return m_busy; }
    // The transfer of this showing has ended.
    bool Finished() const { return m_finished; }
    int HelpContextID() const { return m_helpContext; }

    // Why the last transfer did not succeed, as one line for a script: the step that failed, a
    // read-back that differed, or a stop signal; empty after a success.
    QString FailureReason() const;

    // Bytes a transfer moves for a unit with this firmware version.
    static int SetupImageSize(const QString& firmware);

    // The close box: refused while a transfer runs.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool BeginTransfer();
    void RunTransfer();
    void cmdOK_Click();
    void Pause(int ms);
    void SetStepState(int step, int state);
    void SetBusy(bool flag);
    void AppendSummary(const QString& line);
    void AppendSetupSummary();
    void ShowFixedMessage(const QString& text, int style);

    bool StepOpenLink();
    bool UnitAnswers();
    bool StepCheckControlUnit(bool readOnly);
    bool StepReceiveSetupImage(QVector<qint32>& words, const QString& firmware);
    bool StepTransmitSetupImage(QVector<qint32>& words, const QString& firmware);
    bool StepVerifySetupImage(const QVector<qint32>& words);
    bool StepCloseLink(bool isReceive);
    // Relocks the unit when this transfer unlocked it, and ends the link.
    void ReleaseLink();
    bool FirmwareAgrees(const QString& firmware);
    void StopBySignal();
    void EndTransfer();
    void Finish();

    MainState& m_state;
    ::XelObject* m_setup = nullptr;
    qint16 m_commType = 0;
    int m_helpContext = 19;
    QString m_expectedFirmware;
    QString m_firmware;
    std::unique_ptr<Comm> m_comm;
    QVector<qint32> m_words;
    bool m_success = false;
    bool m_busy = false;
    bool m_cancel = false;
    bool m_started = false;
    bool m_finished = false;
    bool m_unlocked = false;
    bool m_relocking = false;
    int m_mismatch = -1;                 // the first register the read-back differed in
    std::optional<unitops::UnitLinkScope> m_linkStop;

    QVector<QIcon> imlComm;
    QPlainTextEdit* txtCommSummary = nullptr;
    QVector<QLabel*> lblAction;
    QVector<QLabel*> picCheck;
    QPushButton* cmdOK = nullptr;
    QLabel* lblComm = nullptr;
};
