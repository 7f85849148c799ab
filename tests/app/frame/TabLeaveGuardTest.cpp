// The guard asks before each input that would show another page, and only then: a click on the
// page on show, a disabled tab or an arrow at the end of the strip asks nothing.
#include "app/frame/TabLeaveGuard.h"

#include <QApplication>
#include <QPointingDevice>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <functional>

namespace {

void Click(QTabWidget& tabs, int tab, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(tabs.tabBar(), button, {}, tabs.tabBar()->tabRect(tab).center());
}

// A touch pad scrolls by pixels as well.
void Wheel(QTabWidget& tabs, int delta, bool touchPad = false)
{
    static const QPointingDevice pad("pad", 9001, QInputDevice::DeviceType::TouchPad,
                                     QPointingDevice::PointerType::Finger,
                                     QInputDevice::Capability::Scroll | QInputDevice::Capability::PixelScroll, 2, 0);
    QTabBar* bar = tabs.tabBar();
    const QPointF at = bar->tabRect(bar->currentIndex()).center();
    QWheelEvent wheel(at, bar->mapToGlobal(at), touchPad ? QPoint(0, delta / 10) : QPoint(), {0, delta},
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false, Qt::MouseEventNotSynthesized,
                      touchPad ? &pad : QPointingDevice::primaryPointingDevice());
    QApplication::sendEvent(bar, &wheel);
}

} // namespace

TEST(TabLeaveGuard, AsksOnlyWhenAnotherPageWouldShow)
{
    struct Case {
        const char* road;
        int from;
        std::function<void(QTabWidget&)> act;
        int target; // the page the input shows; -1: none
    } cases[] = {
        {"click on another tab", 0, [](QTabWidget& t) { Click(t, 3); }, 3},
        {"click on the page on show", 1, [](QTabWidget& t) { Click(t, 1); }, -1},
        {"click on a disabled tab", 1, [](QTabWidget& t) { Click(t, 2); }, -1},
        {"right button", 0, [](QTabWidget& t) { Click(t, 3, Qt::RightButton); }, -1},
        {"Ctrl+Tab skips the disabled tab", 1,
         [](QTabWidget& t) { QTest::keyClick(t.widget(1), Qt::Key_Tab, Qt::ControlModifier); }, 3},
        {"Ctrl+Shift+Tab wraps round", 0,
         [](QTabWidget& t) {
             QTest::keyClick(t.widget(0), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
         },
         3},
        {"Right on the strip", 0, [](QTabWidget& t) { QTest::keyClick(t.tabBar(), Qt::Key_Right); }, 1},
        {"Left at the first tab", 0, [](QTabWidget& t) { QTest::keyClick(t.tabBar(), Qt::Key_Left); }, -1},
        {"wheel down", 0, [](QTabWidget& t) { Wheel(t, -120); }, 1},
        {"wheel up at the first tab", 0, [](QTabWidget& t) { Wheel(t, 120); }, -1},
        {"touch pad scroll", 0, [](QTabWidget& t) { Wheel(t, -120, true); }, -1},
        {"mnemonic", 0, [](QTabWidget& t) { QTest::keySequence(t.widget(0), QKeySequence(Qt::ALT | Qt::Key_D)); }, 3},
        {"mnemonic of the page on show", 0,
         [](QTabWidget& t) { QTest::keySequence(t.widget(0), QKeySequence(Qt::ALT | Qt::Key_A)); }, -1},
    };
    for (const bool allow : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.road << (allow ? " allowed" : " refused"));
            QTabWidget tabs;
            for (const char* caption : {"&Alpha", "&Beta", "&Gamma", "&Delta"}) {
                auto* page = new QWidget;
                page->setFocusPolicy(Qt::StrongFocus);
                tabs.addTab(page, QString::fromLatin1(caption));
            }
            tabs.setTabEnabled(2, false);
            int asked = 0;
            new TabLeaveGuard(&tabs, [&] {
                ++asked;
                return allow;
            });
            tabs.setCurrentIndex(c.from);
            tabs.show();
            tabs.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&tabs));
            tabs.currentWidget()->setFocus();
            c.act(tabs);
            QApplication::processEvents();
            EXPECT_EQ(asked, c.target >= 0 ? 1 : 0);
            EXPECT_EQ(tabs.currentIndex(), allow && c.target >= 0 ? c.target : c.from);
        }
    }
}
