// The yardstick of the start-up benchmark: a dialog and nothing else, built
// and started the way netopt.exe is.
#include <windows.h>

namespace {

INT_PTR CALLBACK BareDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE || message == WM_COMMAND) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

} // namespace

extern "C" void NetoptStart() {
    DialogBoxParamA(GetModuleHandleA(nullptr), "#1", nullptr, BareDialogProc, 0);
    ExitProcess(0);
}
