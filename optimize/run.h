// The optimization run behind the Start button.
#pragma once

#include "../platform/handles.h"

// The main dialog, whose status text and bar show the stages; the dialog's
// procedure stores it for every message it gets, and never clears it.
extern HWND MainDialogHandle;

// The stages of a run; the bar goes one step further at each.
inline constexpr int StageCount = 10;

// The timed stages: checks the MTU value, writes the MTU, places and hangs up
// the test call. False when the check or a write failed; errors of the test
// call are not part of the result.
bool RunOptimization();
