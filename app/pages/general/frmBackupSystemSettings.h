#pragma once
// The unit's backup-system switches as they must stand for a setup: two hexadecimal rotary
// switches for the pulse number of pickup one, one for the overspeed, and six levers for the
// shutdown switch inputs 1 to 6. The computation is a plain function the reports share.
#include <QDialog>
#include <QString>
#include <array>

class MainState;
class QLabel;
class QPushButton;
class XelObject;

struct BackupSwitchPositions {
    QString S1 = QStringLiteral("0"); // pulses, most significant hex digit
    QString S2 = QStringLiteral("0"); // pulses, least significant hex digit
    QString S3 = QStringLiteral("F"); // overspeed position in the switch code table
    std::array<bool, 6> S4{};         // lever n+1 ON
};

// The switch positions for the setup; nothing is written into it.
BackupSwitchPositions BackupSwitchSettings(const XelObject& setup);
// The pulse number the S1/S2 switches show (0 unless pickup one is local; teeth halved).
int BackupPulseNumber(const XelObject& setup);

class frmBackupSystemSettings : public QDialog {
    Q_OBJECT
public:
    explicit frmBackupSystemSettings(MainState& state, QWidget* parent = nullptr);

    void SetXelObject(::XelObject* setup) { m_setup = setup; }
    ::XelObject* XelObject() const { return m_setup; }

    // Computes the positions from the setup and draws them.
    void InitSettings();

    // What is drawn now.
    const BackupSwitchPositions& Positions() const { return m_positions; }
    QString SwitchText(int i) const; // lblSwitch(i), i 0..2
    bool LeverOn(int lever) const;   // lever 1..6 in the upper position

private:
    ::XelObject* m_setup = nullptr;
    BackupSwitchPositions m_positions;
    QLabel* lblSwitch[3] = {};
    class LeverSwitch* m_levers = nullptr;
    QPushButton* cmdClose = nullptr;
};
