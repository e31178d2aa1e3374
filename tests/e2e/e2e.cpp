// The end-to-end driver, as Wine's own tests are written: one file, its means
// first, then the scenarios, one ctest test each, run side by side by
// run-scenario. It acts as the user of the release under Wine: it reads the
// windows and the screen, clicks and types through the input queue, and
// reads the registry, the simulated modem's log and Wine's trace of the
// program's calls. Usage: e2e-driver <scenario>; exit code 0 when all passed.
#include <windows.h>

#include <sddl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "../../resources/resource.h"

namespace {

int Failures = 0;
size_t TraceAtLaunch = 0;
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

// Within 800 ms either way, on a busy machine too; a second too many or too
// few is out.
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

std::string Trace() {
    return ReadAll(Setting(L"NETOPT_WORK") + L"/trace.log");
}

bool Spawn(std::wstring command, PROCESS_INFORMATION* process) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, process);
}

// ---- the program's windows

struct Program {
    PROCESS_INFORMATION process{};
    HWND dialog = nullptr;
};

// Window texts live in Wine's server: readable while the program is busy.
std::wstring Text(HWND window) {
    wchar_t text[256];
    return std::wstring(text, std::max(GetWindowTextW(window, text, 256), 0));
}

// Its visible top-level windows with the caption (any if ""), topmost first.
std::vector<HWND> Windows(const Program& program, const std::wstring& caption = L"") {
    std::vector<HWND> found;
    DWORD process;
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT))
        if (GetWindowThreadProcessId(window, &process) && process == program.process.dwProcessId &&
            IsWindowVisible(window) && (caption.empty() || Text(window) == caption))
            found.push_back(window);
    return found;
}

HWND WaitWindow(const Program& program, const std::wstring& caption, HWND other = nullptr) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            std::vector<HWND> all = Windows(program, caption);
            all.erase(std::remove(all.begin(), all.end(), other), all.end());
            return (found = all.empty() ? nullptr : all[0]) != nullptr;
        },
        15000);
    return found;
}

// Starts netopt.exe with this modem script and waits for its main dialog.
bool Launch(Program* program, const wchar_t* modemScript) {
    SetEnvironmentVariableW(L"NETOPT_MODEM_SCRIPT", modemScript);
    DeleteFileW(Setting(L"NETOPT_MODEM_LOG").c_str());
    TraceAtLaunch = Trace().size();
    if (!Spawn(Setting(L"NETOPT_EXE"), &program->process) ||
        !WaitUntil([&] { return !Windows(*program).empty(); }, 30000))
        return Fail(__LINE__, "netopt.exe did not start"), false;
    program->dialog = Windows(*program)[0];
    return true;
}

long ExitCode(const Program& program) {
    DWORD code = 0;
    if (WaitForSingleObject(program.process.hProcess, 10000) != WAIT_OBJECT_0)
        return -1;
    GetExitCodeProcess(program.process.hProcess, &code);
    return static_cast<long>(code);
}

HWND Item(HWND dialog, int control) {
    return GetDlgItem(dialog, control);
}

HWND Focus(const Program& program) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(program.process.dwThreadId, &info);
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

// Presses the left button near the button's left end, where no centred
// dialog covers the main dialog's buttons, holds it while the button shows
// pushed, and releases it. A press that a late report of the keyboard focus
// from X cancels is made again. In between, the pointer rests in a corner:
// X reports a window that appears or vanishes under it late, as a move,
// which could come between a move and its press.
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

// How far a progress bar shows filled, in percent: the last of the blue
// pixels on the middle row of its picture on screen.
int FilledPercent(HWND bar) {
    RECT rect;
    GetClientRect(bar, &rect);
    MapWindowPoints(bar, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    int width = rect.right - rect.left, y = (rect.top + rect.bottom) / 2;
    std::vector<DWORD> row(std::max(width, 1));
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, 1);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, 1, screen, rect.left, y, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -1, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    GetDIBits(memory, bitmap, 0, 1, row.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    auto blue = [](DWORD pixel) { return (pixel & 255) > 150 && (pixel >> 16 & 255) < 120; };
    return static_cast<int>((row.rend() - std::find_if(row.rbegin(), row.rend(), blue)) * 100 /
                            row.size());
}

// With NETOPT_SNAPSHOTS set, ImageMagick's picture of the screen's windows.
void Snapshot(const char* name) {
    std::wstring png =
        Setting(L"NETOPT_SNAPSHOTS") + L"/" + std::wstring(name, name + strlen(name));
    png += L".png";
    PROCESS_INFORMATION process; // Wine cannot wait for a Unix process: for its picture, then
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

// A field of the index-th line of a kind in the modem's log since the launch
// ("<tick count> <kind> <name>=<value> ..."), or its tick count.
std::string Modem(const char* kind, size_t index, const char* field = nullptr) {
    std::istringstream log(ReadAll(Setting(L"NETOPT_MODEM_LOG")));
    std::string line;
    while (std::getline(log, line))
        if (line.find(std::string(" ") + kind + " ") != std::string::npos && index-- == 0)
            break;
    size_t at = field ? line.find(std::string(" ") + field + "=") : 0;
    at = at == std::string::npos ? line.size() : field ? at + strlen(field) + 2 : 0;
    return log ? line.substr(at, line.find(' ', at) - at) : "";
}

long long At(const char* kind, size_t index) {
    return atoll(Modem(kind, index).c_str());
}

// The moments of the program's calls since the launch, from Wine's trace,
// whose lines read "<seconds>.<ms>:<thread>:Call <dll>.<function>(<args>)".
std::vector<long long> Calls(const char* function, const char* arguments) {
    std::istringstream trace(Trace().substr(TraceAtLaunch));
    std::vector<long long> times;
    for (std::string line; std::getline(trace, line);) {
        size_t call = line.find(":Call ");
        if (call != std::string::npos && line.compare(call + 6, strlen(function), function) == 0 &&
            line.find(arguments, call) != std::string::npos)
            times.push_back(static_cast<long long>(std::stod(line) * 1000 + 0.5));
    }
    return times;
}

long long Last(const std::vector<long long>& times) {
    return times.empty() ? 0 : times.back();
}

// The calls the scenarios look for: the sounds; the stages, WM_SETTEXT to
// the status text (20); the boxes, system-modal with the error or the
// information icon; About's icon, STM_SETIMAGE to its control (50).
#define MESSAGE_BEEP "user32.MessageBeep", "(00000000)"
#define BEEP "KERNEL32.Beep", "(000003e8,000003e8)"
#define STAGE "user32.SendDlgItemMessage", ",00000014,0000000c,"
#define ERROR_BOX "user32.MessageBox", ",00001010)"
#define INFORMATION_BOX "user32.MessageBox", ",00001040)"
#define ABOUT_ICON "user32.SendDlgItemMessage", ",00000032,00000172,00000001,"

// ---- what the scenarios expect

const wchar_t About[] = L"О программе", Error[] = L"Ошибка", Result[] = L"Результат оптимизации";
const wchar_t Failed[] = L"Ошибка. Оптимизация не возможна.";
const std::string Mtu = "1:" + std::string("576", 4); // REG_SZ
// The dial record in hex, but for the three bytes of padding at its end,
// which the program leaves unset: the size, no entry, the number, no
// callback number, user or password, the domain.
const std::string Digits = "31323334353637383930",
                  Record = "1c040000" + std::string(514, '0') + Digits + Digits + Digits + Digits +
                           Digits + Digits + Digits + std::string(1404, '0') + "2a" +
                           std::string(30, '0');

std::wstring Stage(int stage) {
    return L"Оптимизация " + std::to_wstring(10 * stage) + L"%";
}

bool LooksIdle(const Program& p) {
    return !IsWindowVisible(Item(p.dialog, IDC_STATUS)) &&
           !IsWindowVisible(Item(p.dialog, IDC_PROGRESS)) && IsWindowEnabled(p.dialog) &&
           IsWindowEnabled(Item(p.dialog, IDC_GROUP)) && Focus(p) == Item(p.dialog, IDC_START);
}

// The bar shows as far as the status text says. While the program sleeps,
// Wine may put its last painting on screen only at the next stage.
bool BarMatchesStatus(const Program& p, bool sleeping = false) {
    std::wstring status = Text(Item(p.dialog, IDC_STATUS));
    int behind =
        _wtoi(status.c_str() + status.find(L' ') + 1) - FilledPercent(Item(p.dialog, IDC_PROGRESS));
    return abs(behind) <= 5 || (sleeping && abs(behind - 10) <= 5);
}

// A box with its texts and icon, the sounds made since the launch, and
// whether it keeps the main dialog disabled, as a box that it owns does.
HWND CheckBox(const Program& p, const wchar_t* caption, const wchar_t* text, size_t messageBeeps,
              size_t beeps, bool owned, HWND other = nullptr) {
    HWND box = WaitWindow(p, caption, other);
    CHECK_TEXT(caption + std::wstring(L"|") + text, Text(box) + L"|" + StaticTexts(box));
    CHECK(caption == Error ? !Calls(ERROR_BOX).empty() : !Calls(INFORMATION_BOX).empty());
    CHECK(Calls(MESSAGE_BEEP).size() == messageBeeps && Calls(BEEP).size() == beeps);
    CHECK(WaitUntil([&] { return IsWindowEnabled(p.dialog) != owned; }));
    return box;
}

// Clicks About and waits for the count-th About dialog, which has no owner:
// the main dialog stays enabled.
HWND OpenAbout(const Program& p, size_t count) {
    Click(Item(p.dialog, IDC_ABOUT));
    CHECK(WaitUntil([&] { return Windows(p, About).size() == count; }));
    HWND about = WaitWindow(p, About);
    CHECK_TEXT(L"Программа сетевой|оптимизации V 1.2|Команда netopt|www.example.org|"
               L"E-mail: netopt@example.org|ok",
               StaticTexts(about) + L"|" + Text(Item(about, IDC_ABOUT_OK)));
    CHECK(GetWindowLongW(about, GWL_EXSTYLE) & WS_EX_TOPMOST);
    CHECK(Calls(ABOUT_ICON).size() >= count && IsWindowEnabled(p.dialog));
    CHECK(WaitUntil([&] { return Focus(p) == Item(about, IDC_ABOUT_OK); }));
    return about;
}

// Clicks Start and follows the ten stages on screen, the bar filled as far
// as each says; the program showed them a second apart, but two between the
// first two, which the writes and the dial come between. The moments of
// stages 2 and 10.
std::pair<long long, long long> RunStages(const Program& p) {
    Click(Item(p.dialog, IDC_START));
    long long at[11] = {};
    for (int stage = 1; stage <= 10; ++stage) {
        CHECK(WaitUntil([&] { return Text(Item(p.dialog, IDC_STATUS)) == Stage(stage); }));
        at[stage] = Last(Calls(STAGE));
        CHECK(WaitUntil([&] { return BarMatchesStatus(p, true); }, 800));
        CHECK(!IsWindowEnabled(Item(p.dialog, IDC_GROUP)));
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
void RunIntoFailure(const Program& p, size_t messageBeeps) {
    Click(Item(p.dialog, IDC_START));
    HWND box = CheckBox(p, Error, Failed, messageBeeps, 0, true);
    CHECK_NEAR(Last(Calls(STAGE)) + 1000, Last(Calls(MESSAGE_BEEP)));
    CHECK_TEXT(Stage(1), Text(Item(p.dialog, IDC_STATUS)));
    CHECK(WaitUntil([&] { return BarMatchesStatus(p); }) && Modem("dial", 0).empty());
    Press(box, {VK_RETURN});
    CHECK(WaitUntil([&] { return LooksIdle(p); }));
}

// ---- the scenarios

// Every kind of text the program shows, through a run that fails its check.
void CheckTexts() {
    SetAdapter("IPMTU", REG_BINARY, std::string(256, 'x'));
    Program p;
    if (!Launch(&p, L""))
        return;
    CHECK_TEXT(L"Программа сетевой оптимизации|Начать оптимизацию|Закрыть|О программе",
               Text(p.dialog) + L"|" + Text(Item(p.dialog, IDC_START)) + L"|" +
                   Text(Item(p.dialog, IDC_CLOSE)) + L"|" + Text(Item(p.dialog, IDC_ABOUT)));
    // The information text, its 610 bytes and no more, converted right.
    std::wstring info = EditText(Item(p.dialog, IDC_INFO));
    CHECK_TEXT(L"ВНИМАНИЕ!!! ПЕРЕД ЗАПУСКОМ \r\n|об этом.\r\n\r\n\r\n|610",
               info.substr(0, 29) + L"|" + info.substr(info.size() - 14) + L"|" +
                   std::to_wstring(info.size()));
    CHECK(WaitUntil([&] { return LooksIdle(p); }));
    Snapshot("idle");
    Press(p.dialog, {VK_ESCAPE}); // IDCANCEL and IDOK do nothing
    Press(p.dialog, {VK_RETURN});
    HWND about = OpenAbout(p, 1);
    Snapshot("about");
    Press(about, {VK_RETURN});
    RunIntoFailure(p, 1);
    Press(p.dialog, {VK_MENU, VK_F4});
    CHECK(ExitCode(p) == 0);
}

// The texts; two runs with the bar, the box and its sound, the registry and
// the modem's calls, the second call ended by the modem with 631, which only
// hangs up; Close.
void Success() {
    CheckTexts();
    SetAdapter("IPMTU", REG_SZ, std::string("1500", 5));
    Program p;
    if (!Launch(&p, L"|631@2000"))
        return;
    for (size_t run = 1; run <= 2; ++run) {
        std::pair<long long, long long> at = RunStages(p);
        HWND box = CheckBox(p, Result, L"Оптимизация выполнена.", run, 0, true);
        CHECK(WaitUntil([&] { return BarMatchesStatus(p); }));
        CHECK_NEAR(at.second + 3000, Last(Calls(MESSAGE_BEEP))); // the wait after the hang-up
        CHECK(Value(AdapterKey, "IPMTU") == Mtu && Value(ParameterKey, nullptr) == Mtu);
        std::string record = Modem("dial", run - 1, "record");
        CHECK(Modem("dial", run - 1, "args") == "0,0,0" && Windows(p, Error).empty());
        CHECK(record.size() == 2 * 1052 && record.compare(0, Record.size(), Record) == 0);
        CHECK_NEAR(at.first, At("dial", run - 1));
        CHECK_NEAR(at.second, At("hangup", 2 * run - 2));
        Snapshot("result");
        Press(box, {VK_RETURN});
        CHECK(WaitUntil([&] { return LooksIdle(p); }));
    }
    const char* hangUps[] = {"program", "notifier", "program"}; // of calls 1, 2 and 2
    for (size_t i = 0; i < 3; ++i)
        CHECK(Modem("hangup", i, "by") == hangUps[i] &&
              Modem("hangup", i, "handle") == Modem("dial", i > 0, "handle"));
    CHECK_NEAR(At("notify", 3), At("hangup", 1));
    Click(Item(p.dialog, IDC_CLOSE));
    CHECK(ExitCode(p) == 0);
}

// A dial error two seconds into the call: a tone, the notifier's box with no
// owner, the end of the program once it is closed. 680 also turns the run's
// result into the error box.
void DialErrors() {
    SetAdapter("IPMTU", REG_SZ, std::string("1500", 5));
    for (const wchar_t* script : {L"678@2000", L"680@2000"}) {
        bool noDialTone = wcsncmp(script, L"680", 3) == 0;
        Program p;
        if (!Launch(&p, script))
            continue;
        Click(Item(p.dialog, IDC_START));
        HWND box = CheckBox(p, Error, noDialTone ? L"Нет сигнала в линии." : L"Ошибка соединения.",
                            0, 1, false);
        CHECK_NEAR(At("notify", 0), Last(Calls(BEEP)));
        CHECK(Modem("hangup", 0, "by") == "notifier");
        if (noDialTone) {
            HWND result = CheckBox(p, Error, Failed, 1, 1, true, box);
            Click(Item(result, IDOK)); // on top, but the notifier's box keeps the keyboard
            CHECK(WaitUntil([&] { return LooksIdle(p); }));
        }
        Click(Item(box, IDOK));
        CHECK(ExitCode(p) == 0);
    }
}

// Runs that fail, each started while an About dialog is open; the ways of
// closing About; Close while it is open; then the texts as Windows 98 shows
// them, through the ANSI calls with code page 1251.
void CheckFailsAndAbout() {
    SetAdapter();
    Program p;
    if (!Launch(&p, L""))
        return;
    HWND about = OpenAbout(p, 1);
    // No adapter key, no IPMTU, an IPMTU of 256 bytes, a parameter key that
    // cannot be written: the IPMTU after each.
    const char* names[] = {nullptr, "Other", "IPMTU", "IPMTU"};
    std::string after[] = {"", "", "3:" + std::string(256, 'x'), Mtu};
    for (size_t run = 0; run < 4; ++run) {
        SetAdapter(names[run], REG_BINARY, std::string(run == 2 ? 256 : 4, 'x'));
        if (run == 3)
            LockParameterKey();
        RunIntoFailure(p, run + 1);
        CHECK(Value(AdapterKey, "IPMTU") == after[run] && Value(ParameterKey, nullptr).empty());
    }
    for (auto keys : {std::initializer_list<WORD>{VK_RETURN}, {VK_ESCAPE}, {VK_MENU, VK_F4}}) {
        Press(OpenAbout(p, 2), keys);
        CHECK(WaitUntil([&] { return Windows(p, About).size() == 1; }));
    }
    Click(Item(p.dialog, IDC_CLOSE)); // its loop ends once the About loop within it has
    Click(Item(about, IDC_ABOUT_OK));
    CHECK(ExitCode(p) == 0);
    PretendWindows98();
    CheckTexts();
}

// Code page 1252: the texts through the wide calls; as Windows 98, whose
// wide calls are stubs, through the ANSI ones, each letter a "?".
void English() {
    CHECK(GetACP() == 1252);
    CheckTexts();
    PretendWindows98();
    Program p;
    if (!Launch(&p, L""))
        return;
    CHECK_TEXT(L"????????? ??????? ???????????", Text(p.dialog));
    Press(p.dialog, {VK_MENU, VK_F4});
    CHECK(ExitCode(p) == 0);
}

} // namespace

int main(int argc, char** argv) {
    const char* names[] = {"success", "dial_errors", "check_and_about", "english"};
    void (*scenarios[])() = {Success, DialErrors, CheckFailsAndAbout, English};
    for (int i = 0; i < 4; ++i)
        if (argc == 2 && strcmp(argv[1], names[i]) == 0) {
            scenarios[i]();
            printf("%s %s: %d failed checks\n", Failures ? "FAIL" : "PASS", argv[1], Failures);
            return Failures != 0;
        }
    printf("usage: e2e-driver success|dial_errors|check_and_about|english\n");
    return 2;
}
