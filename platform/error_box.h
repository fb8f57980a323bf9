// The show's error box: the one form in which the show reports a failure to the user.
#pragma once

#include "platform/message_box.h"

// No owner window, the caption "ERROR", a warning icon and one OK button; returns once the box
// is dismissed. Calls MessageBoxA by name, so a test that links its own still sees every box.
inline void show_error_box(const char* text)
{
    MessageBoxA(nullptr, text, "ERROR", MB_ICONWARNING | MB_OK);
}
