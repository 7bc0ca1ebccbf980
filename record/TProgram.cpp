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
    return {values[0], values[1], values[2], values[3]};
}

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
    return server.Date > installed.Date ? TVerdict::UpdateWaiting : TVerdict::UpToDate;
}

std::string_view VerdictText(TVerdict Verdict)
{
    switch (Verdict) {
    case TVerdict::UpdateWaiting: return " Zaktualizuj program !!!";
    case TVerdict::UpToDate: break;
    }
    return "Aktualizacja niepotrzebna";
}
