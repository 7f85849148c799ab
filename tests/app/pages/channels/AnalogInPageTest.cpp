// The "Analog In" page driven by its control names: channels, list, combos and layout.
#include "tests/app/pages/channels/AnalogPageFixture.h"

#include <QHeaderView>

using namespace analogtest;

TEST_F(AnalogPageTest, NewSetupListsElevenInactiveChannels)
{
    QTreeWidget* list = Find<QTreeWidget>("lvwAnalog");
    ASSERT_EQ(list->topLevelItemCount(), 11);
    for (int n = 1; n <= 11; ++n) {
        EXPECT_EQ(pagecommon::RowKey(Row(n)), pagecommon::ItemKey(n));
        EXPECT_EQ(Row(n)->text(0), QString::number(n));
        EXPECT_EQ(pagecommon::RowPicture(Row(n)), 27) << n;
    }
    EXPECT_EQ(Row(1)->text(1), "19-20");
    EXPECT_EQ(Row(5)->text(1), "27-28 (AX-2:1-2)");
    EXPECT_EQ(Row(6)->text(1), "AX-2:3-4");
    EXPECT_EQ(Row(11)->text(1), "AX-2:13-14");
    EXPECT_EQ(Find<QLabel>("lblAnalogCount")->text(), "None Active");
    XelAnalogIn* input = Input(7);
    EXPECT_EQ(input->SensorMax(), 1000);
    EXPECT_EQ(input->AlarmDelay(), 2);
    EXPECT_EQ(input->RPM(1), 1200);
}

TEST_F(AnalogPageTest, BusChannelsComeAndGoWithTheSupport)
{
    SetCAN(true);
    ASSERT_EQ(doc->AnalogIn()->Count(), 17);
    ASSERT_EQ(page->lvwAnalog->topLevelItemCount(), 17);
    for (int n = 12; n <= 17; ++n) {
        EXPECT_EQ(Row(n)->text(1), "J1939") << n;
        EXPECT_EQ(Input(n)->InputType(), 4);
        EXPECT_EQ(Input(n)->SensorMax(), 1000);
        EXPECT_EQ(Input(n)->RPM(0), 600);
    }
    // A second switch-on adds nothing.
    page->AnalogCANChanged(true);
    EXPECT_EQ(doc->AnalogIn()->Count(), 17);
    Input(3)->SetText("kept");
    SetCAN(false);
    EXPECT_EQ(doc->AnalogIn()->Count(), 11);
    EXPECT_EQ(page->lvwAnalog->topLevelItemCount(), 11);
    EXPECT_EQ(Input(3)->Text(), "kept");
}

TEST_F(AnalogPageTest, CombosFollowChannelModeAndSupport)
{
    struct Case {
        qint32 mode;
        bool can;
        int channel;
        QList<int> types, actions;
    } cases[] = {
        {0, false, 1, {0, 1, 2}, {0, 1, 2, 4, 3, 5, 7, 6, 8}},
        {0, false, 3, {0, 1}, {0, 1, 2, 4, 3, 5, 7, 6, 8}},
        {0, true, 1, {0, 1, 2, 4, 3}, {0, 1, 2, 4, 3, 5, 7, 6, 8}},
        {1, true, 11, {0, 1, 4, 3}, {0, 1, 2, 4, 3, 5, 7, 6, 8}},
        {0, true, 12, {4, 3}, {0, 1, 2, 4}},
        {3, false, 2, {0, 1}, {0, 1, 2, 4, 7, 6}},
        {2, false, 4, {0, 1}, {0, 1, 2, 4, 3, 5, 7, 6, 8}},
    };
    for (const Case& c : cases) {
        doc->Main()->SetOperationMode(c.mode);
        if (doc->Main()->CAN() != c.can)
            SetCAN(c.can);
        page->LoadAnalog();
        Click(c.channel);
        EXPECT_EQ(ItemData(page->cmbAnalogInputType), c.types) << c.mode << " " << c.channel;
        EXPECT_EQ(ItemData(page->cmbAnalogAction), c.actions) << c.mode << " " << c.channel;
    }
    // An input-type list number out of range leaves the combo alone.
    const QList<int> before = ItemData(page->cmbAnalogInputType);
    page->FillAnalogInputTypeCombo(5, true);
    EXPECT_EQ(ItemData(page->cmbAnalogInputType), before);
}

TEST_F(AnalogPageTest, EmergencyLowersShutdownActionsOnlyOnce)
{
    Input(2)->SetAction(5);
    Input(3)->SetAction(8);
    Input(4)->SetAction(3);
    page->LoadAnalog();
    Click(2);
    doc->Main()->SetOperationMode(3);
    page->AnalogOperationModeChanged(true);
    EXPECT_EQ(Input(2)->Action(), 4);
    EXPECT_EQ(Input(3)->Action(), 6);
    EXPECT_EQ(Input(4)->Action(), 2);
    EXPECT_EQ(pagecommon::RowPicture(Row(2)), 8 + 26);
    EXPECT_EQ(page->lvwAnalog->currentItem(), Row(2));
    EXPECT_EQ(page->cmbAnalogAction->currentData().toInt(), 4);
    doc->Main()->SetOperationMode(0);
    page->AnalogOperationModeChanged(false);
    EXPECT_EQ(Input(2)->Action(), 4);
    // The channel keeps its own type list after the refill.
    EXPECT_EQ(ItemData(page->cmbAnalogInputType), (QList<int>{0, 1}));
}

TEST_F(AnalogPageTest, ModeListLoadedAfterABusInputLetsTheNextBusInputGetItsList)
{
    SetCAN(true);
    Input(12)->SetActive(true);
    Input(13)->SetActive(true);
    Click(12);
    EXPECT_EQ(ItemData(page->cmbAnalogAction), (QList<int>{0, 1, 2, 4}));
    page->AnalogOperationModeChanged(false);
    Click(13);
    EXPECT_EQ(ItemData(page->cmbAnalogAction), (QList<int>{0, 1, 2, 4}));
}

TEST_F(AnalogPageTest, ChoosingABusTypeRefillsTheActionsAndKeepsOnlyAllowedOnes)
{
    SetCAN(true);
    Input(2)->SetActive(true);
    Input(2)->SetAction(3);
    Click(2);
    pagecommon::SelectByItemData(page->cmbAnalogInputType, 4);
    EXPECT_EQ(Input(2)->InputType(), 4);
    EXPECT_EQ(ItemData(page->cmbAnalogAction), (QList<int>{0, 1, 2, 4}));
    EXPECT_EQ(Input(2)->Action(), 0);
    EXPECT_EQ(Row(2)->text(1), "J1939");
    EXPECT_GE(relays.ghosted, 1);
}

// The action combo shows an input's own action or none, never the one of the input shown before.
TEST_F(AnalogPageTest, AnActionTheListLacksShowsNoEntryAndStaysStored)
{
    SetCAN(true);
    Input(13)->SetActive(true);
    Input(13)->SetAction(1); // shown before each
    struct Case {
        int shown, storedAction;
        const char* text;
    } cases[] = {{12, 3, ""}, {14, 5, ""}, {15, 2, "Alarm"}}; // Shutdown actions are not in the bus list
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        Input(c.shown)->SetActive(true);
        Input(c.shown)->SetAction(c.storedAction);
        doc->ResetBackup();
        Click(13);
        Click(c.shown);
        EXPECT_EQ(page->cmbAnalogAction->currentText(), c.text);
        EXPECT_EQ(Input(c.shown)->Action(), c.storedAction);
        EXPECT_FALSE(doc->Changed());
    }
    pagecommon::SelectByItemData(page->cmbAnalogAction, 4);
    EXPECT_EQ(Input(15)->Action(), 4);
}

TEST_F(AnalogPageTest, ViewingInputsChangesNothing)
{
    // Values the page cannot show as they are, and rules that must not fire on mere viewing.
    Input(1)->SetRPM(0, 50);
    Input(3)->SetInputType(2); // 0..10V is not in channel 3's list
    Input(3)->SetActive(true);
    Input(4)->SetActive(true);
    Input(4)->SetRUNAlsoDetectedBy(true);
    Input(5)->SetText("Oil pressure");
    Input(6)->SetAction(6);
    Input(6)->SetActive(true);
    Input(6)->SetRPMLimit(1, 45);
    doc->ResetBackup();
    doubles.keys.shift = true;
    for (int n = 1; n <= 11; ++n)
        Click(n);
    for (int n = 11; n >= 1; --n)
        Click(n);
    EXPECT_FALSE(doc->Changed());
    EXPECT_EQ(Messages(), 0);
    EXPECT_TRUE(windows.isEmpty());
    EXPECT_EQ(Input(5)->Text(), "Oil pressure");
    Click(1);
    EXPECT_EQ(page->numAnalogSetpointRPM[0]->Value(), 50);
}

TEST_F(AnalogPageTest, ShownValuesAndLimitOffsetOfABusParameter)
{
    SetCAN(true);
    XelAnalogIn* input = Input(12);
    input->SetActive(true);
    input->SetAction(4);
    input->SetLimit(1, 1200);
    input->SetLimit(0, 1300);
    input->SetSensorMin(0);
    input->SetSensorMax(2500);
    JData j; // Engine Coolant Temperature: 18FEEE00, position 1, size 1, offset -40
    j.iMID = 16;
    j.lPID = 0xEE00;
    j.lPPID = 0x18FE;
    input->SetJValues(j);
    input->SetUnits(" bar ");
    Click(12);
    EXPECT_EQ(page->cmbAnalogJ->currentText(), "Engine Coolant Temperature");
    EXPECT_FLOAT_EQ(page->numAnalogLimit[1]->Value(), 80.0f);
    EXPECT_FLOAT_EQ(page->numAnalogLimit[0]->Value(), 90.0f);
    EXPECT_FLOAT_EQ(page->numAnalogSensorMin->Value(), -40.0f);
    EXPECT_FLOAT_EQ(page->numAnalogSensorMax->Value(), 210.0f);
    EXPECT_EQ(page->cmbAnalogUnits->currentText(), "bar");
    // Typing a limit stores it back without the offset.
    page->numAnalogLimit[1]->SetValue(12.3f);
    EXPECT_EQ(input->Limit(1), 523);
    // A stored parameter the map does not hold shows no selection.
    j.lPID = 0x1234;
    Input(13)->SetJValues(j);
    Input(13)->SetActive(true);
    Click(13);
    EXPECT_EQ(page->cmbAnalogJ->currentIndex(), -1);
}

TEST_F(AnalogPageTest, LayoutForEachKindOfInput)
{
    struct Case {
        const char* what;
        bool active;
        qint32 action, type;
        int channel;
        // children enabled / visible
        bool limitOn, warningOn, warningShown, alarmOn, alarmShown, shutdownOn, shutdownShown, setpointsOn,
            setpointsShown, graphShown, rangeLocked;
    } cases[] = {
        {"inactive", false, 2, 0, 2, false, false, true, false, true, false, true, false, false, false, true},
        {"warning", true, 1, 0, 2, true, true, true, false, true, false, true, false, false, false, false},
        {"alarm", true, 2, 0, 2, true, false, true, true, true, false, false, false, false, false, false},
        {"shutdown", true, 3, 0, 2, true, false, true, false, false, true, true, false, false, false, false},
        {"warning alarm", true, 4, 0, 2, true, true, true, true, true, false, false, false, false, false, false},
        {"warning shutdown", true, 5, 0, 2, true, true, true, false, false, true, true, false, false, false, false},
        {"rpm sensor", true, 7, 0, 2, false, false, false, false, false, false, false, true, true, true, false},
        {"rpm bus", true, 7, 4, 12, false, false, true, false, true, false, true, false, false, false, true},
        {"none", true, 0, 0, 2, false, false, true, false, true, false, true, false, false, false, false},
    };
    SetCAN(true);
    for (const Case& c : cases) {
        // An RPM-dependent input first, so that stale groups would show.
        Input(3)->SetActive(true);
        Input(3)->SetAction(6);
        Click(3);
        ASSERT_TRUE(page->conAnalogAlarmSetpoint[0]->isVisibleTo(page.get()));
        XelAnalogIn* input = Input(c.channel);
        input->SetActive(c.active);
        input->SetAction(c.action);
        input->SetInputType(c.type);
        Click(c.channel);
        SCOPED_TRACE(c.what);
        QWidget* p = page.get();
        EXPECT_EQ(page->conAnalogLimit->ChildrenEnabled(), c.limitOn);
        EXPECT_EQ(page->conAnalogLimitWarning->ChildrenEnabled(), c.warningOn);
        EXPECT_EQ(page->conAnalogLimitWarning->isVisibleTo(p), c.warningShown);
        EXPECT_EQ(page->conAnalogLimitAlarm->ChildrenEnabled(), c.alarmOn);
        EXPECT_EQ(page->conAnalogLimitAlarm->isVisibleTo(p), c.alarmShown);
        EXPECT_EQ(page->conAnalogLimitShutdown->ChildrenEnabled(), c.shutdownOn);
        EXPECT_EQ(page->conAnalogLimitShutdown->isVisibleTo(p), c.shutdownShown);
        for (Container* group : page->conAnalogAlarmSetpoint) {
            EXPECT_EQ(group->ChildrenEnabled(), c.setpointsOn);
            EXPECT_EQ(group->isVisibleTo(p), c.setpointsShown);
            if (c.setpointsShown)
                EXPECT_TRUE(group->Enabled());
        }
        EXPECT_EQ(page->graRPMDependentAlarm->isVisibleTo(p), c.graphShown);
        EXPECT_EQ(page->numAnalogSensorMin->Locked(), c.rangeLocked);
        EXPECT_EQ(page->numAnalogSensorMax->Locked(), c.rangeLocked);
        EXPECT_EQ(page->conAnalog->ChildrenEnabled(), c.active);
        EXPECT_EQ(page->conAnalogPID->ChildrenEnabled(), c.active && c.channel >= 12);
        EXPECT_EQ(page->conAnalogActionType->ChildrenEnabled(), c.active && c.action != 0 && c.type == 0);
    }
}

TEST_F(AnalogPageTest, GroupsAndMarkersOfTheShownInput)
{
    Input(2)->SetText("Oil pressure");
    Input(3)->SetText("   ");
    page->RefreshAnalogList();
    EXPECT_TRUE(pagecommon::RowBold(Row(2)));
    EXPECT_EQ(pagecommon::RowColor(Row(2)), QColor(255, 72, 72));
    EXPECT_FALSE(pagecommon::RowBold(Row(3)));
    Click(2);
    EXPECT_TRUE(page->picActionText[1]->isVisibleTo(page.get()));
    Click(3);
    EXPECT_FALSE(page->picActionText[1]->isVisibleTo(page.get()));
    // An active input with a long description shows the shorten hint.
    page->chkAnalogActive->setChecked(true);
    page->txtAnalogDescription->setText(QString(21, QLatin1Char('x')));
    EXPECT_TRUE(page->picActionText[2]->isVisibleTo(page.get()));
    page->txtAnalogDescription->setText(QString(20, QLatin1Char('x')));
    EXPECT_FALSE(page->picActionText[2]->isVisibleTo(page.get()));
    EXPECT_EQ(Row(3)->text(2), QString(20, QLatin1Char('x')));
    // Action on RUN only opens the initial delay, disabling the action type closes it.
    pagecommon::SelectByItemData(page->cmbAnalogAction, 2);
    page->chkAnalogAlarmOnRunOnly->setChecked(true);
    EXPECT_TRUE(page->conAnalogInitialDelay->ChildrenEnabled());
    EXPECT_TRUE(page->picActionText[6]->isVisibleTo(page.get()));
    page->conAnalogActionType->SetChildrenEnabled(false);
    EXPECT_FALSE(page->conAnalogInitialDelay->ChildrenEnabled());
    EXPECT_FALSE(page->picActionText[6]->isVisibleTo(page.get()));
    page->chkAnalogAlarmOnRunOnly->setChecked(false);
    page->conAnalogActionType->SetChildrenEnabled(true);
    EXPECT_FALSE(page->conAnalogInitialDelay->ChildrenEnabled());
    // The action-type group sits 30 twips below the limits.
    page->ShowSelectedAnalogInput();
    EXPECT_EQ(page->conAnalogActionType->y(),
              pagecommon::Twips(pagecommon::ToTwips(page->conAnalogLimit->y() + page->conAnalogLimit->height()) + 30));
    EXPECT_EQ(Find<QLabel>("lblAnalogCount")->text(), "1 Active");
}

TEST_F(AnalogPageTest, NoSelectionDisablesEveryGroupButTheSettings)
{
    Click(2);
    page->chkAnalogActive->setChecked(true);
    page->lvwAnalog->clearSelection();
    page->lvwAnalog->setCurrentItem(nullptr);
    page->ShowAnalogInput();
    for (Container* g : {page->conAnalogLimit, page->conAnalogLimitWarning, page->conAnalogLimitAlarm,
                         page->conAnalogLimitShutdown, page->conAnalogInitialDelay, page->conAnalogActionType,
                         page->conAnalogActionInfo, page->conAnalogPID})
        EXPECT_FALSE(g->ChildrenEnabled()) << g->objectName();
    EXPECT_FALSE(page->conAnalogLimitWarning->Enabled());
    EXPECT_TRUE(page->conAnalog->ChildrenEnabled());
}

TEST_F(AnalogPageTest, UnitsMoveTheSpeedBoxesBehindTheirLabels)
{
    Click(2);
    page->chkAnalogActive->setChecked(true);
    page->cmbAnalogUnits->setEditText("bar");
    EXPECT_EQ(Input(2)->Units(), "bar");
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(Find<QLabel>(QStringLiteral("lblAnalogUnits_%1").arg(i).toLatin1())->text(), "bar");
    for (int i = 0; i < 2; ++i) {
        QLabel* unit = page->lblAnalogUnits[4 + i];
        EXPECT_EQ(unit->text(), "bar at");
        Number* rpm = page->numAnalogSetpointRPM[i];
        EXPECT_EQ(rpm->x(), pagecommon::Twips(pagecommon::ToTwips(unit->x() + unit->width()) + 30));
        EXPECT_EQ(page->lblAnalog[14 + i]->x(), pagecommon::Twips(pagecommon::ToTwips(rpm->x() + rpm->width()) + 30));
    }
    const int before = page->numAnalogSetpointRPM[0]->x();
    page->cmbAnalogUnits->setEditText("mbar");
    EXPECT_GT(page->numAnalogSetpointRPM[0]->x(), before);
}

TEST_F(AnalogPageTest, RoutinesOfferedToTheOtherPages)
{
    AnalogPageApi* api = state.analogPage;
    Input(4)->SetActive(true);
    Input(4)->SetAction(3);
    Input(4)->SetActionDirection(1);
    Input(4)->SetRUNAlsoDetectedBy(true);
    EXPECT_EQ(api->AnalogPictureIndex(4), 5 + 13);
    EXPECT_EQ(api->AnalogPictureIndex(40), 0);
    api->UpdateAnalogListItem(4);
    EXPECT_EQ(pagecommon::RowPicture(Row(4)), 18);
    api->UpdateAnalogCount();
    EXPECT_EQ(page->lblAnalogCount->text(), "1 Active");
    api->SetDetailsEnabled(false);
    EXPECT_FALSE(page->conAnalog->ChildrenEnabled());
    EXPECT_FALSE(page->conAnalogPID->ChildrenEnabled());
    api->SetSensorRangeLocked(true);
    EXPECT_TRUE(page->numAnalogSensorMin->Locked());
    api->SetSensorRangeLocked(false);
    EXPECT_FALSE(page->numAnalogSensorMax->Locked());
    api->LimitUnitsText(4);
    page->cmbAnalogUnits->setEditText("kPa/s");
    QTest::keyClicks(page->cmbAnalogUnits->lineEdit(), "longer");
    EXPECT_LE(page->cmbAnalogUnits->currentText().size(), 5);
    api->SetActiveCheckEnabled(true);
    EXPECT_TRUE(page->chkAnalogActive->isEnabled());
    api->FillAnalogInputTypeCombo(3, true);
    EXPECT_EQ(ItemData(page->cmbAnalogInputType), (QList<int>{0, 1, 4, 3}));
    // A refill keeps the chosen type where the new list has it, else the first.
    pagecommon::SelectByItemData(page->cmbAnalogInputType, 1);
    api->FillAnalogInputTypeCombo(0, true);
    EXPECT_EQ(page->cmbAnalogInputType->currentData().toInt(), 1);
    pagecommon::SelectByItemData(page->cmbAnalogInputType, 2);
    api->FillAnalogInputTypeCombo(3, true);
    EXPECT_EQ(page->cmbAnalogInputType->currentData().toInt(), 0);
    api->FillAnalogInputTypeCombo(4, false);
    EXPECT_EQ(page->cmbAnalogInputType->currentIndex(), -1);
}

TEST_F(AnalogPageTest, RefreshedListUsesOneTerminalRuleAndOneBlankTest)
{
    SetCAN(true);
    Input(5)->SetInputType(3);
    Input(5)->SetText("  ");
    Input(6)->SetText("Fuel");
    Input(13)->SetText("Coolant");
    page->RefreshAnalogList();
    EXPECT_EQ(Row(5)->text(1), "J1587");
    EXPECT_FALSE(pagecommon::RowBold(Row(5)));
    EXPECT_TRUE(pagecommon::RowBold(Row(6)));
    EXPECT_EQ(Row(13)->text(1), "J1939");
    EXPECT_TRUE(pagecommon::RowBold(Row(13)));
    // Showing the input draws the row by the same rules.
    Click(13);
    EXPECT_EQ(Row(13)->text(1), "J1939");
    EXPECT_TRUE(pagecommon::RowBold(Row(13)));
    Click(5);
    EXPECT_FALSE(pagecommon::RowBold(Row(5)));
    EXPECT_EQ(Row(5)->text(1), "J1587");
}

TEST_F(AnalogPageTest, ScrollStripsScrollTheListALineAtATime)
{
    SetCAN(true);
    page->lvwAnalog->resize(page->lvwAnalog->width(), 60);
    page->lvwAnalog->scrollToTop();
    page->picAnalogListScroll[1]->ScrollOnce();
    page->picAnalogListScroll[1]->ScrollOnce();
    const int down = page->lvwAnalog->verticalScrollBar()->value();
    EXPECT_GT(down, 0);
    page->picAnalogListScroll[0]->ScrollOnce();
    EXPECT_LT(page->lvwAnalog->verticalScrollBar()->value(), down);
    EXPECT_EQ(doubles.time.waits, (QList<int>{100, 100, 100}));
}

TEST_F(AnalogPageTest, BusLimitsKeepTheirOffsetWhenTheTypeListLacksTheStoredType)
{
    // A J1939 input on a wired channel of a setup without J1939/J1587 support: its type list
    // cannot show the type, the limits still carry the parameter's offset both ways.
    XelAnalogIn* input = Input(3);
    input->SetActive(true);
    input->SetAction(1);
    input->SetInputType(4);
    input->SetLimit(1, 1200);
    JData j;
    j.iMID = 16;
    j.lPID = 0xEE00;
    j.lPPID = 0x18FE;
    input->SetJValues(j);
    doc->ResetBackup();
    Click(3);
    EXPECT_EQ(ItemData(page->cmbAnalogInputType), (QList<int>{0, 1}));
    EXPECT_FLOAT_EQ(page->numAnalogLimit[1]->Value(), 80.0f);
    EXPECT_FALSE(doc->Changed());
    EXPECT_TRUE(page->numAnalogSensorMin->Locked());
    page->numAnalogLimit[1]->SetValue(81.0f);
    EXPECT_EQ(input->Limit(1), 1210);
}

TEST_F(AnalogPageTest, NoChosenTypeLocksTheRangeAndTheSettings)
{
    Input(2)->SetActive(true);
    Input(2)->SetAction(2);
    Click(2);
    EXPECT_FALSE(page->numAnalogSensorMin->Locked());
    page->FillAnalogInputTypeCombo(4, false); // the list lacks the chosen type: nothing chosen
    ASSERT_EQ(page->cmbAnalogInputType->currentIndex(), -1);
    page->ShowAnalogInput();
    EXPECT_FALSE(page->conAnalog->ChildrenEnabled());
    EXPECT_TRUE(page->numAnalogSensorMin->Locked());
    EXPECT_TRUE(page->numAnalogSensorMax->Locked());
    EXPECT_EQ(Input(2)->InputType(), 0);
}

TEST_F(AnalogPageTest, ControlsFitTheirPlaces)
{
    // The list's three columns fit its width: no sideways scrolling hides the description.
    QTreeWidget* list = page->lvwAnalog;
    const int columns = list->header()->sectionSize(0) + list->header()->sectionSize(1);
    EXPECT_LT(columns + pagecommon::Twips(600), list->viewport()->width() - list->verticalScrollBar()->sizeHint().width());
    EXPECT_EQ(list->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_GE(list->header()->sectionSize(1), QFontMetrics(list->font()).horizontalAdvance("27-28 (AX-2:1-2)"));
    // Siblings of the settings group never overlap one another.
    const QList<QWidget*> boxes = {page->txtAnalogDescription, page->txtAnalogInfo, page->conAnalogPID,
                                   page->cmbAnalogInputType, page->numAnalogSensorMin, page->cmbAnalogAction,
                                   page->chkAnalogDoubleScale, page->conAnalogLimit};
    for (int i = 0; i < boxes.size(); ++i)
        for (int j = i + 1; j < boxes.size(); ++j)
            EXPECT_FALSE(boxes[i]->geometry().intersects(boxes[j]->geometry()))
                << boxes[i]->objectName() << " / " << boxes[j]->objectName();
    // Every check box is as high as its style needs.
    for (QCheckBox* box : page->findChildren<QCheckBox*>())
        EXPECT_GE(box->height(), box->sizeHint().height()) << box->objectName();
}
