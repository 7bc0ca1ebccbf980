#pragma once
// One release of a product as its release-information file describes it
// (section "Program": "Wersja", "Wydanie", "Wydanie_Dod", "LastUpd"), and the
// verdict on the installed release against the server's. The window and the
// maker's release tool both read releases through these.
#include "platform/DateConvert.h"
#include "platform/PrivateProfile.h"

#include <array>
#include <string>
#include <string_view>

// The values of section "Program" as the file holds them.
struct TReleaseRecord {
    std::string Version;       // "Wersja"
    std::string Edition;       // "Wydanie"
    std::string EditionSuffix; // "Wydanie_Dod"
    std::string LastUpd;       // the release date, year first ("yy/mm/dd"); may be missing

    static constexpr std::string_view Section = "Program";
    // The keys, in the order of the fields above.
    static constexpr std::array<std::string_view, 4> Keys = {"Wersja", "Wydanie", "Wydanie_Dod", "LastUpd"};

    // Reads the values from the file in one pass; missing ones are empty.
    static TReleaseRecord Read(const std::string &FileName);
    // The same read with what it met on the way (the file, the section, each
    // key and its whole length, how the text begins), and the record from it.
    static PrivateProfile::SectionRead ReadSection(const std::string &FileName);
    static TReleaseRecord From(const PrivateProfile::SectionRead &Read);
};

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
enum class TVerdict { UpdateWaiting, UpToDate };

// An update waits when the server's release is dated after the installed one.
// A missing date counts as 1 January 2000; a date that is no date raises its
// conversion error (the installed release's first).
TVerdict UpdateVerdict(const TReleaseRecord &Installed, const TReleaseRecord &Server, double Today);

// The verdict's text in the window (code page 1250).
std::string_view VerdictText(TVerdict Verdict);
