#pragma once
// What every document the news reader builds must satisfy, whatever the input;
// shared by the hostile-input tests and the fuzz target.
#include "rtf/RtfDocument.h"

#include <cstddef>
#include <numeric>
#include <string>
#include <string_view>

namespace rtfcheck {

inline bool IsValidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

// The first rule Document breaks; empty when it keeps them all.
inline std::string DocumentFault(const Rtf::Document &document, std::size_t inputSize)
{
    for (const Rtf::Paragraph &paragraph : document.paragraphs) {
        const std::size_t covered = std::accumulate(paragraph.runs.begin(), paragraph.runs.end(), std::size_t{0},
                                                    [](std::size_t sum, const Rtf::Run &run) { return sum + run.length; });
        if (covered != paragraph.text.size())
            return "the runs do not cover the text exactly";
    }
    const std::string text = document.PlainText();
    // One input byte decodes to at most three bytes of UTF-8; every escape is longer than what it yields.
    if (text.size() > 3 * inputSize)
        return "the text is more than three times the input";
    if (!IsValidUtf8(text))
        return "the text is not valid UTF-8";
    return {};
}

} // namespace rtfcheck
