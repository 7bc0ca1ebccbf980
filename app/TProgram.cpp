#include "app/TProgram.h"

#include "app/vm_fls32.h"
#include "platform/DateConvert.h"

namespace {
const std::string Section = "Program";
}

std::string TProgram::Load(const TIniFile &Ini)
{
    const std::vector<std::string> values = Ini.ReadStrings(Section, {"Wersja", "Wydanie", "Wydanie_Dod", "LastUpd"});
    const std::string &version = values[0];
    const std::string &edition = values[1];
    const std::string &suffix = values[2];
    const std::string &lastUpdate = values[3];

    Description = "wersja: " + version + " , wyd. " + edition + suffix;
    DateText = lastUpdate;
    if (!DateText.empty()) {
        ConvertDate();
    } else {
        // A release without a date compares as 1 January 2000 and shows as "?".
        DateText = "2000/01/01";
        ConvertDate();
        DateText = "?";
    }
    Description += ", " + DateText;
    return Description;
}

void TProgram::ConvertDate()
{
    DateConvert::FormatSettings &settings = DateConvert::Settings();
    settings.ShortDateFormat = "yy/mm/dd";
    settings.DateSeparator = '/';
    Date = DateConvert::StrToDate(DateText);
    settings.ShortDateFormat = "dd/mm/yy";
    DateText = DateConvert::DateToStr(Date);
}
