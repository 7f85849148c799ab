#pragma once
// The Switch page built on its own: a default setup, the shared state, a stand-in Main page
// for the classifiable box, and optionally the shipped reference database.
#include "app/setupdefaults/DefaultSetup.h"
#include "app/pages/MainState.h"
#include "app/pages/PageApis.h"
#include "app/pages/channels/DigitalListView.h"
#include "app/pages/channels/SwitchPage.h"
#include "app/pages/common/PageCommon.h"
#include "app/services/clsADO.h"
#include "extra/extra.h"
#include "datamodel/XelDigitalIn.h"
#include "datamodel/XelMain.h"
#include "datamodel/XelObject.h"
#include "datamodel/cDigitalIn.h"
#include "tests/common/Doubles.h"
#include "tests/common/QuietMainPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <memory>


class SwitchPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(extra::LoadLanguageLibrary());
        doc = CreateDefaultSetupDocument();
        state.SetXelObject(doc.get());
        state.mainPage = &mainPage;
        page = std::make_unique<SwitchPage>(state, nullptr);
        state.switchPage = page.get();
        page->show();
        page->LoadDigital();
    }
    void TearDown() override
    {
        page.reset();
        extra::FreeLanguageLibrary();
    }

    void OpenDatabase()
    {
        ado = std::make_unique<clsADO>();
        bool ok = false;
        ado->InitDatabase(QCoreApplication::applicationDirPath() + "/Quarno.mdb", ok);
        ASSERT_TRUE(ok);
        state.ADO = ado.get();
    }

    // Rebuilds the page's list after the test changed the setup behind it.
    void Reload()
    {
        page->LoadDigital();
        doc->ResetBackup();
    }

    template <class T>
    T* Find(const char* name) const
    {
        T* w = page->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QTreeWidget* List() const { return Find<QTreeWidget>("lvwDigital"); }
    QTreeWidgetItem* Row(int n) const { return List()->topLevelItem(n - 1); }
    XelDigitalIn* In(int n) const { return doc->DigitalIn()->Item(pagecommon::ItemKey(n)); }
    void Select(int n) { page->ShowDigitalChannel(Row(n)); }
    QStringList ComboTexts(const char* name) const
    {
        QStringList texts;
        QComboBox* combo = Find<QComboBox>(name);
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i);
        return texts;
    }
    // A choice in a combo as the user makes it, with the combo holding the focus.
    void Choose(const char* combo, const QString& text, bool withFocus = true)
    {
        QComboBox* box = Find<QComboBox>(combo);
        if (withFocus) {
            if (box == page->cmbDigitalAction)
                page->SetDigitalActionFocus(true);
            if (box == page->cmbDigitalSwitchType)
                page->SetDigitalSwitchTypeFocus(true);
        }
        const int i = box->findText(text);
        ASSERT_GE(i, 0) << text.toStdString();
        box->setCurrentIndex(i);
        page->SetDigitalActionFocus(false);
        page->SetDigitalSwitchTypeFocus(false);
    }
    // A click on a check box's indicator, as the user makes it.
    static void Click(QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2)); }
    // Typing character by character, any character the keyboard can give.
    static void Type(QWidget* w, const QString& text)
    {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(w, &press);
        }
    }
    QStringList Messages() const
    {
        QStringList texts;
        for (const auto& m : doubles.presenter.shown)
            texts << m.text;
        return texts;
    }

    testing_doubles::PlatformDoubles doubles;
    std::unique_ptr<XelObject> doc;
    MainState state;
    QuietMainPage mainPage;
    std::unique_ptr<clsADO> ado;
    std::unique_ptr<SwitchPage> page;
};
