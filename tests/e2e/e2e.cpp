// The user of the release under Wine: reads its windows, the screen, the registry, the modem's log
// and Wine's trace of the program's calls; clicks and types through the input queue.
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

// A step of the schedule comes its wait after the step before: no sooner (a sleep never ends early)
// but for the tick count's 16 ms steps, and no later than a busy machine may make it.
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
std::string Frame(HWND window, POINT* closeBox = nullptr) {
    RECT rect{};
    TITLEBARINFO bar{sizeof bar, {}, {}};
    GetWindowRect(window, &rect);
    GetTitleBarInfo(window, &bar);
    if (closeBox) // at the title bar's right end
        *closeBox = {bar.rcTitleBar.right - GetSystemMetrics(SM_CXSIZE) / 2,
                     (bar.rcTitleBar.top + bar.rcTitleBar.bottom) / 2};
    return Str((rect.left + rect.right - GetSystemMetrics(SM_CXSCREEN)) / 2) + "," +
           Str((rect.top + rect.bottom - GetSystemMetrics(SM_CYSCREEN)) / 2) + " " +
           Str(bar.rgstate[2]) + " " + Str(bar.rgstate[3]) + " " + Str(bar.rgstate[5]);
}

// A click on the close box, where a user sees it, once the window is in front.
void ClickCloseBox(HWND window, const Where& at = Where::current()) {
    POINT box{};
    InFront(window, at);
    Frame(window, &box);
    Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, box.x, box.y);
    Mouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(100);
    Mouse(MOUSEEVENTF_LEFTUP);
    ParkPointer();
    CHECK_SOON(false, IsWindow(window) != 0, at);
}

// The dialogs' ground, 0x00rrggbb as a picture's pixels hold it.
const COLORREF Face = GetSysColor(COLOR_BTNFACE);
const DWORD Ground = RGB(GetBValue(Face), GetGValue(Face), GetRValue(Face));

// The screen's pixels inside the rectangle, 0x00rrggbb, a row after another from the top.
std::vector<DWORD> Grab(const RECT& rect) {
    LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
    BITMAPINFO info{{sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    DWORD* bits = nullptr;
    HDC memory = CreateCompatibleDC(Screen);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS,
                                      reinterpret_cast<void**>(&bits), nullptr, 0);
    SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, Screen, rect.left, rect.top, SRCCOPY);
    std::vector<DWORD> pixels(bits, bits + width * height);
    DeleteDC(memory);
    DeleteObject(bitmap);
    return pixels;
}

// Whether the window shows a pixel of the dialogs' ground, or else one of any other colour.
bool Shows(HWND window, bool ground) {
    RECT rect{};
    GetWindowRect(window, &rect);
    std::vector<DWORD> pixels = Grab(rect);
    return std::any_of(pixels.begin(), pixels.end(),
                       [&](DWORD pixel) { return (pixel == Ground) == ground; });
}

// Saves <name>.ppm, a picture of the screen once each of the program's windows shows its ground
// and ink in each control.
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
    RECT all{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    std::ofstream out(name + ".ppm", std::ios::binary);
    out << "P6 " << all.right - all.left << " " << all.bottom - all.top << " 255\n";
    for (DWORD pixel : Grab(all))
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

// The screen's middle square of that size in the rectangle in icon.txt's letters for Windows'
// default palette (16 colours and four more), "." for the ground, where the icon is transparent.
std::string Letters(const RECT& rect, int size) {
    PALETTEENTRY palette[20];
    GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, 20, palette);
    std::vector<DWORD> pixels = Grab(rect);
    LONG width = rect.right - rect.left, left = (width - size) / 2,
         top = (rect.bottom - rect.top - size) / 2;
    std::string rows;
    for (LONG y = top; y < top + size; ++y) {
        for (LONG x = left; x < left + size; ++x) {
            char letter = pixels[y * width + x] == Ground ? '.' : '?';
            for (int i = 0; i < 20; ++i)
                if (RGB(palette[i].peBlue, palette[i].peGreen, palette[i].peRed) ==
                    pixels[y * width + x])
                    letter = "Krgonpts????GRLYBMAW"[i];
            rows += letter;
        }
        rows += "\n";
    }
    return rows;
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

// The sounds; the stages (WM_SETTEXT to 20); the MTU written, REG_SZ "576" and its zero (which
// Windows would count if the program forgot it), as IPMTU or the parameter key's unnamed value.
const std::string MessageBeeps = "user32\\.MessageBeep\\(00000000\\)",
                  Beeps = "KERNEL32\\.Beep\\(000003e8,000003e8\\)",
                  Stages = "user32\\.SendDlgItemMessage[AW]\\(\\w+,00000014,0000000c,",
                  MtuWrites =
                      "kernelbase\\.RegSetValueExA\\(\\w+,(?:\\w+ \"IPMTU\"|0+),0+,0+1,\\w+,0+4\\)";

// The sounds and the message boxes in the order the program made them: a
// sound's call, "MessageBeep(00000000)", or a box's flags, "MessageBox 00001010".
std::vector<std::string> Alerts() {
    std::vector<std::string> alerts;
    for (const auto& call : Calls("(?:\\w+\\.((Message)?Beep\\([\\w,]+\\))|"
                                  "user32\\.MessageBox[AW]\\(.*,(\\w+)\\) ret=)"))
        alerts.push_back(call[2].empty() ? "MessageBox " + call[4] : call[2]);
    return alerts;
}

const std::string DefaultSound = "MessageBeep(00000000)", Tone = "Beep(000003e8,000003e8)";
const wchar_t About[] = L"О программе", Error[] = L"Ошибка", Result[] = L"Результат оптимизации";
const wchar_t Failed[] = L"Ошибка. Оптимизация не возможна.", Done[] = L"Оптимизация выполнена.";
const std::string Mtu = "1:576/4"; // REG_SZ, with its terminating zero
std::string Sevenfold(const std::string& text) {
    return text + text + text + text + text + text + text;
}
// A new call (no handle given) through the default phone book with no extensions and a notifier
// of type 0: its record's fields in hex, its number.
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

// The bar's fill on screen, to the last blue pixel of its middle row, against the status text.
// While a run sleeps, Wine may paint only at the next stage: "a stage behind" is as good as "even".
std::string Bar(bool running = false) {
    RECT rect{};
    GetWindowRect(Item(IDC_PROGRESS), &rect);
    rect.top = (rect.top + rect.bottom) / 2;
    rect.bottom = rect.top + 1;
    std::vector<DWORD> row = Grab(rect);
    auto blue = [](DWORD pixel) { return (pixel & 255) > 150 && pixel >> 16 < 120; };
    long filled = row.rend() - std::find_if(row.rbegin(), row.rend(), blue);
    std::wstring status = Text(Item(IDC_STATUS));
    long behind = _wtol(status.c_str() + status.find(L' ') + 1) -
                  filled * 100 / std::max<long>(row.size(), 1);
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
    CHECK_SOON(IconTxt(32), Letters(icon, 32), at);
    return about;
}

// The ten stages of a run whose call gets this handle: a second apart but two from stage 1 to 2,
// the dial two seconds after stage 1. The moment of stage 10.
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
    CheckWait(when[1], 2000, ModemMs("dial " + handle), at); // a second after check and write
    return when[10];
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

// Under code page 1252, where only the wide calls show the texts right: About's close box; two
// runs on the prefix's MTU of "1500", the second call ended with 631; the small icon; Alt+F4.
// Its pictures: about.ppm, running.ppm and result.ppm.
void Success() {
    CheckMainDialog();
    HWND about = OpenAbout();
    Snapshot("about");
    ClickCloseBox(about);
    for (size_t run = 1; run <= 2; ++run) {
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
    // Call 2 hung up by the notifier on the modem's 631, then by the run.
    CHECK_EQ("dial 28929" + Dialled + "|notify 0|hangup 28929 program|dial 28930" + Dialled +
                 "|notify 631|hangup 28930 notifier|hangup 28930 program|",
             ModemCalls());
    CHECK_EQ(4, Calls(MtuWrites).size()); // each value once a run
    // The exe's small icon as Windows draws it on the ground, after the pictures, in a corner.
    HMODULE exe = LoadLibraryExW(_wgetenv(L"NETOPT_EXE"), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    auto icon =
        static_cast<HICON>(LoadImageW(exe, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 16, 16, 0));
    RECT corner{0, 0, 16, 16};
    FillRect(Screen, &corner, GetSysColorBrush(COLOR_BTNFACE));
    DrawIconEx(Screen, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
    CHECK_EQ(IconTxt(16), Letters(corner, 16));
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

// As Windows 98, through the ANSI calls: runs that fail, started while About is open; more About
// dialogs over it, closed with Escape and Enter; Close while About is open.
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
        HKEY ndi; // volatile, it can have no lasting subkey: the parameter key cannot be made
        if (blocked)
            CHECK_EQ(ERROR_SUCCESS,
                     RegCreateKeyExA(HKEY_LOCAL_MACHINE, NdiKey.c_str(), 0, nullptr,
                                     REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &ndi, nullptr));
        Click(Item(IDC_START)); // a run whose check or write fails, the box a second after stage 1
        HWND box = CheckBox(row, DefaultSound, Failed);
        CHECK_EQ(L"Оптимизация 10%", Text(Item(IDC_STATUS))); // as the ANSI call left it
        CheckWait(Last(Stages), 1000, Last(MessageBeeps));
        Press(box, {VK_RETURN});
        CHECK_SOON(Idle, Look());
        CHECK_EQ(after, Value(AdapterKey, "IPMTU"));
    }
    Row.clear();
    CHECK_EQ("", ModemCalls()); // no run placed a call
    Press(OpenAbout(about), {VK_ESCAPE});
    CHECK_SOON(1, Windows(About).size());
    Press(OpenAbout(about), {VK_RETURN});
    CHECK_SOON(1, Windows(About).size());
    Click(Item(IDC_CLOSE)); // its loop ends once the About loop within it has
    Click(GetDlgItem(about, IDC_ABOUT_OK));
}

// As Windows 98 under code page 1252, where the templates' texts are wrong: a run, which makes
// every kind of text call (their forms checked in main); the close box.
void Win98Western() {
    Click(Item(IDC_START));
    // A click on OK: after Enter on the box, Wine took no clicks at all, the close box's neither.
    Click(GetDlgItem(WaitWindow(L"", Dialog), IDOK));
    ClickCloseBox(Dialog);
}

} // namespace

int main(int argc, char** argv) {
    // The name, the modem's errors, the steps, the form of the text calls (A or W, as the system
    // that tests/e2e/run-scenario sets decides) and the sounds and boxes made in all, in pairs.
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
        SetEnvironmentVariableW(L"NETOPT_MODEM_ERRORS", modemErrors);
        ParkPointer();
        Program = reinterpret_cast<HANDLE>(
            _wspawnl(_P_NOWAIT, _wgetenv(L"NETOPT_EXE"), L"netopt.exe", nullptr));
        DWORD exitCode = STILL_ACTIVE;
        if (Program != INVALID_HANDLE_VALUE && (Dialog = WaitWindow(L""))) {
            run();
            WaitForSingleObject(Program, 10000); // which the scenario has closed
            GetExitCodeProcess(Program, &exitCode);
        }
        CHECK_EQ(0, exitCode); // STILL_ACTIVE if it never started
        // The calls that hand over the program's texts, each function in the forms it took, in
        // the order of their first calls: dialogs, the notice, the stages' WM_SETTEXT, boxes.
        std::string forms;
        for (const auto& call : Calls("user32\\.((?:DialogBoxParam|SetDlgItemText|MessageBox)[AW]|"
                                      "SendDlgItemMessage[AW](?=\\(\\w+,\\w+,0000000c,))\\("))
            if (forms.find(call[2] + " ") == std::string::npos)
                forms += call[2] + " ";
        CHECK_EQ("DialogBoxParam" + form + " SetDlgItemText" + form + " SendDlgItemMessage" + form +
                     " MessageBox" + form + " ",
                 forms);
        CHECK_EQ(alerts, Alerts().size());
        printf("%s %s: %d failed checks\n", Failures ? "FAIL" : "PASS", name, Failures);
        return Failures != 0;
    }
    printf("usage: e2e-driver <scenario>, a name of the table in main\n");
    return 2;
}
