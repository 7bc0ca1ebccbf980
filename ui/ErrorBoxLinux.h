#pragma once
// The standard error box: shows an error that escaped a handler, after which
// the window goes on working.
#include "ui/ErrorBoxText.h"
#include "ui/MessageBoxesLinux.h"

#include <string>

class QWidget;

void ShowErrorBox(MessageBoxes &boxes, QWidget *owner, const std::string &message);
