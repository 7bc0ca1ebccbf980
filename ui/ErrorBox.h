#pragma once
// The standard error box: shows an error that escaped a handler, after which
// the window goes on working.
#include "ui/MessageBoxes.h"

#include <string>

class QWidget;

// The error's text as the box shows it: a full stop is added when the text
// ends in a character above "." (a letter or a digit, say).
std::string ErrorBoxText(const std::string &message);

void ShowErrorBox(MessageBoxes &boxes, QWidget *owner, const std::string &message);
