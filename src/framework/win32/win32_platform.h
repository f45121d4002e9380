// <windows.h> for the backend's own files. The framework's method names
// (MessageBox, LoadString, SendMessage, ...) are macros there; they are
// undone here so that the seam's names stay what they are and every platform
// call names its A function explicitly.
#pragma once

#ifndef STRICT
#define STRICT
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
// The common controls and the shell need <windows.h> first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
// clang-format on

#undef MessageBox
#undef LoadString
#undef SendMessage
#undef PostMessage
#undef GetWindowText
#undef SetWindowText
#undef GetClassName
#undef LoadBitmap
#undef GetWindowLong
#undef SetWindowLong

// The wizard's buttons, and what a finished wizard answers: the platform's
// headers leave these to the application's framework; win_types.h spells the
// same values for the portable code.
#ifndef ID_WIZBACK
#define ID_WIZBACK 12323
#define ID_WIZNEXT 12324
#define ID_WIZFINISH 12325
#endif
