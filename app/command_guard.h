#pragma once
// The application's error report: an error raised by a command ends the
// command and its text is shown in a message box. No exception ever reaches
// Qt's event loop.

#include "controls/dialogs.h"

#include <functional>

// Runs `command`; returns false when it raised. An error with an empty text
// is a deliberate stop and is not shown.
bool RunGuarded(TDialogs &dialogs, const std::function<void()> &command);
