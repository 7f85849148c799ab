// Every control can be created, set and read, and reports its changes.
#include "controls/Container.h"
#include "controls/Float.h"
#include "controls/InfoWindow.h"
#include "controls/Number.h"
#include "controls/TarnGraph.h"
#include "tests/common/Doubles.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

TEST(ControlsSmoke, ValuesSetAndReadWithChangeSignals)
{
    testing_doubles::PlatformDoubles doubles;
    Number n;
    QSignalSpy nChange(&n, &Number::Change);
    n.SetMax(600);
    n.SetValue(250);
    EXPECT_EQ(n.Value(), 250);
    EXPECT_EQ(nChange.count(), 1);

    Float f;
    QSignalSpy fChange(&f, &Float::Change);
    f.SetMax(100);
    f.SetValue(12.5f);
    EXPECT_FLOAT_EQ(f.Value(), 12.5f);
    EXPECT_EQ(fChange.count(), 1);

    InfoWindow info;
    QSignalSpy iChange(&info, &InfoWindow::Change);
    info.SetText("Line one\r\nLine two");
    EXPECT_EQ(info.Text(), "Line one\r\nLine two");
    EXPECT_EQ(iChange.count(), 1);

    Container c;
    QSignalSpy cChange(&c, &Container::ChildrenEnabledChange);
    auto* child = new Number(&c);
    c.SetChildrenEnabled(false);
    EXPECT_FALSE(child->isEnabled());
    EXPECT_EQ(cChange.count(), 1);

    TarnGraph g;
    g.resize(300, 200);
    g.AddDataValue(1, 2);
    g.AddDataValue(3, 4);
    EXPECT_EQ(g.Data().size(), 2);
    QImage img(g.size(), QImage::Format_RGB32);
    g.render(&img);
}
