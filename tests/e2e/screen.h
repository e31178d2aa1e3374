// The program's windows as the user sees them: which are up, their texts, where they stand.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "check.h"

namespace {

HANDLE Program; // the netopt.exe under test, its resources, and its main dialog
const HMODULE Exe = LoadLibraryExW(_wgetenv(L"NETOPT_EXE"), nullptr, LOAD_LIBRARY_AS_DATAFILE);
HWND Dialog;

HWND Item(int control) {
    return GetDlgItem(Dialog, control);
}

// Window texts live in Wine's server: readable while the program is busy.
std::wstring Text(HWND window) {
    wchar_t text[256];
    return std::wstring(text, std::max(GetWindowTextW(window, text, 256), 0));
}

// Its visible top-level windows with the caption (any if ""), but those left out, topmost first.
std::vector<HWND> Windows(const std::wstring& caption = L"",
                          const std::vector<HWND>& leftOut = {}) {
    std::vector<HWND> found;
    DWORD process;
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT))
        if (GetWindowThreadProcessId(window, &process) && process == GetProcessId(Program) &&
            IsWindowVisible(window) && (caption.empty() || Text(window) == caption) &&
            std::find(leftOut.begin(), leftOut.end(), window) == leftOut.end())
            found.push_back(window);
    return found;
}

HWND WaitWindow(const std::wstring& caption, const std::vector<HWND>& leftOut = {},
                const Where& at = Where::current()) {
    std::vector<HWND> found;
    if (WaitUntil([&] { return !(found = Windows(caption, leftOut)).empty(); }, 30000))
        return found[0];
    Fail(at, "no window \"" + Str(caption) + "\" came within 30 s");
    return nullptr;
}

// What the window's thread answers, once it is idle: on a busy machine, seconds after a start.
DWORD_PTR Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 10000, &answer);
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

// The control of the window's thread that has the keyboard focus, by its identifier.
int Focus(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return GetDlgCtrlID(info.hwndFocus);
}

// A copy of the dialog's font in Font; the dialog ends before it is shown.
LOGFONTW Font;
INT_PTR CALLBACK CopyFont(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(dialog, WM_GETFONT, 0, 0));
        GetObjectW(font, sizeof Font, &Font);
        DestroyWindow(dialog);
    }
    return FALSE;
}

// The font that the dialog manager gives a dialog of the exe's template, as the driver makes it.
HFONT TemplateFont(int id) {
    InitCommonControls(); // for the progress bar
    CreateDialogParamW(Exe, MAKEINTRESOURCEW(id), nullptr, CopyFont, 0);
    return CreateFontIndirectW(&Font);
}

const HDC Measures = CreateCompatibleDC(nullptr); // texts laid out as on the screen

// The texts of the window's visible controls that do not fit as Windows lays them out in that
// font: a label wider or taller than its button's face or its static, a line wrapped out of sight,
// a line of the notice wider than its box, a control beyond its window. "" when all fit.
std::string Cut(HWND window, HFONT font) {
    SelectObject(Measures, font);
    RECT inside{}, room{}, need{};
    GetClientRect(window, &inside);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&inside), 2);
    std::string cut;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t kind[8] = L"", text[2048];
        GetClassNameW(child, kind, 8);
        std::wstring shown = Text(child);
        GetClientRect(child, &room);
        UINT format = DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK; // as many lines as words need
        if (!lstrcmpiW(kind, L"Button")) { // one line on the face, within its edges
            InflateRect(&room, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
            format = DT_NOPREFIX | DT_SINGLELINE;
        } else if (!lstrcmpiW(kind, L"Edit")) { // the notice: its lines between its margins
            room.right -= LOWORD(Ask(child, EM_GETMARGINS)) + HIWORD(Ask(child, EM_GETMARGINS));
            shown.assign(text, Ask(child, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text)));
            format = DT_NOPREFIX | DT_EXPANDTABS;
        } else if (lstrcmpiW(kind, L"Static") ||
                   (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) > SS_RIGHT)
            continue;
        need = room;
        DrawTextW(Measures, shown.c_str(), -1, &need, format | DT_CALCRECT);
        if (!lstrcmpiW(kind, L"Edit")) // which scrolls up and down
            need.bottom = need.top;
        MapWindowPoints(child, nullptr, reinterpret_cast<POINT*>(&room), 2);
        IntersectRect(&room, &room, &inside);
        if (IsWindowVisible(child) && (need.right - need.left > room.right - room.left ||
                                       need.bottom - need.top > room.bottom - room.top))
            cut += "\"" + Str(shown.substr(0, shown.find(L'\r'))) + "\" needs " +
                   Str(need.right - need.left) + "x" + Str(need.bottom - need.top) + " px, has " +
                   Str(room.right - room.left) + "x" + Str(room.bottom - room.top) + "; ";
    }
    return cut;
}

// Where a window stands and the boxes of its title bar, as a user would say it: "centred,
// minimize, maximize (unavailable), close" (as Windows reports each box, STATE_SYSTEM_*).
std::string Frame(HWND window) {
    RECT rect{};
    TITLEBARINFO bar{sizeof bar, {}, {}};
    GetWindowRect(window, &rect);
    GetTitleBarInfo(window, &bar);
    LONG x = (rect.left + rect.right - GetSystemMetrics(SM_CXSCREEN)) / 2,
         y = (rect.top + rect.bottom - GetSystemMetrics(SM_CYSCREEN)) / 2;
    std::string text = x || y ? "off centre by " + Str(x) + "," + Str(y) : "centred";
    for (auto [box, name] : {std::pair{2, "minimize"}, {3, "maximize"}, {5, "close"}})
        if (!(bar.rgstate[box] & STATE_SYSTEM_INVISIBLE))
            text += std::string(", ") + name +
                    (bar.rgstate[box] & STATE_SYSTEM_UNAVAILABLE ? " (unavailable)" : "");
    return text;
}

} // namespace
