#include "SwitchPageTestSupport.h"

#include "datamodel/XelDigitalInAdditional.h"
#include "datamodel/cDigitalInAdditional.h"

#include <QMimeData>
#include <QtTest/QTest>

using pagecommon::RowPicture;
using pagecommon::Twips;

namespace {

QString Msg(quint16 id, const QVariantList& args = {}) { return extra::FormatLangString(id, args); }

} // namespace

// ---- defaults, rows, pictures -----------------------------------------------------------------

TEST_F(SwitchPageTest, NewSetupListsTwelveInactiveAlarmInputs)
{
    ASSERT_EQ(List()->topLevelItemCount(), 12);
    for (int n = 1; n <= 12; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(Row(n)->text(0), QString::number(n));
        EXPECT_EQ(Row(n)->text(1), QString::number(n + 6));
        EXPECT_EQ(pagecommon::RowKey(Row(n)), QString::number(n) + "*");
        EXPECT_EQ(RowPicture(Row(n)), 13); // NCX_ALARM
        EXPECT_EQ(In(n)->Delay(), 2);
        EXPECT_EQ(In(n)->InitialDelay(), 15);
        EXPECT_EQ(In(n)->Action(), 2);
    }
    EXPECT_EQ(List()->currentItem(), nullptr);
    EXPECT_FALSE(Find<QCheckBox>("chkDigitalActive")->isEnabled());
    EXPECT_FALSE(Find<QCheckBox>("chkDigitalActive")->isChecked());
    page->UpdateDigitalCount();
    EXPECT_EQ(Find<QLabel>("lblDigitalCount")->text(), "None Active");
    EXPECT_FALSE(doc->Changed());

    // The page's own defaults routine writes the same inputs into an empty document.
    XelObject empty;
    state.SetXelObject(&empty);
    page->SetDigitalDefaults();
    ASSERT_EQ(empty.DigitalIn()->Count(), 12);
    EXPECT_EQ(empty.DigitalIn()->Item("12*")->Terminal().trimmed(), "18");
    EXPECT_EQ(empty.DigitalIn()->Item("4*")->InitialDelay(), 15);
    state.SetXelObject(doc.get());
}

TEST_F(SwitchPageTest, RowPictureAndTerminalColumnFollowTheInput)
{
    struct Case {
        int input, switchType, action;
        bool run, active;
        int inputType, picture;
        const char* terminal;
    } cases[] = {
        {1, 0, 2, false, true, 0, 1, "7"},      // NC_ALARM
        {2, 0, 1, true, true, 0, 6, "8"},       // NC_WARNING_RUN
        {3, 1, 3, true, false, 0, 23, "9"},     // NOX_SHUTDOWN_RUN
        {4, 1, 1, true, false, 0, 24, "10"},    // NOX_WARNING_RUN
        {5, 0, 3, false, false, 0, 14, "11"},   // NCX_SHUTDOWN
        {11, 0, 2, false, true, 4, 1, "J1939"},
        {12, 0, 2, false, true, 3, 1, "J1587"},
        {11, 1, 2, false, true, 0, 7, "17"},    // back to a terminal input
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        XelDigitalIn* input = In(c.input);
        input->SetSwitchType(c.switchType);
        input->SetAction(c.action);
        input->SetRUNAlsoDetectedBy(c.run);
        input->SetActive(c.active);
        input->SetInputType(c.inputType);
        input->SetText("Text " + QString::number(c.input));
        page->UpdateDigitalListItem(c.input);
        EXPECT_EQ(RowPicture(Row(c.input)), c.picture);
        EXPECT_EQ(page->DigitalPictureIndex(c.input), c.picture);
        EXPECT_EQ(Row(c.input)->text(1), QString::fromLatin1(c.terminal));
        EXPECT_EQ(Row(c.input)->text(2), "Text " + QString::number(c.input));
    }
}

TEST_F(SwitchPageTest, ShowingAnInputSetsItsDetailGroups)
{
    In(5)->SetActive(true);
    In(5)->SetOnRunOnly(true);
    In(6)->SetActive(true);
    In(7)->SetActive(true);
    doc->ResetBackup();
    struct Case {
        int input;
        bool details, initialDelay, brokenWire;
    } cases[] = {{5, true, true, true}, {6, true, false, true}, {7, true, false, false}, {2, false, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        Select(c.input);
        EXPECT_TRUE(page->chkDigitalActive->isEnabled());
        EXPECT_EQ(page->conDigital->ChildrenEnabled(), c.details);
        EXPECT_EQ(page->conDigitalInitialDelay->ChildrenEnabled(), c.initialDelay);
        EXPECT_EQ(page->conDigitalBrokenWireDetection->ChildrenEnabled(), c.brokenWire);
    }
    EXPECT_EQ(page->chkDigitalAlarmOnRunOnly->text(), "Alarm on RUN Only");
    EXPECT_FALSE(doc->Changed());
}

TEST_F(SwitchPageTest, ShowingAndFillingNeverChangeTheSetupOrApplyUserRules)
{
    // Stored states a user could not enter: a description cut by a NUL, Shutdown on a
    // normally closed input 2 and on input 8 of a classifiable setup, an unknown additional
    // function.
    In(1)->SetText(QString("Pump") + QChar(0) + "xx");
    In(2)->SetActive(true);
    In(2)->SetAction(3);
    In(8)->SetActive(true);
    In(8)->SetAction(3);
    In(9)->SetText("Bilge");
    doc->DigitalInAdditional()->Item("1*")->SetInUse(true);
    doc->DigitalInAdditional()->Item("1*")->SetFunctionNo(9);
    doc->ResetBackup();
    const QString pump = In(1)->Text();
    doubles.keys.shift = true;
    page->LoadDigital();
    page->FillDigitalInAdditionalCombo();
    for (int n = 1; n <= 12; ++n) {
        SCOPED_TRACE(n);
        page->SetDigitalActionFocus(true);
        page->SetDigitalSwitchTypeFocus(true);
        Select(n);
        page->SetDigitalSwitchTypeFocus(false);
        EXPECT_FALSE(doc->Changed());
    }
    page->DigitalOperationModeChanged(false);
    EXPECT_FALSE(doc->Changed());
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());
    EXPECT_EQ(In(1)->Text(), pump);
    EXPECT_EQ(In(9)->Text(), "Bilge");
    EXPECT_EQ(In(2)->SwitchType(), 0);
    EXPECT_EQ(page->cmbDigitalInAdditional[0]->currentIndex(), -1);
}

// ---- combos by operation mode, classifiable rule, input types, layout --------------------------

TEST_F(SwitchPageTest, ActionListFollowsModeAndClassifiableRule)
{
    struct Case {
        int mode;
        bool classified;
        int input;
        QStringList texts;
    } cases[] = {
        {0, false, 8, {"Warning", "Alarm", "Shutdown"}},
        {1, true, 6, {"Warning", "Alarm", "Shutdown"}},
        {2, true, 6, {"Warning", "Alarm", "Shutdown"}},
        {2, true, 7, {"Warning", "Alarm"}},
        {2, false, 7, {"Warning", "Alarm", "Shutdown"}},
        {3, false, 3, {"Warning", "Alarm"}},
        {9, false, 3, {"Warning", "Alarm", "Shutdown"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode * 100 + c.input);
        doc->Main()->SetOperationMode(c.mode);
        doc->Main()->SetClassified(c.classified);
        Select(c.input);
        EXPECT_EQ(ComboTexts("cmbDigitalAction"), c.texts);
        EXPECT_EQ(pagecommon::CurrentItemData(page->cmbDigitalAction), In(c.input)->Action());
    }
}

TEST_F(SwitchPageTest, InputTypeListAndLayoutFollowBusSupport)
{
    const int descriptionTop = [&] { return pagecommon::ToTwips(page->txtDigitalDescription->y()); }();
    EXPECT_EQ(descriptionTop, 30);
    struct Case {
        bool can;
        int input;
        QStringList types;
        int description;
        int storedType = 0;
        const char* shownType = "Switch";
        bool switchedOffOnShow = false; // J1939/J1587 switched off while the input is on show
    } cases[] = {
        // A bus type the list no longer offers keeps its row, with nothing chosen.
        {false, 11, {"Switch"}, 420, 4, ""},
        {true, 9, {"Switch"}, 420, 3, ""},
        {false, 10, {"Switch"}, 30},
        {true, 9, {"Switch"}, 30},
        {true, 10, {"Switch", "J1939", "J1587"}, 420},
        {true, 12, {"Switch"}, 420, 4, "", true},
        {true, 12, {"Switch", "J1939", "J1587"}, 420, 3, "J1587"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        doc->Main()->SetCAN(c.can);
        In(c.input)->SetInputType(c.storedType);
        In(c.input)->SetActive(true);
        Select(c.input);
        if (c.switchedOffOnShow) { // as the Main page does
            doc->SetCANSupport(false);
            page->FillDigitalInputTypeCombo(0, true);
        }
        EXPECT_EQ(ComboTexts("cmbDigitalInputType"), c.types);
        EXPECT_EQ(page->cmbDigitalInputType->currentText(), c.shownType);
        EXPECT_EQ(In(c.input)->InputType(), c.storedType);
        const int top = c.description;
        EXPECT_EQ(page->txtDigitalDescription->y(), Twips(top));
        EXPECT_EQ(page->cmbDigitalInputType->isVisibleTo(page.get()), top == 420);
        EXPECT_EQ(page->lblDigital[3]->y(), Twips(top + 30));
        EXPECT_EQ(page->cmbDigitalAction->y(), Twips(top + 390));
        EXPECT_EQ(page->numDigitalAlarmDelay->y(), Twips(top + 390));
        EXPECT_EQ(page->cmbDigitalSwitchType->y(), Twips(top + 780));
        EXPECT_EQ(page->chkDigitalAlarmOnRunOnly->y(), Twips(top + 1140));
        EXPECT_EQ(page->conDigitalInitialDelay->y(), Twips(top + 1440));
        EXPECT_EQ(page->conDigitalBrokenWireDetection->y(), Twips(top + 1800));
        EXPECT_EQ(page->chkDigitalAdditionalRunDetection->y(), Twips(top + 2070));
        EXPECT_EQ(page->txtDigitalInfo->y(), Twips(top + 2340));
        // The additional inputs end 90 twips above the information text.
        EXPECT_EQ(page->conDigitalInAdditional->y() + page->conDigitalInAdditional->height(),
                  page->conDigital->y() + page->txtDigitalInfo->y() - Twips(90));
        if (!*c.shownType) {
            // The user's choice of a wired type replaces the one left over.
            page->cmbDigitalInputType->setCurrentIndex(0);
            EXPECT_EQ(In(c.input)->InputType(), 0);
            EXPECT_EQ(Row(c.input)->text(1), QString::number(c.input + 6));
        }
    }
    // A refill that keeps the choice finds "J1587" again in the long list, nothing in the short.
    page->cmbDigitalInputType->setCurrentIndex(page->cmbDigitalInputType->findText("J1587"));
    page->FillDigitalInputTypeCombo(1, false);
    EXPECT_EQ(page->cmbDigitalInputType->currentText(), "J1587");
    page->FillDigitalInputTypeCombo(0, false);
    EXPECT_EQ(page->cmbDigitalInputType->currentIndex(), -1);
    page->FillDigitalInputTypeCombo(7, true); // no such list: untouched
    EXPECT_EQ(ComboTexts("cmbDigitalInputType"), QStringList{"Switch"});
}

TEST_F(SwitchPageTest, EmergencyModeTurnsEveryShutdownIntoAlarm)
{
    doc->Main()->SetClassified(false);
    for (int n : {2, 8, 11}) {
        In(n)->SetAction(3);
        In(n)->SetSwitchType(1);
    }
    In(8)->SetActive(true);
    Reload();
    Select(8);
    doc->Main()->SetOperationMode(3);
    page->DigitalOperationModeChanged(true);
    for (int n : {2, 8, 11}) {
        EXPECT_EQ(In(n)->Action(), 2) << n;
        EXPECT_EQ(RowPicture(Row(n)), In(n)->Active() ? 7 : 19) << n;
    }
    EXPECT_EQ(List()->currentItem(), Row(8));
    EXPECT_EQ(ComboTexts("cmbDigitalAction"), (QStringList{"Warning", "Alarm"}));
    EXPECT_EQ(page->cmbDigitalAction->currentText(), "Alarm");
    // Back to Auxiliary: nothing is raised again.
    doc->Main()->SetOperationMode(0);
    page->DigitalOperationModeChanged(false);
    EXPECT_EQ(In(8)->Action(), 2);
}

// ---- entry handlers and action rules -----------------------------------------------------------

TEST_F(SwitchPageTest, ShutdownProposesNormallyOpenAndInputsOneToSixKeepIt)
{
    In(4)->SetActive(true);
    Reload();
    Select(4);
    Choose("cmbDigitalAction", "Shutdown");
    EXPECT_EQ(In(4)->Action(), 3);
    EXPECT_EQ(In(4)->SwitchType(), 1);
    EXPECT_EQ(page->cmbDigitalSwitchType->currentIndex(), 1);
    EXPECT_EQ(RowPicture(Row(4)), 8); // NO_SHUTDOWN
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());

    Choose("cmbDigitalSwitchType", "Normally Closed");
    EXPECT_EQ(Messages(), QStringList{Msg(161)});
    EXPECT_EQ(doubles.presenter.shown[0].style, 48);
    EXPECT_EQ(page->cmbDigitalSwitchType->currentIndex(), 1);
    EXPECT_EQ(In(4)->SwitchType(), 1);

    // Another action proposes Normally Closed again.
    Choose("cmbDigitalAction", "Alarm");
    EXPECT_EQ(In(4)->SwitchType(), 0);
    // Without the focus (a choice made by the program) nothing is proposed.
    Choose("cmbDigitalAction", "Shutdown", false);
    EXPECT_EQ(In(4)->SwitchType(), 0);
}

// Up to input 6 a Normally Closed Shutdown is corrected; from input 7 up it only warns.
TEST_F(SwitchPageTest, NormallyClosedShutdownAboveSixOnlyWarns)
{
    doc->Main()->SetClassified(false);
    const struct {
        int input;
        bool shift;
        quint16 message; // 0: none
        int switchType;
    } rows[] = {
        {6, false, 161, 1}, {6, true, 161, 1}, {7, false, 110, 0},
        {7, true, 0, 0},    {9, false, 110, 0}, {9, true, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.input * 10 + row.shift);
        In(row.input)->SetActive(true);
        In(row.input)->SetAction(3);
        In(row.input)->SetSwitchType(1);
        Reload();
        Select(row.input);
        doubles.presenter.shown.clear();
        doubles.keys.shift = row.shift;
        Choose("cmbDigitalSwitchType", "Normally Open");
        Choose("cmbDigitalSwitchType", "Normally Closed");
        EXPECT_EQ(In(row.input)->SwitchType(), row.switchType);
        EXPECT_EQ(Messages(), row.message ? QStringList{Msg(row.message)} : QStringList{});
    }
}

TEST_F(SwitchPageTest, ClassifiableSetupRefusesShutdownAboveSix)
{
    ASSERT_TRUE(doc->Main()->Classified());
    for (const auto& [input, refused] : {std::pair{6, false}, std::pair{7, true}, std::pair{8, true}}) {
        SCOPED_TRACE(input);
        doubles.presenter.shown.clear();
        In(input)->SetActive(true);
        Reload();
        Select(input);
        // The list for inputs above 6 has no Shutdown; a list filled for no particular input has.
        page->FillDigitalActionCombo(0);
        page->cmbDigitalAction->setCurrentIndex(page->cmbDigitalAction->findText("Alarm"));
        Choose("cmbDigitalAction", "Shutdown");
        EXPECT_EQ(Messages(), refused ? QStringList{Msg(164, {6})} : QStringList{});
        EXPECT_EQ(In(input)->Action(), refused ? 2 : 3);
        EXPECT_EQ(page->cmbDigitalAction->currentText(), refused ? "Alarm" : "Shutdown");
        EXPECT_FALSE(state.OpeningSetup);
    }
}

TEST_F(SwitchPageTest, ShiftClickOnActiveGivesOrClearsTheDescription)
{
    Select(5);
    doubles.keys.shift = true;
    Click(page->chkDigitalActive);
    EXPECT_TRUE(In(5)->Active());
    EXPECT_EQ(In(5)->Text(), "Switch Input 5");
    EXPECT_EQ(Row(5)->text(2), "Switch Input 5");
    EXPECT_EQ(RowPicture(Row(5)), 1);
    page->UpdateDigitalCount();
    EXPECT_EQ(page->lblDigitalCount->text(), "1 Active");

    Click(page->chkDigitalActive);
    EXPECT_FALSE(In(5)->Active());
    EXPECT_EQ(In(5)->Text(), "");
    EXPECT_EQ(page->lblDigitalCount->text(), "None Active");

    // Without Shift a deactivated input with a description is marked.
    doubles.keys.shift = false;
    Click(page->chkDigitalActive);
    page->txtDigitalDescription->setText("Fire");
    Click(page->chkDigitalActive);
    EXPECT_EQ(In(5)->Text(), "Fire");
    EXPECT_TRUE(pagecommon::RowBold(Row(5)));
    EXPECT_EQ(Row(5)->foreground(2).color(), QColor(255, 72, 72));
    EXPECT_TRUE(page->picActionText[0]->isVisibleTo(page.get()));
    EXPECT_GE(mainPage.classifiedInfoCalls, 4);
}

TEST_F(SwitchPageTest, DelayBoxesStoreAndLabelTheirUnit)
{
    In(3)->SetActive(true);
    Reload();
    Select(3);
    struct Case {
        int value;
        const char* unit;
        bool marker;
    } cases[] = {{0, "Seconds", true}, {1, "Second", false}, {2, "Seconds", false}, {255, "Seconds", false}};
    for (const Case& c : cases) {
        page->numDigitalAlarmDelay->SetValue(c.value);
        page->numDigitalInitialDelay->SetValue(c.value);
        EXPECT_EQ(In(3)->Delay(), c.value);
        EXPECT_EQ(In(3)->InitialDelay(), c.value);
        EXPECT_EQ(page->lblDigital[4]->text(), c.unit);
        EXPECT_EQ(page->lblDigitalInitialDelay[1]->text(), c.unit);
        EXPECT_EQ(page->picActionText[4]->isVisibleTo(page.get()), c.marker);
    }
    // A typed value above the maximum is refused with its status message.
    page->numDigitalAlarmDelay->TextBox()->selectAll();
    QTest::keyClicks(page->numDigitalAlarmDelay->TextBox(), "999");
    EXPECT_LE(In(3)->Delay(), 255);
    EXPECT_EQ(doubles.status.text, Msg(811, {0, 255}));
    // The initial delay group follows "on RUN only", also with no input selected.
    Click(page->chkDigitalAlarmOnRunOnly);
    EXPECT_TRUE(In(3)->OnRunOnly());
    EXPECT_TRUE(page->conDigitalInitialDelay->ChildrenEnabled());
    EXPECT_TRUE(page->picActionText[3]->isVisibleTo(page.get()));
    page->ClearDigitalPage();
    page->chkDigitalAlarmOnRunOnly->setChecked(true);
    EXPECT_TRUE(page->conDigitalInitialDelay->ChildrenEnabled());
    page->chkDigitalAlarmOnRunOnly->setChecked(false);
    EXPECT_FALSE(page->conDigitalInitialDelay->ChildrenEnabled());
    EXPECT_FALSE(page->picActionText[3]->isVisibleTo(page.get()));
}

TEST_F(SwitchPageTest, DescriptionIsFilteredWholeToUnitCharacters)
{
    In(6)->SetActive(true);
    Reload();
    Select(6);
    page->txtDigitalDescription->clear();
    Type(page->txtDigitalDescription, QString::fromUtf8("Tank\u2192 ø"));
    EXPECT_EQ(In(6)->Text(), QString::fromUtf8("Tank ö"));
    // A paste arrives as one edit and is filtered as a whole.
    page->txtDigitalDescription->selectAll();
    page->txtDigitalDescription->insert(QString::fromUtf8("A\u2603B\tC"));
    EXPECT_EQ(page->txtDigitalDescription->text(), "ABC");
    EXPECT_EQ(In(6)->Text(), "ABC");
    EXPECT_EQ(Row(6)->text(2), "ABC");
    EXPECT_GE(doubles.presenter.beeps, 3);
    // Information text is stored as typed.
    QTest::keyClicks(page->txtDigitalInfo, "Level switch");
    EXPECT_EQ(In(6)->Info().trimmed(), "Level switch");
}

// ---- validation, clear -----------------------------------------------------------------------

TEST_F(SwitchPageTest, ValidationChecksTheFieldsAndFocusesTheBadOne)
{
    EXPECT_TRUE(page->ValidateDigital());
    page->numDigitalAlarmDelay->SetMax(1000);
    page->numDigitalInitialDelay->SetMax(1000);
    // An initial delay out of range in a disabled field passes.
    page->conDigitalInitialDelay->SetChildrenEnabled(false);
    page->numDigitalInitialDelay->SetValue(300);
    EXPECT_TRUE(page->ValidateDigital());
    page->conDigitalInitialDelay->SetChildrenEnabled(true);
    EXPECT_FALSE(page->ValidateDigital());
    EXPECT_EQ(Messages(), QStringList{Msg(810, {0, 255})});
    QWidget* focus = page->focusWidget();
    EXPECT_TRUE(focus == page->numDigitalInitialDelay || page->numDigitalInitialDelay->isAncestorOf(focus));

    page->numDigitalInitialDelay->SetValue(15);
    page->conDigital->SetChildrenEnabled(false);
    page->numDigitalAlarmDelay->SetValue(300);
    EXPECT_FALSE(page->ValidateDigital());
    EXPECT_EQ(Messages().last(), Msg(811, {0, 255}));
    EXPECT_EQ(doubles.presenter.shown.last().style, 48);
    page->numDigitalAlarmDelay->SetValue(255);
    EXPECT_TRUE(page->ValidateDigital());
    EXPECT_TRUE(ValidateCurrentPage(state, TabSwitch));
}

TEST_F(SwitchPageTest, DeleteClearsTheSelectedInputAfterAsking)
{
    XelDigitalIn* input = In(11);
    input->SetActive(true);
    input->SetText("Coolant level");
    input->SetInfo("kept");
    input->SetAction(3);
    input->SetSwitchType(1);
    input->SetDelay(9);
    input->SetInitialDelay(1);
    input->SetOnRunOnly(true);
    input->SetRUNAlsoDetectedBy(true);
    input->SetInputType(4);
    JData values;
    values.iTimeout = 5;
    values.iMID = 19;
    values.lPID = 0xF100;
    values.lPPID = 0x18FE;
    input->SetJValues(values);
    doc->Main()->SetCAN(true);
    Reload();
    Select(11);

    doubles.presenter.answers = {platform::MsgResult::No};
    QTest::keyClick(List(), Qt::Key_Delete);
    EXPECT_EQ(Messages(), QStringList{Msg(305, {"Digital Input channel", 11})});
    EXPECT_EQ(doubles.presenter.shown[0].style, 4 + 32 + 256);
    EXPECT_TRUE(input->Active());

    doubles.presenter.answers = {platform::MsgResult::Yes};
    QTest::keyClick(List(), Qt::Key_Delete);
    EXPECT_FALSE(input->Active());
    EXPECT_EQ(input->Text(), "");
    EXPECT_EQ(input->Action(), 1);
    EXPECT_EQ(input->SwitchType(), 0);
    EXPECT_EQ(input->Delay(), 2);
    EXPECT_EQ(input->InitialDelay(), 15);
    EXPECT_FALSE(input->OnRunOnly());
    EXPECT_FALSE(input->RUNAlsoDetectedBy());
    // The bus parameter and the information stay.
    EXPECT_EQ(input->InputType(), 4);
    EXPECT_EQ(input->JValues(), values);
    EXPECT_EQ(input->Info().trimmed(), "kept");
    EXPECT_EQ(Row(11)->text(2), "");
    EXPECT_EQ(page->txtDigitalDescription->text(), "");
    EXPECT_FALSE(page->chkDigitalActive->isChecked());

    // With Shift held (or in expert mode) nothing is asked.
    doubles.presenter.shown.clear();
    input->SetActive(true);
    doubles.keys.shift = true;
    page->lvwDigital_KeyDown(46);
    EXPECT_FALSE(input->Active());
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());
}

TEST_F(SwitchPageTest, SpaceEnterAndDoubleClickSwitchTheInput)
{
    Select(2);
    QTest::keyClick(List(), Qt::Key_Space);
    EXPECT_TRUE(In(2)->Active());
    QTest::keyClick(List(), Qt::Key_Return);
    EXPECT_FALSE(In(2)->Active());
    state.LastMouseButton = 2;
    page->lvwDigital_DblClick(Row(2));
    EXPECT_FALSE(In(2)->Active());
    state.LastMouseButton = 1;
    page->lvwDigital_DblClick(Row(2));
    EXPECT_TRUE(In(2)->Active());
    EXPECT_EQ(page->focusWidget(), page->txtDigitalDescription);
    page->lvwDigital_DblClick(Row(2));
    EXPECT_FALSE(In(2)->Active());
    page->lvwDigital_DblClick(nullptr);
    EXPECT_FALSE(In(2)->Active());
    // A check mark on a row sets that input, and the box when it is the selected row.
    page->lvwDigital_ItemCheck(Row(9), true);
    EXPECT_TRUE(In(9)->Active());
    EXPECT_FALSE(page->chkDigitalActive->isChecked());
    page->lvwDigital_ItemCheck(Row(2), true);
    EXPECT_TRUE(page->chkDigitalActive->isChecked());
}

// ---- copy and move by the drop routine --------------------------------------------------------

class SwitchDropTest : public SwitchPageTest {
protected:
    void Prepare()
    {
        doc->Main()->SetClassified(false);
        XelDigitalIn* source = In(3);
        source->SetActive(false);
        source->SetText("Door open");
        source->SetInfo("Engine room door");
        source->SetAction(3);
        source->SetSwitchType(1);
        source->SetDelay(5);
        source->SetInitialDelay(20);
        source->SetOnRunOnly(true);
        source->SetRUNAlsoDetectedBy(true);
        source->SetBrokenWireDetection(true);
        In(9)->SetActive(true);
        In(9)->SetText("Old");
        Reload();
        Select(3);
    }
    int Drop(const QString& key, int row, int shift, const QObject* source = nullptr)
    {
        std::unique_ptr<QMimeData> data(pagecommon::MakeDragPayload(key));
        const QObject* from = source ? source : List();
        const int effect = page->DigitalDragOver(data.get(), Row(row), shift, from);
        page->DigitalDragDrop(data.get(), Row(row), shift, from);
        return effect;
    }
};

TEST_F(SwitchDropTest, MoveCopyAndTheirQuestions)
{
    struct Case {
        const char* name;
        int shift;
        bool propulsion;
        QList<int> answers;
        int question; // 0 none
        bool targetChanged, sourceCleared;
        int sourceAction;
    } cases[] = {
        {"plain move asks, yes", 0, false, {6}, 302, true, true, 2},
        {"plain move asks, no", 0, false, {7}, 302, false, false, 3},
        {"shift move", 1, false, {}, 0, true, true, 2},
        {"move in propulsion", 1, true, {}, 0, true, true, 1},
        {"ctrl copy asks, yes", 2, false, {6}, 301, true, false, 3},
        {"ctrl copy asks, no", 2, false, {7}, 301, false, false, 3},
        {"alt alone copies nothing", 4, false, {}, 0, false, false, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Prepare();
        doubles.presenter.shown.clear();
        doubles.presenter.answers = c.answers;
        state.PROPULSION = c.propulsion;
        const int effect = Drop("3*", 9, c.shift);
        EXPECT_EQ(effect, c.shift == 0 || (c.shift & 1) ? 2 : 1);
        if (c.question)
            EXPECT_EQ(Messages(), QStringList{Msg(quint16(c.question), {"Digital Input Channel", 9, 3})});
        else
            EXPECT_TRUE(doubles.presenter.shown.isEmpty());
        XelDigitalIn* target = In(9);
        XelDigitalIn* source = In(3);
        if (c.targetChanged) {
            EXPECT_FALSE(target->Active());
            EXPECT_EQ(target->Text(), "Door open");
            EXPECT_EQ(target->Info().trimmed(), "Engine room door");
            EXPECT_EQ(target->Action(), 3);
            EXPECT_EQ(target->SwitchType(), 1);
            EXPECT_EQ(target->Delay(), 5);
            EXPECT_EQ(target->InitialDelay(), 20);
            EXPECT_TRUE(target->OnRunOnly());
            EXPECT_TRUE(target->RUNAlsoDetectedBy());
            EXPECT_FALSE(target->BrokenWireDetection()); // input 9 has none
            EXPECT_EQ(List()->currentItem(), Row(9));
            EXPECT_EQ(Row(9)->text(2), "Door open");
            EXPECT_EQ(page->txtDigitalDescription->text(), "Door open");
            EXPECT_EQ(RowPicture(Row(9)), 7 + 1 + 3 + 12);
        } else {
            EXPECT_TRUE(target->Active());
            EXPECT_EQ(target->Text(), "Old");
        }
        EXPECT_EQ(source->Action(), c.sourceAction);
        EXPECT_FALSE(source->Active());
        if (c.sourceCleared) {
            EXPECT_EQ(source->Text(), "");
            EXPECT_EQ(source->SwitchType(), 0);
            EXPECT_EQ(source->Delay(), 2);
            EXPECT_EQ(source->InitialDelay(), 15);
            EXPECT_FALSE(source->BrokenWireDetection());
            EXPECT_FALSE(source->RUNAlsoDetectedBy());
            EXPECT_EQ(source->Info().trimmed(), "");
            EXPECT_EQ(Row(3)->text(2), "");
            EXPECT_FALSE(pagecommon::RowBold(Row(3)));
        } else {
            EXPECT_EQ(source->Text(), "Door open");
        }
    }
}

// The row a drag hovers over is marked as the drop target; a refused row, the space below the
// rows, a drop and a reload take the mark away.
TEST_F(SwitchDropTest, HoverMarksTheDropTarget)
{
    Prepare();
    doc->Main()->SetCAN(true);
    In(11)->SetInputType(4); // J1939: cannot go to a terminal input
    auto* list = static_cast<DigitalListView*>(List());
    std::unique_ptr<QMimeData> three(pagecommon::MakeDragPayload("3*"));
    std::unique_ptr<QMimeData> eleven(pagecommon::MakeDragPayload("11*"));
    QMimeData text;
    text.setText("3*");
    QTreeWidget otherList;
    struct Step {
        const char* what;
        const QMimeData* data;
        int row; // 0: below the rows
        const QObject* source;
        int marked; // 0: none
    } steps[] = {
        {"over input 9", three.get(), 9, list, 9},
        {"over input 5", three.get(), 5, list, 5},
        {"over its own row", three.get(), 3, list, 3},
        {"below the rows", three.get(), 0, list, 0},
        {"over input 7 again", three.get(), 7, list, 7},
        {"bus input over a terminal input", eleven.get(), 4, list, 0},
        {"bus input over input 12", eleven.get(), 12, list, 12},
        {"text of another program", &text, 9, list, 0},
        {"a row of another list", three.get(), 9, &otherList, 0},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        QTreeWidgetItem* row = s.row ? Row(s.row) : nullptr;
        page->DigitalDragOver(s.data, row, 0, s.source);
        EXPECT_EQ(list->DropHighlight(), s.marked ? Row(s.marked) : nullptr);
        for (int n = 1; n <= 12; ++n) // one marked row, drawn apart from the others
            EXPECT_EQ(Row(n)->background(1).style() != Qt::NoBrush, n == s.marked) << n;
    }
    page->DigitalDragOver(three.get(), Row(9), 2, list);
    ASSERT_EQ(list->DropHighlight(), Row(9));
    page->DigitalDragDrop(three.get(), Row(9), 2, list);
    EXPECT_EQ(list->DropHighlight(), nullptr);
    EXPECT_EQ(Row(9)->background(1).style(), Qt::NoBrush);
    page->DigitalDragOver(three.get(), Row(6), 2, list);
    Reload(); // the rows go: so does the mark
    EXPECT_EQ(list->DropHighlight(), nullptr);
}

TEST_F(SwitchDropTest, ForeignPayloadsAndRowsAreRefused)
{
    Prepare();
    const QByteArray before = [&] {
        QByteArray bytes;
        for (int n = 1; n <= 12; ++n)
            bytes += In(n)->Text().toUtf8() + char(In(n)->Active());
        return bytes;
    }();
    QTreeWidget otherList;
    EXPECT_EQ(Drop("3*", 9, 0, &otherList), 0);   // another list
    EXPECT_EQ(Drop("3*", 9, 0, page.get()), 0);   // not the list itself
    QMimeData text;
    text.setText("3*");
    EXPECT_EQ(page->DigitalDragOver(&text, Row(9), 0, List()), 0); // another program
    page->DigitalDragDrop(&text, Row(9), 0, List());
    EXPECT_EQ(Drop("99*", 9, 0), 0);               // no such input
    EXPECT_EQ(Drop("3*", 3, 0), 2);                // onto itself: nothing happens
    page->DigitalDragDrop(nullptr, nullptr, 0, List());
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());
    QByteArray after;
    for (int n = 1; n <= 12; ++n)
        after += In(n)->Text().toUtf8() + char(In(n)->Active());
    EXPECT_EQ(after, before);
    EXPECT_EQ(page->lblDigitalCount->text(), "1 Active");
}

TEST_F(SwitchDropTest, BusInputsStayOnInputsTenToTwelve)
{
    doc->Main()->SetCAN(true);
    In(11)->SetInputType(4);
    In(11)->SetText("Water in fuel");
    Reload();
    Select(11);
    EXPECT_EQ(Drop("11*", 4, 1), 0);
    EXPECT_EQ(In(4)->Text(), "");
    EXPECT_EQ(In(11)->Text(), "Water in fuel");
    EXPECT_EQ(Drop("11*", 12, 1), 2);
    EXPECT_EQ(In(12)->InputType(), 4);
    EXPECT_EQ(In(12)->Text(), "Water in fuel");
    EXPECT_EQ(Row(12)->text(1), "J1939");
    EXPECT_EQ(In(11)->InputType(), 0);
    EXPECT_EQ(Row(11)->text(1), "17");
}

TEST_F(SwitchDropTest, ACopyThatBreaksAnActionRuleRefreshesTheClassifiableState)
{
    Prepare();
    doc->Main()->SetClassified(true);
    In(3)->SetActive(true);
    In(3)->SetSwitchType(0); // a normally closed shutdown input
    const int before = mainPage.classifiedInfoCalls;
    Drop("3*", 8, 2);
    EXPECT_EQ(In(8)->Action(), 3);
    EXPECT_GT(mainPage.classifiedInfoCalls, before);
    EXPECT_GT(mainPage.classifiedCheckCalls, 0);
}

// ---- broken-wire detection, RUN signal --------------------------------------------------------

TEST_F(SwitchPageTest, ClassifiableShutdownInputsKeepBrokenWireDetection)
{
    mainPage.classifiedChecked = true;
    In(3)->SetActive(true);
    In(3)->SetAction(3);
    In(3)->SetSwitchType(1);
    In(2)->SetActive(true);
    In(2)->SetBrokenWireDetection(true);
    Reload();
    Select(3);
    EXPECT_TRUE(page->chkDigitalBrokenWireDetection->isChecked());
    EXPECT_TRUE(In(3)->BrokenWireDetection());
    EXPECT_TRUE(doc->Changed()); // shown and forced on

    Click(page->chkDigitalBrokenWireDetection);
    EXPECT_EQ(Messages(), QStringList{Msg(170, {6})});
    EXPECT_TRUE(page->chkDigitalBrokenWireDetection->isChecked());
    EXPECT_TRUE(In(3)->BrokenWireDetection());

    // An alarm input of a classifiable setup clears it without a message and stores False.
    doubles.presenter.shown.clear();
    Select(2);
    Click(page->chkDigitalBrokenWireDetection);
    EXPECT_FALSE(In(2)->BrokenWireDetection());
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());

    // Not classifiable: a shutdown input clears it freely.
    doc->Main()->SetClassified(false);
    Select(3);
    Click(page->chkDigitalBrokenWireDetection);
    EXPECT_FALSE(In(3)->BrokenWireDetection());
    EXPECT_TRUE(doubles.presenter.shown.isEmpty());
}

// Broken-wire supervision ends at input 6: copied onto, shown and forced alike.
TEST_F(SwitchPageTest, BrokenWireRuleEndsAtInputSix)
{
    In(1)->SetBrokenWireDetection(true);
    doc->Main()->SetClassified(true);
    mainPage.classifiedChecked = true;
    for (const auto& [input, supervised] : {std::pair{6, true}, std::pair{7, false}}) {
        SCOPED_TRACE(input);
        page->CopyDigitalInput(In(1), In(input), false);
        EXPECT_EQ(In(input)->BrokenWireDetection(), supervised);
        In(input)->SetBrokenWireDetection(false);
        In(input)->SetActive(true);
        In(input)->SetAction(3); // a classifiable setup forces it on for a shutdown input
        Select(input);
        EXPECT_EQ(page->conDigitalBrokenWireDetection->ChildrenEnabled(), supervised);
        EXPECT_EQ(In(input)->BrokenWireDetection(), supervised);
    }
}

// ---- additional switch inputs --------------------------------------------------------------------

TEST_F(SwitchPageTest, AdditionalInputsTakeOneFunctionEach)
{
    cDigitalInAdditional* extraInputs = doc->DigitalInAdditional();
    page->FillDigitalInAdditionalCombo();
    for (int i = 0; i < 2; ++i) {
        XelDigitalInAdditional* input = extraInputs->Item(pagecommon::ItemKey(i + 1));
        ASSERT_NE(input, nullptr);
        EXPECT_FALSE(input->InUse());
        EXPECT_EQ(input->Terminal(), 61 + i);
        EXPECT_EQ(page->cmbDigitalInAdditional[i]->currentIndex(), 0);
        EXPECT_EQ(page->cmbDigitalInAdditional[i]->count(), 5);
    }
    EXPECT_EQ(ComboTexts("cmbDigitalInAdditional_1"),
              (QStringList{"", "Standby", "LCD Light On", "Start Disabled", "LOCAL Mode"}));

    page->cmbDigitalInAdditional[1]->setCurrentIndex(2);
    XelDigitalInAdditional* second = extraInputs->Item("2*");
    EXPECT_TRUE(second->InUse());
    EXPECT_EQ(second->FunctionNo(), 2);
    EXPECT_EQ(second->Text(), "LCD Light On");
    page->cmbDigitalInAdditional[1]->setCurrentIndex(0);
    EXPECT_FALSE(second->InUse());
    EXPECT_EQ(second->FunctionNo(), 0);
    EXPECT_EQ(second->Text(), "");

    // Stored functions are shown without being stored back.
    XelDigitalInAdditional* first = extraInputs->Item("1*");
    first->SetInUse(true);
    first->SetFunctionNo(4);
    second->SetInUse(true);
    second->SetFunctionNo(7);
    doc->ResetBackup();
    page->RefreshDigitalInAdditional();
    EXPECT_EQ(page->cmbDigitalInAdditional[0]->currentText(), "LOCAL Mode");
    EXPECT_EQ(page->cmbDigitalInAdditional[1]->currentIndex(), -1);
    EXPECT_FALSE(doc->Changed());
    EXPECT_EQ(second->FunctionNo(), 7);

    // The page's defaults routine adds nothing twice and fills the combos.
    page->SetDigitalInAdditionalDefaults();
    EXPECT_EQ(extraInputs->Count(), 2);
}

// ---- highlighting and counts -------------------------------------------------------------------

TEST_F(SwitchPageTest, InactiveDescribedRowsAreRedAndActiveOnesCounted)
{
    struct Case {
        int input;
        bool active;
        QString text;
        bool afterRefresh, whenSelected;
    } cases[] = {
        {1, false, "Fuel leak", true, true},
        {2, true, "Running", false, false},
        {3, false, "   ", false, false},
        {4, false, QString(QChar(0)) + "  ", false, true},
        {5, false, "", false, false},
    };
    for (const Case& c : cases) {
        In(c.input)->SetActive(c.active);
        In(c.input)->SetText(c.text);
    }
    page->RefreshDigitalList();
    page->UpdateDigitalCount();
    EXPECT_EQ(page->lblDigitalCount->text(), "1 Active");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(pagecommon::RowBold(Row(c.input)), c.afterRefresh);
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(Row(c.input)->foreground(column).color() == QColor(255, 72, 72), c.afterRefresh);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        Select(c.input);
        EXPECT_EQ(pagecommon::RowBold(Row(c.input)), c.whenSelected);
        EXPECT_EQ(page->picActionText[0]->isVisibleTo(page.get()), c.whenSelected);
    }
}

TEST_F(SwitchPageTest, ControlsCarryTheirNames)
{
    const char* names[] = {"lvwDigital", "lblDigitalCount", "picDigitalListScroll_0", "picDigitalListScroll_1",
                           "chkDigitalActive", "conDigital", "cmbDigitalInputType", "txtDigitalDescription",
                           "cmbDigitalAction", "numDigitalAlarmDelay", "lblDigitalDelay", "cmbDigitalSwitchType",
                           "chkDigitalAlarmOnRunOnly", "conDigitalInitialDelay", "numDigitalInitialDelay",
                           "lblDigitalInitialDelay_1", "conDigitalBrokenWireDetection", "chkDigitalBrokenWireDetection",
                           "chkDigitalAdditionalRunDetection", "txtDigitalInfo", "conDigitalPID", "cmbDigitalJ",
                           "conDigitalInAdditional", "cmbDigitalInAdditional_0", "cmbDigitalInAdditional_1",
                           "lblDigital_0", "lblDigital_5", "picActionText_0", "picActionText_3", "picActionText_4"};
    for (const char* name : names)
        EXPECT_NE(page->findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
}

// ---- review mends -------------------------------------------------------------------------------

// A dropped-on input is shown with its own lists, not those made for the dragged one.
TEST_F(SwitchDropTest, TheTargetGetsItsOwnInputTypeAndActionLists)
{
    struct Case {
        const char* name;
        bool can, classified;
        int from, to;
        QStringList types, actions;
    } cases[] = {
        {"bus lists stay on 10-12", true, false, 11, 3, {"Switch"}, {"Warning", "Alarm", "Shutdown"}},
        {"terminal input onto 10", true, false, 3, 10, {"Switch", "J1939", "J1587"}, {"Warning", "Alarm", "Shutdown"}},
        {"classifiable above six", false, true, 2, 8, {"Switch"}, {"Warning", "Alarm"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Prepare();
        doc->Main()->SetCAN(c.can);
        doc->Main()->SetClassified(c.classified);
        In(c.from)->SetText("Bilge");
        In(c.from)->SetAction(2);
        Reload();
        Select(c.from);
        Drop(pagecommon::ItemKey(c.from), c.to, 1);
        EXPECT_EQ(List()->currentItem(), Row(c.to));
        EXPECT_EQ(ComboTexts("cmbDigitalInputType"), c.types);
        EXPECT_EQ(page->cmbDigitalInputType->isHidden(), c.types.size() == 1);
        EXPECT_EQ(ComboTexts("cmbDigitalAction"), c.actions);
        EXPECT_EQ(page->cmbDigitalAction->currentText(), "Alarm");
        EXPECT_EQ(In(c.to)->Text(), "Bilge");
    }
}

// A document built to read a file or the unit into leaves the shown additional inputs alone.
TEST_F(SwitchPageTest, DefaultsOfAnotherDocumentKeepTheShownAdditionalInputs)
{
    XelDigitalInAdditional* first = doc->DigitalInAdditional()->Item("1*");
    first->SetInUse(true);
    first->SetFunctionNo(4);
    page->FillDigitalInAdditionalCombo();
    ASSERT_EQ(page->cmbDigitalInAdditional[0]->currentText(), "LOCAL Mode");

    XelObject building;
    state.SetXelObject(&building);
    page->SetDigitalInAdditionalDefaults();
    state.SetXelObject(doc.get());
    EXPECT_EQ(building.DigitalInAdditional()->Count(), 2);
    EXPECT_EQ(page->cmbDigitalInAdditional[0]->currentText(), "LOCAL Mode");
    EXPECT_TRUE(first->InUse());
}

// A press that starts a drag selects the row without a click: the page shows that input at once,
// so an edit after a cancelled drag goes to the input on screen.
TEST_F(SwitchPageTest, APressOnARowShowsItsInput)
{
    In(5)->SetText("Bilge");
    Reload();
    Select(3);
    const QPoint at = List()->visualItemRect(Row(5)).center();
    QTest::mousePress(List()->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(List()->currentItem(), Row(5));
    EXPECT_EQ(page->txtDigitalDescription->text(), "Bilge");
    QTest::mouseRelease(List()->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(page->txtDigitalDescription->text(), "Bilge");
    EXPECT_EQ(In(3)->Text(), "");
    EXPECT_FALSE(doc->Changed());
}
