#include "platform/DateConvert.h"

#include "platform/Exception.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace DateConvert {
namespace {

using namespace std::chrono;

constexpr sys_days Epoch = sys_days{year{1899} / December / 30};

enum class Order { YMD, MDY, DMY };

Order DateOrder(const std::string &format)
{
    for (char c : format) {
        switch (c | 0x20) {
        case 'y': return Order::YMD;
        case 'm': return Order::MDY;
        case 'd': return Order::DMY;
        default: break;
        }
    }
    return Order::DMY;
}

year_month_day DayOf(double date) { return year_month_day{Epoch + days{static_cast<long>(std::floor(date))}}; }

// A cursor over the text that knows the scanning rules of a date.
class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    void SkipBlanks()
    {
        while (pos_ < text_.size() && text_[pos_] == ' ')
            ++pos_;
    }

    // LeadingZero: more than one digit, the first of them 0.
    bool Number(int &value, int &digits, bool &leadingZero)
    {
        SkipBlanks();
        const size_t start = pos_;
        value = 0;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9' && value < 1000)
            value = value * 10 + (text_[pos_++] - '0');
        digits = int(pos_ - start);
        leadingZero = digits > 1 && text_[start] == '0';
        return digits > 0;
    }

    bool Char(char c)
    {
        SkipBlanks();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    bool AtEnd() const { return pos_ == text_.size(); }

private:
    std::string_view text_;
    size_t pos_ = 0;
};

} // namespace

FormatSettings &Settings()
{
    static FormatSettings settings;
    return settings;
}

bool TryEncodeDate(int y, int m, int d, double &date)
{
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > 31)
        return false;
    const year_month_day ymd{year{y}, month{unsigned(m)}, day{unsigned(d)}};
    if (!ymd.ok())
        return false;
    date = double((sys_days{ymd} - Epoch).count());
    return true;
}

double Today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    double date = 0;
    TryEncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, date);
    return date;
}

bool TryStrToDate(std::string_view text, const FormatSettings &format, double today, double &date, YearWritten &year)
{
    const char separator = format.DateSeparator;
    const Order order = DateOrder(format.ShortDateFormat);
    const int currentYear = int(DayOf(today).year());

    Scanner scan(text);
    int n1, n2, n3, l1, l2, l3 = 0;
    bool z1, z2, z3 = false;
    if (!scan.Number(n1, l1, z1) || !scan.Char(separator) || !scan.Number(n2, l2, z2))
        return false;
    const bool three = scan.Char(separator) && scan.Number(n3, l3, z3);
    if (three)
        scan.Char(separator);
    scan.SkipBlanks();
    if (!scan.AtEnd())
        return false;

    int y, m, d;
    year = {};
    if (three) {
        switch (order) {
        case Order::YMD: y = n1, m = n2, d = n3, year = {l1, z1}; break;
        case Order::MDY: m = n1, d = n2, y = n3, year = {l3, z3}; break;
        default: d = n1, m = n2, y = n3, year = {l3, z3}; break;
        }
        if (year.Digits <= 2)
            y += currentYear / 100 * 100;
    } else {
        y = currentYear;
        if (order == Order::DMY)
            d = n1, m = n2;
        else
            m = n1, d = n2;
    }
    return TryEncodeDate(y, m, d, date);
}

bool TryStrToDate(std::string_view text, const FormatSettings &format, double today, double &date)
{
    YearWritten year;
    return TryStrToDate(text, format, today, date, year);
}

void RaiseNotADate(const std::string &text) { throw EConvertError(FormatText("'%s' is not a valid date", text)); }

double StrToDate(const std::string &text, const FormatSettings &format, double today, YearWritten &year)
{
    double date = 0;
    if (!TryStrToDate(text, format, today, date, year))
        RaiseNotADate(text);
    return date;
}

double StrToDate(const std::string &text, const FormatSettings &format, double today)
{
    YearWritten year;
    return StrToDate(text, format, today, year);
}

std::string DateToStr(double date, const FormatSettings &settings)
{
    const year_month_day ymd = DayOf(date);
    const int y = int(ymd.year());
    const unsigned m = unsigned(ymd.month()), d = unsigned(ymd.day());
    auto padded = [](unsigned v, size_t width) {
        const std::string digits = std::to_string(v);
        return std::string(width > digits.size() ? width - digits.size() : 0, '0') + digits;
    };

    const std::string &format = settings.ShortDateFormat;
    std::string out;
    for (size_t i = 0; i < format.size();) {
        auto starts = [&](std::string_view token) { return format.compare(i, token.size(), token) == 0; };
        if (starts("yyyy")) { out += padded(unsigned(y), 4); i += 4; }
        else if (starts("yy")) { out += padded(unsigned(y % 100), 2); i += 2; }
        else if (starts("mm")) { out += padded(m, 2); i += 2; }
        else if (starts("m")) { out += std::to_string(m); i += 1; }
        else if (starts("dd")) { out += padded(d, 2); i += 2; }
        else if (starts("d")) { out += std::to_string(d); i += 1; }
        else { out += format[i] == '/' ? settings.DateSeparator : format[i]; i += 1; }
    }
    return out;
}

bool TryStrToDate(std::string_view text, double &date) { return TryStrToDate(text, Settings(), Today(), date); }

double StrToDate(const std::string &text) { return StrToDate(text, Settings(), Today()); }

std::string DateToStr(double date) { return DateToStr(date, Settings()); }

} // namespace DateConvert
