// Leaving a page by its tab checks the entries as typed, as Save and E-mail do: an entry the
// check refuses keeps the page, the setup as it stands and the focus on the field the message
// names, its text selected. A box no check covers goes to its limit, and that stops the road;
// so does another row of the page's list, chosen by a click or the arrow keys.
#include "tests/app/frame/FrameTestSupport.h"

#include "app/pages/channels/AnalogListView.h"
#include "controls/EntryBox.h"
#include "datamodel/XelAnalogIn.h"
#include "datamodel/cAnalogIn.h"

#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <QWheelEvent>

using namespace frametest;

namespace {

class PageLeaveTest : public FrameTest {
protected:
    // The control with the focus: an entry box by its own name.
    static std::string Focused()
    {
        const QWidget* w = QApplication::focusWidget();
        if (w && w->objectName() == "txtNumber")
            w = w->parentWidget();
        return w ? w->objectName().toStdString() : "nothing";
    }
    // The whole setup as a file would hold it.
    QByteArray SetupImage()
    {
        const QString image = Path("image.QRN");
        EXPECT_TRUE(window->XelObject()->CreateTempFile(image));
        QFile file(image);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

enum class Road { CtrlTab, TabClick, Mnemonic, Wheel, Save, Email, Close, ListClick, ListKeys, ListDoubleClick, ListDrag };

} // namespace

TEST_F(PageLeaveTest, ARefusedEntryKeepsThePageTheSetupAndTheFocus)
{
    // Analog input 2 watches a speed band from 800 to 1200 RPM.
    const QString path = WriteSetup("leave.QRN", [](XelObject& doc) {
        XelAnalogIn* input = doc.AnalogIn()->Item("2*");
        input->SetActive(true);
        input->SetAction(7);
        input->SetInputType(0);
        input->SetRPMLimit(0, 20);
        input->SetRPMLimit(1, 40);
        input->SetRPM(0, 800);
        input->SetRPM(1, 1200);
    });
    struct Case {
        int tab;
        const char* box;
        const char* typed;
        QString message;
        const char* focus = nullptr; // the field the message names, when not the box typed in
        const char* committed = nullptr; // the limit the box shows when no check covers it
    } cases[] = {
        {TabMain, "numMainLCDLightDelay", "0", QStringLiteral("Display Light Delay must be between 1 and 194 hours!")},
        {TabAnalogIn, "numAnalogSetpointRPM_0", "1500", Lang(828, {1500, 7500}), "numAnalogSetpointRPM_1"},
        {TabStandbyOperation, "numStandbyOperationAttempts", "0", Lang(831, {1, 20})},
        {TabStandbyOperation, "numStandbyOperationCranking", "0", Lang(833, {2, 255})},
        {TabStandbyOperation, "numStandbyOperationDelay", "1", Lang(834, {2, 60})},
        {TabStandbyOperation, "numStandbyOperationInitial", "0", Lang(835, {1, 255})},
        {TabStandbyOperation, "numStandbyOperationGenBreak", "0", Lang(836, {1, 255})},
        {TabSpeedSensor, "numSpeedSensorNomMax", "50", Lang(842, {100, 6000})},
        {TabSpeedSensor, "numSpeedSensorNomMax", "200", Lang(845, {100, 200}), "numSpeedSensorReadyToTakeLoad"},
        {TabSpeedSensor, "numSpeedSensorSpeeding", "50", Lang(843, {1500, 7500})},
        {TabSpeedSensor, "numSpeedSensorReadyToTakeLoad", "50", Lang(845, {100, 1500})},
        {TabSpeedSensor, "numSpeedSensorRUNDetectedAt", "10", Lang(846, {50, 600})},
        {TabBattery, "numBatteryLowBatteryVAlarm", "5", Lang(851, {18, 30})},
        {TabBattery, "numBatteryDelay", "0", Lang(852, {1, 255})},
        {TabSpeedSensor, "numSpeedSensorRUNDetectionDelay", "0", {}, nullptr, "2"},
        {TabAnalogIn, "numAnalogSetpointRPM_0", "0", {}, nullptr, "100"},
        {TabAnalogIn, "numAnalogLimitSetpoint_1", "-5000", {}, nullptr, "-3000.0"},
    };
    ASSERT_TRUE(Start({"-f", path}));
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTabWidget* tabs = window->Tabs();
    for (const Case& c : cases) {
        for (const Road road :
             {Road::CtrlTab, Road::TabClick, Road::Mnemonic, Road::Wheel, Road::Save, Road::Email, Road::Close,
              Road::ListClick, Road::ListKeys, Road::ListDoubleClick, Road::ListDrag}) {
            if (road == Road::Close && !c.committed) // Close checks no page
                continue;
            // Another row of the input list (and a double click or drag on Speed Relays): the box
            // commits first, and the rest of the refused press's gesture goes nowhere.
            const bool listRoad = road >= Road::ListClick;
            if (listRoad && (!c.committed || (c.tab != TabAnalogIn && road < Road::ListDoubleClick)))
                continue;
            SCOPED_TRACE(testing::Message() << c.box << " road " << int(road));
            tabs->setCurrentIndex(c.tab);
            QWidget* page = window->PageContainer(c.tab);
            if (c.tab == TabAnalogIn) { // the entries of analog input 2
                if (listRoad) // the input comes as the window system gives it: to the active window
                ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
            auto* list = page->findChild<QTreeWidget*>("lvwAnalog");
                QTreeWidgetItem* row = list->topLevelItem(1);
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(row).center());
                ASSERT_EQ(list->currentItem(), row);
            }
            if (listRoad) // the input comes as the window system gives it: to the active window
                ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
            auto* list = page->findChild<QTreeWidget*>(c.tab == TabAnalogIn ? "lvwAnalog" : "lvwSpeedRelays");
            QTreeWidgetItem* shown = list ? list->currentItem() : nullptr;
            const auto at = [&](QTreeWidgetItem* row) { // in the window, as the window system gives it
                return list->viewport()->mapTo(window.get(), list->visualItemRect(row).center());
            };
            QTreeWidgetItem* other = list ? list->topLevelItem(c.tab == TabAnalogIn ? 4 : 1) : nullptr;
            auto* box = page->findChild<EntryBox*>(c.box);
            ASSERT_NE(box, nullptr);
            const QString original = box->Text();
            box->TextBox()->setFocus();
            QApplication::processEvents();
            box->TextBox()->selectAll();
            QTest::keyClicks(box->TextBox(), c.typed);
            ASSERT_EQ(box->Text(), c.typed);
            const QByteArray stored = SetupImage();
            const QByteArray onDisk = Bytes(path);
            doubles.presenter.shown.clear();
            doubles.presenter.beeps = 0;

            const int otherTab = c.tab == TabSpeedSensor ? TabMain : TabSpeedSensor;
            int drags = 0; // a drag the input list starts asks its page for what it carries
            auto* view = dynamic_cast<AnalogListView*>(list);
            const auto payload = view ? view->StartDrag : nullptr;
            if (view)
                view->StartDrag = [&] { return ++drags, payload(); };
            switch (road) {
            case Road::CtrlTab: QTest::keyClick(box->TextBox(), Qt::Key_Tab, Qt::ControlModifier); break;
            case Road::TabClick:
                QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(otherTab).center());
                break;
            case Road::Mnemonic:
                QTest::keySequence(box->TextBox(), QKeySequence::mnemonic(tabs->tabText(otherTab)));
                break;
            case Road::Wheel: {
                QTabBar* bar = tabs->tabBar();
                const QPointF at = bar->tabRect(c.tab).center();
                QWheelEvent down(at, bar->mapToGlobal(at), {}, {0, -120}, Qt::NoButton, Qt::NoModifier,
                                 Qt::NoScrollPhase, false);
                QApplication::sendEvent(bar, &down);
                break;
            }
            case Road::Save: window->ToolClick("save"); break;
            case Road::Email: window->ToolClick("email"); break;
            case Road::Close: window->ToolClick("close"); break;
            case Road::ListClick:
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(other).center());
                break;
            case Road::ListKeys:
                // Into the list by the keyboard, and on down it before the box has its focus back.
                list->setFocus(Qt::TabFocusReason);
                QTest::keyClick(window->windowHandle(), Qt::Key_Down);
                QTest::keyClick(window->windowHandle(), Qt::Key_Down);
                break;
            case Road::ListDoubleClick: // two clicks paired as one, the window served between them
                QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, at(other));
                QTest::lastMouseTimestamp -= QTest::mouseDoubleClickInterval;
                QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, at(other));
                break;
            case Road::ListDrag: // from the row shown onto another, with the button held
                QTest::mousePress(window->windowHandle(), Qt::LeftButton, {}, at(shown));
                QTest::mouseMove(window->windowHandle(), (at(shown) + at(other)) / 2);
                QTest::mouseMove(window->windowHandle(), at(other));
                QTest::mouseRelease(window->windowHandle(), Qt::LeftButton, {}, at(other));
                break;
            }
            QApplication::processEvents();
            if (view) // the page's own again
                view->StartDrag = payload;

            EXPECT_EQ(drags, 0);
            EXPECT_EQ(Shown().join('|').toStdString(), c.message.toStdString());
            EXPECT_EQ(tabs->currentIndex(), c.tab);
            if (list)
                EXPECT_EQ(list->currentItem(), shown);
            EXPECT_EQ(box->Text(), c.committed ? c.committed : c.typed);
            EXPECT_EQ(doubles.presenter.beeps, c.committed ? 1 : 0);
            if (!c.committed)
                EXPECT_TRUE(SetupImage() == stored);
            EXPECT_TRUE(Bytes(path) == onDisk);
            EXPECT_EQ(Focused(), c.focus ? c.focus : c.box);
            // The Main page's check leaves the focus where it is; the others select the field.
            const auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget());
            if (field && c.tab != TabMain)
                EXPECT_EQ(field->selectedText(), field->text());
            box->TextBox()->setText(original);
        }
    }
}
