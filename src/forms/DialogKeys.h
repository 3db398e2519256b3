#pragma once
// Enter, Escape and Tab for windows that are built as forms but behave as
// dialogs (the alarm windows). The main loop hands every message to
// translateDialogKeys before it dispatches it.

#include <windows.h>

namespace tav {

void addDialogKeys(HWND window);
void removeDialogKeys(HWND window);
// True when the message was a dialog key of one of those windows and has
// been handled.
bool translateDialogKeys(MSG& msg);

}  // namespace tav
