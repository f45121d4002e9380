// The dialog framework as the system's classes use it.
#pragma once

#include "afxapp.h"
#include "afxstr.h"
#include "controls.h"
#include "dialog.h"
#include "propsheet.h"
#include "runtime_class.h"
#include "win_types.h"
#include "wnd.h"
