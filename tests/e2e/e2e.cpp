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
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "../../resources/resource.h"
#include "version.h"

namespace {

int Failures = 0;
std::string Row; // the table row under way, which failures name
HANDLE Program;  // the netopt.exe under test, and its main dialog
HWND Dialog;
const std::string AdapterKey = "System\\CurrentControlSet\\Services\\Class\\Net\\0000",
                  NdiKey = AdapterKey + "\\Ndi", ParameterKey = NdiKey + "\\params\\IPMTU";

void Fail(int line, const std::string& what) {
    printf("FAIL line %d%s: %s\n", line, Row.empty() ? "" : (" (" + Row + ")").c_str(),
           what.c_str());
    fflush(stdout);
    ++Failures;
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

#define CHECK_EQ(expected, actual) CheckEq(__LINE__, #actual, Str(expected), Str(actual))
void CheckEq(int line, const char* what, const std::string& expected, const std::string& actual) {
    if (expected != actual)
        Fail(line, std::string(what) + ": expected \"" + expected + "\", got \"" + actual + "\"");
}

bool WaitUntil(const std::function<bool()>& ready, int timeoutMs = 5000) {
    for (ULONGLONG deadline = GetTickCount64() + timeoutMs; !ready(); Sleep(20))
        if (GetTickCount64() > deadline)
            return false;
    return true;
}

// What read() gives once it is what is expected, or at the deadline.
std::string Soon(const std::string& expected, const std::function<std::string()>& read,
                 int timeoutMs = 5000) {
    std::string seen;
    WaitUntil([&] { return (seen = read()) == expected; }, timeoutMs);
    return seen;
}

// A check of the screen or of the program's state, which may take a moment.
#define CHECK_SOON(expected, actual)                                                               \
    CheckEq(__LINE__, #actual, Str(expected), Soon(Str(expected), [&] { return Str(actual); }))

// 800 ms either way allows for a busy machine, not for a second too many.
#define CHECK_NEAR(expectedMs, actualMs) CheckNear(__LINE__, expectedMs, actualMs)
void CheckNear(int line, long long expectedMs, long long actualMs) {
    if (actualMs < expectedMs - 800 || actualMs > expectedMs + 800)
        Fail(line, std::to_string(actualMs - expectedMs) + " ms off the schedule");
}

// The lines of a log that hold the text.
std::vector<std::string> Lines(const wchar_t* path, const std::string& holding) {
    std::ifstream log(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);)
        if (line.find(holding) != std::string::npos)
            lines.push_back(line);
    return lines;
}

HWND Item(int control) {
    return GetDlgItem(Dialog, control);
}

// Window texts live in Wine's server: readable while the program is busy.
std::wstring Text(HWND window) {
    wchar_t text[256];
    return std::wstring(text, std::max(GetWindowTextW(window, text, 256), 0));
}

BOOL CALLBACK AddWindow(HWND window, LPARAM found) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

// The children of parent (the top-level windows if null), topmost first.
std::vector<HWND> Enumerate(HWND parent) {
    std::vector<HWND> found;
    LPARAM into = reinterpret_cast<LPARAM>(&found);
    parent ? EnumChildWindows(parent, AddWindow, into) : EnumWindows(AddWindow, into);
    return found;
}

// Its visible top-level windows with the caption (any if ""), topmost first.
std::vector<HWND> Windows(const std::wstring& caption = L"", HWND leftOut = nullptr) {
    std::vector<HWND> found;
    DWORD process;
    for (HWND window : Enumerate(nullptr))
        if (GetWindowThreadProcessId(window, &process) && process == GetProcessId(Program) &&
            IsWindowVisible(window) && (caption.empty() || Text(window) == caption) &&
            window != leftOut)
            found.push_back(window);
    return found;
}

HWND WaitWindow(const std::wstring& caption, HWND leftOut = nullptr) {
    std::vector<HWND> found;
    if (WaitUntil([&] { return !(found = Windows(caption, leftOut)).empty(); }, 30000))
        return found[0];
    Fail(__LINE__, "no window \"" + Str(caption) + "\" came within 30 s");
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
bool Launch(const wchar_t* modemErrors = L"") {
    SetEnvironmentVariableW(L"NETOPT_MODEM_ERRORS", modemErrors);
    ParkPointer();
    Program = reinterpret_cast<HANDLE>(
        _wspawnl(_P_NOWAIT, _wgetenv(L"NETOPT_EXE"), L"netopt.exe", nullptr));
    CHECK_EQ(true, Program != INVALID_HANDLE_VALUE);
    return (Dialog = WaitWindow(L"")) != nullptr;
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
    for (HWND child : Enumerate(dialog))
        if (GetClassNameW(child, kind, 16) && lstrcmpiW(kind, L"Static") == 0 &&
            (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
            texts += (texts.empty() ? L"" : L"|") + Text(child);
    return texts;
}

// Near the left end, which no centred box covers; again if a late focus report
// from X cancelled the press; released away from the button if not seen down.
void Click(HWND button) {
    RECT rect{};
    auto Pushed = [&] { return (Ask(button, BM_GETSTATE) & BST_PUSHED) != 0; };
    for (int attempt = 0; attempt < 3 && GetWindowRect(button, &rect); ++attempt) {
        Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, rect.left + 6, (rect.top + rect.bottom) / 2);
        Mouse(MOUSEEVENTF_LEFTDOWN);
        bool pushed = WaitUntil(Pushed, 3000);
        if (pushed) {
            Sleep(100);
            pushed = Pushed();
        }
        if (!pushed)
            ParkPointer();
        Mouse(MOUSEEVENTF_LEFTUP);
        ParkPointer();
        if (pushed)
            return;
    }
    Fail(__LINE__, "the button never went down: " + Str(Text(button)));
}

// Once the window is in front, presses the keys, then releases them.
void Press(HWND window, std::initializer_list<WORD> keys) {
    CHECK_SOON(reinterpret_cast<uintptr_t>(window),
               reinterpret_cast<uintptr_t>(GetForegroundWindow()));
    std::vector<INPUT> input;
    for (DWORD up : {0, KEYEVENTF_KEYUP})
        for (WORD key : keys) {
            INPUT press{INPUT_KEYBOARD, {}};
            press.ki = {key, 0, up, 0, 0};
            input.push_back(press);
        }
    std::reverse(input.begin() + keys.size(), input.end());
    SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

// With NETOPT_SNAPSHOTS set, ImageMagick's picture of the screen's windows;
// Wine cannot wait for a Unix process, but for its picture.
void Snapshot(const wchar_t* name) {
    const wchar_t* folder = _wgetenv(L"NETOPT_SNAPSHOTS");
    if (!folder)
        return;
    std::wstring png = std::wstring(folder) + L"/" + name + L".png";
    DeleteFileW(png.c_str());
    if (_wspawnl(_P_NOWAIT, L"Z:\\usr\\bin\\import", L"import", L"-window", L"root", L"-trim",
                 png.substr(2).c_str(), nullptr) != -1)
        WaitUntil([&] { return GetFileAttributesW(png.c_str()) != INVALID_FILE_ATTRIBUTES; });
}

// Removes the adapter key; given a value name, makes it again with that value.
void SetAdapter(const char* name = nullptr, DWORD type = REG_SZ, const std::string& data = "") {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, AdapterKey.c_str());
    if (name)
        CHECK_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_LOCAL_MACHINE, AdapterKey.c_str(), name, type,
                                                data.data(), static_cast<DWORD>(data.size())));
}

// A volatile key can have no lasting subkey: made as the Ndi key, it keeps
// the program from making the parameter key.
bool BlockParameterKey() {
    HKEY key;
    return !RegCreateKeyExA(HKEY_LOCAL_MACHINE, NdiKey.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr) &&
           !RegCloseKey(key);
}

// "<type>:<data up to a zero>/<size>", or "" when the value is missing.
std::string Value(const std::string& key, const char* name) {
    char data[1024];
    DWORD type = 0, size = sizeof data;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_ANY, &type, data, &size))
        return "";
    return std::to_string(type) + ":" + std::string(data, strnlen(data, size)) + "/" +
           std::to_string(size);
}

// The words of the index-th "<tick count> <kind> ..." line in the modem's log.
std::vector<std::string> Modem(const char* kind, size_t index) {
    std::vector<std::string> lines = Lines(L"modem.log", std::string(" ") + kind + " ");
    std::istringstream split(index < lines.size() ? lines[index] : "");
    std::vector<std::string> words{std::istream_iterator<std::string>(split), {}};
    words.resize(5);
    return words;
}

long long At(const char* kind, size_t index) {
    return atoll(Modem(kind, index)[0].c_str());
}

// The moments of the calls of the functions that the name begins (each traced,
// as scripts/wine-env says), with arguments that match, after a 0 for none:
// "<seconds>.<ms>:<thread>:Call <dll>.<function>(<arguments>) ret=<address>".
std::vector<long long> Calls(const std::string& function, const char* arguments) {
    std::vector<long long> times{0};
    for (const std::string& line : Lines(L"trace.log", ":Call " + function)) {
        size_t open = line.find('(', line.find(":Call "));
        std::string called = line.substr(open + 1, line.rfind(") ret=") - open - 1);
        if (std::regex_search(called, std::regex(arguments)))
            times.push_back(static_cast<long long>(std::stod(line) * 1000 + 0.5));
    }
    return times;
}

// The sounds; the stages (WM_SETTEXT to 20); the MTU written, REG_SZ "576" and
// its zero (which Windows would count if the program forgot it), by value name.
#define MESSAGE_BEEP "user32.MessageBeep(", "00000000"
#define BEEP "KERNEL32.Beep(", "000003e8,000003e8"
#define STAGE "user32.SendDlgItemMessage", ",00000014,0000000c,"
#define MTU_WRITE(name) "kernelbase.RegSetValueExA(", "^\\w+," name ",0+,0+1,\\w+,0+4$"

// The sounds and the message boxes in the order the program made them: a
// sound's call, "MessageBeep(00000000)", or a box's flags, "MessageBox 00001010".
std::vector<std::string> Alerts() {
    std::vector<std::string> alerts;
    for (const std::string& line : Lines(L"trace.log", ":Call ")) {
        std::string function = line.substr(line.find('.', line.find(":Call ")) + 1);
        if (function.starts_with("MessageBox"))
            alerts.push_back("MessageBox " + line.substr(line.rfind(") ret=") - 8, 8));
        else if (function.starts_with("MessageBeep(") || function.starts_with("Beep("))
            alerts.push_back(function.substr(0, function.find(')') + 1));
    }
    return alerts;
}

// The forms that the calls handing over the program's texts took:
// "DialogBoxParamA MessageBoxA SendDlgItemMessageA SetDlgItemTextA " if ANSI.
std::string TextCalls() {
    std::string forms;
    for (std::string call :
         {"DialogBoxParam", "MessageBox", "SendDlgItemMessage", "SetDlgItemText"})
        for (const char* form : {"A", "W"})
            if (Calls("user32." + call + form + "(",
                      call == "SendDlgItemMessage" ? "^\\w+,\\w+,0000000c," : "") // WM_SETTEXT
                    .size() > 1)
                forms += call + form + " ";
    return forms;
}

const std::string DefaultSound = "MessageBeep(00000000)", Tone = "Beep(000003e8,000003e8)";
const wchar_t About[] = L"О программе", Error[] = L"Ошибка", Result[] = L"Результат оптимизации";
const wchar_t Failed[] = L"Ошибка. Оптимизация не возможна.";
const std::string Mtu = "1:576/4"; // REG_SZ, with its terminating zero
// The dial record in hex, but for its last three bytes, padding left unset.
const std::string Digits = "31323334353637383930",
                  Record = "1c040000" + std::string(514, '0') + Digits + Digits + Digits + Digits +
                           Digits + Digits + Digits + std::string(1404, '0') + "2a" +
                           std::string(30, '0');

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
// against the status text. While the program sleeps, Wine may paint only at
// the next stage: "a stage behind" is as good then.
std::string Bar() {
    RECT rect;
    GetClientRect(Item(IDC_PROGRESS), &rect);
    MapWindowPoints(Item(IDC_PROGRESS), nullptr, reinterpret_cast<POINT*>(&rect), 2);
    HDC screen = GetDC(nullptr);
    int filled = 0;
    for (int x = rect.left; x < rect.right; ++x) {
        COLORREF pixel = GetPixel(screen, x, (rect.top + rect.bottom) / 2);
        filled = GetBValue(pixel) > 150 && GetRValue(pixel) < 120 ? x + 1 - rect.left : filled;
    }
    ReleaseDC(nullptr, screen);
    std::wstring status = Text(Item(IDC_STATUS));
    int behind = _wtoi(status.c_str() + status.find(L' ') + 1) -
                 filled * 100 / std::max(rect.right - rect.left, 1L);
    if (abs(behind) <= 5)
        return "even";
    return abs(behind - 10) <= 5 ? "a stage behind" : std::to_string(behind) + "% behind";
}

// The number-th box of the scenario: its texts, the sound before it, its flags
// (system-modal, the icon of its caption), whether it disables its owner.
HWND CheckBox(size_t number, const std::string& sound, const wchar_t* caption, const wchar_t* text,
              bool owned, HWND leftOut = nullptr) {
    HWND box = WaitWindow(caption, leftOut);
    CHECK_EQ(caption + std::wstring(L"|") + text, Text(box) + L"|" + StaticTexts(box));
    // MB_SYSTEMMODAL, with MB_ICONERROR under the error caption, MB_ICONINFORMATION otherwise.
    auto flags = caption == std::wstring(Error) ? "MessageBox 00001010" : "MessageBox 00001040";
    std::vector<std::string> alerts = Alerts();
    alerts.resize(std::max(alerts.size(), 2 * number));
    CHECK_EQ(sound + ", " + flags, alerts[2 * number - 2] + ", " + alerts[2 * number - 1]);
    CHECK_SOON(!owned, IsWindowEnabled(Dialog) != 0);
    return box;
}

// Opens the count-th About dialog, which has no owner to disable.
HWND OpenAbout(size_t count) {
    Click(Item(IDC_ABOUT));
    CHECK_SOON(count, Windows(About).size());
    HWND about = WaitWindow(About);
    CHECK_EQ(L"Программа сетевой|оптимизации V " NETOPT_VERSION L"|Команда netopt|www.example.org|"
             L"E-mail: netopt@example.org|ok",
             StaticTexts(about) + L"|" + Text(GetDlgItem(about, IDC_ABOUT_OK)));
    CHECK_EQ(WS_EX_TOPMOST, GetWindowLongW(about, GWL_EXSTYLE) & WS_EX_TOPMOST);
    CHECK_EQ(true, Ask(GetDlgItem(about, IDC_ABOUT_ICON), STM_GETICON) != 0);
    return about;
}

// The ten stages, a second apart but two before stage 2; the moments of 2 and 10.
std::pair<long long, long long> RunStages() {
    Click(Item(IDC_START));
    long long at[11] = {};
    for (int stage = 1; stage <= 10; ++stage) {
        std::wstring status = L"Оптимизация " + std::to_wstring(10 * stage) + L"%";
        CHECK_SOON(status, Text(Item(IDC_STATUS)));
        at[stage] = Calls(STAGE).back();
        std::string bar = Soon("even", Bar, 800);
        if (bar != "a stage behind")
            CHECK_EQ("even", bar);
        CHECK_EQ(false, IsWindowEnabled(Item(IDC_GROUP)) != 0);
        if (stage > 1)
            CHECK_NEAR(at[stage - 1] + (stage == 2 ? 2000 : 1000), at[stage]);
        printf("  stage %d at %lld ms\n", stage, at[stage] - at[1]);
        if (stage == 5)
            Snapshot(L"running");
    }
    return {at[2], at[10]};
}

// A run whose check or write fails: the number-th box, a second after stage 1.
void RunIntoFailure(size_t number) {
    Click(Item(IDC_START));
    HWND box = CheckBox(number, DefaultSound, Error, Failed, true);
    CHECK_NEAR(Calls(STAGE).back() + 1000, Calls(MESSAGE_BEEP).back()); // no stage after 1
    CHECK_EQ("", Modem("dial", 0)[0]);                                  // no call placed
    Press(box, {VK_RETURN});
    CHECK_SOON(Idle, Look());
}

// The main dialog's texts, the notice's 610 bytes, keys that do nothing.
void CheckMainDialog() {
    CHECK_EQ(L"Программа сетевой оптимизации|Начать оптимизацию|Закрыть|О программе",
             Text(Dialog) + L"|" + Text(Item(IDC_START)) + L"|" + Text(Item(IDC_CLOSE)) + L"|" +
                 Text(Item(IDC_ABOUT)));
    Ask(Item(IDC_INFO), WM_CHAR, 'x'); // typed into the notice, which is read-only
    wchar_t text[2048];
    std::wstring info(text, Ask(Item(IDC_INFO), WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text)));
    CHECK_EQ(L"ВНИМАНИЕ!!! ПЕРЕД ЗАПУСКОМ \r\n|об этом.\r\n\r\n\r\n|610",
             info.substr(0, 29) + L"|" + info.substr(info.size() - 14) + L"|" +
                 std::to_wstring(info.size()));
    CHECK_SOON(Idle, Look());
    Press(Dialog, {VK_ESCAPE}); // IDCANCEL and IDOK do nothing
    Press(Dialog, {VK_RETURN});
}

// Under code page 1252, where only the wide calls show the texts right: the
// texts, two runs, the second call ended by the modem with 631; Alt+F4.
void Success() {
    SetAdapter("IPMTU", REG_SZ, std::string("1500", 5));
    if (!Launch(L"0,631"))
        return;
    CheckMainDialog();
    HWND about = OpenAbout(1);
    Snapshot(L"about");
    Press(about, {VK_RETURN});
    for (size_t run = 1; run <= 2; ++run) {
        Row = "run " + std::to_string(run);
        std::pair<long long, long long> at = RunStages();
        HWND box = CheckBox(run, DefaultSound, Result, L"Оптимизация выполнена.", true);
        CHECK_NEAR(at.second + 3000, Calls(MESSAGE_BEEP).back()); // the wait after the hang-up
        CHECK_SOON("even", Bar());
        CHECK_EQ(Mtu, Value(AdapterKey, "IPMTU"));
        CHECK_EQ(Mtu, Value(ParameterKey, nullptr));
        CHECK_EQ("0,0,0,0", Modem("dial", run - 1)[3]); // a new call: the handle given is null
        CHECK_EQ(Record, Modem("dial", run - 1)[4].substr(0, Record.size()));
        CHECK_NEAR(at.first, At("dial", run - 1));
        CHECK_NEAR(at.second, At("hangup", 2 * run - 2));
        Snapshot(L"result");
        Press(box, {VK_RETURN});
        CHECK_SOON(Idle, Look());
    }
    for (size_t i = 0; i < 3; ++i) { // of calls 1, 2 (ended by the modem's 631) and 2
        Row = "hang-up " + std::to_string(i + 1);
        CHECK_EQ(i == 1 ? "notifier" : "program", Modem("hangup", i)[3]);
        CHECK_EQ(Modem("dial", i > 0)[2], Modem("hangup", i)[2]);
    }
    Row.clear();
    CHECK_EQ(2, Calls(MTU_WRITE("\\w+ \"IPMTU\"")).size() - 1); // once a run each
    CHECK_EQ(2, Calls(MTU_WRITE("0+")).size() - 1);             // the parameter key's, unnamed
    Press(Dialog, {VK_MENU, VK_F4});
    CHECK_EQ(0, ExitCode());
}

// Dial errors, a launch each: a tone, the notifier's box over an enabled main
// dialog, the run's result box, the end once the notifier's box is closed.
void DialErrors() {
    struct {
        const wchar_t *error, *text, *result, *resultText;
    } const errors[] = {
        {L"680", L"Нет сигнала в линии.", Error, Failed},
        {L"678", L"Ошибка соединения.", Result, L"Оптимизация выполнена."},
    };
    SetAdapter("IPMTU", REG_SZ, std::string("1500", 5));
    for (size_t i = 0; i < 2 && Launch(errors[i].error); ++i) {
        Row = "error " + Str(errors[i].error);
        Click(Item(IDC_START));
        HWND box = CheckBox(2 * i + 1, Tone, Error, errors[i].text, false);
        CHECK_NEAR(At("notify", i), Calls(BEEP).back());
        CHECK_EQ("notifier", Modem("hangup", 2 * i)[3]);
        HWND result =
            CheckBox(2 * i + 2, DefaultSound, errors[i].result, errors[i].resultText, true, box);
        Click(GetDlgItem(result, IDOK)); // on top, but the notifier's box keeps the keyboard
        CHECK_SOON(Idle, Look());
        Click(GetDlgItem(box, IDOK));
        CHECK_EQ(0, ExitCode());
    }
}

// As Windows 98, through the ANSI calls: the texts; runs that fail, started
// while About is open; closing About; Close while it is open.
void CheckFailsAndAbout() {
    SetAdapter();
    if (!Launch())
        return;
    CheckMainDialog();
    HWND about = OpenAbout(1);
    // No key, no IPMTU, 256 bytes of it, a parameter key that cannot be made.
    const char* names[] = {nullptr, "Other", "IPMTU", "IPMTU"};
    std::string after[] = {"", "", "3:" + std::string(256, 'x') + "/256", Mtu};
    for (size_t run = 0; run < 4; ++run) {
        Row = "registry state " + std::to_string(run + 1);
        SetAdapter(names[run], REG_BINARY, std::string(run == 2 ? 256 : 4, 'x'));
        if (run == 3)
            CHECK_EQ(true, BlockParameterKey());
        RunIntoFailure(run + 1);
        CHECK_EQ(after[run], Value(AdapterKey, "IPMTU"));
        CHECK_EQ("", Value(ParameterKey, nullptr));
    }
    Row.clear();
    Press(OpenAbout(2), {VK_ESCAPE});
    CHECK_SOON(1, Windows(About).size());
    Click(Item(IDC_CLOSE)); // its loop ends once the About loop within it has
    Click(GetDlgItem(about, IDC_ABOUT_OK));
    CHECK_EQ(0, ExitCode());
}

// As Windows 98 under code page 1252, where only the calls' forms, checked in
// main, are right: a run into failure makes every kind of text call.
void Win98Western() {
    SetAdapter();
    if (!Launch())
        return;
    Click(Item(IDC_START));
    Press(WaitWindow(L"", Dialog), {VK_RETURN});
    Click(Item(IDC_CLOSE));
    CHECK_EQ(0, ExitCode());
}

} // namespace

int main(int argc, char** argv) {
    // Each scenario's system (tests/e2e/run-scenario sets it) decides the form,
    // ANSI or wide, of the text calls; the sounds and boxes made in all, in pairs.
    const struct {
        const char* name;
        void (*run)();
        char form;
        size_t alerts;
    } scenarios[] = {
        {"success", Success, 'W', 4},                    // NT, code page 1252
        {"dial_errors", DialErrors, 'A', 8},             // NT, 1251
        {"check_and_about", CheckFailsAndAbout, 'A', 8}, // Windows 98, 1251
        {"win98_cp1252", Win98Western, 'A', 2},          // Windows 98, 1252
    };
    for (const auto& scenario : scenarios) {
        if (argc != 2 || argv[1] != std::string(scenario.name))
            continue;
        scenario.run();
        std::string form(1, scenario.form);
        CHECK_EQ("DialogBoxParam" + form + " MessageBox" + form + " SendDlgItemMessage" + form +
                     " SetDlgItemText" + form + " ",
                 TextCalls());
        CHECK_EQ(scenario.alerts, Alerts().size());
        printf("%s %s: %d failed checks\n", Failures ? "FAIL" : "PASS", argv[1], Failures);
        return Failures != 0;
    }
    printf("usage: e2e-driver success|dial_errors|check_and_about|win98_cp1252\n");
    return 2;
}
