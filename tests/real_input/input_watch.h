// The Win32 half of the real-input test host, apart from the framework's
// headers (which define the platform's names themselves).
#pragma once

#include <string>

bool OpenTranscript(const char* path);
void CloseTranscript();
void Write(const std::string& line);
// Notes the user's state from a timer inside every modal loop, and every button press.
void StartWatching();
// While held, the user's state is not noted (the host walks the wizard to a step).
void HoldWatching(bool held);
// A top-level window that notes the clicks it gets; it opens a dialog at once and
// closes at the first click after that dialog ended. Returns the dialog's result.
int RunHostWindow(int (*openDialog)());
