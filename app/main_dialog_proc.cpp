// The main dialog's procedure: the Windows side of the main dialog.
#include "main_dialog_proc.h"

#include "../optimize/run.h"
#include "main_dialog.h"

INT_PTR CALLBACK MainDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    MainDialogHandle = hDlg;
    switch (message) {
    case WM_INITDIALOG:
        ShowInformationText(hDlg);
        return TRUE; // the focus goes to the first tab stop, Start
    case WM_CLOSE:
        return OnMainDialogClose(hDlg) ? TRUE : FALSE;
    case WM_COMMAND:
        return OnMainDialogCommand(hDlg, wParam) ? TRUE : FALSE;
    default:
        return FALSE;
    }
}
