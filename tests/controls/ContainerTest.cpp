// The captioned container: switching its children, its own enabled state, and the
// etched frame it draws.
#include "controls/Container.h"
#include "controls/Number.h"
#include "tests/common/Doubles.h"

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

struct Group {
    testing_doubles::PlatformDoubles doubles;
    Container frame;
    Number* number = nullptr;
    QCheckBox* check = nullptr;
    QLabel* label = nullptr;
    QLabel* nested = nullptr;
    Group()
    {
        number = new Number(&frame);
        check = new QCheckBox(&frame);
        label = new QLabel(&frame);
        nested = new QLabel(check); // inside a contained control, not itself contained
    }
};

TEST(Container, ContainedControlsAreTheDirectChildren)
{
    Group g;
    const QList<QWidget*> contained = g.frame.ContainedControls();
    EXPECT_EQ(contained.size(), 3);
    EXPECT_TRUE(contained.contains(g.number));
    EXPECT_FALSE(contained.contains(g.nested));
}

TEST(Container, ChildrenEnabledSwitchesEveryChildAndReportsOnce)
{
    Group g;
    QSignalSpy spy(&g.frame, &Container::ChildrenEnabledChange);
    g.frame.SetChildrenEnabled(false);
    EXPECT_FALSE(g.frame.ChildrenEnabled());
    for (QWidget* w : g.frame.ContainedControls())
        EXPECT_FALSE(w->isEnabled());
    EXPECT_TRUE(g.frame.isEnabled());
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toBool(), false);

    // The same value again walks the children again and reports again.
    g.check->setEnabled(true);
    g.frame.SetChildrenEnabled(false);
    EXPECT_FALSE(g.check->isEnabled());
    EXPECT_EQ(spy.count(), 2);

    g.frame.SetChildrenEnabled(true);
    for (QWidget* w : g.frame.ContainedControls())
        EXPECT_TRUE(w->isEnabled());
    EXPECT_EQ(spy.at(2).at(0).toBool(), true);
}

TEST(Container, EnabledLeavesEachChildsOwnState)
{
    Group g;
    QSignalSpy spy(&g.frame, &Container::ChildrenEnabledChange);
    QSignalSpy never(&g.frame, &Container::EnabledChange);
    g.check->setEnabled(false);
    g.frame.SetEnabled(false);
    EXPECT_FALSE(g.frame.Enabled());
    EXPECT_FALSE(g.number->isEnabled()); // greyed with its frame ...
    EXPECT_TRUE(g.number->Enabled());    // ... but its own state is kept
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toBool(), false);
    g.frame.SetEnabled(true);
    EXPECT_TRUE(g.number->isEnabled());
    EXPECT_FALSE(g.check->isEnabled());
    EXPECT_TRUE(g.frame.ChildrenEnabled());
    EXPECT_EQ(spy.count(), 2);
    EXPECT_EQ(never.count(), 0);
}

TEST(Container, LoadedChildrenEnabledIsStoredOnly)
{
    Group g;
    QSignalSpy spy(&g.frame, &Container::ChildrenEnabledChange);
    g.frame.ReadProperties(QVariantMap{{"ChildrenEnabled", false}, {"Caption", "Start"}});
    EXPECT_FALSE(g.frame.ChildrenEnabled());
    EXPECT_TRUE(g.number->isEnabled());
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(g.frame.Caption(), "Start");
    const QVariantMap bag = g.frame.WriteProperties();
    EXPECT_EQ(bag.value("ChildrenEnabled"), QVariant(false));
    EXPECT_EQ(bag.value("Caption").toString(), "Start");
    EXPECT_FALSE(bag.contains("BorderStyle"));
}

class ContainerPicture : public ::testing::Test {
protected:
    testing_doubles::PlatformDoubles doubles;
    Container frame;
    const QColor light{255, 255, 255}, dark{128, 128, 128}, face{200, 100, 50}, back{10, 20, 30};

    QImage paint()
    {
        QPalette pal = frame.palette();
        pal.setColor(QPalette::Light, light);
        pal.setColor(QPalette::Dark, dark);
        pal.setColor(QPalette::Button, face);
        pal.setColor(QPalette::Window, back);
        pal.setColor(QPalette::WindowText, Qt::black);
        frame.setPalette(pal);
        frame.resize(200, 100);
        QImage image(frame.size(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        frame.render(&image);
        return image;
    }
};

TEST_F(ContainerPicture, EtchedFrameLiesHalfALineDown)
{
    const QImage img = paint();
    const int off = frame.CaptionOffset();
    EXPECT_EQ(off, qRound(frame.fontMetrics().height() / 2.0));
    const int w = 200, h = 100, midY = (off + h) / 2;
    EXPECT_EQ(img.pixelColor(0, midY), dark);
    EXPECT_EQ(img.pixelColor(1, midY), light);
    EXPECT_EQ(img.pixelColor(w - 2, midY), dark);
    EXPECT_EQ(img.pixelColor(w - 1, midY), light);
    EXPECT_EQ(img.pixelColor(100, off), dark);
    EXPECT_EQ(img.pixelColor(100, off + 1), light);
    EXPECT_EQ(img.pixelColor(100, h - 2), dark);
    EXPECT_EQ(img.pixelColor(100, h - 1), light);
    EXPECT_EQ(img.pixelColor(0, off - 1), back);
    EXPECT_EQ(img.pixelColor(100, midY), back);
}

TEST_F(ContainerPicture, CaptionClearsTheFrameBehindIt)
{
    frame.SetCaption("Starting");
    const QImage img = paint();
    const int off = frame.CaptionOffset();
    const int textWidth = frame.fontMetrics().boundingRect("Starting").width();
    EXPECT_EQ(img.pixelColor(3, off), dark);
    EXPECT_EQ(img.pixelColor(6, off), face);
    EXPECT_EQ(img.pixelColor(textWidth + 12, off), dark);
}

TEST_F(ContainerPicture, NoBorderDrawsNoFrame)
{
    frame.SetBorderStyle(Container::None);
    const QImage img = paint();
    EXPECT_EQ(img.pixelColor(0, 50), back);
    EXPECT_EQ(img.pixelColor(199, 99), back);
}

} // namespace
