#pragma once
// Dates as the program keeps them: a count of days since 30 December 1899 in a
// double, converted from and to text by the program-wide short date format.
// Nothing here reads the user's regional settings.
#include <string>
#include <string_view>

namespace DateConvert {

// The program-wide date settings: the order of day, month and year in
// ShortDateFormat ("dd/mm/yy", "yy/mm/dd", ...) and the separator of the parts.
struct FormatSettings {
    std::string ShortDateFormat = "dd/mm/yy";
    char DateSeparator = '/';
};
FormatSettings &Settings();

// The day count of a valid Gregorian date (years 1 to 9999); false otherwise.
bool TryEncodeDate(int year, int month, int day, double &date);

// Reads two or three numbers separated by the date separator, in the order of
// the short date format. A number ends once its value reaches 1000; a year of
// one or two digits lies in the current century; two numbers are month and day
// (or day and month) of the current year. Blanks before numbers, before
// separators and at the end are skipped, one separator may end the text, and
// nothing else may follow.
bool TryStrToDate(std::string_view text, double &date);
// The same; a text that is no date raises EConvertError "'%s' is not a valid date".
double StrToDate(const std::string &text);

// Date written in the short date format (dd, d, mm, m, yyyy, yy).
std::string DateToStr(double date);

} // namespace DateConvert
