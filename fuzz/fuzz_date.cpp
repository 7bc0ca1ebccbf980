// Dates in the program's short format: any text either fails or gives a day
// within years 1 to 9999, and a date read back from its own written form in a
// four-digit-year format is the same date (a year under 100 written with one
// or two digits reads as one of the current century, as the rules say).
#include "platform/DateConvert.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

struct Format {
    const char *readFormat;
    const char *writeFormat;  // the same order with a four-digit year
};
constexpr Format Formats[] = {
    {"dd/mm/yy", "dd/mm/yyyy"}, {"mm/dd/yy", "mm/dd/yyyy"}, {"yy/mm/dd", "yyyy/mm/dd"}, {"d/m/yyyy", "d/m/yyyy"}};
// The separators a date setting can have; the program itself uses '/'.
constexpr char Separators[] = {'/', '-', '.'};

double Encode(int year, int month, int day)
{
    double date = 0;
    if (!DateConvert::TryEncodeDate(year, month, day, date))
        std::abort();
    return date;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const Format &format = Formats[data[0] % std::size(Formats)];
    const char separator = Separators[(data[0] >> 2) % std::size(Separators)];
    const std::string_view text(reinterpret_cast<const char *>(data + 1), size - 1);

    DateConvert::FormatSettings &settings = DateConvert::Settings();
    settings = {format.readFormat, separator};
    double date = 0;
    if (!DateConvert::TryStrToDate(text, date))
        return 0;
    if (date < Encode(1, 1, 1) || date > Encode(9999, 12, 31) || date != static_cast<long>(date))
        std::abort();

    settings.ShortDateFormat = format.writeFormat;
    const std::string written = DateConvert::DateToStr(date);
    double again = 0;
    const bool readBack = DateConvert::TryStrToDate(written, again);
    if (date >= Encode(100, 1, 1) && (!readBack || again != date))
        std::abort();
    return 0;
}
