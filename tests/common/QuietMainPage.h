#pragma once
// The Main page as the other pages and the frame's dispatch see it: every routine does nothing,
// validation counts its calls and gives `valid`, the classified mark is `classifiedChecked`.
#include "app/pages/PageApis.h"

#include <QString>
#include <QStringList>

class QuietMainPage : public MainPageApi {
public:
    bool valid = true;
    int validated = 0;
    bool classifiedChecked = false;
    int classifiedInfoCalls = 0;
    int classifiedCheckCalls = 0;
    bool InitDatabaseCombos() override { return true; }
    void SetLanguageList(const QStringList&) override {}
    void SelectDefaultLCDLightScale() override {}
    void SetMainDefaults() override {}
    void LoadMain() override {}
    bool ValidateMain() override { ++validated; return valid; }
    void UpdateClassifiedInfo() override { ++classifiedInfoCalls; }
    void UpdateClassifiedCheck(bool) override { ++classifiedCheckCalls; }
    bool ClassifiedChecked() override { return classifiedChecked; }
    QString ClassifiedTag() override { return {}; }
    void UpdateIDNumberLabel() override {}
    void UpdateMIDLabel() override {}
    void UpdateStandbyTab() override {}
    QString FormatLastKnownStatus() override { return {}; }
    void SetLastKnownStatusText(const QString&) override {}
    QString LanguageText() override { return {}; }
    QString OperationModeText() override { return {}; }
};
