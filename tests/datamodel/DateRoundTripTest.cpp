// The transfer date of a setup file keeps its stored day count bit for bit, whatever it holds;
// only the property turns it into a date (day zero when it is none).
#include "DocumentTestSupport.h"

#include "datamodel/RecordIO.h"
#include "datamodel/XelMain.h"

#include <QtEndian>
#include <bit>
#include <cmath>
#include <ostream>

using doctest::DocumentFixture;

namespace {

QByteArray DoubleBytes(double v)
{
    const quint64 le = qToLittleEndian(std::bit_cast<quint64>(v));
    return QByteArray(reinterpret_cast<const char*>(&le), 8);
}

struct DateCase {
    const char* name;
    double days;
    QDateTime property;
};

// The case by its name, so the listed test names carry no raw bytes.
void PrintTo(const DateCase& c, std::ostream* os) { *os << c.name; }

class DateRoundTripTest : public DocumentFixture, public ::testing::WithParamInterface<DateCase> {};

TEST_P(DateRoundTripTest, ADayCountSurvivesLoadAndSaveBitForBit)
{
    const DateCase c = GetParam();
    const QDateTime marker(QDate(2001, 2, 3), QTime(4, 5, 6));
    auto doc = CreateDefaultSetupDocument();
    doc->Main()->RecordTransfer(MainFirmwareDirection::ToECX, "4.47", marker);
    const QString first = PathOf("first.QRN");
    ASSERT_TRUE(doc->SaveFile(first));

    QByteArray file = doctest::ReadAll(first);
    const qsizetype at = file.indexOf(DoubleBytes(DateToDouble(marker)));
    ASSERT_GT(at, 0);
    file.replace(at, 8, DoubleBytes(c.days));
    ASSERT_TRUE(doctest::WriteAll(first, file));

    auto loaded = CreateDefaultSetupDocument();
    ASSERT_TRUE(loaded->LoadFile(first));
    EXPECT_EQ(loaded->Main()->FirmwareDate(), c.property);
    EXPECT_FALSE(loaded->Changed()); // a NaN equals itself
    const QString second = PathOf("second.QRN");
    ASSERT_TRUE(loaded->SaveFile(second));
    EXPECT_EQ(doctest::ReadAll(second), file);
}

const QDateTime kDayZero(QDate(1899, 12, 30), QTime(0, 0));

INSTANTIATE_TEST_SUITE_P(
    Days, DateRoundTripTest,
    ::testing::Values(DateCase{"Afternoon", 46364.39600694444, QDateTime(QDate(2026, 12, 8), QTime(9, 30, 15))},
                      DateCase{"FinerThanAMillisecond", 0.1234567891, QDateTime(QDate(1899, 12, 30), QTime(2, 57, 46, 667))},
                      DateCase{"BeyondTheCalendar", 3.0e6, kDayZero},
                      DateCase{"BeforeDayZero", -1.25, QDateTime(QDate(1899, 12, 29), QTime(6, 0))},
                      DateCase{"NotANumber", std::nan(""), kDayZero}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
