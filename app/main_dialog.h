// The main dialog: what it does at its start, on its commands and around a run.
#pragma once

#include <stdint.h>

#include "../platform/handles.h"

// The information text's data in the module image; not zero-terminated.
extern const char* InfoText;

// At WM_INITDIALOG: puts the information text into its edit box.
void ShowInformationText(HWND dialog);
// WM_COMMAND; returns what the dialog procedure returns.
bool OnMainDialogCommand(HWND dialog, uintptr_t wParam);
// WM_CLOSE, from the close box or Alt+F4.
bool OnMainDialogClose(HWND dialog);
