// Dialogs, their controls and the module's resources, through user32,
// comctl32 and kernel32.
#include "../dialog.h"

#include <windows.h>
#include <commctrl.h>

#include "dialog_box.h"
#include "text.h"

namespace {

const char TextResourceType[] = "TEXT";
const size_t ResourceNameCapacity = 16;

HINSTANCE ModuleInstance() {
    return GetModuleHandleA(nullptr);
}

HWND Item(HWND dialog, int control) {
    return GetDlgItem(dialog, control);
}

LRESULT SendToItem(HWND dialog, int control, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendDlgItemMessageA(dialog, control, message, wParam, lParam);
}

} // namespace

void InitControls() {
    InitCommonControls();
}

INT_PTR RunDialogBox(const char* name, DLGPROC proc) {
    if (!UseWideTexts())
        return DialogBoxParamA(ModuleInstance(), name, nullptr, proc, 0);
    wchar_t wideName[ResourceNameCapacity];
    ToWideText(name, wideName, ResourceNameCapacity);
    return DialogBoxParamW(ModuleInstance(), wideName, nullptr, proc, 0);
}

HICON LoadModuleIcon(const char* name) {
    return LoadIconA(ModuleInstance(), name);
}

void SetControlIcon(HWND dialog, int control, HICON icon) {
    (void)SendToItem(dialog, control, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
}

void EnableControl(HWND dialog, int control, bool enable) {
    (void)EnableWindow(Item(dialog, control), enable ? TRUE : FALSE);
}

void ShowControl(HWND dialog, int control, bool show) {
    (void)ShowWindow(Item(dialog, control), show ? SW_SHOW : SW_HIDE);
}

void FocusControl(HWND dialog, int control) {
    (void)SetFocus(Item(dialog, control));
}

void RepaintDialog(HWND dialog) {
    (void)UpdateWindow(dialog);
}

void EndDialogBox(HWND dialog) {
    (void)EndDialog(dialog, 0);
}

void SetItemText(HWND dialog, int control, const char* text) {
    if (!UseWideTexts()) {
        (void)SetDlgItemTextA(dialog, control, text);
        return;
    }
    wchar_t wide[ItemTextCapacity];
    ToWideText(text, wide, ItemTextCapacity);
    (void)SetDlgItemTextW(dialog, control, wide);
}

void SendItemText(HWND dialog, int control, const char* text) {
    if (!UseWideTexts()) {
        (void)SendToItem(dialog, control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
        return;
    }
    wchar_t wide[ItemTextCapacity];
    ToWideText(text, wide, ItemTextCapacity);
    (void)SendDlgItemMessageW(dialog, control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide));
}

void SetProgressRange(HWND dialog, int control, int low, int high) {
    (void)SendToItem(dialog, control, PBM_SETRANGE, 0, MAKELPARAM(low, high));
}

void SetProgressStep(HWND dialog, int control, int step) {
    (void)SendToItem(dialog, control, PBM_SETSTEP, static_cast<WPARAM>(step), 0);
}

void SetProgressPosition(HWND dialog, int control, int position) {
    (void)SendToItem(dialog, control, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void StepProgress(HWND dialog, int control) {
    (void)SendToItem(dialog, control, PBM_STEPIT, 0, 0);
}

const char* LoadTextResource(const char* name, size_t* size) {
    HRSRC found = FindResourceA(ModuleInstance(), name, TextResourceType);
    if (found == nullptr) {
        *size = 0;
        return nullptr;
    }
    *size = SizeofResource(ModuleInstance(), found);
    return static_cast<const char*>(LockResource(LoadResource(ModuleInstance(), found)));
}
