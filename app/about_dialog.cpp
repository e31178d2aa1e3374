// The About dialog; any command closes it.
#include "about_dialog.h"

#include <windows.h>

#include "../platform/dialog.h"
#include "../platform/win32/dialog_box.h"
#include "../resources/resource.h"

namespace {

// Shared icon of the module: nothing destroys it.
HICON AboutIcon = nullptr;

INT_PTR CALLBACK AboutDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)wParam;
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        AboutIcon = LoadModuleIcon(RESOURCE_NAME(IDI_APP));
        SetControlIcon(hDlg, IDC_ABOUT_ICON, AboutIcon);
        return TRUE; // the focus goes to the ok button
    case WM_COMMAND: // the ok button, Enter, Esc: whatever the command
    case WM_CLOSE:
        EndDialogBox(hDlg);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void OpenAboutDialog() {
    (void)RunDialogBox(RESOURCE_NAME(IDD_ABOUT), AboutDialogProc);
}
