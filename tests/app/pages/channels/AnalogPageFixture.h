#pragma once
// The "Analog In" page on its own: a default setup, the shipped reference database, the
// platform doubles and fakes of the pages it calls.
#include "app/setupdefaults/DefaultSetup.h"
#include "app/pages/MainState.h"
#include "app/pages/PageApis.h"
#include "app/pages/channels/AnalogInPage.h"
#include "app/pages/channels/AnalogListView.h"
#include "app/pages/common/PageCommon.h"
#include "app/services/clsADO.h"
#include "extra/extra.h"
#include "controls/Container.h"
#include "controls/Float.h"
#include "controls/Number.h"
#include "controls/TarnGraph.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "datamodel/cAnalogIn.h"
#include "tests/common/Doubles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QScrollBar>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

inline std::ostream& operator<<(std::ostream& os, const QString& s) { return os << s.toStdString(); }

namespace analogtest {

// Counts what the page asks of the relay page.
class FakeRelays : public RelaysPageApi {
public:
    int ghosted = 0;
    void SetRelaysDefaults() override {}
    void SetRelaysNewDefaults() override {}
    void LoadRelays() override {}
    void LoadRelaysNew() override {}
    void RefreshRelayLists() override {}
    void GhostRelaysForAnalogInputs() override { ++ghosted; }
    bool HasPreheatRelay() override { return false; }
    void UpdateRelayButtons() override {}
    void DisableRemoveButtons() override {}
    void FocusRelayNewList() override {}
    QString RelayRowText(int, const QString&) override { return QString(); }
};

// One modal window the page showed: its name and which labels it showed.
struct ShownWindow {
    QString name;
    QStringList visibleLabels;
};

class AnalogPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(extra::LoadLanguageLibrary());
        doc = CreateDefaultSetupDocument();
        state.SetXelObject(doc.get());
        bool ok = false;
        ado.InitDatabase(QString(), ok);
        ASSERT_TRUE(ok);
        state.ADO = &ado;
        state.relaysPage = &relays;
        page = std::make_unique<AnalogInPage>(state);
        state.analogPage = page.get();
        page->RunModal = [this](QDialog& dialog) {
            ShownWindow shown{dialog.objectName(), {}};
            for (QLabel* label : dialog.findChildren<QLabel*>())
                if (!label->objectName().isEmpty() && label->isVisibleTo(&dialog))
                    shown.visibleLabels << label->objectName();
            windows.append(shown);
        };
        page->resize(pagecommon::Twips(9600), pagecommon::Twips(6300));
        page->show();
        page->LoadAnalog();
    }

    XelAnalogIn* Input(int n) { return doc->AnalogIn()->Item(pagecommon::ItemKey(n)); }
    QTreeWidgetItem* Row(int n) { return page->lvwAnalog->topLevelItem(n - 1); }

    // A click on the row, as the user makes it.
    void Click(int n)
    {
        QTreeWidgetItem* row = Row(n);
        ASSERT_NE(row, nullptr);
        page->lvwAnalog->scrollToItem(row);
        QTest::mouseClick(page->lvwAnalog->viewport(), Qt::LeftButton, {},
                          page->lvwAnalog->visualItemRect(row).center());
        ASSERT_EQ(page->lvwAnalog->currentItem(), row);
    }

    // Turns J1939/J1587 support on as the Main page does.
    void SetCAN(bool on)
    {
        doc->SetCANSupport(on);
        page->AnalogCANChanged(on);
    }

    template <class T>
    T* Find(const char* name)
    {
        T* w = page->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    QList<int> ItemData(QComboBox* combo)
    {
        QList<int> values;
        for (int i = 0; i < combo->count(); ++i)
            values << combo->itemData(i).toInt();
        return values;
    }

    int Messages() const { return int(doubles.presenter.shown.size()); }
    QString LastMessage() const { return doubles.presenter.shown.isEmpty() ? QString() : doubles.presenter.shown.last().text; }

    testing_doubles::PlatformDoubles doubles;
    std::unique_ptr<XelObject> doc;
    MainState state;
    clsADO ado;
    FakeRelays relays;
    std::unique_ptr<AnalogInPage> page;
    QList<ShownWindow> windows;
};

} // namespace analogtest
