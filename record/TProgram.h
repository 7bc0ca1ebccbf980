#pragma once
// One release of a product as its release-information file describes it
// (section "Program": "Wersja", "Wydanie", "Wydanie_Dod", "LastUpd",
// "WazneDo"), and the verdict on the installed release against the server's.
// The window and the maker's release tool both read releases through these.
#include "platform/DateConvert.h"
#include "platform/PrivateProfile.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// The values of section "Program" as the file holds them.
struct TReleaseRecord {
    std::string Version;       // "Wersja"
    std::string Edition;       // "Wydanie"
    std::string EditionSuffix; // "Wydanie_Dod"
    std::string LastUpd;       // the release date, year first ("yy/mm/dd"); may be missing
    std::string ValidUntil;    // "WazneDo": the last day the file may be taken as current; may be missing

    static constexpr std::string_view Section = "Program";
    // The keys, in the order of the fields above.
    static constexpr std::array<std::string_view, 5> Keys = {"Wersja", "Wydanie", "Wydanie_Dod", "LastUpd",
                                                             "WazneDo"};

    // Reads the values from the file in one pass; missing ones are empty.
    static TReleaseRecord Read(const std::string &FileName);
    // The same read with what it met on the way (the file, the section, each
    // key and its whole length, how the text begins), and the record from it.
    static PrivateProfile::SectionRead ReadSection(const std::string &FileName);
    static TReleaseRecord From(const PrivateProfile::SectionRead &Read);
    // The reader of the same section and keys over a text given in pieces.
    static std::unique_ptr<PrivateProfile::SectionReader> Reader();
};

// The release date LastUpd gives, as the verdict compares it: 1 January 2000
// when it is missing; a date that is no date raises its conversion error.
double ReleaseDate(const TReleaseRecord &Record, double Today);

// The last day ValidUntil lets the file be taken as current; none when the
// file names none. Only three numbers with a four-digit year are such a day
// (a date without its year would never pass); anything else raises the
// conversion error of a date that is no date.
std::optional<double> LastValidDay(const TReleaseRecord &Record);

// A date as the window shows it: "dd/mm/yy".
std::string ShownDate(double Date);

class TProgram {
public:
    // Reads the release from the file and returns the new Description, as Assign.
    std::string Load(const std::string &FileName, double Today);

    // Takes the release from Record and returns the new Description:
    // "wersja: V , wyd. EX, dd/mm/yy" (or "?" for a missing date).
    // A date that is no date raises its conversion error; Description then
    // holds only the version part and DateText the raw value. A short year
    // lies in the century of Today.
    std::string Assign(const TReleaseRecord &Record, double Today);

    // DateText -> Date, and DateText into display form "dd/mm/yy"; no
    // program-wide setting is touched.
    void ConvertDate(double Today);

    std::string Description;
    std::string DateText;
    double Date = 0;
    // How the last date converted wrote its year.
    DateConvert::YearWritten Year;
};

// What the window says of the installed release against the server's.
enum class TVerdict { UpdateWaiting, UpToDate, Outdated };

// An update waits when the server's release is dated after the installed one.
// Otherwise none is needed, unless Today lies after the server file's last
// valid day: what it says may no longer be current (Outdated). A missing date
// counts as 1 January 2000; a date that is no date raises its conversion
// error (the installed release's first, the last valid day's last).
TVerdict UpdateVerdict(const TReleaseRecord &Installed, const TReleaseRecord &Server, double Today);

// The verdict's text in the window (code page 1250).
std::string_view VerdictText(TVerdict Verdict);
