#include "platform/DateConvert.h"
#include "platform/Exception.h"
#include "tests/support/FailureOf.h"

#include <gtest/gtest.h>

#include <ctime>

using testsupport::FailureOf;
using namespace DateConvert;

namespace {

int ThisYear()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

double Encode(int y, int m, int d)
{
    double date = -1;
    EXPECT_TRUE(TryEncodeDate(y, m, d, date));
    return date;
}

// The reader of "LastUpd" values: year, month, day.
class YearFirst : public ::testing::Test {
protected:
    void SetUp() override { Settings() = {"yy/mm/dd", '/'}; }
    void TearDown() override { Settings() = {}; }
    static bool Reads(const char *text, double &date) { return TryStrToDate(text, date); }
};

} // namespace

TEST(DayCount, CountsFromTheEndOf1899)
{
    EXPECT_EQ(Encode(1899, 12, 30), 0);
    EXPECT_EQ(Encode(1900, 1, 1), 2);
    EXPECT_EQ(Encode(2000, 1, 1), 36526);
    EXPECT_EQ(Encode(1, 1, 1), -693593);
    EXPECT_EQ(Encode(9999, 12, 31), 2958465);
}

TEST(DayCount, RejectsDatesTheCalendarLacks)
{
    double date = 0;
    EXPECT_FALSE(TryEncodeDate(2001, 2, 29, date));
    EXPECT_TRUE(TryEncodeDate(2000, 2, 29, date));
    EXPECT_FALSE(TryEncodeDate(1900, 2, 29, date));
    EXPECT_FALSE(TryEncodeDate(0, 1, 1, date));
    EXPECT_FALSE(TryEncodeDate(10000, 1, 1, date));
    EXPECT_FALSE(TryEncodeDate(2001, 13, 1, date));
    EXPECT_FALSE(TryEncodeDate(2001, 4, 31, date));
}

TEST_F(YearFirst, ReadsThreeNumbersAsYearMonthDay)
{
    double date = 0;
    ASSERT_TRUE(Reads("2001/3/5", date));
    EXPECT_EQ(date, Encode(2001, 3, 5));
    ASSERT_TRUE(Reads(" 2001 / 03 /05 ", date));
    EXPECT_EQ(date, Encode(2001, 3, 5));
    ASSERT_TRUE(Reads("2001/3/5/", date));
    EXPECT_EQ(date, Encode(2001, 3, 5));
    ASSERT_TRUE(Reads("0999/1/1", date)); // four digits: taken as written
    EXPECT_EQ(date, Encode(999, 1, 1));
}

TEST_F(YearFirst, ShortYearsLieInTheCurrentCentury)
{
    const int century = ThisYear() / 100 * 100;
    double date = 0;
    ASSERT_TRUE(Reads("99/12/31", date));
    EXPECT_EQ(date, Encode(century + 99, 12, 31));
    ASSERT_TRUE(Reads("1/2/3", date));
    EXPECT_EQ(date, Encode(century + 1, 2, 3));
    ASSERT_TRUE(Reads("099/1/1", date)); // three digits: the year 99
    EXPECT_EQ(date, Encode(99, 1, 1));
}

TEST_F(YearFirst, TwoNumbersAreMonthAndDayOfThisYear)
{
    double date = 0;
    ASSERT_TRUE(Reads("12/24", date));
    EXPECT_EQ(date, Encode(ThisYear(), 12, 24));
}

TEST_F(YearFirst, ReadingANumberStopsAt1000)
{
    double date = 0;
    EXPECT_FALSE(Reads("20011/1/1", date)); // 2001 read, then "1" follows
    EXPECT_FALSE(Reads("2001/0001000/1", date));
}

TEST_F(YearFirst, AnythingElseIsNoDate)
{
    double date = 0;
    for (const char *text : {"", "2001", "2001/", "2001/13/1", "2001/2/29", "2001/3/5 12:00", "2001/3/5//",
                             "2001-03-05", "a/b/c", "2001/3/5x", "2001 3 5", "/3/5", "0000/1/1"})
        EXPECT_FALSE(Reads(text, date)) << text;
}

TEST_F(YearFirst, StrToDateNamesTheBadText)
{
    EXPECT_EQ(FailureOf<EConvertError>([&] { StrToDate("2001/3/5 x"); }), "'2001/3/5 x' is not a valid date");
}

TEST(DateToStr, WritesDayMonthTwoDigitYear)
{
    Settings() = {"dd/mm/yy", '/'};
    EXPECT_EQ(DateToStr(Encode(2001, 3, 5)), "05/03/01");
    EXPECT_EQ(DateToStr(Encode(1999, 12, 31)), "31/12/99");
    Settings() = {"yyyy-m-d", '.'};
    EXPECT_EQ(DateToStr(Encode(2001, 3, 5)), "2001-3-5");
    Settings() = {};
}

TEST(DateConvert, ReadsAndWritesInTheFormatAndYearGiven)
{
    // The program-wide settings differ from every row's and must not count.
    Settings() = {"mm.dd.yy", '.'};
    const double in2150 = Encode(2150, 6, 15);
    const FormatSettings yearFirst{"yy/mm/dd", '/'}, dayFirst{"dd-mm-yyyy", '-'};
    const struct {
        const char *text;
        FormatSettings format;
        const char *written; // nullptr: no date
    } rows[] = {
        {"2001/3/5", yearFirst, "01/03/05"},
        {"99/12/31", yearFirst, "99/12/31"},
        {"12/24", yearFirst, "50/12/24"},
        {"5-3-2001", dayFirst, "05-03-2001"},
        {"31-12-99", dayFirst, "31-12-2199"},
        {"", yearFirst, nullptr},
        {"2001.3.5", yearFirst, nullptr},
        {"2001/3/5", dayFirst, nullptr},
        {"2001/2/29", yearFirst, nullptr},
    };
    for (const auto &row : rows) {
        double date = 0;
        const bool read = TryStrToDate(row.text, row.format, in2150, date);
        EXPECT_EQ(read, row.written != nullptr) << row.text;
        if (read && row.written) {
            EXPECT_EQ(DateToStr(date, row.format), row.written) << row.text;
        }
    }
    EXPECT_EQ(Settings().ShortDateFormat, "mm.dd.yy");
    EXPECT_EQ(Settings().DateSeparator, '.');
    Settings() = {};
}
