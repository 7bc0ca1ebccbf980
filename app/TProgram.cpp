#include "app/TProgram.h"

#include "app/vm_fls32.h"
#include "platform/DateConvert.h"

namespace {
const std::string Section = "Program";
// How the files write a release date, and how the window shows it.
const DateConvert::FormatSettings StoredFormat{"yy/mm/dd", '/'};
const DateConvert::FormatSettings ShownFormat{"dd/mm/yy", '/'};
} // namespace

TReleaseRecord TReleaseRecord::Read(const TIniFile &Ini)
{
    std::vector<std::string> values = Ini.ReadStrings(Section, {"Wersja", "Wydanie", "Wydanie_Dod", "LastUpd"});
    return {std::move(values[0]), std::move(values[1]), std::move(values[2]), std::move(values[3])};
}

std::string TProgram::Load(const TIniFile &Ini, double Today) { return Assign(TReleaseRecord::Read(Ini), Today); }

std::string TProgram::Assign(const TReleaseRecord &Record, double Today)
{
    Description = "wersja: " + Record.Version + " , wyd. " + Record.Edition + Record.EditionSuffix;
    DateText = Record.LastUpd;
    if (!DateText.empty()) {
        ConvertDate(Today);
    } else {
        // A release without a date compares as 1 January 2000 and shows as "?".
        DateText = "2000/01/01";
        ConvertDate(Today);
        DateText = "?";
    }
    Description += ", " + DateText;
    return Description;
}

void TProgram::ConvertDate(double Today)
{
    Date = DateConvert::StrToDate(DateText, StoredFormat, Today);
    DateText = DateConvert::DateToStr(Date, ShownFormat);
}

TVerdict UpdateVerdict(const TReleaseRecord &Installed, const TReleaseRecord &Server, double Today)
{
    // The dates are read exactly as the window shows them.
    TProgram installed, server;
    installed.Assign(Installed, Today);
    server.Assign(Server, Today);
    return server.Date > installed.Date ? TVerdict::UpdateWaiting : TVerdict::UpToDate;
}
