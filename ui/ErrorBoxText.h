#pragma once
// The standard error box's text, the same on every system.
#include <string>

// The error's text as the box shows it: a full stop is added when the text
// ends in a character above "." (a letter or a digit, say).
std::string ErrorBoxText(const std::string &message);
