#pragma once
// The maker's four products, told apart by the settings file each keeps in
// the program directory, where their news lies on the server, and the
// defaults of the connection settings.
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

namespace ConnectionDefaults {
inline constexpr std::string_view User = "anonymous";
inline constexpr std::string_view Password = "aktualizacje@vemo.com.pl";
inline constexpr std::string_view Host = "ftp.vemo.com.pl";
inline constexpr std::string_view HostPort = "21";
} // namespace ConnectionDefaults
