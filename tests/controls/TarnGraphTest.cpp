// The line graph rendered to an image and checked at computed pixels, and the mouse
// position mapped back to graph units.
#include "controls/TarnGraph.h"
#include "tests/common/Doubles.h"

#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>

namespace {

class Graph : public ::testing::Test {
protected:
    testing_doubles::PlatformDoubles doubles;
    TarnGraph graph;
    // 440 x 330 without border: plot from (40, 30) to (400, 290), 360 x 260 pixels.
    static constexpr int W = 440, H = 330, L = 40, T = 30, R = 400, B = 290;
    const QColor axis{0, 0, 255}, mark{0, 160, 0}, data{255, 0, 0}, back{128, 128, 128};

    void SetUp() override
    {
        graph.SetBorderStyle(0);
        graph.SetAxisColor(axis);
        graph.SetMarkColor(mark);
        graph.SetDataColor(data);
        graph.resize(W, H);
    }
    QImage paint()
    {
        QImage image(graph.size(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        graph.render(&image);
        return image;
    }
    int count(const QImage& img, const QRect& area, const QColor& color)
    {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += img.pixelColor(x, y) == color;
        return n;
    }
    // Pixels that are not background: text is drawn smoothed, so only some take the colour itself.
    int inked(const QImage& img, const QRect& area) { return area.width() * area.height() - count(img, area, back); }
    QList<QPair<float, float>> moveTo(const QList<QPoint>& points)
    {
        QList<QPair<float, float>> seen;
        auto c = QObject::connect(&graph, &TarnGraph::GraphValues, [&](float x, float y) { seen.append({x, y}); });
        for (const QPoint& p : points) {
            QMouseEvent move(QEvent::MouseMove, QPointF(p), graph.mapToGlobal(QPointF(p)), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(&graph, &move);
        }
        QObject::disconnect(c);
        return seen;
    }
};

TEST_F(Graph, NewGraphHasTheStoredDefaults)
{
    TarnGraph g;
    EXPECT_EQ(g.XSteps(), 10);
    EXPECT_EQ(g.XStep(), 1);
    EXPECT_EQ(g.XStepMarkEvery(), 2);
    EXPECT_EQ(g.FromTop(), 30);
    EXPECT_EQ(g.FromLeft(), 40);
    EXPECT_EQ(g.BackColor(), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(g.MarkColor(), QColor(0x40, 0x40, 0x40));
    EXPECT_EQ(g.DataColor(), QColor(0xC0, 0, 0));
    EXPECT_EQ(g.MarkDescriptionBottom(), "Description");
    EXPECT_TRUE(g.WriteProperties().isEmpty());
}

TEST_F(Graph, FrameCornersAndSides)
{
    const QImage img = paint();
    for (const QPoint p : {QPoint(L, T), QPoint(R, T), QPoint(L, B), QPoint(R, B), QPoint(200, T), QPoint(200, B),
                           QPoint(L, 150), QPoint(R, 150)})
        EXPECT_EQ(img.pixelColor(p), axis) << p.x() << "," << p.y();
    EXPECT_EQ(img.pixelColor(L - 1, 150), back);
    EXPECT_EQ(img.pixelColor(R + 1, 150), back);
    EXPECT_EQ(img.pixelColor(200, T - 1), back);
}

TEST_F(Graph, DottedGridLinesAtEveryStepButTheLast)
{
    const QImage img = paint();
    // Ten steps of 36 pixels across, ten of 26 pixels up.
    for (int s = 1; s < 10; ++s) {
        const int x = L + s * 36;
        const int dots = count(img, QRect(x, T + 1, 1, B - T - 1), mark);
        EXPECT_GT(dots, 40) << "x step " << s;
        EXPECT_LT(dots, B - T - 1) << "x step " << s;
        const int y = B - s * 26;
        EXPECT_GT(count(img, QRect(L + 1, y, R - L - 1, 1), mark), 60) << "y step " << s;
    }
    // Half way between two grid lines there is only background.
    EXPECT_EQ(count(img, QRect(L + 18, T + 30, 1, 200), mark), 0);
}

TEST_F(Graph, DataLineThroughComputedPixels)
{
    graph.AddDataValue(0, 0);
    graph.AddDataValue(5, 5);
    const QImage img = paint();
    // (5, 5) lies at 40 + 5 * 36 = 220 and 290 - 5 * 26 = 160; the middle of the segment at (130, 225).
    EXPECT_EQ(img.pixelColor(220, 160), data);
    EXPECT_EQ(img.pixelColor(130, 225), data);
    EXPECT_EQ(img.pixelColor(221, 159), back);
}

TEST_F(Graph, FirstPointAloneDrawsNothing)
{
    graph.AddDataValue(5, 5);
    EXPECT_EQ(graph.Data().size(), 1);
    EXPECT_EQ(count(paint(), QRect(0, 0, W, H), data), 0);
    graph.ClearData();
    EXPECT_TRUE(graph.Data().isEmpty());
}

TEST_F(Graph, PointBeyondThePlotIsClippedAtTheFrame)
{
    graph.SetData({{5, 5}, {20, 5}, {20, 100}});
    const QImage img = paint();
    EXPECT_EQ(img.pixelColor(R - 1, 160), data);
    EXPECT_EQ(img.pixelColor(R, 160), axis);
    EXPECT_EQ(count(img, QRect(R + 1, 0, W - R - 1, H), data), 0);
    EXPECT_EQ(count(img, QRect(0, 0, W, T - 1), data), 0);
}

TEST_F(Graph, LabelsOnTheMarkedStepsOnly)
{
    graph.SetXSteps(8);
    graph.SetXStep(250);
    graph.SetXStepMarkEvery(1);
    graph.SetMarkDescriptionBottom("");
    graph.SetMarkDescriptionLeft("");
    const QImage img = paint();
    const int rowTop = B + 1, rowHeight = graph.fontMetrics().height();
    // A label under each of the eight steps (45 pixels apart), none at the origin.
    for (int s = 1; s <= 8; ++s) {
        const int x = L + s * 45;
        EXPECT_GT(inked(img, QRect(x - 6, rowTop, 13, rowHeight)), 0) << "label " << s;
    }
    EXPECT_EQ(inked(img, QRect(L - 5, rowTop, 10, rowHeight)), 0);
    // Left labels every second step: 2, 4, ... 10, right-aligned 2 pixels left of the frame.
    EXPECT_GT(inked(img, QRect(0, B - 2 * 26 - 6, L - 2, 12)), 0);
    EXPECT_EQ(inked(img, QRect(0, B - 1 * 26 - 3, L - 2, 6)), 0);
    EXPECT_EQ(inked(img, QRect(L - 2, T, 2, B - T)), 0);
}

TEST_F(Graph, LabelsThinOutUntilTheyFit)
{
    // width of the graph, X steps, step size, mark interval, Y steps.
    struct Case {
        int width, xSteps, xStep, markEvery, ySteps;
    } cases[] = {
        {440, 8, 250, 1, 10},  // wide enough: every step labelled
        {440, 12, 250, 1, 10},
        {200, 12, 250, 2, 10}, // the page's small graph widened to 3000 RPM
        {160, 8, 250, 2, 40},
        {120, 13, 250, 1, 60},
        {100, 40, 1000, 3, 5},
        {100, 12, 250, 2, 10}, // room for one label at most
    };
    graph.SetMarkDescriptionBottom("");
    graph.SetMarkDescriptionLeft("");
    for (const Case& c : cases) {
        graph.resize(c.width, H);
        graph.SetXSteps(c.xSteps);
        graph.SetXStep(c.xStep);
        graph.SetXStepMarkEvery(c.markEvery);
        graph.SetYSteps(c.ySteps);
        const QImage img = paint();
        const QFontMetrics fm(graph.font());
        const int plotW = c.width - L - 40;
        const double perStep = double(plotW) / c.xSteps;
        int widest = 0;
        for (int s = 1; s <= c.xSteps; ++s)
            widest = qMax(widest, fm.horizontalAdvance(QString::number(s * c.xStep)));
        const int every = graph.XLabelEvery();
        SCOPED_TRACE(testing::Message() << "width " << c.width << " steps " << c.xSteps << " every " << every);
        // Only whole mark intervals, the smallest one that leaves room for the widest label.
        EXPECT_EQ(every % c.markEvery, 0);
        EXPECT_TRUE(every >= c.xSteps || every * perStep >= widest + 4);
        EXPECT_TRUE(every == c.markEvery || (every - c.markEvery) * perStep < widest + 4);
        // Drawn: midway between two labels the label row is blank, and each label is inked.
        const int rowTop = B + 1, rowHeight = fm.height();
        for (int s = every; s <= c.xSteps; s += every) {
            const int x = L + int(std::lround(s * perStep));
            EXPECT_GT(inked(img, QRect(x - 2, rowTop, 5, rowHeight)), 0) << "label " << s;
            if (s + every <= c.xSteps) {
                const int mid = L + int(std::lround((s + every / 2.0) * perStep));
                EXPECT_EQ(inked(img, QRect(mid - 1, rowTop, 3, rowHeight)), 0) << "after label " << s;
            }
        }
        // The left labels keep at least a line's height between them.
        const double perY = double(B - T) / c.ySteps;
        EXPECT_GE(graph.YLabelEvery() * perY + 0.5, std::min<double>(fm.height(), c.ySteps * perY));
        EXPECT_EQ(graph.YLabelEvery() % 2, 0);
    }
}

TEST_F(Graph, DescriptionsInTheCorners)
{
    graph.SetMarkDescriptionLeft("bar");
    graph.SetMarkDescriptionBottom("rpm");
    const QImage img = paint();
    const int fh = graph.fontMetrics().height();
    EXPECT_GT(inked(img, QRect(2, 2, 30, fh)), 0);
    EXPECT_GT(inked(img, QRect(W - 40, H - 2 - fh, 38, fh)), 0);
    EXPECT_EQ(inked(img, QRect(W - 2, 0, 2, H)), 0);
    EXPECT_EQ(inked(img, QRect(0, H - 2, W, 2)), 0);
}

TEST_F(Graph, MousePositionInGraphUnits)
{
    graph.SetXSteps(8);
    graph.SetXStep(250);
    graph.SetYStep(10);
    const auto seen = moveTo({QPoint(220, 160), QPoint(L - 1, 160), QPoint(L - 3, 160), QPoint(R + 5, B + 1),
                              QPoint(R + 1, B + 1), QPoint(L, T)});
    ASSERT_EQ(seen.size(), 6);
    // 360 pixels for 2000 rpm, 260 pixels for 100 units.
    EXPECT_FLOAT_EQ(seen[0].first, 1000.0f);
    EXPECT_FLOAT_EQ(seen[0].second, 50.0f);
    EXPECT_FLOAT_EQ(seen[1].first, 0.0f);
    EXPECT_EQ(seen[2], qMakePair(TarnGraph::OutsideValue, TarnGraph::OutsideValue));
    EXPECT_EQ(seen[3], qMakePair(TarnGraph::OutsideValue, TarnGraph::OutsideValue));
    EXPECT_FLOAT_EQ(seen[4].first, 2000.0f);
    EXPECT_FLOAT_EQ(seen[4].second, 0.0f);
    EXPECT_FLOAT_EQ(seen[5].second, 100.0f);
}

TEST_F(Graph, BorderShiftsTheDrawingByOnePixel)
{
    graph.SetBorderStyle(1);
    graph.resize(W + 2, H + 2);
    graph.SetData({{0, 0}, {5, 5}});
    const QImage img = paint();
    EXPECT_EQ(img.pixelColor(L + 1, T + 1), axis);
    EXPECT_EQ(img.pixelColor(221, 161), data);
    const auto seen = moveTo({QPoint(221, 161)});
    ASSERT_EQ(seen.size(), 1);
    EXPECT_FLOAT_EQ(seen[0].first, 5.0f);
    EXPECT_FLOAT_EQ(seen[0].second, 5.0f);
}

TEST_F(Graph, NoScaleDrawsNoDataAndReportsNoPosition)
{
    struct Case {
        const char* name;
        qint32 xSteps, xStep, ySteps, yStep;
        QSize size;
    };
    const Case cases[] = {
        {"zero x steps", 0, 1, 10, 1, QSize(W, H)},
        {"zero y step", 10, 1, 10, 0, QSize(W, H)},
        {"negative steps", -3, 1, 10, 1, QSize(W, H)},
        {"no room", 10, 1, 10, 1, QSize(60, 50)},
    };
    for (const Case& c : cases) {
        graph.SetXSteps(c.xSteps);
        graph.SetXStep(c.xStep);
        graph.SetYSteps(c.ySteps);
        graph.SetYStep(c.yStep);
        graph.resize(c.size);
        graph.SetData({{0, 0}, {5, 5}, {1e30f, -1e30f}, {std::nanf(""), 1}});
        const QImage img = paint();
        if (c.size == QSize(W, H)) {
            EXPECT_EQ(count(img, QRect(0, 0, W, H), data), 0) << c.name;
        }
        const auto seen = moveTo({QPoint(c.size.width() / 2, c.size.height() / 2)});
        for (const auto& v : seen) {
            EXPECT_FALSE(std::isnan(v.first) || std::isinf(v.first)) << c.name;
            EXPECT_EQ(v.first, TarnGraph::OutsideValue) << c.name;
        }
        graph.resize(W, H);
    }
}

TEST_F(Graph, HugeValuesDrawWithoutOverflow)
{
    graph.SetData({{1, 1}, {1e30f, 1e30f}, {-1e30f, 2}});
    const QImage img = paint();
    EXPECT_GT(count(img, QRect(L + 1, T, R - L - 1, B - T), data), 0);
    // A far point keeps its segment's slope: (0, 0)-(1e6, 2e6) crosses x = 100 at y = 290 - 60 * 52 / 36.
    graph.SetData({{0, 0}, {1e6f, 2e6f}});
    const QImage far = paint();
    EXPECT_GT(count(far, QRect(100, 202, 1, 3), data), 0);
    EXPECT_EQ(count(far, QRect(100, 206, 1, B - 206), data), 0);
}

TEST_F(Graph, ClicksAndDoubleClicks)
{
    QSignalSpy clicks(&graph, &TarnGraph::Click);
    QSignalSpy doubles2(&graph, &TarnGraph::DblClick);
    QTest::mouseClick(&graph, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseDClick(&graph, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_EQ(doubles2.count(), 1);
    EXPECT_GE(clicks.count(), 1);
}

TEST_F(Graph, StoredPropertiesRoundTrip)
{
    graph.SetYSteps(5);
    graph.SetMarkDescriptionLeft("bar");
    const QVariantMap bag = graph.WriteProperties();
    TarnGraph loaded;
    loaded.ReadProperties(bag);
    EXPECT_EQ(loaded.YSteps(), 5);
    EXPECT_EQ(loaded.BorderStyle(), 0);
    EXPECT_EQ(loaded.AxisColor(), axis);
    EXPECT_EQ(loaded.MarkDescriptionLeft(), "bar");
    EXPECT_EQ(loaded.MarkDescriptionBottom(), "Description");
}

TEST_F(Graph, EveryStoredPropertyIsSavedUnderItsNameAndLoadsBack)
{
    TarnGraph g;
    QFont big = g.font();
    big.setPointSize(big.pointSize() + 7);
    g.SetAxisColor(QColor(1, 2, 3));
    g.SetMarkColor(QColor(4, 5, 6));
    g.SetBackColor(QColor(7, 8, 9));
    g.SetDataColor(QColor(10, 11, 12));
    g.SetBorderStyle(0);
    g.SetXStart(100);
    g.SetXStep(50);
    g.SetXSteps(12);
    g.SetXStepMarkEvery(3);
    g.SetYStart(-5);
    g.SetYStep(20);
    g.SetYSteps(8);
    g.SetYStepMarkEvery(4);
    g.SetFromTop(11);
    g.SetFromLeft(12);
    g.SetFromRight(13);
    g.SetFromBottom(14);
    g.SetMarkFontBottom(big);
    g.SetMarkFontLeft(big);
    g.SetMarkDescriptionBottom("rpm");
    g.SetMarkDescriptionLeft("bar");
    g.SetMousePointer(2);
    const QVariantMap bag = g.WriteProperties();
    EXPECT_EQ(bag.keys(),
              (QStringList{"AxisColor", "BackColor", "BorderStyle", "DataColor", "FromBottom", "FromLeft",
                           "FromRight", "FromTop", "MarkColor", "MarkDescriptionBottom", "MarkDescriptionLeft",
                           "MarkFontBottom", "MarkFontLeft", "MousePointer", "XStart", "XStep",
                           "XStepMarkEvery", "XSteps", "YStart", "YStep", "YStepMarkEvery", "YSteps"}));
    TarnGraph loaded;
    loaded.ReadProperties(bag);
    EXPECT_EQ(loaded.WriteProperties(), bag);
    EXPECT_EQ(loaded.YStart(), -5);
    EXPECT_EQ(loaded.MarkFontLeft(), big);
    EXPECT_EQ(loaded.MousePointer(), 2);

    // An empty bag brings every default back.
    loaded.ReadProperties({});
    EXPECT_TRUE(loaded.WriteProperties().isEmpty());
    EXPECT_EQ(loaded.FromBottom(), 40);
}

} // namespace
