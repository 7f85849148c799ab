#pragma once
// The "Info." page: the engine name and the text of the unit's information window, and the
// template file they can be loaded from and saved to.
#include "app/pages/PageApis.h"

#include <QWidget>

class MainState;
class InfoWindow;
class XelInfo;
class XelObject;
class QLabel;
class QLineEdit;
class QPushButton;

class InfoPage : public QWidget, public InfoPageApi {
    Q_OBJECT
public:
    static constexpr int kHeadLength = 12;
    static constexpr int kTailLength = 26;

    InfoPage(MainState& state, QWidget* parent = nullptr);

    // InfoPageApi
    void SetInfoDefaults() override;
    void LoadInfo() override;

    void ShowInfo(XelInfo& part);
    void StoreInfo(XelInfo& part);
    // The commands of the two buttons.
    void LoadTemplate();
    void SaveTemplate();

private:
    void BuildControls();
    void ShowName(const QString& name);
    QString NameText() const;
    // The text as the page shows a stored one: name, CR LF and the window in the editor's limits.
    static QString ShownText(const QString& stored);
    void StoreCurrent();

    MainState& m_state;
    bool m_loading = false;   // the Info loading flag
    bool m_tailShown = false; // txtInfo(1) is part of the page

    QLabel* lblInfo[2] = {};
    QLineEdit* txtInfo[2] = {};
    InfoWindow* txtInfoWindow = nullptr;
    QPushButton* cmdInfoLoad = nullptr;
    QPushButton* cmdInfoSave = nullptr;
};
