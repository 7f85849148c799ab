#pragma once
// The about box: program and file-format versions, and the connected unit's versions, read
// once right after the box opens.
#include <QDialog>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    using VersionReader = std::function<QString(bool firmware)>;

    explicit frmAbout(QWidget* parent = nullptr);
    ~frmAbout() override;
    void SetQRNVersion(const QString& version);
    // The unit read; without one both values read "N/A".
    void SetVersionReader(VersionReader reader) { m_reader = std::move(reader); }
    bool VersionsRead() const { return m_read; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void ReadVersions();

    VersionReader m_reader;
    QLabel* m_fw = nullptr;
    QLabel* m_hw = nullptr;
    QLabel* m_qrn = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QPushButton* m_ok = nullptr;
    QTimer* m_timer = nullptr;
    bool m_reading = false;
    bool m_read = false;
    bool m_closeWanted = false;
    std::shared_ptr<bool> m_alive;
};
