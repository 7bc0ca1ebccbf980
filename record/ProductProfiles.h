#pragma once
// The maker's four products, told apart by the settings file each keeps in
// the program directory, and the files of their news on the server: the
// window detects the product by them and fetches its files, and the maker's
// tool knows by them which names a signature may cover.
#include <algorithm>
#include <array>
#include <string_view>

struct ProductProfile {
    std::string_view IniName;  // the product's settings file
    std::string_view InfName;  // release information on the server
    std::string_view RtfName;  // news description on the server
    std::string_view Caption;  // the main window's caption
    // Non-empty: the profile applies only when "Typ" of section "Program"
    // in the settings file, upper-cased, equals this code.
    std::string_view Typ;
};

// Tried in this order; the first whose file exists (and type matches) is taken.
inline constexpr std::array<ProductProfile, 4> ProductProfiles = {{
    {"ort.ini", "or_news.inf", "or_news.rtf", "Zelnor: Ortana", ""},
    {"bel.ini", "bv_news.inf", "bv_news.rtf", "Zelnor: Belvik", ""},
    {"solvane.ini", "sk_news.inf", "sk_news.rtf", "Zelnor: Solvane Karo", "KR"},
    {"solvane.ini", "sv_news.inf", "sv_news.rtf", "Zelnor: Solvane", ""},
}};

// The server's directory of every product's news files.
inline constexpr std::string_view RemoteNewsDir = "pub/news/";

// Whether Name, letter case included, is one the window fetches: a
// product's release information or news.
inline bool IsFetchedName(std::string_view name)
{
    return std::any_of(ProductProfiles.begin(), ProductProfiles.end(), [name](const ProductProfile &profile) {
        return name == profile.InfName || name == profile.RtfName;
    });
}
