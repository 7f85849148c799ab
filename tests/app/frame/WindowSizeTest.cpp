// The main window on a 1024x768 screen with a window manager's title bar and borders: every
// page of every operation mode shows whole, with J1939 on and its longest parameters chosen,
// and with a long status text; the window's minimum size never grows.
#include "tests/app/frame/FrameTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

using namespace frametest;

namespace {

class WindowSize : public FrameTest {
protected:
    template <typename T>
    T* Control(const char* name) const
    {
        return window->findChild<T*>(QString::fromLatin1(name));
    }

    void ClickRow(const char* list, int row)
    {
        auto* view = Control<QTreeWidget>(list);
        ASSERT_NE(view, nullptr);
        QTreeWidgetItem* item = view->topLevelItem(row - 1);
        ASSERT_NE(item, nullptr) << list << " " << row;
        view->scrollToItem(item);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(item).center());
    }

    // Chooses the entry with the longest text.
    static void ChooseLongest(QComboBox* combo)
    {
        int longest = -1;
        for (int i = 0; i < combo->count(); ++i) {
            if (longest < 0 || combo->itemText(i).size() > combo->itemText(longest).size())
                longest = i;
        }
        combo->setCurrentIndex(longest);
    }

    // The least size the window manager lets the user give the window.
    // Lets a grown page, its scroll area and the window catch up with each other.
    static void Settle()
    {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }

    QSize Minimum() const { return window->minimumSize(); }
};

} // namespace

TEST_F(WindowSize, EveryPageFitsASmallScreenAndTheMinimumNeverGrows)
{
    screen.area = QRect(0, 0, 1024, 768);
    screen.margins = QMargins(4, 28, 4, 4);
    const QSize room = screen.area.size().shrunkBy(*screen.margins);
    doubles.keys.shift = true; // no confirmations on the way
    ASSERT_TRUE(Start());
    window->show();
    QApplication::processEvents();
    const QSize minimum = Minimum();
    std::printf("start %dx%d, minimum %dx%d\n", window->width(), window->height(), minimum.width(), minimum.height());

    const QString log = QStringLiteral("Log saved as ") + QString(90, 'x') + "/Quarno/Logs/" + QString(120, 'y') + ".txt";
    const auto check = [&](const char* when) {
        SCOPED_TRACE(when);
        for (int tab = 0; tab < window->Tabs()->count(); ++tab) {
            window->Tabs()->setCurrentIndex(tab);
            Settle();
            ASSERT_EQ(window->Tabs()->currentIndex(), tab);
            SCOPED_TRACE(window->Tabs()->tabText(tab).toStdString());
            EXPECT_LE(window->width(), room.width());
            EXPECT_LE(window->height(), room.height());
            const QSize now = Minimum();
            EXPECT_TRUE(now.width() <= minimum.width() && now.height() <= minimum.height())
                << now.width() << "x" << now.height();
            // Every named control shows inside the page's part of the window, unscrolled.
            auto* scroller = qobject_cast<QScrollArea*>(window->Tabs()->widget(tab));
            ASSERT_NE(scroller, nullptr);
            const QRect seen(scroller->viewport()->mapTo(window.get(), QPoint()), scroller->viewport()->size());
            for (QWidget* w : scroller->widget()->findChildren<QWidget*>()) {
                if (!w->objectName().isEmpty() && w->isVisible())
                    EXPECT_TRUE(seen.contains(QRect(w->mapTo(window.get(), QPoint()), w->size())))
                        << w->objectName().toStdString();
            }
        }
        window->SetStatusText(log);
        QApplication::processEvents();
        auto* text = window->statusBar()->findChild<QLabel*>("TEXT");
        EXPECT_EQ(text->text(), log);
        EXPECT_EQ(text->toolTip(), log); // cut, and whole in its tip
        for (QWidget* panel : window->statusBar()->findChildren<QLabel*>()) {
            if (panel->isVisible())
                EXPECT_TRUE(window->rect().contains(QRect(panel->mapTo(window.get(), QPoint()), panel->size())))
                    << panel->objectName().toStdString();
        }
    };

    auto* mode = Control<QComboBox>("cmbMainOperationMode");
    ASSERT_NE(mode, nullptr);
    for (int m = 0; m < mode->count(); ++m) {
        window->Tabs()->setCurrentIndex(TabMain);
        mode->setCurrentIndex(m);
        Control<QCheckBox>("chkMainCAN")->setChecked(true);
        window->Tabs()->setCurrentIndex(TabSwitch);
        ClickRow("lvwDigital", 10); // the first input that may read the engine bus
        auto* type = Control<QComboBox>("cmbDigitalInputType");
        ASSERT_GT(type->findText("J1939", Qt::MatchContains), 0);
        type->setCurrentIndex(type->findText("J1939", Qt::MatchContains));
        ChooseLongest(Control<QComboBox>("cmbDigitalJ"));
        window->Tabs()->setCurrentIndex(TabAnalogIn);
        ClickRow("lvwAnalog", 12);
        ChooseLongest(Control<QComboBox>("cmbAnalogJ"));
        check(mode->itemText(m).toUtf8().constData());
    }
    window->ToolClick("new");
    check("a new setup");
    window->Tabs()->setCurrentIndex(TabMain);
    Control<QCheckBox>("chkMainCAN")->setChecked(true);
    Control<QCheckBox>("chkMainCAN")->setChecked(false);
    check("J1939 off");
    std::printf("window %dx%d, minimum %dx%d\n", window->width(), window->height(), Minimum().width(), Minimum().height());
}
