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
    T* Control(const char* name) const { return window->findChild<T*>(QString::fromLatin1(name)); }

    void ClickRow(const char* list, int row)
    {
        auto* view = Control<QTreeWidget>(list);
        QTreeWidgetItem* item = view->topLevelItem(row - 1);
        view->scrollToItem(item);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(item).center());
    }

    void ChooseLongest(const char* name)
    {
        auto* combo = Control<QComboBox>(name);
        for (int i = 0; i < combo->count(); ++i)
            if (combo->itemText(i).size() > combo->currentText().size())
                combo->setCurrentIndex(i);
    }
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
    const QSize minimum = window->minimumSize();
    const QString log = "Log saved as " + QString(90, 'x') + "/Quarno/Logs/" + QString(120, 'y') + ".txt";

    const auto check = [&](const QString& when) {
        SCOPED_TRACE(when.toStdString());
        for (int tab = 0; tab < window->Tabs()->count(); ++tab) {
            window->Tabs()->setCurrentIndex(tab);
            for (int i = 0; i < 3; ++i) // the page, its scroll area and the window catch up
                QApplication::processEvents();
            SCOPED_TRACE(tab);
            EXPECT_TRUE(window->width() <= room.width() && window->height() <= room.height());
            EXPECT_EQ(window->minimumSize(), minimum);
            // Every named control shows inside the page's part of the window, unscrolled.
            auto* scroller = qobject_cast<QScrollArea*>(window->Tabs()->widget(tab));
            const QRect seen(scroller->viewport()->mapTo(window.get(), QPoint()), scroller->viewport()->size());
            for (QWidget* w : scroller->widget()->findChildren<QWidget*>())
                if (!w->objectName().isEmpty() && w->isVisible())
                    EXPECT_TRUE(seen.contains(QRect(w->mapTo(window.get(), QPoint()), w->size())))
                        << w->objectName().toStdString();
        }
        window->SetStatusText(log);
        QApplication::processEvents();
        auto* text = window->statusBar()->findChild<QLabel*>("TEXT");
        EXPECT_EQ(text->text(), log);
        EXPECT_EQ(text->toolTip(), log); // cut, and whole in its tip
        for (QWidget* panel : window->statusBar()->findChildren<QLabel*>())
            if (panel->isVisible())
                EXPECT_TRUE(window->rect().contains(QRect(panel->mapTo(window.get(), QPoint()), panel->size())));
    };

    auto* mode = Control<QComboBox>("cmbMainOperationMode");
    for (int m = 0; m < mode->count(); ++m) {
        window->Tabs()->setCurrentIndex(TabMain);
        mode->setCurrentIndex(m);
        Control<QCheckBox>("chkMainCAN")->setChecked(true);
        window->Tabs()->setCurrentIndex(TabSwitch);
        ClickRow("lvwDigital", 10); // the first input that may read the engine bus
        auto* type = Control<QComboBox>("cmbDigitalInputType");
        ASSERT_GT(type->findText("J1939", Qt::MatchContains), 0);
        type->setCurrentIndex(type->findText("J1939", Qt::MatchContains));
        ChooseLongest("cmbDigitalJ");
        window->Tabs()->setCurrentIndex(TabAnalogIn);
        ClickRow("lvwAnalog", 12);
        ChooseLongest("cmbAnalogJ");
        check(mode->itemText(m));
    }
    window->ToolClick("new");
    check("a new setup");
    window->Tabs()->setCurrentIndex(TabMain);
    Control<QCheckBox>("chkMainCAN")->setChecked(true);
    Control<QCheckBox>("chkMainCAN")->setChecked(false);
    check("J1939 off");
}

// The status text is cut, never sizes the window: a settings notice said at start-up (a folder
// where the settings file belongs) stays once the window is up, the window opens as wide as its
// pages ask, on a large screen as on a small one, and a longer text later does not widen it.
TEST_F(WindowSize, TheStatusTextNeverWidensTheWindow)
{
    platform::QtSettingsStore folder(doubles.dir.path());
    ASSERT_FALSE(folder.Notice().isEmpty());
    StoreInPlace inPlace(folder);
    QList<int> widths;
    for (const QSize& size : {QSize(1280, 800), QSize(1024, 768)}) {
        screen.area = QRect(QPoint(), size);
        screen.margins = QMargins(4, 28, 4, 4);
        ASSERT_TRUE(Start());
        window->show();
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
        EXPECT_EQ(Status(), folder.Notice());
        widths << window->width();
        window->SetStatusText(QString(400, 'x'));
        QApplication::processEvents();
        EXPECT_EQ(window->width(), widths.last());
        CloseWindow();
    }
    EXPECT_EQ(widths.first(), widths.last());
    EXPECT_LT(widths.last(), 1024 - 8);
}
