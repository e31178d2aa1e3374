// The end-to-end driver: the user of the release under Wine. It reads the
// windows and the screen, clicks and types through the input queue, and reads
// the registry, the simulated modem's log and Wine's trace of the program's
// calls. Usage: e2e-driver <scenario>; exit code 0 when all checks passed.
#include <windows.h>

#include <sddl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "../../resources/resource.h"

namespace {

int Failures = 0;
size_t TraceAtLaunch = 0;
PROCESS_INFORMATION Program; // the netopt.exe under test, and its main dialog
HWND Dialog;
const char AdapterKey[] = "System\\CurrentControlSet\\Services\\Class\\Net\\0000";
const char ParameterKey[] =
    "System\\CurrentControlSet\\Services\\Class\\Net\\0000\\Ndi\\params\\IPMTU";

#define CHECK(condition) ((condition) ? (void)0 : Fail(__LINE__, #condition))
void Fail(int line, const std::string& what) {
    printf("FAIL line %d: %s\n", line, what.c_str());
    fflush(stdout);
    ++Failures;
}

std::string Utf8(const std::wstring& text) {
    std::string out(text.size() * 3, 0);
    out.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0],
                                   static_cast<int>(out.size()), nullptr, nullptr));
    return out;
}

#define CHECK_TEXT(expected, actual) CheckText(__LINE__, expected, actual)
void CheckText(int line, const std::wstring& expected, const std::wstring& actual) {
    if (expected != actual)
        Fail(line, "expected \"" + Utf8(expected) + "\", got \"" + Utf8(actual) + "\"");
}

// 800 ms either way allows for a busy machine, not for a second too many.
#define CHECK_NEAR(expectedMs, actualMs) CheckNear(__LINE__, expectedMs, actualMs)
void CheckNear(int line, long long expectedMs, long long actualMs) {
    if (actualMs < expectedMs - 800 || actualMs > expectedMs + 800)
        Fail(line, std::to_string(actualMs - expectedMs) + " ms off the schedule");
}

bool WaitUntil(const std::function<bool()>& ready, int timeoutMs = 5000) {
    for (ULONGLONG deadline = GetTickCount64() + timeoutMs; !ready(); Sleep(20))
        if (GetTickCount64() > deadline)
            return false;
    return true;
}

std::wstring Setting(const wchar_t* name) {
    return _wgetenv(name) ? _wgetenv(name) : L"";
}

std::string ReadAll(const std::wstring& path) {
    std::ostringstream text;
    text << std::ifstream(path.c_str(), std::ios::binary).rdbuf();
    return text.str();
}

bool Spawn(std::wstring command, PROCESS_INFORMATION* process) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, process);
}

// ---- the program's windows

HWND Item(int control) {
    return GetDlgItem(Dialog, control);
}

// Window texts live in Wine's server: readable while the program is busy.
std::wstring Text(HWND window) {
    wchar_t text[256];
    return std::wstring(text, std::max(GetWindowTextW(window, text, 256), 0));
}

// Its visible top-level windows with the caption (any if ""), topmost first,
// but for the one left out.
std::vector<HWND> Windows(const std::wstring& caption = L"", HWND leftOut = nullptr) {
    std::vector<HWND> found;
    DWORD process;
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT))
        if (GetWindowThreadProcessId(window, &process) && process == Program.dwProcessId &&
            IsWindowVisible(window) && (caption.empty() || Text(window) == caption) &&
            window != leftOut)
            found.push_back(window);
    return found;
}

HWND WaitWindow(const std::wstring& caption, HWND leftOut = nullptr) {
    WaitUntil([&] { return !Windows(caption, leftOut).empty(); }, 15000);
    std::vector<HWND> found = Windows(caption, leftOut);
    return found.empty() ? nullptr : found[0];
}

// Starts netopt.exe with these modem errors and waits for its main dialog.
bool Launch(const wchar_t* modemErrors = L"") {
    SetEnvironmentVariableW(L"NETOPT_MODEM_ERRORS", modemErrors);
    DeleteFileW(Setting(L"NETOPT_MODEM_LOG").c_str());
    TraceAtLaunch = ReadAll(Setting(L"NETOPT_WORK") + L"/trace.log").size();
    if (!Spawn(Setting(L"NETOPT_EXE"), &Program) || !(Dialog = WaitWindow(L"")))
        return Fail(__LINE__, "netopt.exe did not start"), false;
    return true;
}

long ExitCode() {
    DWORD code = 0;
    if (WaitForSingleObject(Program.hProcess, 10000) != WAIT_OBJECT_0)
        return -1;
    GetExitCodeProcess(Program.hProcess, &code);
    return static_cast<long>(code);
}

HWND Focus() {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(Program.dwThreadId, &info);
    return info.hwndFocus;
}

// An edit box's text comes from its thread, which must be idle.
std::wstring EditText(HWND edit) {
    wchar_t text[2048];
    DWORD_PTR length = 0;
    SendMessageTimeoutW(edit, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        5000, &length);
    return std::wstring(text, length);
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

// ---- input, as the mouse and the keyboard give it

void Mouse(DWORD flags, LONG x = 0, LONG y = 0) {
    INPUT input{INPUT_MOUSE, {}};
    input.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

bool Pushed(HWND button) {
    DWORD_PTR state = 0;
    return SendMessageTimeoutW(button, BM_GETSTATE, 0, 0, SMTO_ABORTIFHUNG, 1000, &state) &&
           (state & BST_PUSHED);
}

// Presses near the button's left end, which no centred box covers, holds
// while it shows pushed, releases; again if a late focus report from X
// cancelled the press. The pointer then rests in a corner, so that X cannot
// report a window appearing under it as a move between a move and a press.
void Click(HWND button) {
    RECT rect{};
    bool pushed = false;
    for (int attempt = 0; attempt < 3 && !pushed && GetWindowRect(button, &rect); ++attempt) {
        Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, rect.left + 6, (rect.top + rect.bottom) / 2);
        Mouse(MOUSEEVENTF_LEFTDOWN);
        pushed = WaitUntil([&] { return Pushed(button); }, 1000) && (Sleep(100), Pushed(button));
        Mouse(MOUSEEVENTF_LEFTUP);
        Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, GetSystemMetrics(SM_CXSCREEN) - 1,
              GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    if (!pushed)
        Fail(__LINE__, "the button never went down");
}

// Once the window is in front, presses the keys, then releases them.
void Press(HWND window, std::initializer_list<WORD> keys) {
    if (!WaitUntil([&] { return GetForegroundWindow() == window; }))
        Fail(__LINE__, "the window to type into never came to the front");
    std::vector<INPUT> input;
    for (DWORD up : {0, KEYEVENTF_KEYUP})
        for (WORD key : keys)
            input.push_back({INPUT_KEYBOARD, {}}), input.back().ki = {key, 0, up, 0, 0};
    std::reverse(input.begin() + keys.size(), input.end());
    SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

// ---- the screen

// How far the progress bar shows filled, in percent: the last blue pixel on
// the middle row of its picture on screen.
int FilledPercent() {
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
    return filled * 100 / std::max(rect.right - rect.left, 1L);
}

// With NETOPT_SNAPSHOTS set, ImageMagick's picture of the screen's windows.
// Wine cannot wait for a Unix process: for its picture, then.
void Snapshot(const char* name) {
    std::wstring png =
        Setting(L"NETOPT_SNAPSHOTS") + L"/" + std::wstring(name, name + strlen(name));
    png += L".png";
    PROCESS_INFORMATION process;
    if (png[0] != L'/' && (DeleteFileW(png.c_str()) || true) &&
        Spawn(L"Z:\\usr\\bin\\import -window root -trim " + png.substr(2), &process))
        WaitUntil([&] { return GetFileAttributesW(png.c_str()) != INVALID_FILE_ATTRIBUTES; });
}

// ---- the machine: the registry, the modem's log, Wine's trace

// Removes the adapter key; given a value name, makes it again with that value.
void SetAdapter(const char* name = nullptr, DWORD type = REG_SZ, const std::string& data = "") {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, AdapterKey);
    if (name)
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, AdapterKey, name, type, data.data(),
                        static_cast<DWORD>(data.size()));
}

// "<type>:<data>", or "" when the value is missing.
std::string Value(const char* key, const char* name) {
    char data[1024];
    DWORD type = 0, size = sizeof data;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, key, name, RRF_RT_ANY | RRF_NOEXPAND, &type, data, &size))
        return "";
    return std::to_string(type) + ":" + std::string(data, size);
}

// Everyone may read the parameter key, nobody more: writing it fails.
void LockParameterKey() {
    HKEY key;
    PSECURITY_DESCRIPTOR readOnly;
    ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)", SDDL_REVISION_1,
                                                         &readOnly, nullptr);
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, ParameterKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, readOnly);
    RegCloseKey(key);
}

// Wine tells netopt.exe, and it alone, that it runs on Windows 98.
void PretendWindows98() {
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\netopt.exe", L"Version",
                    REG_SZ, L"win98", sizeof L"win98");
}

// The words of the index-th line of a kind in the modem's log since the
// launch, "<tick count> <kind> ...", or empty words.
std::vector<std::string> Modem(const char* kind, size_t index) {
    std::istringstream log(ReadAll(Setting(L"NETOPT_MODEM_LOG")));
    for (std::string line; std::getline(log, line);) {
        std::istringstream split(line);
        std::vector<std::string> words{std::istream_iterator<std::string>(split), {}};
        if (words.size() > 1 && words[1] == kind && index-- == 0)
            return words.resize(5), words;
    }
    return std::vector<std::string>(5);
}

long long At(const char* kind, size_t index) {
    return atoll(Modem(kind, index)[0].c_str());
}

// The moments of the program's calls since the launch, after a 0 for none,
// from Wine's trace: "<seconds>.<ms>:<thread>:Call <dll>.<function>(<args>)".
std::vector<long long> Calls(const char* function, const char* arguments) {
    std::istringstream trace(
        ReadAll(Setting(L"NETOPT_WORK") + L"/trace.log").substr(TraceAtLaunch));
    std::vector<long long> times{0};
    for (std::string line; std::getline(trace, line);) {
        size_t call = line.find(":Call ");
        if (call != std::string::npos && line.compare(call + 6, strlen(function), function) == 0 &&
            line.find(arguments, call) != std::string::npos)
            times.push_back(static_cast<long long>(std::stod(line) * 1000 + 0.5));
    }
    return times;
}

// The calls the scenarios look for: the sounds; the stages, WM_SETTEXT to
// the status text (20); the boxes, system-modal with the error or the
// information icon; About's icon, STM_SETIMAGE to its control (50).
#define MESSAGE_BEEP "user32.MessageBeep", "(00000000)"
#define BEEP "KERNEL32.Beep", "(000003e8,000003e8)"
#define STAGE "user32.SendDlgItemMessage", ",00000014,0000000c,"
#define BOX(icon) "user32.MessageBox", (icon) == Error ? ",00001010)" : ",00001040)"
#define ABOUT_ICON "user32.SendDlgItemMessage", ",00000032,00000172,00000001,"

// ---- what the scenarios expect

const wchar_t About[] = L"О программе", Error[] = L"Ошибка", Result[] = L"Результат оптимизации";
const wchar_t Failed[] = L"Ошибка. Оптимизация не возможна.";
const std::string Mtu = "1:" + std::string("576", 4); // REG_SZ
// The dial record in hex, but for its last three bytes, padding that the
// program leaves unset: the size, no entry, the number, no callback number,
// user or password, the domain.
const std::string Digits = "31323334353637383930",
                  Record = "1c040000" + std::string(514, '0') + Digits + Digits + Digits + Digits +
                           Digits + Digits + Digits + std::string(1404, '0') + "2a" +
                           std::string(30, '0');

std::wstring Stage(int stage) {
    return L"Оптимизация " + std::to_wstring(10 * stage) + L"%";
}

bool LooksIdle() {
    return !IsWindowVisible(Item(IDC_STATUS)) && !IsWindowVisible(Item(IDC_PROGRESS)) &&
           IsWindowEnabled(Dialog) && IsWindowEnabled(Item(IDC_GROUP)) &&
           Focus() == Item(IDC_START);
}

// The bar shows as far as the status text says. While the program sleeps,
// Wine may put its last painting on screen only at the next stage.
bool BarMatchesStatus(bool sleeping = false) {
    std::wstring status = Text(Item(IDC_STATUS));
    int behind = _wtoi(status.c_str() + status.find(L' ') + 1) - FilledPercent();
    return abs(behind) <= 5 || (sleeping && abs(behind - 10) <= 5);
}

// A box with its texts and icon, the sounds made since the launch, and
// whether it keeps the main dialog disabled, as a box that it owns does.
HWND CheckBox(const wchar_t* caption, const wchar_t* text, size_t messageBeeps, size_t beeps,
              bool owned, HWND leftOut = nullptr) {
    HWND box = WaitWindow(caption, leftOut);
    CHECK_TEXT(caption + std::wstring(L"|") + text, Text(box) + L"|" + StaticTexts(box));
    CHECK(Calls(BOX(caption)).size() > 1);
    CHECK(Calls(MESSAGE_BEEP).size() == messageBeeps + 1 && Calls(BEEP).size() == beeps + 1);
    CHECK(WaitUntil([&] { return IsWindowEnabled(Dialog) != owned; }));
    return box;
}

// Clicks About and waits for the count-th About dialog, which has no owner:
// the main dialog stays enabled.
HWND OpenAbout(size_t count) {
    Click(Item(IDC_ABOUT));
    CHECK(WaitUntil([&] { return Windows(About).size() == count; }));
    HWND about = WaitWindow(About);
    CHECK_TEXT(L"Программа сетевой|оптимизации V 1.2|Команда netopt|www.example.org|"
               L"E-mail: netopt@example.org|ok",
               StaticTexts(about) + L"|" + Text(GetDlgItem(about, IDC_ABOUT_OK)));
    CHECK(GetWindowLongW(about, GWL_EXSTYLE) & WS_EX_TOPMOST);
    CHECK(Calls(ABOUT_ICON).size() > count && IsWindowEnabled(Dialog));
    CHECK(WaitUntil([&] { return Focus() == GetDlgItem(about, IDC_ABOUT_OK); }));
    return about;
}

// Clicks Start and follows the ten stages, the bar filled as far as each
// says: a second apart, but two between the first two, which the writes and
// the dial come between. The moments of stages 2 and 10.
std::pair<long long, long long> RunStages() {
    Click(Item(IDC_START));
    long long at[11] = {};
    for (int stage = 1; stage <= 10; ++stage) {
        CHECK(WaitUntil([&] { return Text(Item(IDC_STATUS)) == Stage(stage); }));
        at[stage] = Calls(STAGE).back();
        CHECK(WaitUntil([&] { return BarMatchesStatus(true); }, 800));
        CHECK(!IsWindowEnabled(Item(IDC_GROUP)));
        if (stage > 1)
            CHECK_NEAR(at[stage - 1] + (stage == 2 ? 2000 : 1000), at[stage]);
        printf("  stage %d at %lld ms\n", stage, at[stage] - at[1]);
        if (stage == 5)
            Snapshot("running");
    }
    return {at[2], at[10]};
}

// A run whose check or write fails: the error box a second after stage 1,
// the bar at 10, nothing dialled.
void RunIntoFailure(size_t messageBeeps) {
    Click(Item(IDC_START));
    HWND box = CheckBox(Error, Failed, messageBeeps, 0, true);
    CHECK_NEAR(Calls(STAGE).back() + 1000, Calls(MESSAGE_BEEP).back());
    CHECK_TEXT(Stage(1), Text(Item(IDC_STATUS)));
    CHECK(WaitUntil([&] { return BarMatchesStatus(); }) && Modem("dial", 0)[0].empty());
    Press(box, {VK_RETURN});
    CHECK(WaitUntil(LooksIdle));
}

// ---- the scenarios

// Every kind of text the program shows, through a run that fails its check.
void CheckTexts() {
    SetAdapter("IPMTU", REG_BINARY, std::string(256, 'x'));
    if (!Launch())
        return;
    CHECK_TEXT(L"Программа сетевой оптимизации|Начать оптимизацию|Закрыть|О программе",
               Text(Dialog) + L"|" + Text(Item(IDC_START)) + L"|" + Text(Item(IDC_CLOSE)) + L"|" +
                   Text(Item(IDC_ABOUT)));
    // The information text, its 610 bytes and no more, converted right.
    std::wstring info = EditText(Item(IDC_INFO));
    CHECK_TEXT(L"ВНИМАНИЕ!!! ПЕРЕД ЗАПУСКОМ \r\n|об этом.\r\n\r\n\r\n|610",
               info.substr(0, 29) + L"|" + info.substr(info.size() - 14) + L"|" +
                   std::to_wstring(info.size()));
    CHECK(WaitUntil(LooksIdle));
    Press(Dialog, {VK_ESCAPE}); // IDCANCEL and IDOK do nothing
    Press(Dialog, {VK_RETURN});
    HWND about = OpenAbout(1);
    Snapshot("about");
    Press(about, {VK_RETURN});
    RunIntoFailure(1);
    Press(Dialog, {VK_MENU, VK_F4});
    CHECK(ExitCode() == 0);
}

// The texts; two runs with the bar, the box and its sound, the registry and
// the modem's calls, the second call ended by the modem with 631, which only
// hangs up; Close. Under code page 1252, where only the wide calls show the
// texts right.
void Success() {
    CheckTexts();
    SetAdapter("IPMTU", REG_SZ, std::string("1500", 5));
    if (!Launch(L"0,631"))
        return;
    for (size_t run = 1; run <= 2; ++run) {
        std::pair<long long, long long> at = RunStages();
        HWND box = CheckBox(Result, L"Оптимизация выполнена.", run, 0, true);
        CHECK(WaitUntil([&] { return BarMatchesStatus(); }));
        CHECK_NEAR(at.second + 3000, Calls(MESSAGE_BEEP).back()); // the wait after the hang-up
        CHECK(Value(AdapterKey, "IPMTU") == Mtu && Value(ParameterKey, nullptr) == Mtu);
        std::vector<std::string> dial = Modem("dial", run - 1);
        CHECK(dial[3] == "0,0,0" && Windows(Error).empty());
        CHECK(dial[4].size() == 2 * 1052 && dial[4].compare(0, Record.size(), Record) == 0);
        CHECK_NEAR(at.first, At("dial", run - 1));
        CHECK_NEAR(at.second, At("hangup", 2 * run - 2));
        Snapshot("result");
        Press(box, {VK_RETURN});
        CHECK(WaitUntil(LooksIdle));
    }
    const char* hangUps[] = {"program", "notifier", "program"}; // of calls 1, 2 and 2
    for (size_t i = 0; i < 3; ++i)
        CHECK(Modem("hangup", i)[3] == hangUps[i] &&
              Modem("hangup", i)[2] == Modem("dial", i > 0)[2]);
    CHECK_NEAR(At("notify", 1), At("hangup", 1));
    Click(Item(IDC_CLOSE));
    CHECK(ExitCode() == 0);
}

// A dial error two seconds into the call: a tone, the notifier's box with no
// owner, the end of the program once it is closed. 680 also turns the run's
// result into the error box.
void DialErrors() {
    SetAdapter("IPMTU", REG_SZ, std::string("1500", 5));
    for (const wchar_t* error : {L"678", L"680"}) {
        bool noDialTone = wcscmp(error, L"680") == 0;
        if (!Launch(error))
            continue;
        Click(Item(IDC_START));
        HWND box = CheckBox(Error, noDialTone ? L"Нет сигнала в линии." : L"Ошибка соединения.", 0,
                            1, false);
        CHECK_NEAR(At("notify", 0), Calls(BEEP).back());
        CHECK(Modem("hangup", 0)[3] == "notifier");
        if (noDialTone) {
            HWND result = CheckBox(Error, Failed, 1, 1, true, box);
            Click(GetDlgItem(result, IDOK)); // on top, but the notifier's box keeps the keyboard
            CHECK(WaitUntil(LooksIdle));
        }
        Click(GetDlgItem(box, IDOK));
        CHECK(ExitCode() == 0);
    }
}

// Runs that fail, each started while an About dialog is open; the ways of
// closing About; Close while it is open; then the texts as Windows 98 shows
// them, through the ANSI calls with code page 1251.
void CheckFailsAndAbout() {
    SetAdapter();
    if (!Launch())
        return;
    HWND about = OpenAbout(1);
    // No adapter key, no IPMTU, an IPMTU of 256 bytes, a parameter key that
    // cannot be written: the IPMTU after each.
    const char* names[] = {nullptr, "Other", "IPMTU", "IPMTU"};
    std::string after[] = {"", "", "3:" + std::string(256, 'x'), Mtu};
    for (size_t run = 0; run < 4; ++run) {
        SetAdapter(names[run], REG_BINARY, std::string(run == 2 ? 256 : 4, 'x'));
        if (run == 3)
            LockParameterKey();
        RunIntoFailure(run + 1);
        CHECK(Value(AdapterKey, "IPMTU") == after[run] && Value(ParameterKey, nullptr).empty());
    }
    for (auto keys : {std::initializer_list<WORD>{VK_RETURN}, {VK_ESCAPE}, {VK_MENU, VK_F4}}) {
        Press(OpenAbout(2), keys);
        CHECK(WaitUntil([&] { return Windows(About).size() == 1; }));
    }
    Click(Item(IDC_CLOSE)); // its loop ends once the About loop within it has
    Click(GetDlgItem(about, IDC_ABOUT_OK));
    CHECK(ExitCode() == 0);
    PretendWindows98();
    CheckTexts();
}

} // namespace

int main(int argc, char** argv) {
    std::string name = argc == 2 ? argv[1] : "";
    void (*scenario)() = name == "success"           ? Success
                         : name == "dial_errors"     ? DialErrors
                         : name == "check_and_about" ? CheckFailsAndAbout
                                                     : nullptr;
    if (!scenario)
        return printf("usage: e2e-driver success|dial_errors|check_and_about\n"), 2;
    scenario();
    printf("%s %s: %d failed checks\n", Failures ? "FAIL" : "PASS", argv[1], Failures);
    return Failures != 0;
}
