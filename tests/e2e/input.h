// The user's hands: clicks and keys through Wine's input queue, which a disabled window refuses.
#pragma once

#include <initializer_list>
#include <vector>

#include "screen.h"

namespace {

void Mouse(DWORD flags, LONG x = 0, LONG y = 0) {
    INPUT input{INPUT_MOUSE,
                {{x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1),
                  y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1), 0, flags, 0, 0}}};
    SendInput(1, &input, sizeof input);
}

// The pointer rests in a corner before each launch and click, lest X report a
// window appearing under it between a move and a press, which lifts the button.
void ParkPointer() {
    Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, GetSystemMetrics(SM_CXSCREEN) - 1,
          GetSystemMetrics(SM_CYSCREEN) - 1);
}

// Near the left end, which no centred box covers; again if a late focus report
// from X cancelled the press; released away from the button if not seen down.
// The tick count just before the release, which clicks it; 0 if it never went down.
long long Click(HWND button, const Where& at = Where::current()) {
    RECT rect{};
    auto Pushed = [&] { return (Ask(button, BM_GETSTATE) & BST_PUSHED) != 0; };
    for (int attempt = 0; attempt < 3 && GetWindowRect(button, &rect); ++attempt) {
        Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, rect.left + 6, (rect.top + rect.bottom) / 2);
        Mouse(MOUSEEVENTF_LEFTDOWN);
        WaitUntil(Pushed, 3000);
        Sleep(100);
        bool pushed = Pushed();
        if (!pushed)
            ParkPointer();
        long long released = GetTickCount64();
        Mouse(MOUSEEVENTF_LEFTUP);
        ParkPointer();
        if (pushed)
            return released;
    }
    Fail(at, "the button never went down: " + Str(Text(button)));
    return 0;
}

// Waits for the window to be in front, where the keyboard and a click go.
void InFront(HWND window, const Where& at) {
    CHECK_SOON(reinterpret_cast<uintptr_t>(window),
               reinterpret_cast<uintptr_t>(GetForegroundWindow()), at);
}

// Once the window is in front, presses the keys, then releases them backwards.
void Press(HWND window, std::initializer_list<WORD> keys, const Where& at = Where::current()) {
    InFront(window, at);
    std::vector<INPUT> input(2 * keys.size(), INPUT{INPUT_KEYBOARD, {}});
    for (size_t i = 0; i < keys.size(); ++i) {
        input[i].ki = {keys.begin()[i], 0, 0, 0, 0};
        input[input.size() - 1 - i].ki = {keys.begin()[i], 0, KEYEVENTF_KEYUP, 0, 0};
    }
    SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

// A click on the close box, where a user sees it, once the window is in front.
void ClickCloseBox(HWND window, const Where& at = Where::current()) {
    InFront(window, at);
    TITLEBARINFO bar{sizeof bar, {}, {}}; // its middle, at the title bar's right end
    GetTitleBarInfo(window, &bar);
    Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE,
          bar.rcTitleBar.right - GetSystemMetrics(SM_CXSIZE) / 2,
          (bar.rcTitleBar.top + bar.rcTitleBar.bottom) / 2);
    Mouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(100);
    Mouse(MOUSEEVENTF_LEFTUP);
    ParkPointer();
    CHECK_SOON(false, IsWindow(window) != 0, at);
}

} // namespace
