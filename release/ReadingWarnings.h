#pragma once
// The places where the window reads a release file other than its maker most
// probably meant, or where the file's dates will trouble its users, one
// warning line (UTF-8) each.
#include "platform/PrivateProfile.h"
#include "record/TProgram.h"

#include <optional>
#include <string>
#include <vector>

// What the reading of the file met: how the text begins, the section, missing
// keys, cut values, UTF-8 where code page 1250 belongs.
std::vector<std::string> FileWarnings(const PrivateProfile::SectionRead &Read);

// How the date's year was taken, of Release converted from Record by the
// window's rules: none named, a short year, three digits or leading zeros.
std::vector<std::string> DateWarnings(const TReleaseRecord &Record, const TProgram &Release);

// Days before its last valid day from which a release file warns: time to
// sign and upload one with a later WazneDo.
inline constexpr int ExpiryNotice = 7;

// What the release date (LastUpd as compared) and the last valid day (none
// without WazneDo) mean for users on Today: a date to come, which under a key
// refuses every earlier file; a last valid day before the release date, past,
// or within ExpiryNotice days.
std::vector<std::string> ValidityWarnings(double ReleaseDate, std::optional<double> LastValid, double Today);
