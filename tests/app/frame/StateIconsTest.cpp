// The composed list-state pictures: counts, the fixed order and each picture's pixels.
#include "app/frame/StateIcons.h"
#include "tests/common/Doubles.h"

#include <gtest/gtest.h>

namespace {

// Glyph over base, magenta of both see-through: what a composed picture must look like.
QImage Expected(const QStringList& glyphs)
{
    QImage result;
    for (const QString& key : glyphs) {
        const QImage g = StateIcons::Glyph(key);
        EXPECT_FALSE(g.isNull()) << key.toStdString();
        result = result.isNull() ? StateIcons::Overlay(g, g) : StateIcons::Overlay(result, g);
    }
    return result;
}

bool SamePixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return false;
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col)
            if (x.pixel(col, row) != y.pixel(col, row))
                return false;
    return true;
}

// The glyphs a key is made of: "NOX_WARNING_RUN" -> NOX, WARNINGX, RUNX.
QStringList GlyphsOf(const QString& key)
{
    QStringList words = key.split('_');
    const bool inactive = words.first().endsWith('X');
    QStringList glyphs{words.takeFirst()};
    if (words.size() >= 2 && words[0] == "WARNING" && (words[1] == "ALARM" || words[1] == "SHUTDOWN")) {
        glyphs << words[1] + (inactive ? "X" : "") << QString("WARNING2") + (inactive ? "X" : "");
        words.remove(0, 2);
    }
    for (const QString& w : words)
        glyphs << w + (inactive ? "X" : "");
    return glyphs;
}

QImage FailingGlyph(const QString& key) { return key == "SHUTDOWN" ? QImage() : StateIcons::Glyph(key); }

} // namespace

TEST(StateIcons, CountsAndTheFixedOrder)
{
    testing_doubles::PlatformDoubles doubles;
    const StateIcons::Lists lists = StateIcons::Compose();
    EXPECT_EQ(lists.blankPictures, 0);
    EXPECT_EQ(lists.imlDigitalSource.images.size(), 24);
    EXPECT_EQ(lists.imlAnalogSource.images.size(), 60);
    EXPECT_EQ(lists.imlDigital.images.size(), 24);
    EXPECT_EQ(lists.imlAnalog.images.size(), 52);
    EXPECT_EQ(lists.imlRelay.images.size(), 34);
    EXPECT_EQ(lists.imlAdditionalRUNDetect.images.size(), 76);
    struct Row {
        const StateIcons::ImageList* list;
        int index;
        const char* key;
    };
    const Row rows[] = {
        {&lists.imlDigitalSource, 13, "NC_ALARM"},       {&lists.imlDigitalSource, 16, "NCX_ALARM"},
        {&lists.imlDigitalSource, 24, "NOX_WARNING"},    {&lists.imlDigital, 1, "NC_ALARM"},
        {&lists.imlDigital, 4, "NC_ALARM_RUN"},          {&lists.imlDigital, 9, "NO_WARNING"},
        {&lists.imlDigital, 13, "NCX_ALARM"},            {&lists.imlDigital, 24, "NOX_WARNING_RUN"},
        {&lists.imlAnalogSource, 25, "ANALOG_ALARM"},    {&lists.imlAnalogSource, 28, "ANALOG_WARNING_ALARM"},
        {&lists.imlAnalogSource, 30, "ANALOG_2SETPOINTS"}, {&lists.imlAnalogSource, 42, "ANALOG_2SETPOINTS_BELOW"},
        {&lists.imlAnalogSource, 43, "ANALOGX_ALARM"},   {&lists.imlAnalogSource, 60, "ANALOGX_2SETPOINTS_BELOW"},
        {&lists.imlAnalog, 1, "ANALOG"},                 {&lists.imlAnalog, 8, "ANALOG_WARNING_ALARM_ABOVE"},
        {&lists.imlAnalog, 14, "ANALOG_RUN"},            {&lists.imlAnalog, 22, "ANALOG_WARNING_ALARM_BELOW_RUN"},
        {&lists.imlAnalog, 27, "ANALOGX"},               {&lists.imlAnalog, 40, "ANALOGX_RUN"},
        {&lists.imlAnalog, 52, "ANALOGX_2SETPOINTS_BELOW_RUN"},
        {&lists.imlRelay, 1, "EVENT"},                   {&lists.imlRelay, 4, "RELAYX"},
        {&lists.imlRelay, 5, "NC_WARNING"},              {&lists.imlRelay, 6, "NC_ALARM"},
        {&lists.imlRelay, 7, "NC_SHUTDOWN"},             {&lists.imlRelay, 16, "NOX_SHUTDOWN"},
        {&lists.imlRelay, 17, "ANALOG_WARNING_ABOVE"},   {&lists.imlRelay, 23, "ANALOG_2SETPOINTS_ABOVE"},
        {&lists.imlRelay, 25, "ANALOGX_WARNING_ABOVE"},  {&lists.imlRelay, 32, "ANALOGX_2SETPOINTS_BELOW"},
        {&lists.imlRelay, 33, "ANALOGX"},                {&lists.imlRelay, 34, "ANALOG"},
        {&lists.imlAdditionalRUNDetect, 1, "NC_ALARM"},  {&lists.imlAdditionalRUNDetect, 24, "NOX_WARNING_RUN"},
        {&lists.imlAdditionalRUNDetect, 25, "ANALOG"},   {&lists.imlAdditionalRUNDetect, 76, "ANALOGX_2SETPOINTS_BELOW_RUN"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.list->keys.value(row.index - 1), row.key) << row.index;
    // The switch and analog keys never meet.
    for (const QString& key : lists.imlDigital.keys)
        EXPECT_FALSE(lists.imlAnalog.keys.contains(key));
    // The index rules of the lists land on the right pictures.
    EXPECT_EQ(lists.imlDigital.keys[1 + 6 + 2 + 3 + 12 - 1], "NOX_WARNING_RUN");
    EXPECT_EQ(lists.imlAnalog.keys[8 + 1 + 13 - 1], "ANALOG_WARNING_ALARM_BELOW_RUN");
}

TEST(StateIcons, EveryComposedPictureIsItsGlyphsOverlaid)
{
    testing_doubles::PlatformDoubles doubles;
    const StateIcons::Lists lists = StateIcons::Compose();
    for (const StateIcons::ImageList* list :
         {&lists.imlDigital, &lists.imlAnalog, &lists.imlRelay, &lists.imlAdditionalRUNDetect}) {
        for (int i = 0; i < list->images.size(); ++i) {
            const QString key = list->keys[i];
            if (QStringList{"EVENT", "ALARM", "RELAY", "RELAYX"}.contains(key) && list == &lists.imlRelay && i < 4)
                continue;
            EXPECT_TRUE(SamePixels(list->images[i], Expected(GlyphsOf(key)))) << key.toStdString();
        }
    }
    // The pictures differ from one another where their states differ.
    EXPECT_FALSE(SamePixels(lists.imlDigital.images[0], lists.imlDigital.images[3]));
    EXPECT_FALSE(SamePixels(lists.imlAnalog.images[1], lists.imlAnalog.images[2]));
    EXPECT_FALSE(SamePixels(lists.imlDigital.images[0], lists.imlDigital.images[12]));
    // Magenta is see-through in every picture.
    for (const QImage& image : lists.imlAnalog.images)
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ASSERT_NE(image.pixel(x, y) | 0xFF000000, 0xFFFF00FF);
}

TEST(StateIcons, AGlyphThatCannotBeReadLeavesBlanksInPlace)
{
    testing_doubles::PlatformDoubles doubles;
    const StateIcons::Lists lists = StateIcons::Compose(&FailingGlyph);
    EXPECT_EQ(lists.blankPictures, 2); // the glyph in both source lists, once each
    EXPECT_EQ(lists.imlDigital.images.size(), 24);
    EXPECT_EQ(lists.imlAnalog.images.size(), 52);
    EXPECT_EQ(lists.imlRelay.images.size(), 34);
    EXPECT_EQ(lists.imlAdditionalRUNDetect.images.size(), 76);
    const int shutdown = lists.imlDigital.IndexOf("NC_SHUTDOWN") - 1;
    EXPECT_EQ(shutdown, 1);
    // The missing glyph draws nothing: the picture shows its base alone, in its own place.
    EXPECT_TRUE(SamePixels(lists.imlDigital.images[shutdown], Expected({"NC"})));
    const QImage& blank = lists.imlDigitalSource.images[3];
    int drawn = 0;
    for (int y = 0; y < blank.height(); ++y)
        for (int x = 0; x < blank.width(); ++x)
            drawn += qAlpha(blank.pixel(x, y)) != 0;
    EXPECT_EQ(drawn, 0);
    EXPECT_EQ(blank.size(), QSize(22, 16));
    // Everything else is still right.
    EXPECT_TRUE(SamePixels(lists.imlDigital.images[0], Expected({"NC", "ALARM"})));
    EXPECT_EQ(lists.imlDigital.keys[2], "NC_WARNING");
}

TEST(StateIcons, TheWindowGetsIconsInTheSameOrder)
{
    testing_doubles::PlatformDoubles doubles;
    const ListImages images = StateIcons::BuildStateIcons();
    EXPECT_EQ(images.imlDigital.size(), 24);
    EXPECT_EQ(images.imlAnalog.size(), 52);
    EXPECT_EQ(images.imlRelay.size(), 34);
    EXPECT_EQ(images.imlAdditionalRUNDetect.size(), 76);
    EXPECT_EQ(images.imlRelayKeys.value(4), "NC_WARNING");
    EXPECT_FALSE(images.imlAnalog[51].isNull());
}

// The picker lists fixed functions (event tick, alarm bell) among inputs whose action marks
// sit at the right: every mark stands in that one column.
TEST(StateIcons, EventAndActionMarksShareOneColumn)
{
    for (const char* key : {"EVENT", "ALARM", "WARNING", "SHUTDOWN"}) {
        const QImage g = StateIcons::Overlay(StateIcons::Glyph(key), StateIcons::Glyph(key));
        ASSERT_FALSE(g.isNull()) << key;
        int left = g.width();
        for (int y = 0; y < g.height(); ++y)
            for (int x = 0; x < g.width(); ++x)
                if (qAlpha(g.pixel(x, y)) != 0)
                    left = qMin(left, x);
        EXPECT_GE(left, 14) << key;
    }
}
