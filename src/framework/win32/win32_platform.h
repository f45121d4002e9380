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
