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

// 800 ms either way allows for a busy machine, not for a second too many.
void CheckNear(long long expectedMs, long long actualMs, const Where& at = Where::current()) {
    if (actualMs < expectedMs - 800 || actualMs > expectedMs + 800)
        Fail(at, std::to_string(actualMs - expectedMs) + " ms off the schedule");
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
bool Launch(const wchar_t* modemErrors = L"", const Where& at = Where::current()) {
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

// Once the window is in front, presses the keys, then releases them backwards.
void Press(HWND window, std::initializer_list<WORD> keys, const Where& at = Where::current()) {
    CHECK_SOON(reinterpret_cast<uintptr_t>(window),
               reinterpret_cast<uintptr_t>(GetForegroundWindow()), at);
    std::vector<INPUT> input(2 * keys.size(), INPUT{INPUT_KEYBOARD, {}});
    for (size_t i = 0; i < keys.size(); ++i) {
        input[i].ki = {keys.begin()[i], 0, 0, 0, 0};
        input[input.size() - 1 - i].ki = {keys.begin()[i], 0, KEYEVENTF_KEYUP, 0, 0};
    }
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

// The index-th "<tick count> <kind> <word>..." line of the modem's log: the
// line, the tick count and up to three words after the kind, "" if none.
std::vector<std::string> Modem(const char* kind, size_t index) {
    auto lines = Matches(L"modem.log",
                         "^(\\d+) " + std::string(kind) + "(?: (\\S+))?(?: (\\S+))?(?: (\\S+))?");
    return index < lines.size() ? lines[index] : std::vector<std::string>(5);
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

// The forms, "A" or "W", that the calls handing over the program's texts took:
// dialogs, the notice, message boxes and the stages' WM_SETTEXT.
std::string TextForms() {
    std::string forms;
    for (const auto& call :
         Calls("user32\\.(?:(?:DialogBoxParam|SetDlgItemText|MessageBox)([AW])\\(|"
               "SendDlgItemMessage([AW])\\(\\w+,\\w+,0000000c,)"))
        forms += call[2] + call[3];
    return std::string(forms.find('A') != std::string::npos ? "A" : "") +
           (forms.find('W') != std::string::npos ? "W" : "");
}

const std::string DefaultSound = "MessageBeep(00000000)", Tone = "Beep(000003e8,000003e8)";
const wchar_t About[] = L"О программе", Error[] = L"Ошибка", Result[] = L"Результат оптимизации";
const wchar_t Failed[] = L"Ошибка. Оптимизация не возможна.", Done[] = L"Оптимизация выполнена.";
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

// Pixels of About's icon, from the top left of the image centred in its control,
// as "rrggbb" (a COLORREF's bytes, 00bbggrr, swapped): the handset's blue and
// aqua, the lights' lime, yellow and red.
std::string IconColours(HWND about) {
    RECT rect{};
    GetWindowRect(GetDlgItem(about, IDC_ABOUT_ICON), &rect);
    char colours[64] = "";
    for (POINT pixel : {POINT{15, 5}, {8, 5}, {5, 22}, {8, 22}, {11, 22}}) {
        COLORREF colour = GetPixel(Screen, rect.left + (rect.right - rect.left - 32) / 2 + pixel.x,
                                   rect.top + (rect.bottom - rect.top - 32) / 2 + pixel.y);
        snprintf(colours + strlen(colours), 8, "%06lx ", _byteswap_ulong(colour) >> 8);
    }
    return colours;
}

// The number-th box of the scenario: its texts, the sound before it, its flags
// (system-modal, the icon of its caption), whether it disables its owner.
HWND CheckBox(size_t number, const std::string& sound, const wchar_t* caption, const wchar_t* text,
              bool owned, HWND leftOut = nullptr, const Where& at = Where::current()) {
    HWND box = WaitWindow(caption, leftOut, at);
    CHECK_EQ(caption + std::wstring(L"|") + text, Text(box) + L"|" + StaticTexts(box), at);
    // MB_SYSTEMMODAL, with MB_ICONERROR under the error caption, else MB_ICONINFORMATION.
    auto flags = caption == std::wstring(Error) ? "MessageBox 00001010" : "MessageBox 00001040";
    std::vector<std::string> alerts = Alerts();
    alerts.resize(std::max(alerts.size(), 2 * number));
    CHECK_EQ(sound + ", " + flags, alerts[2 * number - 2] + ", " + alerts[2 * number - 1], at);
    CHECK_SOON(!owned, IsWindowEnabled(Dialog) != 0, at);
    return box;
}

// Opens an About dialog besides the one open, with no owner to disable; its
// version is the one that CMakeLists.txt gives the build, as NETOPT_VERSION.
HWND OpenAbout(HWND open = nullptr, const Where& at = Where::current()) {
    Click(Item(IDC_ABOUT), at);
    HWND about = WaitWindow(About, open, at);
    CHECK_EQ(L"Программа сетевой|оптимизации V " + std::wstring(_wgetenv(L"NETOPT_VERSION")) +
                 L"|Команда netopt|www.example.org|E-mail: netopt@example.org|ok",
             StaticTexts(about) + L"|" + Text(GetDlgItem(about, IDC_ABOUT_OK)), at);
    CHECK_EQ(WS_EX_TOPMOST, GetWindowLongW(about, GWL_EXSTYLE) & WS_EX_TOPMOST, at);
    CHECK_SOON("0000ff 00ffff 00ff00 ffff00 ff0000 ", IconColours(about), at);
    return about;
}

// The ten stages, a second apart but two before stage 2; the moments of 2 and 10.
std::pair<long long, long long> RunStages(const Where& at = Where::current()) {
    Click(Item(IDC_START), at);
    long long when[11] = {};
    for (int stage = 1; stage <= 10; ++stage) {
        std::wstring status = L"Оптимизация " + std::to_wstring(10 * stage) + L"%";
        CHECK_SOON(status, Text(Item(IDC_STATUS)), at);
        when[stage] = Last(Stages);
        CHECK_SOON("even", Bar(true), at);
        CHECK_EQ(false, IsWindowEnabled(Item(IDC_GROUP)) != 0, at);
        if (stage > 1)
            CheckNear(when[stage - 1] + (stage == 2 ? 2000 : 1000), when[stage], at);
        printf("  stage %d at %lld ms\n", stage, when[stage] - when[1]);
        if (stage == 5)
            Snapshot(L"running");
    }
    return {when[2], when[10]};
}

// A run whose check or write fails: the number-th box, a second after stage 1.
void RunIntoFailure(size_t number, const Where& at = Where::current()) {
    Click(Item(IDC_START), at);
    HWND box = CheckBox(number, DefaultSound, Error, Failed, true, nullptr, at);
    CheckNear(Last(Stages) + 1000, Last(MessageBeeps), at); // no stage after 1
    CHECK_EQ("", Modem("dial", 0)[0], at);                  // no call placed
    Press(box, {VK_RETURN}, at);
    CHECK_SOON(Idle, Look(), at);
}

// The main dialog, centred: its texts, the notice's 610 bytes, which scroll
// up and down only and take no typing; keys that do nothing.
void CheckMainDialog(const Where& at = Where::current()) {
    std::wstring texts = Text(Dialog) + L"|" + Text(Item(IDC_START)) + L"|" +
                         Text(Item(IDC_CLOSE)) + L"|" + Text(Item(IDC_ABOUT));
    CHECK_EQ(L"Программа сетевой оптимизации|Начать оптимизацию|Закрыть|О программе", texts, at);
    RECT rect{};
    GetWindowRect(Dialog, &rect);
    std::string offCentre = Str((rect.left + rect.right - GetSystemMetrics(SM_CXSCREEN)) / 2) +
                            "," + Str((rect.top + rect.bottom - GetSystemMetrics(SM_CYSCREEN)) / 2);
    CHECK_EQ("0,0", offCentre, at);
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

// Under code page 1252, where only the wide calls show the texts right: two
// runs on the prefix's MTU of "1500", the second call ended with 631; Alt+F4.
void Success() {
    if (!Launch(L"0,631"))
        return;
    CheckMainDialog();
    HWND about = OpenAbout();
    Snapshot(L"about");
    Press(about, {VK_RETURN});
    for (size_t run = 1; run <= 2; ++run) {
        Row = "run " + std::to_string(run);
        std::pair<long long, long long> at = RunStages();
        HWND box = CheckBox(run, DefaultSound, Result, Done, true);
        CheckNear(at.second + 3000, Last(MessageBeeps)); // the wait after the hang-up
        CHECK_SOON("even", Bar());
        CHECK_EQ(Mtu, Value(AdapterKey, "IPMTU"));
        CHECK_EQ(Mtu, Value(ParameterKey, nullptr));
        CHECK_EQ("0,0,0,0", Modem("dial", run - 1)[3]); // a new call: the handle given is null
        CHECK_EQ(Record, Modem("dial", run - 1)[4].substr(0, Record.size()));
        CheckNear(at.first, atoll(Modem("dial", run - 1)[1].c_str()));
        CheckNear(at.second, atoll(Modem("hangup", 2 * run - 2)[1].c_str()));
        Snapshot(L"result");
        Press(box, {VK_RETURN});
        CHECK_SOON(Idle, Look());
    }
    Row.clear(); // the hang-ups of calls 1, 2 (ended by the modem's 631) and 2 again
    std::string hangups, first = Modem("dial", 0)[2], second = Modem("dial", 1)[2];
    for (const auto& hangup : Matches(L"modem.log", " hangup (.*)"))
        hangups += hangup[1] + "|";
    CHECK_EQ(first + " program|" + second + " notifier|" + second + " program|", hangups);
    CHECK_EQ(2, Calls(MtuWrites("\\w+ \"IPMTU\"")).size()); // once a run each
    CHECK_EQ(2, Calls(MtuWrites("0+")).size());             // the parameter key's, unnamed
    Press(Dialog, {VK_MENU, VK_F4});
    CHECK_EQ(0, ExitCode());
}

// Dial errors, a launch each: a tone, the notifier's box over an enabled main dialog,
// the run's result box (an error after 680 alone), the end once the notifier's is closed.
void DialErrors() {
    struct {
        const wchar_t *error, *text, *caption, *result;
    } const errors[] = {
        {L"680", L"Нет сигнала в линии.", Error, Failed},
        {L"678", L"Ошибка соединения.", Result, Done},
        {L"692", L"Ошибка соединения.", Result, Done},
    };
    for (size_t i = 0; i < std::size(errors) && Launch(errors[i].error); ++i) {
        Row = "error " + Str(errors[i].error);
        Click(Item(IDC_START));
        HWND box = CheckBox(2 * i + 1, Tone, Error, errors[i].text, false);
        CheckNear(atoll(Modem("notify", i)[1].c_str()), Last(Beeps));
        CHECK_EQ("notifier", Modem("hangup", 2 * i)[3]);
        HWND result =
            CheckBox(2 * i + 2, DefaultSound, errors[i].caption, errors[i].result, true, box);
        Click(GetDlgItem(result, IDOK)); // on top, but the notifier's box keeps the keyboard
        Click(GetDlgItem(box, IDOK));
        CHECK_EQ(0, ExitCode());
    }
}

// As Windows 98, through the ANSI calls: runs that fail, started while About
// is open, each leaving the registry as it was; Close while About is open.
void CheckFailsAndAbout() {
    if (!Launch())
        return;
    CheckMainDialog();
    HWND about = OpenAbout();
    // No key, no IPMTU, 256 bytes of it, a parameter key that cannot be made.
    const char* names[] = {nullptr, "Other", "IPMTU", "IPMTU"};
    std::string after[] = {"no key", "no value", "3:" + std::string(256, 'x') + "/256", Mtu};
    for (size_t run = 0; run < 4; ++run) {
        Row = "registry state " + std::to_string(run + 1);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, AdapterKey.c_str()); // then made with the row's value
        std::string data(run == 2 ? 256 : 4, 'x');
        if (names[run])
            CHECK_EQ(ERROR_SUCCESS,
                     RegSetKeyValueA(HKEY_LOCAL_MACHINE, AdapterKey.c_str(), names[run], REG_BINARY,
                                     data.data(), data.size()));
        if (run == 3)
            CHECK_EQ(true, BlockParameterKey());
        RunIntoFailure(run + 1);
        CHECK_EQ(after[run], Value(AdapterKey, "IPMTU"));
    }
    Row.clear();
    Press(OpenAbout(about), {VK_ESCAPE});
    CHECK_SOON(1, Windows(About).size());
    Click(Item(IDC_CLOSE)); // its loop ends once the About loop within it has
    Click(GetDlgItem(about, IDC_ABOUT_OK));
    CHECK_EQ(0, ExitCode());
}

// As Windows 98 under code page 1252, where only the calls' forms, checked in
// main, are right: a run makes every kind of text call.
void Win98Western() {
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
        const char* forms;
        size_t alerts;
    } scenarios[] = {
        {"success", Success, "W", 4},                    // NT, code page 1252
        {"dial_errors", DialErrors, "A", 12},            // NT, 1251
        {"check_and_about", CheckFailsAndAbout, "A", 8}, // Windows 98, 1251
        {"win98_cp1252", Win98Western, "A", 2},          // Windows 98, 1252
    };
    for (const auto& scenario : scenarios) {
        if (argc != 2 || argv[1] != std::string(scenario.name))
            continue;
        scenario.run();
        CHECK_EQ(scenario.forms, TextForms());
        CHECK_EQ(scenario.alerts, Alerts().size());
        printf("%s %s: %d failed checks\n", Failures ? "FAIL" : "PASS", argv[1], Failures);
        return Failures != 0;
    }
    printf("usage: e2e-driver success|dial_errors|check_and_about|win98_cp1252\n");
    return 2;
}
