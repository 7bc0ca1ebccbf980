#pragma once
// The places where the window reads a release file other than its maker most
// probably meant, one warning line (UTF-8) each.
#include "platform/PrivateProfile.h"
#include "record/TProgram.h"

#include <string>
#include <vector>

// What the reading of the file met: how the text begins, the section, missing
// keys, cut values, UTF-8 where code page 1250 belongs.
std::vector<std::string> FileWarnings(const PrivateProfile::SectionRead &Read);

// How the date's year was taken, of Release converted from Record by the
// window's rules: none named, a short year, three digits or leading zeros.
std::vector<std::string> DateWarnings(const TReleaseRecord &Record, const TProgram &Release);
