// Running a dialog from the module's templates (Windows code only).
#pragma once

#include <windows.h>

// Registers the common control classes, the progress bar's among them.
void InitControls();
// Runs the dialog's modal loop with no owner window until EndDialog;
// returns -1 when the dialog could not be created.
INT_PTR RunDialogBox(const char* name, DLGPROC proc);

// A shared icon of the module, and showing an icon in a static control.
HICON LoadModuleIcon(const char* name);
void SetControlIcon(HWND dialog, int control, HICON icon);
