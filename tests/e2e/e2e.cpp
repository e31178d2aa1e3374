// The user of the release under Wine: reads its windows, the screen, the
// registry, the modem's log and Wine's trace of the program's calls; clicks
// and types through the input queue. Usage: e2e-driver <scenario>.
#include <windows.h>

#include <process.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <regex>
#include <source_location>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "../../resources/resource.h"

namespace {

// A check's place: a helper passes on its caller's, so that failures name the step.
using Where = std::source_location;

int Failures = 0;
std::string Row; // the table row under way, which failures name
HANDLE Program;  // the netopt.exe under test, and its main dialog
HWND Dialog;
const HDC Screen = GetDC(nullptr); // for the driver's life
const std::string AdapterKey = "System\\CurrentControlSet\\Services\\Class\\Net\\0000",
                  NdiKey = AdapterKey + "\\Ndi", ParameterKey = NdiKey + "\\params\\IPMTU";

// Reports a failed check; false, for a helper that gives up.
bool Fail(const Where& at, const std::string& what) {
    printf("FAIL line %u%s: %s\n", static_cast<unsigned>(at.line()),
           Row.empty() ? "" : (" (" + Row + ")").c_str(), what.c_str());
    fflush(stdout);
    ++Failures;
    return false;
}

// A text or a number as checks compare and show it.
template <class T> std::string Str(const T& value) {
    if constexpr (std::is_arithmetic_v<T>)
        return std::to_string(value);
    else if constexpr (std::is_constructible_v<std::string, T>)
        return value;
    else {
        char utf8[4096] = "";
        WideCharToMultiByte(CP_UTF8, 0, std::wstring(value).c_str(), -1, utf8, sizeof utf8 - 1,
                            nullptr, nullptr);
        return utf8;
    }
}

#define CHECK_EQ(expected, actual, ...)                                                            \
    CheckEq(Str(expected), Str(actual), #actual __VA_OPT__(, ) __VA_ARGS__)
void CheckEq(const std::string& expected, const std::string& actual, const char* what,
             const Where& at = Where::current()) {
    if (expected != actual)
        Fail(at, std::string(what) + ": expected \"" + expected + "\", got \"" + actual + "\"");
}

bool WaitUntil(const std::function<bool()>& ready, int timeoutMs = 5000) {
    for (ULONGLONG deadline = GetTickCount64() + timeoutMs; !ready(); Sleep(20))
        if (GetTickCount64() > deadline)
            return false;
    return true;
}

// What read() gives once it is what is expected, or at the deadline.
std::string Soon(const std::string& expected, const std::function<std::string()>& read) {
    std::string seen;
    WaitUntil([&] { return (seen = read()) == expected; });
    return seen;
}

// A check of the screen or of the program's state, which may take a moment.
#define CHECK_SOON(expected, actual, ...)                                                          \
    CheckEq(Str(expected), Soon(Str(expected), [&] { return Str(actual); }),                       \
            #actual __VA_OPT__(, ) __VA_ARGS__)

// A step of the schedule comes its wait after the step before: no sooner, as
// a sleep never ends early, but for the tick count's 16 ms granularity (Wine's
// as Windows'), and no later than a busy machine may make it.
const long long TickMs = 16, LateMs = 800;
void CheckWait(long long fromMs, long long waitMs, long long toMs,
               const Where& at = Where::current()) {
    if (toMs - fromMs < waitMs - TickMs || toMs - fromMs > waitMs + LateMs)
        Fail(at, "expected " + Str(waitMs - TickMs) + " to " + Str(waitMs + LateMs) +
                     " ms after the step before, got " + Str(toMs - fromMs));
}

// What the pattern captures in each line of the log that it matches.
std::vector<std::vector<std::string>> Matches(const wchar_t* path, const std::string& pattern) {
    std::ifstream log(path, std::ios::binary);
    std::regex compiled(pattern);
    std::vector<std::vector<std::string>> found;
    std::smatch match;
    for (std::string line; std::getline(log, line);)
        if (std::regex_search(line, match, compiled))
            found.emplace_back(match.begin(), match.end());
    return found;
}

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

// Starts netopt.exe with these modem errors and waits for its main dialog.
bool Launch(const wchar_t* modemErrors, const Where& at = Where::current()) {
    SetEnvironmentVariableW(L"NETOPT_MODEM_ERRORS", modemErrors);
    ParkPointer();
    Program = reinterpret_cast<HANDLE>(
        _wspawnl(_P_NOWAIT, _wgetenv(L"NETOPT_EXE"), L"netopt.exe", nullptr));
    if (Program == INVALID_HANDLE_VALUE)
        return Fail(at, "netopt.exe did not start");
    return (Dialog = WaitWindow(L"", nullptr, at)) != nullptr;
}

// The program's exit code once it has ended; STILL_ACTIVE if it has not.
DWORD ExitCode() {
    DWORD code = STILL_ACTIVE;
    WaitForSingleObject(Program, 10000);
    GetExitCodeProcess(Program, &code);
    return code;
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

// Near the left end, which no centred box covers; again if a late focus report
// from X cancelled the press; released away from the button if not seen down.
void Click(HWND button, const Where& at = Where::current()) {
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
        Mouse(MOUSEEVENTF_LEFTUP);
        ParkPointer();
        if (pushed)
            return;
    }
    Fail(at, "the button never went down: " + Str(Text(button)));
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

// How far the window's middle stands from the screen's, "x,y", and its minimize, maximize
// and close boxes as Windows reports them: 0 shown, 1 unavailable, 32768 none.
std::string Frame(HWND window) {
    RECT rect{};
    TITLEBARINFO bar{sizeof bar, {}, {}};
    GetWindowRect(window, &rect);
    GetTitleBarInfo(window, &bar);
    return Str((rect.left + rect.right - GetSystemMetrics(SM_CXSCREEN)) / 2) + "," +
           Str((rect.top + rect.bottom - GetSystemMetrics(SM_CYSCREEN)) / 2) + " " +
           Str(bar.rgstate[2]) + " " + Str(bar.rgstate[3]) + " " + Str(bar.rgstate[5]);
}

// A click on the close box, at the title bar's right end, once the window is in front.
void ClickCloseBox(HWND window, const Where& at = Where::current()) {
    TITLEBARINFO bar{sizeof bar, {}, {}};
    InFront(window, at);
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

// The dialogs' ground, 0x00rrggbb as a picture's pixels hold it.
const COLORREF Face = GetSysColor(COLOR_BTNFACE);
const DWORD Ground = RGB(GetBValue(Face), GetGValue(Face), GetRValue(Face));

// Pixels of a device context, 0x00rrggbb, a row after another from the top.
struct Picture {
    RECT rect;
    std::vector<DWORD> pixels;
};

Picture Grab(HDC from, const RECT& rect) {
    LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
    BITMAPINFOHEADER header{sizeof header, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    Picture picture{rect, std::vector<DWORD>(width * height)};
    HDC memory = CreateCompatibleDC(Screen);
    HBITMAP bitmap = CreateCompatibleBitmap(Screen, width, height);
    SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, from, rect.left, rect.top, SRCCOPY);
    DeleteDC(memory); // which lets go of the bitmap, as GetDIBits wants
    GetDIBits(Screen, bitmap, 0, height, picture.pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    return picture;
}

// Whether the window shows a pixel of the dialogs' ground, or else one of any other colour.
bool Shows(HWND window, bool ground) {
    RECT rect{};
    GetWindowRect(window, &rect);
    std::vector<DWORD> pixels = Grab(Screen, rect).pixels;
    return std::any_of(pixels.begin(), pixels.end(),
                       [&](DWORD pixel) { return (pixel == Ground) == ground; });
}

// Saves <name>.ppm, a picture of the program's windows once each shows its ground and ink in each
// control.
void Snapshot(const std::string& name, const Where& at = Where::current()) {
    auto painted = [] {
        bool shown = true;
        for (HWND window : Windows()) {
            shown = shown && Shows(window, true);
            for (HWND child = GetWindow(window, GW_CHILD); child;
                 child = GetWindow(child, GW_HWNDNEXT))
                shown = shown && (!IsWindowVisible(child) || Shows(child, false));
        }
        return shown;
    };
    if (!WaitUntil(painted, 30000)) {
        Fail(at, "the windows of the picture " + name + " were not all painted within 30 s");
        return;
    }
    RECT all{}, rect{};
    for (HWND window : Windows())
        if (GetWindowRect(window, &rect))
            UnionRect(&all, &all, &rect);
    std::ofstream out(name + ".ppm", std::ios::binary);
    out << "P6 " << all.right - all.left << " " << all.bottom - all.top << " 255\n";
    for (DWORD pixel : Grab(Screen, all).pixels)
        out.put(static_cast<char>(pixel >> 16))
            .put(static_cast<char>(pixel >> 8))
            .put(static_cast<char>(pixel));
    if (!out.flush())
        Fail(at, "could not write " + name + ".ppm");
}

// The image of that size in resources/icon.txt (NETOPT_ICON), a line a row.
std::string IconTxt(int size) {
    std::ifstream file(_wgetenv(L"NETOPT_ICON"));
    std::string text{std::istreambuf_iterator<char>(file), {}};
    std::smatch image;
    std::regex_search(text, image,
                      std::regex("size " + Str(size) + "\n((.*\n){" + Str(size) + "})"));
    return image[1];
}

// The picture's middle square of that size in icon.txt's letters for Windows' default palette
// (the 16 colours and four more), "." for the ground, where the icon is transparent.
std::string Letters(const Picture& picture, int size) {
    PALETTEENTRY palette[20];
    GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, 20, palette);
    LONG width = picture.rect.right - picture.rect.left, left = (width - size) / 2,
         top = (picture.rect.bottom - picture.rect.top - size) / 2;
    std::string rows;
    for (LONG y = top; y < top + size; ++y) {
        for (LONG x = left; x < left + size; ++x) {
            char letter = picture.pixels[y * width + x] == Ground ? '.' : '?';
            for (int i = 0; i < 20; ++i)
                if (RGB(palette[i].peBlue, palette[i].peGreen, palette[i].peRed) ==
                    picture.pixels[y * width + x])
                    letter = "Krgonpts????GRLYBMAW"[i];
            rows += letter;
        }
        rows += "\n";
    }
    return rows;
}

// The exe's icon of that size as Windows draws it on the ground, in the screen's empty corner.
std::string DrawnIcon(int size) {
    HMODULE exe = LoadLibraryExW(_wgetenv(L"NETOPT_EXE"), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HANDLE icon = LoadImageW(exe, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, size, size, 0);
    RECT corner{0, 0, size, size};
    FillRect(Screen, &corner, GetSysColorBrush(COLOR_BTNFACE));
    DrawIconEx(Screen, 0, 0, static_cast<HICON>(icon), size, size, 0, nullptr, DI_NORMAL);
    return Letters(Grab(Screen, corner), size);
}

// A volatile key can have no lasting subkey: made as the Ndi key, it keeps
// the program from making the parameter key.
bool BlockParameterKey() {
    HKEY key;
    return !RegCreateKeyExA(HKEY_LOCAL_MACHINE, NdiKey.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr) &&
           !RegCloseKey(key);
}

// "<type>:<data up to a zero>/<size>", or whether the value or the key is missing.
std::string Value(const std::string& path, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key))
        return "no key";
    char data[1024];
    DWORD type = 0, size = sizeof data;
    LONG read = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (read)
        return "no value";
    return Str(type) + ":" + std::string(data, strnlen(data, size)) + "/" + Str(size);
}

// What the program asked of the modem: its log's lines without their tick counts, "|" after each.
std::string ModemCalls() {
    std::string calls;
    for (const auto& line : Matches(L"modem.log", "^\\d+ (.*)"))
        calls += line[1] + "|";
    return calls;
}

// The tick count of the modem's first line that goes on so; 0, far off any schedule, if none.
long long ModemMs(const std::string& line) {
    auto lines = Matches(L"modem.log", "^(\\d+) " + line);
    return lines.empty() ? 0 : atoll(lines[0][1].c_str());
}

// The calls of Wine's trace that match the pattern, with the moment of each:
// "<seconds>.<ms>:<thread>:Call <dll>.<function>(<arguments>) ret=<address>".
std::vector<std::vector<std::string>> Calls(const std::string& call) {
    return Matches(L"trace.log", "^(\\d+\\.\\d+):\\w+:Call " + call);
}

// The moment, in ms, of the last such call; 0, far off any schedule, if none.
long long Last(const std::string& call) {
    auto calls = Calls(call);
    return calls.empty() ? 0 : static_cast<long long>(std::stod(calls.back()[1]) * 1000 + 0.5);
}

// The sounds; the stages (WM_SETTEXT to 20); the MTU written, REG_SZ "576" and
// its zero (which Windows would count if the program forgot it), by value name.
const std::string MessageBeeps = "user32\\.MessageBeep\\(00000000\\)",
                  Beeps = "KERNEL32\\.Beep\\(000003e8,000003e8\\)",
                  Stages = "user32\\.SendDlgItemMessage[AW]\\(\\w+,00000014,0000000c,";
std::string MtuWrites(const std::string& name) {
    return "kernelbase\\.RegSetValueExA\\(\\w+," + name + ",0+,0+1,\\w+,0+4\\)";
}

// The sounds and the message boxes in the order the program made them: a
// sound's call, "MessageBeep(00000000)", or a box's flags, "MessageBox 00001010".
std::vector<std::string> Alerts() {
    std::vector<std::string> alerts;
    for (const auto& call : Calls("(?:\\w+\\.((Message)?Beep\\([\\w,]+\\))|"
                                  "user32\\.MessageBox[AW]\\(.*,(\\w+)\\) ret=)"))
        alerts.push_back(call[2].empty() ? "MessageBox " + call[4] : call[2]);
    return alerts;
}

// The calls that hand over the program's texts, by function and form, in the
// order of their first calls: dialogs, the notice, the stages' WM_SETTEXT and
// message boxes, as "DialogBoxParamA SetDlgItemTextA ...".
std::string TextForms() {
    std::string forms;
    for (const auto& call : Calls("user32\\.((?:DialogBoxParam|SetDlgItemText|MessageBox)[AW]|"
                                  "SendDlgItemMessage[AW](?=\\(\\w+,\\w+,0000000c,))\\("))
        if (forms.find(call[2] + " ") == std::string::npos)
            forms += call[2] + " ";
    return forms;
}

const std::string DefaultSound = "MessageBeep(00000000)", Tone = "Beep(000003e8,000003e8)";
const wchar_t About[] = L"О программе", Error[] = L"Ошибка", Result[] = L"Результат оптимизации";
const wchar_t Failed[] = L"Ошибка. Оптимизация не возможна.", Done[] = L"Оптимизация выполнена.";
const std::string Mtu = "1:576/4"; // REG_SZ, with its terminating zero
std::string Sevenfold(const std::string& text) {
    return text + text + text + text + text + text + text;
}
// A new call (no handle given) through the default phone book with no
// extensions and a notifier of type 0: its record's fields in hex, its number.
const std::string Dialled = " 0,0,0,0 1c040000" + std::string(514, '0') +
                            Sevenfold("31323334353637383930") + std::string(1404, '0') + "2a" +
                            std::string(30, '0') + " " + Sevenfold("1234567890");

// What a user sees of the main dialog's state.
std::string Look() {
    GUITHREADINFO focus{};
    focus.cbSize = sizeof focus;
    GetGUIThreadInfo(GetWindowThreadProcessId(Dialog, nullptr), &focus);
    std::string look = IsWindowVisible(Item(IDC_STATUS)) ? "status shown" : "status hidden";
    look += IsWindowVisible(Item(IDC_PROGRESS)) ? ", bar shown" : ", bar hidden";
    look += IsWindowEnabled(Dialog) ? ", enabled" : ", disabled";
    look += IsWindowEnabled(Item(IDC_GROUP)) ? ", buttons enabled" : ", buttons disabled";
    return look + (focus.hwndFocus == Item(IDC_START) ? ", focus on Start" : ", focus elsewhere");
}
const std::string Idle = "status hidden, bar hidden, enabled, buttons enabled, focus on Start";

// The bar's fill on screen, up to the last blue pixel of its middle row,
// against the status text. While a run sleeps, Wine may paint only at the
// next stage: then "a stage behind" is as good as "even".
std::string Bar(bool running = false) {
    RECT rect{};
    GetWindowRect(Item(IDC_PROGRESS), &rect);
    int filled = 0;
    for (int x = rect.left; x < rect.right; ++x) {
        COLORREF pixel = GetPixel(Screen, x, (rect.top + rect.bottom) / 2);
        filled = GetBValue(pixel) > 150 && GetRValue(pixel) < 120 ? x + 1 - rect.left : filled;
    }
    std::wstring status = Text(Item(IDC_STATUS));
    int behind = _wtoi(status.c_str() + status.find(L' ') + 1) -
                 filled * 100 / std::max(rect.right - rect.left, 1L);
    if (abs(behind) <= 5 || (running && abs(behind - 10) <= 5))
        return "even";
    return std::to_string(behind) + "% behind";
}

// The number-th box: its caption and text, the sound before it and its flags; the result boxes
// disable the main dialog, their owner; the notifier's, after its tone, has none.
HWND CheckBox(size_t number, const std::string& sound, const wchar_t* text, HWND leftOut = nullptr,
              const Where& at = Where::current()) {
    const wchar_t* caption = text == std::wstring(Done) ? Result : Error;
    HWND box = WaitWindow(caption, leftOut, at);
    CHECK_EQ(caption + std::wstring(L"|") + text, Text(box) + L"|" + StaticTexts(box), at);
    // MB_SYSTEMMODAL, with MB_ICONERROR under the error caption, else MB_ICONINFORMATION.
    auto flags = caption == Error ? "MessageBox 00001010" : "MessageBox 00001040";
    std::vector<std::string> alerts = Alerts();
    alerts.resize(std::max(alerts.size(), 2 * number));
    CHECK_EQ(sound + ", " + flags, alerts[2 * number - 2] + ", " + alerts[2 * number - 1], at);
    CHECK_SOON(sound == Tone, IsWindowEnabled(Dialog) != 0, at);
    return box;
}

// Opens an About dialog besides the one open, with no owner to disable: centred, with a close box,
// the version that CMakeLists.txt gives the build (NETOPT_VERSION), its icon as icon.txt draws it.
HWND OpenAbout(HWND open = nullptr, const Where& at = Where::current()) {
    Click(Item(IDC_ABOUT), at);
    HWND about = WaitWindow(About, open, at);
    CHECK_EQ(L"Программа сетевой|оптимизации V " + std::wstring(_wgetenv(L"NETOPT_VERSION")) +
                 L"|Команда netopt|www.example.org|E-mail: netopt@example.org|ok",
             StaticTexts(about) + L"|" + Text(GetDlgItem(about, IDC_ABOUT_OK)), at);
    CHECK_EQ(WS_EX_TOPMOST, GetWindowLongW(about, GWL_EXSTYLE) & WS_EX_TOPMOST, at);
    CHECK_EQ("0,0 32768 32768 0", Frame(about), at);
    RECT icon{};
    GetWindowRect(GetDlgItem(about, IDC_ABOUT_ICON), &icon);
    CHECK_SOON(IconTxt(32), Letters(Grab(Screen, icon), 32), at);
    return about;
}

// The ten stages of a run whose call gets this handle: a second apart but two
// from stage 1 to 2, with the dial just before 2. The moment of stage 10.
long long RunStages(const std::string& handle, const Where& at = Where::current()) {
    Click(Item(IDC_START), at);
    long long when[11] = {};
    for (int stage = 1; stage <= 10; ++stage) {
        std::wstring status = L"Оптимизация " + std::to_wstring(10 * stage) + L"%";
        CHECK_SOON(status, Text(Item(IDC_STATUS)), at);
        when[stage] = Last(Stages);
        CHECK_SOON("even", Bar(true), at);
        CHECK_EQ(false, IsWindowEnabled(Item(IDC_GROUP)) != 0, at);
        if (stage > 1)
            CheckWait(when[stage - 1], stage == 2 ? 2000 : 1000, when[stage], at);
        printf("  stage %d at %lld ms\n", stage, when[stage] - when[1]);
        if (stage == 5)
            Snapshot("running", at);
    }
    long long dial = ModemMs("dial " + handle);
    CheckWait(when[1], 2000, dial, at); // a second after the check, and the write
    CheckWait(dial, 0, when[2], at);
    return when[10];
}

// A run whose check or write fails: the number-th box, a second after stage 1.
void RunIntoFailure(size_t number, const Where& at = Where::current()) {
    Click(Item(IDC_START), at);
    HWND box = CheckBox(number, DefaultSound, Failed, nullptr, at);
    CheckWait(Last(Stages), 1000, Last(MessageBeeps), at); // no stage after 1
    Press(box, {VK_RETURN}, at);
    CHECK_SOON(Idle, Look(), at);
}

// The main dialog, centred, with its close and minimize boxes: its texts, the notice's 610
// bytes, which scroll up and down only and take no typing; keys that do nothing.
void CheckMainDialog(const Where& at = Where::current()) {
    std::wstring texts = Text(Dialog) + L"|" + Text(Item(IDC_START)) + L"|" +
                         Text(Item(IDC_CLOSE)) + L"|" + Text(Item(IDC_ABOUT));
    CHECK_EQ(L"Программа сетевой оптимизации|Начать оптимизацию|Закрыть|О программе", texts, at);
    CHECK_EQ("0,0 0 1 0", Frame(Dialog), at);
    Ask(Item(IDC_INFO), WM_CHAR, 'x');
    wchar_t text[2048];
    std::wstring info(text, Ask(Item(IDC_INFO), WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text)));
    info = info.substr(0, 29) + L"|" + info.substr(info.size() - 14) + L"|" +
           std::to_wstring(info.size());
    CHECK_EQ(L"ВНИМАНИЕ!!! ПЕРЕД ЗАПУСКОМ \r\n|об этом.\r\n\r\n\r\n|610", info, at);
    CHECK_EQ(WS_VSCROLL, GetWindowLongW(Item(IDC_INFO), GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), at);
    CHECK_SOON(Idle, Look(), at);
    Press(Dialog, {VK_ESCAPE}, at); // IDCANCEL and IDOK do nothing
    Press(Dialog, {VK_RETURN}, at);
}

// Under code page 1252, where only the wide calls show the texts right: the small icon; About's
// close box; two runs on the prefix's MTU of "1500", the second call ended with 631; Alt+F4.
// Its pictures: about.ppm, running.ppm and result.ppm.
void Success() {
    CheckMainDialog();
    CHECK_EQ(IconTxt(16), DrawnIcon(16));
    HWND about = OpenAbout();
    Snapshot("about");
    ClickCloseBox(about);
    for (size_t run = 1; run <= 2; ++run) {
        Row = "run " + std::to_string(run);
        std::string handle = Str(0x7100 + run);
        long long last = RunStages(handle);
        HWND box = CheckBox(run, DefaultSound, Done);
        long long hangUp = ModemMs("hangup " + handle + " program");
        CheckWait(last, 0, hangUp);
        CheckWait(hangUp, 3000, Last(MessageBeeps));
        CHECK_SOON("even", Bar());
        CHECK_EQ(Mtu, Value(AdapterKey, "IPMTU"));
        CHECK_EQ(Mtu, Value(ParameterKey, nullptr));
        if (run == 1)
            Snapshot("result");
        Press(box, {VK_RETURN});
        CHECK_SOON(Idle, Look());
    }
    Row.clear(); // call 2 hung up by the notifier on the modem's 631, then by the run
    CHECK_EQ("dial 28929" + Dialled + "|notify 0|hangup 28929 program|dial 28930" + Dialled +
                 "|notify 631|hangup 28930 notifier|hangup 28930 program|",
             ModemCalls());
    CHECK_EQ(2, Calls(MtuWrites("\\w+ \"IPMTU\"")).size()); // once a run each
    CHECK_EQ(2, Calls(MtuWrites("0+")).size());             // the parameter key's, unnamed
    Press(Dialog, {VK_MENU, VK_F4});
}

// A dial error in the first call: its hang-up, tone and box over an enabled main dialog; the
// result box of each run made while that is open (after 680, which sets a flag that nothing
// clears, the error box, whatever the run's own call gives); the end once it is closed.
void DialError(const wchar_t* text, const wchar_t* result, int runs) {
    Click(Item(IDC_START));
    HWND box = CheckBox(1, Tone, text);
    long long hangUp = ModemMs("hangup \\d+ notifier");
    CheckWait(ModemMs("notify"), 0, hangUp);
    CheckWait(hangUp, 0, Last(Beeps));
    for (int run = 1; run <= runs; ++run) {
        if (run > 1)
            Click(Item(IDC_START));
        // On top, but the notifier's box keeps the keyboard.
        Click(GetDlgItem(CheckBox(run + 1, DefaultSound, result, box), IDOK));
    }
    Click(GetDlgItem(box, IDOK));
}

// As Windows 98, through the ANSI calls: runs that fail, started while About
// is open; Close while About is open.
void CheckFailsAndAbout() {
    CheckMainDialog();
    HWND about = OpenAbout();
    // The adapter key made anew with a value of that name (none: no key) and size; whether the
    // parameter key is kept from being made; IPMTU after the run.
    const std::tuple<const char*, size_t, bool, std::string> states[] = {
        {nullptr, 0, false, "no key"}, // which the check must not make
        {"Other", 4, false, "no value"},
        {"IPMTU", 256, false, "3:" + std::string(256, 'x') + "/256"}, // too long to read
        {"IPMTU", 4, true, Mtu}, // written before the parameter key fails
    };
    for (size_t row = 1; row <= std::size(states); ++row) {
        const auto& [name, size, blocked, after] = states[row - 1];
        Row = "registry state " + Str(row);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, AdapterKey.c_str());
        std::string data(size, 'x');
        if (name)
            CHECK_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_LOCAL_MACHINE, AdapterKey.c_str(), name,
                                                    REG_BINARY, data.data(), data.size()));
        if (blocked)
            CHECK_EQ(true, BlockParameterKey());
        RunIntoFailure(row);
        CHECK_EQ(after, Value(AdapterKey, "IPMTU"));
    }
    Row.clear();
    CHECK_EQ("", ModemCalls()); // no run placed a call
    Press(OpenAbout(about), {VK_ESCAPE});
    CHECK_SOON(1, Windows(About).size());
    Click(Item(IDC_CLOSE)); // its loop ends once the About loop within it has
    Click(GetDlgItem(about, IDC_ABOUT_OK));
}

// As Windows 98 under code page 1252, where the templates' texts are wrong: About closed with
// Enter; a run, which makes every kind of text call (their forms checked in main); the close box.
void Win98Western() {
    Click(Item(IDC_ABOUT));
    HWND about = WaitWindow(L"", Dialog);
    Press(about, {VK_RETURN});
    CHECK_SOON(false, IsWindow(about) != 0);
    Click(Item(IDC_START));
    // A click, as the close box right after Enter meets a Wine that takes no more clicks.
    Click(GetDlgItem(WaitWindow(L"", Dialog), IDOK));
    ClickCloseBox(Dialog);
}

} // namespace

int main(int argc, char** argv) {
    // Each scenario's system (tests/e2e/run-scenario sets it) decides the form, A or W, of the
    // text calls.
    // The name, the modem's errors, the steps, the form of the text calls and the sounds and
    // boxes made in all, in pairs.
    const std::tuple<const char*, const wchar_t*, void (*)(), std::string, size_t> scenarios[] = {
        {"success", L"0,631", Success, "W", 4}, // NT, code page 1252
        {"dial_680", L"680,0", [] { DialError(L"Нет сигнала в линии.", Failed, 2); }, "A", 6},
        {"dial_678", L"678", [] { DialError(L"Ошибка соединения.", Done, 1); }, "A", 4}, // NT, 1251
        {"dial_692", L"692", [] { DialError(L"Ошибка соединения.", Done, 1); }, "A", 4},
        {"check_and_about", L"", CheckFailsAndAbout, "A", 8}, // Windows 98, 1251
        {"win98_cp1252", L"", Win98Western, "A", 2},          // Windows 98, 1252
    };
    for (const auto& [name, modemErrors, run, form, alerts] : scenarios) {
        if (argc != 2 || argv[1] != std::string(name))
            continue;
        if (Launch(modemErrors)) {
            run();
            CHECK_EQ(0, ExitCode()); // once the scenario has closed it
        }
        CHECK_EQ("DialogBoxParam" + form + " SetDlgItemText" + form + " SendDlgItemMessage" + form +
                     " MessageBox" + form + " ",
                 TextForms());
        CHECK_EQ(alerts, Alerts().size());
        printf("%s %s: %d failed checks\n", Failures ? "FAIL" : "PASS", name, Failures);
        return Failures != 0;
    }
    printf("usage: e2e-driver <scenario>, a name of the table in main\n");
    return 2;
}
