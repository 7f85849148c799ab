#pragma once
// A Speed Sensor page on its own, over a new default setup.
#include "app/setupdefaults/DefaultSetup.h"
#include "app/pages/MainState.h"
#include "app/pages/general/SpeedSensorPage.h"
#include "extra/extra.h"
#include "controls/Container.h"
#include "controls/Float.h"
#include "controls/Number.h"
#include "datamodel/XelObject.h"
#include "tests/common/Doubles.h"

#include <QComboBox>
#include <QLabel>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <memory>

class SpeedSensorPageFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(extra::LoadLanguageLibrary());
        setup = CreateDefaultSetupDocument();
        state.SetXelObject(setup.get());
        page = std::make_unique<SpeedSensorPage>(state);
        state.speedSensorPage = page.get();
        page->show();
    }
    void TearDown() override { extra::FreeLanguageLibrary(); }

    // What the frame's show-setup routine does for this page, with the page on show.
    void ShowSetup()
    {
        page->LoadSpeedSensor();
        page->LoadSpeedRelays();
        page->SetPickupFramesEnabled(false);
        page->ShowTabPage();
    }

    template <class T>
    T* Find(const char* name)
    {
        T* w = page->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString LastMessage() const
    {
        return doubles.presenter.shown.isEmpty() ? QString() : doubles.presenter.shown.last().text;
    }

    testing_doubles::PlatformDoubles doubles;
    std::unique_ptr<XelObject> setup;
    MainState state;
    std::unique_ptr<SpeedSensorPage> page;
};
