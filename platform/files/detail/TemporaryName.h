#pragma once
// The name of a download's temporary file: the target's, a mark, and six
// random letters and digits. The next download of the same target knows a
// leftover by it.
#include <algorithm>
#include <cstddef>
#include <string_view>

namespace FileSystem {

constexpr std::string_view kTemporaryMark = ".vm_ver32-";
constexpr std::size_t kRandomLength = 6;

// Whether Name is Prefix (a target's name and the mark) followed by the random part.
inline bool IsTemporaryName(std::string_view name, std::string_view prefix)
{
    if (name.size() != prefix.size() + kRandomLength || !name.starts_with(prefix))
        return false;
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
}

} // namespace FileSystem
