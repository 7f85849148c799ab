#pragma once
// The "Main" page: the general settings of the open setup, the unit identity labels and the
// options that reach the other pages (operation mode, J1939/J1587, classifiable project).
#include "app/pages/PageApis.h"

#include <QStringList>
#include <QWidget>

#include <memory>

class MainState;
class XelMain;
class XelObject;
class clsADO;
class clsJData;
class Container;
class Number;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class MainPage : public QWidget, public MainPageApi {
    Q_OBJECT
public:
    MainPage(MainState& state, QWidget* parent = nullptr);
    ~MainPage() override;

    // MainPageApi
    bool InitDatabaseCombos() override;
    void SetLanguageList(const QStringList& names) override;
    void SelectDefaultLCDLightScale() override;
    void SetMainDefaults() override;
    void LoadMain() override;
    bool ValidateMain() override;
    void UpdateClassifiedInfo() override;
    void UpdateClassifiedCheck(bool check) override;
    bool ClassifiedChecked() override;
    QString ClassifiedTag() override;
    void UpdateIDNumberLabel() override;
    void UpdateMIDLabel() override;
    void UpdateStandbyTab() override;
    QString FormatLastKnownStatus() override;
    void SetLastKnownStatusText(const QString& text) override;
    QString LanguageText() override;
    QString OperationModeText() override;
    void CreateJDataObjects() override;
    void SwitchOffCAN() override;

    // The page routines on a given document.
    void ShowSecretSettings() override;
    void ShowIDNumber() override { OpenIDNumber(); }
    void SetClassifiedTag(const QString& tag) override;
    void InitMainControls();
    void ShowMain(XelMain& main);
    void StoreMain(XelMain& main);
    static QString FormatLastKnownStatus(XelObject& setup);
    // True when a switch or analog input of the setup uses a shutdown action.
    static bool HasShutdownInputs(XelObject& setup);
    // The inputs that keep the setup from being classifiable (indexes).
    static void ClassifiedBlockers(XelObject& setup, QList<int>& digital, QList<int>& analog);
    // The blocking inputs as the tool tip names them ("" when nothing blocks).
    static QString ClassifiedBlockText(const QList<int>& digital, const QList<int>& analog);

private:
    void BuildControls();
    void ConnectHandlers();
    XelObject* Setup() const;
    bool SetupLoading() const;

    // Handlers.
    void OnOperationModeChanged();
    // asked: the question about bus inputs in use has been answered elsewhere.
    void OnCANToggled(bool on, bool asked = false);
    void OnClassifiedToggled(bool checked);
    void OnLCDLightScaleChanged();
    void OnLCDLightDelayChanged();
    void OnOutputChanged();
    void OnDiagnosticsToggled();
    void OnEngineTypeChanged();
    void OnEngineHoursChanged();
    void StoreCurrent();
    void ShowCANDetails(bool on);
    void ShowLightDelay(int code);
    void OpenIDNumber();
    void OpenCANSettings();
    void OpenCANDiagnosis();
    void MoveFollowingButton(QLabel* label, QPushButton* button);
    static void ShowLightDelayMessage(int id, int min, int max);
    void SetPanelVisible(const QString& key, bool visible);
    // The box, its enabled state and the status panel from the stored mark.
    void ShowClassifiedState();

    MainState& m_state;
    std::unique_ptr<clsADO> m_ownADO;
    std::unique_ptr<clsJData> m_ownJDataAnalog;
    std::unique_ptr<clsJData> m_ownJDataDigital;
    bool m_loading = false;          // the Main loading flag
    bool m_userChangedClassified = false;
    bool m_classifiedBlockKnown = false;   // the inputs were checked since the setup was shown
    bool m_classifiedBlocked = false;      // inputs keep the setup from being classifiable
    bool m_classifiedNewlyBlocked = false; // an edit of an input has just blocked it
    bool m_restoringMode = false;    // the mode list is being put back after a "No"
    bool m_lightDelayInUse = false;  // the delay box is shown and enabled
    int m_shownLightCode = -1;       // the code the page showed from the setup

    QGroupBox* fraMain = nullptr;
    QComboBox* cmbMainOperationMode = nullptr;
    QPlainTextEdit* txtMainDescription = nullptr;
    QLabel* lblMainLanguage = nullptr;
    QComboBox* cmbMainLanguage = nullptr;
    QLabel* lblMainLCDLightDelay = nullptr;
    Number* numMainLCDLightDelay = nullptr;
    QComboBox* cmbMainLCDLightScale = nullptr;
    QCheckBox* chkMainInvertLCDOnAlarm = nullptr;
    QCheckBox* chkMainAckOnWarning = nullptr;
    QCheckBox* chkMainShutdownOverride = nullptr;
    QCheckBox* chkMainClassified = nullptr;
    QCheckBox* chkMainCAN = nullptr;
    Container* conMainMID = nullptr;
    QLabel* lblMainMID = nullptr;
    QPushButton* cmdMainMIDChange = nullptr;
    Container* conMainCANDiagnosis = nullptr;
    QCheckBox* chkMainDiagnostics = nullptr;
    QPushButton* cmdMainCANDiagnosis = nullptr;
    QLabel* lblMainComliID = nullptr;
    QPushButton* cmdMainComliIDChange = nullptr;
    QLabel* lblMainEngine = nullptr;
    QComboBox* cmbMainEngineType = nullptr;
    QLabel* lblMainEngineHours = nullptr;
    QComboBox* cmbMainEngineHours = nullptr;
    QLabel* lblMainOutput = nullptr;
    QComboBox* cmbMainOutput = nullptr;
    QLineEdit* txtMainFirmware = nullptr;
};
