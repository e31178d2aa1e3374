// The dialog services the program uses: controls of a dialog addressed by
// identifier, the modal loop, and the program's own resources. Texts are
// Windows-1251.
#pragma once

#include <stddef.h>

#include "handles.h"

void EnableControl(HWND dialog, int control, bool enable);
void ShowControl(HWND dialog, int control, bool show);
void FocusControl(HWND dialog, int control);
void RepaintDialog(HWND dialog);
void EndDialogBox(HWND dialog);

// Room for the longest text a control is given (the information text), its
// terminating zero included.
const size_t ItemTextCapacity = 1024;

// Replaces the text of an edit box (SetDlgItemText).
void SetItemText(HWND dialog, int control, const char* text);
// Sends WM_SETTEXT to a control: a static repaints inside the call.
void SendItemText(HWND dialog, int control, const char* text);

void SetProgressRange(HWND dialog, int control, int low, int high);
void SetProgressStep(HWND dialog, int control, int step);
void SetProgressPosition(HWND dialog, int control, int position);
void StepProgress(HWND dialog, int control);

// The data of a TEXT resource of the module and its size; the data is not
// zero-terminated and stays valid for the life of the process.
const char* LoadTextResource(const char* name, size_t* size);

// Integer resource identifiers are passed by name as "#" and the number.
#define RESOURCE_NAME(id) RESOURCE_NAME_TEXT(id)
#define RESOURCE_NAME_TEXT(id) "#" #id
