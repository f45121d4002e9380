// What happens to a window that nobody acts on: a script ran out, a script
// line failed, or the headless backend runs without any script. Dialogs and
// sheets are cancelled, message boxes take their default button; the user's
// data is never changed by a default.
#pragma once

#include "../backend.h"

namespace fw {
void ApplyDefaultAction(Hwnd active);
}  // namespace fw
