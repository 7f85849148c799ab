// Version texts of every shape, huge ones included, compare as a total order, and their
// numbers saturate instead of overflowing.
#include "extra/extra.h"

#include <gtest/gtest.h>
#include <limits>

using namespace extra;

namespace {

const QStringList kVersions = {
    "",       "0",         "N/A",        "1.8",          "1.9",         "2.9",
    "2.10",   "3.9",       "4",          "4.0",          "4.06",        "4.6",
    "4.20",   "4.20.1",    "4.47",       " 4.47 ",       "\t4.47",      "\n4.47\r\n",
    "4.8",    "4.x",       "x.4",        "-1.5",         "4.999999999999999999",
    "9999999999999.3",     "9999999999999.4",            "2148.0",      "99999999999999999999999",
    "1e3",    QString(400, QLatin1Char('9')) + ".1",      "4." + QString(400, QLatin1Char('9')),
};

TEST(VersionOrder, CompareVersionsIsAntisymmetricAndTransitive)
{
    for (const QString& a : kVersions) {
        EXPECT_EQ(CompareVersions(a, a), 0) << a.toStdString();
        for (const QString& b : kVersions) {
            const int ab = CompareVersions(a, b);
            ASSERT_TRUE(ab == -1 || ab == 0 || ab == 1);
            ASSERT_EQ(ab, -CompareVersions(b, a)) << a.toStdString() << " / " << b.toStdString();
            for (const QString& c : kVersions) {
                const int bc = CompareVersions(b, c);
                if (ab <= 0 && bc <= 0) {
                    ASSERT_LE(CompareVersions(a, c), 0)
                        << a.toStdString() << " <= " << b.toStdString() << " <= " << c.toStdString();
                }
                if (ab == 0 && bc == 0) {
                    ASSERT_EQ(CompareVersions(a, c), 0);
                }
            }
        }
    }
}

TEST(VersionOrder, BlanksAndLineBreaksAroundAVersionDoNotMatterOnEitherSide)
{
    EXPECT_EQ(CompareVersions("\n4.47\r\n", "4.47"), 0);
    EXPECT_EQ(CompareVersions("4.47", "\n4.47\r\n"), 0);
    EXPECT_EQ(CompareVersions("4.46", "\t4.47"), -1);
}

TEST(VersionOrder, VersionToNumberSaturates)
{
    constexpr qint32 kMax = std::numeric_limits<qint32>::max();
    constexpr qint32 kMin = std::numeric_limits<qint32>::min();
    const struct {
        const char* text;
        qint32 number;
    } cases[] = {
        {"4.999999999999999999", kMax},
        {"9999999999999.3", kMax},
        {"9999999999999.3.7", kMax},
        {"-9999999999999.3", kMin},
        {"1.-999999999999999999999", kMin},
        {"2147.483647", 2147483647},
        {"2148", kMax},
        {"4.20.3", 4020030},
        {"2.9", 2009000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VersionToNumber(c.text), c.number) << c.text;
    // Order is kept where the numbers are distinct.
    EXPECT_LT(VersionToNumber("4.47"), VersionToNumber("4.999999999999999999"));
}

} // namespace
