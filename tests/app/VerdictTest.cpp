// The installed and the server's release side by side, and the verdict.
#include "tests/app/FormFixture.h"

#include "platform/DateConvert.h"
#include "tests/support/FailureOf.h"

using testsupport::FailureOf;

namespace {

double Day(int year, int month, int day)
{
    double date = 0;
    EXPECT_TRUE(DateConvert::TryEncodeDate(year, month, day, date));
    return date;
}

TReleaseRecord Dated(const char *lastUpd, const char *validUntil = "") { return {"1", "1", "", lastUpd, validUntil}; }

std::string Spelled(const DateConvert::FormatSettings &format)
{
    return format.ShortDateFormat + " with '" + format.DateSeparator + "'";
}

const std::set<TIndicator> None;
const std::set<TIndicator> Akt{TIndicator::ProgramAkt};
const std::set<TIndicator> Old{TIndicator::ProgramOld};

class Verdict : public FormFixture {
protected:
    // The installed release, the server's, and the test button offered.
    void Prepare(const std::string &local, const std::string &server)
    {
        PrepareReleases(local, server);
        EXPECT_EQ(Start(), "");
    }
};

} // namespace

TEST_F(Verdict, SameDateNeedsNoUpdate)
{
    Prepare(Release("4.2", "7", "b", "2025/11/03"), Release("4.2", "7", "b", "2025/11/03"));
    EXPECT_EQ(ClickTest(), "");
    EXPECT_EQ(view->verdictText, "Aktualizacja niepotrzebna");
    EXPECT_EQ(view->verdictLook, TVerdictLook::UpToDate);
    EXPECT_EQ(view->indicators, Akt);
    EXPECT_EQ(view->statuses, std::vector<std::string>{Cp1250("Pobieranie zakończone")});
}

TEST_F(Verdict, OneDayLaterAsksForTheUpdate)
{
    Prepare(Release("4.2", "7", "b", "2025/11/03"), Release("4.3", "1", "a", "2025/11/04"));
    EXPECT_EQ(ClickTest(), "");
    EXPECT_EQ(view->verdictText, " Zaktualizuj program !!!");
    EXPECT_EQ(view->verdictLook, TVerdictLook::UpdateWaiting);
    EXPECT_EQ(view->indicators, Old);
    EXPECT_EQ(view->programText, Cp1250("\nTwój program:\n wersja: 4.2 , wyd. 7b, 03/11/25\n\n\n"
                                        " Aktualny program:\n wersja: 4.3 , wyd. 1a, 04/11/25"));
}

TEST_F(Verdict, MissingDateCountsAsFirstOfJanuary2000)
{
    Prepare(Release("1", "1", "", "2000/01/02"), Release("1", "1", "", ""));
    EXPECT_EQ(ClickTest(), "");
    EXPECT_EQ(view->verdictText, "Aktualizacja niepotrzebna");

    Prepare(Release("1", "1", "", ""), Release("1", "1", "", "2000/01/02"));
    EXPECT_EQ(ClickTest(), "");
    EXPECT_EQ(view->verdictText, " Zaktualizuj program !!!");
}

TEST_F(Verdict, BothDatesMissingAreEqual)
{
    Prepare("", "");
    EXPECT_EQ(ClickTest(), "");
    EXPECT_EQ(view->verdictText, "Aktualizacja niepotrzebna");
    EXPECT_EQ(view->programText, Cp1250("\nTwój program:\n wersja:  , wyd. , ?\n\n\n"
                                        " Aktualny program:\n wersja:  , wyd. , ?"));
}

TEST_F(Verdict, DatesAreShownDayMonthYear)
{
    Prepare(Release("7", "7", "b", "2001/3/5"), Release("8", "1", "", "99/12/31"));
    EXPECT_EQ(ClickTest(), "");
    EXPECT_NE(view->programText.find("wersja: 7 , wyd. 7b, 05/03/01"), std::string::npos) << view->programText;
    EXPECT_NE(view->programText.find("wersja: 8 , wyd. 1, 31/12/99"), std::string::npos) << view->programText;
    EXPECT_EQ(view->verdictText, " Zaktualizuj program !!!"); // 2099 lies after 2001
    EXPECT_GT(form->ServerRelease.Date, form->LocalRelease.Date);
}

TEST_F(Verdict, TwoVerdictsLeaveBothIndicatorsVisibleUntilAnExpiredFileHidesThem)
{
    Prepare(Release("1", "1", "", "2001/1/1"), Release("1", "1", "", "2001/1/2"));
    EXPECT_EQ(ClickTest(), "");
    Put("or_news.inf", Release("1", "1", "", "2001/1/1"));
    EXPECT_EQ(ClickTest(), "");
    EXPECT_EQ(view->verdictText, "Aktualizacja niepotrzebna");
    EXPECT_EQ(view->indicators, (std::set<TIndicator>{TIndicator::ProgramAkt, TIndicator::ProgramOld}));
    EXPECT_EQ(view->verdictLook, TVerdictLook::UpToDate);

    // A file past its last valid day vouches for nothing: both are hidden.
    Put("or_news.inf", Release("1", "1", "", "2001/1/1") + "WazneDo=2001/01/31\r\n");
    EXPECT_EQ(ClickTest(), "");
    EXPECT_EQ(view->verdictText, "Informacja nieaktualna");
    EXPECT_EQ(view->indicators, None);
    EXPECT_EQ(view->verdictLook, TVerdictLook::UpdateWaiting);
}

TEST_F(Verdict, DateWithTrailingTextIsAnErrorAndTheDisplayStays)
{
    Prepare(Release("1", "1", "", "2001/1/1"), Release("2", "2", "", "2001/3/5 12:00"));
    const std::string before = view->programText;
    EXPECT_EQ(ClickTest(), "'2001/3/5 12:00' is not a valid date");
    EXPECT_EQ(view->programText, before);
    EXPECT_EQ(view->verdictText, "");
    EXPECT_EQ(view->indicators, None);
    EXPECT_EQ(form->ServerRelease.Description, "wersja: 2 , wyd. 2");
    EXPECT_EQ(form->ServerRelease.DateText, "2001/3/5 12:00");
}

TEST_F(Verdict, TestButtonWithoutNewsFileStopsBeforeTheVerdict)
{
    Prepare(Release("1", "1", "", "2001/1/1"), Release("1", "1", "", "2001/1/2"));
    std::filesystem::remove(dir / "or_news.rtf");
    EXPECT_EQ(ClickTest(), "Cannot open file " + ProgramDir() + "or_news.rtf");
    EXPECT_EQ(view->verdictText, "");
    EXPECT_EQ(view->indicators, None);
    EXPECT_FALSE(view->news.has_value());
}

TEST_F(Verdict, DirectoryInPlaceOfTheNewsFileCannotBeOpened)
{
    Prepare(Release("1", "1", "", "2001/1/1"), Release("1", "1", "", "2001/1/2"));
    std::filesystem::remove(dir / "or_news.rtf");
    std::filesystem::create_directory(dir / "or_news.rtf");
    EXPECT_EQ(ClickTest(), "Cannot open file " + ProgramDir() + "or_news.rtf");
    EXPECT_EQ(view->verdictText, "");
}

TEST_F(Verdict, NewsIsShownWholeAndFocusedBeforeTheVerdict)
{
    Prepare(Release("1", "1", "", "2001/1/1"), Release("1", "1", "", "2001/1/1"));
    Put("or_news.rtf", "Zmiany:\r\nźródła danych\r\n");
    EXPECT_EQ(ClickTest(), "");
    EXPECT_EQ(view->news, Cp1250("Zmiany:\r\nźródła danych\r\n"));
    EXPECT_TRUE(view->newsComplete);
    EXPECT_TRUE(view->newsFocused);
    EXPECT_EQ(view->verdictText, "Aktualizacja niepotrzebna");
}

TEST(UpdateVerdict, FollowsTheDatesOfBothRecordsAndToday)
{
    const double in2025 = Day(2025, 6, 15), in2150 = Day(2150, 6, 15);
    const std::string update = "update waits", none = "up to date", outdated = "outdated";
    const struct {
        const char *installed;
        const char *server;
        double today;
        std::string expected;
        const char *validUntil = ""; // the server file's WazneDo
    } rows[] = {
        {"", "", in2025, none},                     // both missing: equal
        {"2000/01/02", "", in2025, none},           // missing: 1 January 2000
        {"", "2000/01/02", in2025, update},
        {"", "2000/01/01", in2025, none},
        {"2025/11/03", "2025/11/03", in2025, none}, // equal
        {"2025/11/03", "2025/11/04", in2025, update},
        {"2025/11/04", "2025/11/03", in2025, none},
        {"2025/11/03", "25/11/04", in2025, update}, // a short year lies in today's century
        {"2100/01/01", "99/12/31", in2025, none},
        {"2100/01/01", "99/12/31", in2150, update},
        {"2025/12/31", "1/1", in2025, none},        // no year: today's
        {"2025/12/31", "1/1", in2150, update},
        {"2001/13/01", "2001/1/1", in2025, "'2001/13/01' is not a valid date"},
        {"2001/1/1", "2001/3/5 12:00", in2025, "'2001/3/5 12:00' is not a valid date"},
        {"2001/1/1", " ", in2025, "' ' is not a valid date"}, // blanks are no missing date
        {"05/03/2001", "2001/1/1", in2025, "'05/03/2001' is not a valid date"}, // read year first
        {"x", "y", in2025, "'x' is not a valid date"}, // the installed release is read first
        // The server file's last valid day: past it, "up to date" is no longer vouched for.
        {"2025/06/01", "2025/06/01", in2025, outdated, "2025/06/14"},
        {"2025/06/01", "2025/06/01", in2025, none, "2025/06/15"}, // the day itself is still current
        {"2025/06/01", "2025/06/02", in2025, update, "2025/06/14"}, // a later release waits, whatever the day
        {"2025/06/01", "2025/05/01", in2025, outdated, " 2025/6/1 "},
        {"2025/06/01", "2025/06/01", in2025, "'25/06/14' is not a valid date", "25/06/14"}, // it would never pass
        {"2025/06/01", "2025/06/01", in2025, "'06/14' is not a valid date", "06/14"},
        {"2025/06/01", "2025/06/01", in2025, "'0999/06/14' is not a valid date", "0999/06/14"},
        {"2025/06/01", "2025/06/01", in2025, "'2025/02/29' is not a valid date", "2025/02/29"},
        {"2025/06/01", "2025/06/02", in2025, "'2025/06/14 12:00' is not a valid date", "2025/06/14 12:00"},
    };
    for (const auto &row : rows) {
        TVerdict verdict{};
        std::string outcome =
            FailureOf([&] { verdict = UpdateVerdict(Dated(row.installed), Dated(row.server, row.validUntil), row.today); });
        if (outcome.empty())
            outcome = verdict == TVerdict::UpdateWaiting ? update : verdict == TVerdict::Outdated ? outdated : none;
        EXPECT_EQ(outcome, row.expected) << '"' << row.installed << "\" against \"" << row.server << '"';
    }
}

TEST(VerdictDates, ReadingThemLeavesTheProgramWideDateFormat)
{
    const DateConvert::FormatSettings programWide{"mm-dd-yyyy", '-'};
    const struct {
        const char *lastUpd;
        std::string error;
    } rows[] = {{"2001/13/01", "'2001/13/01' is not a valid date"}, {"2001/3/5", ""}};
    for (const auto &row : rows) {
        DateConvert::Settings() = programWide;
        TProgram release;
        EXPECT_EQ(FailureOf([&] { release.Assign(Dated(row.lastUpd), Day(2025, 6, 15)); }), row.error) << row.lastUpd;
        EXPECT_EQ(Spelled(DateConvert::Settings()), Spelled(programWide)) << row.lastUpd;
    }
    DateConvert::Settings() = {};
}
