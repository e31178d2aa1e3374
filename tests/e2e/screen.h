// The program's windows as the user sees them: which are up, their texts, where they stand.
#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "check.h"

namespace {

HANDLE Program; // the netopt.exe under test, and its main dialog
HWND Dialog;

HWND Item(int control) {
    return GetDlgItem(Dialog, control);
}

// Window texts live in Wine's server: readable while the program is busy.
std::wstring Text(HWND window) {
    wchar_t text[256];
    return std::wstring(text, std::max(GetWindowTextW(window, text, 256), 0));
}

// Its visible top-level windows with the caption (any if ""), topmost first.
std::vector<HWND> Windows(const std::wstring& caption = L"", HWND leftOut = nullptr) {
    std::vector<HWND> found;
    DWORD process;
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT))
        if (GetWindowThreadProcessId(window, &process) && process == GetProcessId(Program) &&
            IsWindowVisible(window) && (caption.empty() || Text(window) == caption) &&
            window != leftOut)
            found.push_back(window);
    return found;
}

HWND WaitWindow(const std::wstring& caption, HWND leftOut = nullptr,
                const Where& at = Where::current()) {
    std::vector<HWND> found;
    if (WaitUntil([&] { return !(found = Windows(caption, leftOut)).empty(); }, 30000))
        return found[0];
    Fail(at, "no window \"" + Str(caption) + "\" came within 30 s");
    return nullptr;
}

// What the window's thread answers, once it is idle.
DWORD_PTR Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &answer);
    return answer;
}

// The static texts in template order, joined by "|", icons left out.
std::wstring StaticTexts(HWND dialog) {
    std::wstring texts;
    wchar_t kind[16];
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetClassNameW(child, kind, 16) && lstrcmpiW(kind, L"Static") == 0 &&
            (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
            texts += (texts.empty() ? L"" : L"|") + Text(child);
    return texts;
}

// Where a window stands, and the boxes of its title bar as Windows reports them (STATE_SYSTEM_*).
struct Frame {
    LONG offCentreX, offCentreY; // from the screen's middle
    DWORD minimize, maximize, close;
    POINT closeBox; // its middle, at the title bar's right end
};

Frame FrameOf(HWND window) {
    RECT rect{};
    TITLEBARINFO bar{sizeof bar, {}, {}};
    GetWindowRect(window, &rect);
    GetTitleBarInfo(window, &bar);
    return {(rect.left + rect.right - GetSystemMetrics(SM_CXSCREEN)) / 2,
            (rect.top + rect.bottom - GetSystemMetrics(SM_CYSCREEN)) / 2,
            bar.rgstate[2],
            bar.rgstate[3],
            bar.rgstate[5],
            {bar.rcTitleBar.right - GetSystemMetrics(SM_CXSIZE) / 2,
             (bar.rcTitleBar.top + bar.rcTitleBar.bottom) / 2}};
}

// As a user would say it: "centred, minimize, maximize (unavailable), close".
std::string Describe(const Frame& frame) {
    std::string text = frame.offCentreX || frame.offCentreY
                           ? "off centre by " + Str(frame.offCentreX) + "," + Str(frame.offCentreY)
                           : "centred";
    const std::pair<const char*, DWORD> boxes[] = {
        {"minimize", frame.minimize}, {"maximize", frame.maximize}, {"close", frame.close}};
    for (const auto& [name, state] : boxes) {
        if (state & STATE_SYSTEM_INVISIBLE)
            continue;
        text += std::string(", ") + name;
        if (state & STATE_SYSTEM_UNAVAILABLE)
            text += " (unavailable)";
        if (state & ~(STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE))
            text += " (state " + Str(state) + ")";
    }
    return text;
}

} // namespace
