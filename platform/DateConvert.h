#pragma once
// Dates as the program keeps them: a count of days since 30 December 1899 in a
// double, converted from and to text by a short date format: one given by the
// caller, or the program-wide one. Nothing here reads the user's regional settings.
#include <string>
#include <string_view>

namespace DateConvert {

// Date settings: the order of day, month and year in ShortDateFormat
// ("dd/mm/yy", "yy/mm/dd", ...) and the separator of the parts.
struct FormatSettings {
    std::string ShortDateFormat = "dd/mm/yy";
    char DateSeparator = '/';
};
// The program-wide settings, which the functions without a format use.
FormatSettings &Settings();

// The local date of today, a whole day count.
double Today();

// The day count of a valid Gregorian date (years 1 to 9999); false otherwise.
bool TryEncodeDate(int year, int month, int day, double &date);

// Reads two or three numbers separated by the format's date separator, in the
// order of its short date format. A number ends once its value reaches 1000; a
// year of one or two digits lies in the century of today; two numbers are month
// and day (or day and month) of the year of today. Blanks before numbers,
// before separators and at the end are skipped, one separator may end the
// text, and nothing else may follow.
bool TryStrToDate(std::string_view text, const FormatSettings &format, double today, double &date);
// How TryStrToDate read a date's year, for a caller that must see which rule
// supplied it: 0 digits when the text named none (today's year was taken),
// one or two when the century of today was added.
struct YearWritten {
    int Digits = 0;
    bool LeadingZero = false;
};
// TryStrToDate, telling how the year was written.
bool TryStrToDate(std::string_view text, const FormatSettings &format, double today, double &date, YearWritten &year);
// Raises EConvertError "'%s' is not a valid date" for Text.
[[noreturn]] void RaiseNotADate(const std::string &text);
// The same; a text that is no date raises EConvertError "'%s' is not a valid date".
double StrToDate(const std::string &text, const FormatSettings &format, double today, YearWritten &year);
double StrToDate(const std::string &text, const FormatSettings &format, double today);
// Date written in the format's short date format (dd, d, mm, m, yyyy, yy);
// "yyyy" is four digits at least.
std::string DateToStr(double date, const FormatSettings &format);

// The same in the program-wide settings, on today's date.
bool TryStrToDate(std::string_view text, double &date);
double StrToDate(const std::string &text);
std::string DateToStr(double date);

} // namespace DateConvert
