#include "record/TProgram.h"

namespace {
// How the files write a release date, and how the window shows it.
const DateConvert::FormatSettings StoredFormat{"yy/mm/dd", '/'};
const DateConvert::FormatSettings ShownFormat{"dd/mm/yy", '/'};
} // namespace

TReleaseRecord TReleaseRecord::Read(const std::string &FileName) { return From(ReadSection(FileName)); }

PrivateProfile::SectionRead TReleaseRecord::ReadSection(const std::string &FileName)
{
    return PrivateProfile::ReadSection(FileName, Section, {Keys.begin(), Keys.end()}, PrivateProfile::MaxValueLength);
}

TReleaseRecord TReleaseRecord::From(const PrivateProfile::SectionRead &Read)
{
    const std::vector<std::string> &values = Read.Values;
    return {values[0], values[1], values[2], values[3], values[4]};
}

std::unique_ptr<PrivateProfile::SectionReader> TReleaseRecord::Reader()
{
    return std::make_unique<PrivateProfile::SectionReader>(Section, std::vector<std::string_view>(Keys.begin(), Keys.end()),
                                                           PrivateProfile::MaxValueLength);
}

double ReleaseDate(const TReleaseRecord &Record, double Today)
{
    TProgram release;
    release.Assign(Record, Today);
    return release.Date;
}

std::optional<double> LastValidDay(const TReleaseRecord &Record)
{
    if (Record.ValidUntil.empty())
        return std::nullopt;
    DateConvert::YearWritten year;
    double day = 0;
    // The year's digits tell three numbers from two; today plays no part.
    if (!DateConvert::TryStrToDate(Record.ValidUntil, StoredFormat, 0, day, year) || year.Digits != 4 ||
        year.LeadingZero)
        DateConvert::RaiseNotADate(Record.ValidUntil);
    return day;
}

std::string ShownDate(double Date) { return DateConvert::DateToStr(Date, ShownFormat); }

std::string TProgram::Load(const std::string &FileName, double Today)
{
    return Assign(TReleaseRecord::Read(FileName), Today);
}

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
    Date = DateConvert::StrToDate(DateText, StoredFormat, Today, Year);
    DateText = DateConvert::DateToStr(Date, ShownFormat);
}

TVerdict UpdateVerdict(const TReleaseRecord &Installed, const TReleaseRecord &Server, double Today)
{
    // The dates are read exactly as the window shows them.
    TProgram installed, server;
    installed.Assign(Installed, Today);
    server.Assign(Server, Today);
    const std::optional<double> lastValid = LastValidDay(Server);
    if (server.Date > installed.Date)
        return TVerdict::UpdateWaiting;
    return lastValid && Today > *lastValid ? TVerdict::Outdated : TVerdict::UpToDate;
}

std::string_view VerdictText(TVerdict Verdict)
{
    switch (Verdict) {
    case TVerdict::UpdateWaiting: return " Zaktualizuj program !!!";
    case TVerdict::Outdated: return "Informacja nieaktualna";
    case TVerdict::UpToDate: break;
    }
    return "Aktualizacja niepotrzebna";
}
