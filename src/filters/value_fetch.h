// The fetch of one column's distinct values from the library, batch after
// batch, beside a modeless wait dialog whose Cancel stops it between steps.
#pragma once

#include "framework/afxwin.h"
#include "owner/dt_owner.h"

enum class ValueFetch { Finished, Cancelled };

// Appends every value the library hands out for `column` to `values`, in
// arrival order. A failed call is shown (ShowLibraryError) and ends the fetch
// with what was collected so far. Cancelled when the user pressed Cancel in
// the wait dialog; `values` then holds whatever had arrived.
ValueFetch FetchFilterValues(CWnd* parent, CDTOwner& owner, ZevDTAPIColumn* column, CStringList& values);

// The wait dialog's window while a fetch runs, null otherwise: lets a test
// press Cancel from inside a library call, as a user would between two.
HWND ActiveFetchWaitWindow();
