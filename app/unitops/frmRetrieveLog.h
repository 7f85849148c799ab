#pragma once
// Downloads the unit's information, counters and event log as plain text over a port of its
// own (three two-byte requests, each answer ending after 2000 ms of silence), writes the bytes
// to a file and opens it in the user's text viewer.
#include "app/unitops/UnitCommandStop.h"

#include <QDialog>
#include <QString>

#include <memory>
#include <optional>

class FrameApi;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace platform {
class SerialPort;
}

class frmRetrieveLog : public QDialog {
    Q_OBJECT
public:
    // A section ends after this much silence on the line.
    static constexpr int kSilenceMs = 2000;
    // A unit that sends without end cannot hold the download: a section keeps at most this
    // many bytes and lasts at most this long; the text says where it was cut.
    static constexpr int kMaxSectionBytes = 512 * 1024;
    static constexpr int kMaxSectionMs = 15 * 60 * 1000;

    enum class State { Unsupported, Polling, Downloading, Done };

    // Reads the unit's version and starts polling for a unit (unless the unit is too old).
    explicit frmRetrieveLog(QWidget* parent = nullptr, FrameApi* frame = nullptr);
    ~frmRetrieveLog() override;

    State CurrentState() const { return m_state; }
    // The folder the finished log is written to (default: "Quarno" in the user's temporary folder).
    QString LogFolder() const { return m_logFolder; }
    void SetLogFolder(const QString& folder) { m_logFolder = folder; }
    // The file the last download was written to; empty before.
    QString LogFile() const { return m_logFile; }
    // The log as the unit sent it, with the program's header and titles; the file holds
    // exactly these bytes.
    QByteArray RetrievedLogBytes() const { return m_log; }
    // The same decoded from the unit's code page, as shown.
    QString RetrievedLogText() const;

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void OnTimer();
    void Poll();
    void OnDownload();
    void SendSection(int section);
    void OnBytesArrived();
    void EndSection(const QString& note = QString());
    void Finish();
    void StopPort();
    void ShowText();
    void SetMessage(bool noUnit, bool ready, bool retrieving);
    void StartPolling(int firstIntervalMs);
    QString DateText() const;

    QLabel* m_lblLog[5];
    QPushButton* m_cmdDownload;
    QPushButton* m_cmdCancel;
    QWidget* m_picLog;
    QProgressBar* m_proLog;
    QTimer* m_timTimer;
    std::unique_ptr<platform::SerialPort> m_port;
    // The download is a unit command of its own: a stop signal closes the port and the window.
    std::optional<unitops::UnitCommandScope> m_downloadCommand;
    std::optional<unitops::UnitLinkScope> m_downloadLink;

    State m_state = State::Polling;
    QString m_firmware;
    QString m_logFolder;
    QString m_logFile;
    QByteArray m_log;
    QByteArray m_answer;
    int m_section = 0;
    qint64 m_lastArrival = 0;
    qint64 m_sectionStart = 0;
    bool m_sectionCut = false;
    bool m_polling = false;
    bool m_closeAfterPoll = false;
};
