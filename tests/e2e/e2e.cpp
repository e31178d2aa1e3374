// The user of the release under Wine: reads its windows, the screen, the
// registry, the modem's log and Wine's trace of the program's calls; clicks
// and types through the input queue. Usage: e2e-driver <scenario>.
#include <windows.h>

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
PROCESS_INFORMATION Program; // the netopt.exe under test, and its main dialog
HWND Dialog;
const std::string AdapterKey = "System\\CurrentControlSet\\Services\\Class\\Net\\0000",
                  NdiKey = AdapterKey + "\\Ndi", ParameterKey = NdiKey + "\\params\\IPMTU";

#define CHECK(condition) ((condition) ? (void)0 : Fail(__LINE__, #condition))
void Fail(int line, const std::string& what) {
    printf("FAIL line %d: %s\n", line, what.c_str());
    fflush(stdout);
    ++Failures;
}

#define CHECK_TEXT(expected, actual) CheckText(__LINE__, expected, actual)
void CheckText(int line, const std::wstring& expected, const std::wstring& actual) {
    if (expected == actual)
        return;
    std::wstring what = L"expected \"" + expected + L"\", got \"" + actual + L"\"";
    char utf8[4096] = "";
    WideCharToMultiByte(CP_UTF8, 0, what.c_str(), -1, utf8, sizeof utf8 - 1, nullptr, nullptr);
    Fail(line, utf8);
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

std::string ReadAll(const std::wstring& path) {
    std::ostringstream text;
    text << std::ifstream(path.c_str(), std::ios::binary).rdbuf();
    return text.str();
}

// A Windows or a Unix program, named in full: nothing is appended to its name.
bool Spawn(const std::wstring& program, std::wstring commandLine, PROCESS_INFORMATION* process) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, process);
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
        if (GetWindowThreadProcessId(window, &process) && process == Program.dwProcessId &&
            IsWindowVisible(window) && (caption.empty() || Text(window) == caption) &&
            window != leftOut)
            found.push_back(window);
    return found;
}

HWND WaitWindow(const std::wstring& caption, HWND leftOut = nullptr) {
    std::vector<HWND> found;
    WaitUntil([&] { return !(found = Windows(caption, leftOut)).empty(); }, 30000);
    return found.empty() ? nullptr : found[0];
}

void Mouse(DWORD flags, LONG x = 0, LONG y = 0) {
    INPUT input{INPUT_MOUSE,
                {{x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1),
                  y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1), 0, flags, 0, 0}}};
    SendInput(1, &input, sizeof input);
}

// The pointer rests in a corner, before the program starts and after each
// click, lest X report a window appearing under it as a move between a move
// and a press, which lifts the button without a click.
void ParkPointer() {
    Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, GetSystemMetrics(SM_CXSCREEN) - 1,
          GetSystemMetrics(SM_CYSCREEN) - 1);
}

// Starts netopt.exe with these modem errors and waits for its main dialog.
bool Launch(const wchar_t* modemErrors = L"") {
    SetEnvironmentVariableW(L"NETOPT_MODEM_ERRORS", modemErrors);
    ParkPointer();
    if (Spawn(_wgetenv(L"NETOPT_EXE"), L"netopt.exe", &Program) && (Dialog = WaitWindow(L"")))
        return true;
    Fail(__LINE__, "netopt.exe did not start");
    return false;
}

bool EndedWithZero() {
    DWORD code = 1;
    return WaitForSingleObject(Program.hProcess, 10000) == WAIT_OBJECT_0 &&
           GetExitCodeProcess(Program.hProcess, &code) && code == 0;
}

HWND Focus() {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(Program.dwThreadId, &info);
    return info.hwndFocus;
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

// Near the left end, which no centred box covers; again if a late focus
// report from X cancelled the press.
void Click(HWND button) {
    RECT rect{};
    bool pushed = false;
    auto Pushed = [&] { return (Ask(button, BM_GETSTATE) & BST_PUSHED) != 0; };
    for (int attempt = 0; attempt < 3 && !pushed && GetWindowRect(button, &rect); ++attempt) {
        Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, rect.left + 6, (rect.top + rect.bottom) / 2);
        Mouse(MOUSEEVENTF_LEFTDOWN);
        if (WaitUntil(Pushed, 1000)) {
            Sleep(100);
            pushed = Pushed();
        }
        Mouse(MOUSEEVENTF_LEFTUP);
        ParkPointer();
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
        for (WORD key : keys) {
            INPUT press{INPUT_KEYBOARD, {}};
            press.ki = {key, 0, up, 0, 0};
            input.push_back(press);
        }
    std::reverse(input.begin() + keys.size(), input.end());
    SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

// The last blue pixel of the bar's middle row on screen, in percent.
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

// With NETOPT_SNAPSHOTS set, ImageMagick's picture of the screen's windows;
// Wine cannot wait for a Unix process, but for its picture.
void Snapshot(const wchar_t* name) {
    const wchar_t* folder = _wgetenv(L"NETOPT_SNAPSHOTS");
    if (!folder)
        return;
    std::wstring png = std::wstring(folder) + L"/" + name + L".png";
    DeleteFileW(png.c_str());
    PROCESS_INFORMATION process;
    if (Spawn(L"Z:\\usr\\bin\\import", L"import -window root -trim " + png.substr(2), &process))
        WaitUntil([&] { return GetFileAttributesW(png.c_str()) != INVALID_FILE_ATTRIBUTES; });
}

// Removes the adapter key; given a value name, makes it again with that value.
void SetAdapter(const char* name = nullptr, DWORD type = REG_SZ, const std::string& data = "") {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, AdapterKey.c_str());
    if (name)
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, AdapterKey.c_str(), name, type, data.data(),
                        static_cast<DWORD>(data.size()));
}

// "<type>:<data>", or "" when the value is missing.
std::string Value(const std::string& key, const char* name) {
    char data[1024];
    DWORD type = 0, size = sizeof data;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, data,
                     &size))
        return "";
    return std::to_string(type) + ":" + std::string(data, size);
}

// A volatile key can have no lasting subkey: the parameter key cannot be made.
void BlockParameterKey() {
    HKEY key;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, NdiKey.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                    KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegCloseKey(key);
}

// The words of the index-th "<tick count> <kind> ..." line in the modem's log.
std::vector<std::string> Modem(const char* kind, size_t index) {
    std::istringstream log(ReadAll(L"modem.log"));
    for (std::string line; std::getline(log, line);) {
        std::istringstream split(line);
        std::vector<std::string> words{std::istream_iterator<std::string>(split), {}};
        if (words.size() > 1 && words[1] == kind && index-- == 0) {
            words.resize(5);
            return words;
        }
    }
    return std::vector<std::string>(5);
}

long long At(const char* kind, size_t index) {
    return atoll(Modem(kind, index)[0].c_str());
}

// The moments of the program's calls in this scenario, after a 0 for none,
// from Wine's trace: "<seconds>.<ms>:<thread>:Call <dll>.<function>(<args>)".
std::vector<long long> Calls(const char* function, const char* arguments) {
    std::istringstream trace(ReadAll(L"trace.log"));
    std::vector<long long> times{0};
    for (std::string line; std::getline(trace, line);) {
        size_t call = line.find(":Call ");
        if (call != std::string::npos && line.compare(call + 6, strlen(function), function) == 0 &&
            line.find(arguments, call) != std::string::npos)
            times.push_back(static_cast<long long>(std::stod(line) * 1000 + 0.5));
    }
    return times;
}

// The sounds; the stages (WM_SETTEXT to 20); the boxes, system-modal with
// their icon; the MTU's writes of 4 bytes, "576" and its terminating zero,
// which Windows would count if the program forgot it: what it says it writes.
#define MESSAGE_BEEP "user32.MessageBeep", "(00000000)"
#define BEEP "KERNEL32.Beep", "(000003e8,000003e8)"
#define STAGE "user32.SendDlgItemMessage", ",00000014,0000000c,"
#define MTU_WRITE "kernelbase.RegSetValueExA", ",00000004) "
#define BOX(icon) "user32.MessageBox", (icon) == Error ? ",00001010)" : ",00001040)"

const wchar_t About[] = L"О программе", Error[] = L"Ошибка", Result[] = L"Результат оптимизации";
const wchar_t Failed[] = L"Ошибка. Оптимизация не возможна.";
const std::string Mtu = "1:" + std::string("576", 4); // REG_SZ
// The dial record in hex, but for its last three bytes, padding left unset.
const std::string Digits = "31323334353637383930",
                  Record = "1c040000" + std::string(514, '0') + Digits + Digits + Digits + Digits +
                           Digits + Digits + Digits + std::string(1404, '0') + "2a" +
                           std::string(30, '0');

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

// A box, the sounds so far, whether it disables its owner.
HWND CheckBox(const wchar_t* caption, const wchar_t* text, size_t messageBeeps, size_t beeps,
              bool owned, HWND leftOut = nullptr) {
    HWND box = WaitWindow(caption, leftOut);
    CHECK_TEXT(caption + std::wstring(L"|") + text, Text(box) + L"|" + StaticTexts(box));
    CHECK(Calls(BOX(caption)).size() > 1 && Calls(MESSAGE_BEEP).size() == messageBeeps + 1 &&
          Calls(BEEP).size() == beeps + 1);
    CHECK(WaitUntil([&] { return IsWindowEnabled(Dialog) != owned; }));
    return box;
}

// Whether About's icon is on screen: its pure blue, which nothing around it
// shows, whatever lay under About before it was painted.
bool ShowsIcon(HWND about) {
    RECT rect{};
    GetWindowRect(GetDlgItem(about, IDC_ABOUT_ICON), &rect);
    HDC screen = GetDC(nullptr);
    int blue = 0;
    for (int y = rect.top; y < rect.bottom; y += 2)
        for (int x = rect.left; x < rect.right; x += 2)
            if (GetPixel(screen, x, y) == RGB(0, 0, 255))
                ++blue;
    ReleaseDC(nullptr, screen);
    return blue >= 5;
}

// Opens the count-th About dialog, which has no owner to disable.
HWND OpenAbout(size_t count) {
    Click(Item(IDC_ABOUT));
    CHECK(WaitUntil([&] { return Windows(About).size() == count; }));
    HWND about = WaitWindow(About);
    CHECK_TEXT(L"Программа сетевой|оптимизации V 1.2|Команда netopt|www.example.org|"
               L"E-mail: netopt@example.org|ok",
               StaticTexts(about) + L"|" + Text(GetDlgItem(about, IDC_ABOUT_OK)));
    CHECK((GetWindowLongW(about, GWL_EXSTYLE) & WS_EX_TOPMOST) && IsWindowEnabled(Dialog) &&
          WaitUntil([&] { return ShowsIcon(about); }));
    return about;
}

// Follows the ten stages a second apart, but two before stage 2; returns
// the moments of stages 2 and 10.
std::pair<long long, long long> RunStages() {
    Click(Item(IDC_START));
    long long at[11] = {};
    for (int stage = 1; stage <= 10; ++stage) {
        std::wstring status = L"Оптимизация " + std::to_wstring(10 * stage) + L"%";
        CHECK(WaitUntil([&] { return Text(Item(IDC_STATUS)) == status; }));
        at[stage] = Calls(STAGE).back();
        CHECK(WaitUntil([&] { return BarMatchesStatus(true); }, 800) &&
              !IsWindowEnabled(Item(IDC_GROUP)));
        if (stage > 1)
            CHECK_NEAR(at[stage - 1] + (stage == 2 ? 2000 : 1000), at[stage]);
        printf("  stage %d at %lld ms\n", stage, at[stage] - at[1]);
        if (stage == 5)
            Snapshot(L"running");
    }
    return {at[2], at[10]};
}

// A run whose check or write fails: the box a second after stage 1.
void RunIntoFailure(size_t messageBeeps) {
    Click(Item(IDC_START));
    HWND box = CheckBox(Error, Failed, messageBeeps, 0, true);
    CHECK_NEAR(Calls(STAGE).back() + 1000, Calls(MESSAGE_BEEP).back());
    CHECK(Text(Item(IDC_STATUS)) == L"Оптимизация 10%" &&
          WaitUntil([&] { return BarMatchesStatus(); }) && Modem("dial", 0)[0].empty());
    Press(box, {VK_RETURN});
    CHECK(WaitUntil(LooksIdle));
}

// The main dialog's texts, the information text's 610 bytes and no more,
// converted right; keys that do nothing.
void CheckMainDialog() {
    CHECK_TEXT(L"Программа сетевой оптимизации|Начать оптимизацию|Закрыть|О программе",
               Text(Dialog) + L"|" + Text(Item(IDC_START)) + L"|" + Text(Item(IDC_CLOSE)) + L"|" +
                   Text(Item(IDC_ABOUT)));
    Ask(Item(IDC_INFO), WM_CHAR, 'x'); // typed into the notice, which is read-only
    wchar_t text[2048];
    std::wstring info(text, Ask(Item(IDC_INFO), WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text)));
    CHECK_TEXT(L"ВНИМАНИЕ!!! ПЕРЕД ЗАПУСКОМ \r\n|об этом.\r\n\r\n\r\n|610",
               info.substr(0, 29) + L"|" + info.substr(info.size() - 14) + L"|" +
                   std::to_wstring(info.size()));
    CHECK(WaitUntil(LooksIdle));
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
        std::pair<long long, long long> at = RunStages();
        HWND box = CheckBox(Result, L"Оптимизация выполнена.", run, 0, true);
        CHECK_NEAR(at.second + 3000, Calls(MESSAGE_BEEP).back()); // the wait after the hang-up
        CHECK(WaitUntil([&] { return BarMatchesStatus(); }) && Windows(Error).empty() &&
              Value(AdapterKey, "IPMTU") == Mtu && Value(ParameterKey, nullptr) == Mtu &&
              Calls(MTU_WRITE).size() == 2 * run + 1);
        std::vector<std::string> dial = Modem("dial", run - 1);
        CHECK(dial[3] == "0,0,0,0" && dial[4].size() == 2 * 1052 &&
              dial[4].compare(0, Record.size(), Record) == 0);
        CHECK_NEAR(at.first, At("dial", run - 1));
        CHECK_NEAR(at.second, At("hangup", 2 * run - 2));
        Snapshot(L"result");
        Press(box, {VK_RETURN});
        CHECK(WaitUntil(LooksIdle));
    }
    const char* hangUps[] = {"program", "notifier", "program"}; // of calls 1, 2 and 2
    for (size_t i = 0; i < 3; ++i)
        CHECK(Modem("hangup", i)[3] == hangUps[i] &&
              Modem("hangup", i)[2] == Modem("dial", i > 0)[2]);
    Press(Dialog, {VK_MENU, VK_F4});
    CHECK(EndedWithZero());
}

// Dial errors, each in a launch of its own: a tone and the notifier's box,
// which leaves the main dialog enabled; the run's result box, an error only
// after "no dial tone"; the end of the program once the notifier's box is closed.
void DialErrors() {
    struct {
        const wchar_t *error, *text, *result, *resultText;
    } const errors[] = {
        {L"680", L"Нет сигнала в линии.", Error, Failed},
        {L"678", L"Ошибка соединения.", Result, L"Оптимизация выполнена."},
    };
    SetAdapter("IPMTU", REG_SZ, std::string("1500", 5));
    for (size_t i = 0; i < 2 && Launch(errors[i].error); ++i) {
        printf("  error %ls\n", errors[i].error);
        Click(Item(IDC_START));
        HWND box = CheckBox(Error, errors[i].text, i, i + 1, false);
        CHECK_NEAR(At("notify", i), Calls(BEEP).back());
        CHECK(Modem("hangup", 2 * i)[3] == "notifier");
        HWND result = CheckBox(errors[i].result, errors[i].resultText, i + 1, i + 1, true, box);
        Click(GetDlgItem(result, IDOK)); // on top, but the notifier's box keeps the keyboard
        CHECK(WaitUntil(LooksIdle));
        Click(GetDlgItem(box, IDOK));
        CHECK(EndedWithZero());
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
    std::string after[] = {"", "", "3:" + std::string(256, 'x'), Mtu};
    for (size_t run = 0; run < 4; ++run) {
        SetAdapter(names[run], REG_BINARY, std::string(run == 2 ? 256 : 4, 'x'));
        if (run == 3)
            BlockParameterKey();
        RunIntoFailure(run + 1);
        CHECK(Value(AdapterKey, "IPMTU") == after[run] && Value(ParameterKey, nullptr).empty());
    }
    Press(OpenAbout(2), {VK_ESCAPE});
    CHECK(WaitUntil([&] { return Windows(About).size() == 1; }));
    Click(Item(IDC_CLOSE)); // its loop ends once the About loop within it has
    Click(GetDlgItem(about, IDC_ABOUT_OK));
    CHECK(EndedWithZero());
}

} // namespace

int main(int argc, char** argv) {
    std::string name = argc == 2 ? argv[1] : "";
    void (*scenario)() = name == "success"           ? Success
                         : name == "dial_errors"     ? DialErrors
                         : name == "check_and_about" ? CheckFailsAndAbout
                                                     : nullptr;
    if (!scenario) {
        printf("usage: e2e-driver success|dial_errors|check_and_about\n");
        return 2;
    }
    scenario();
    printf("%s %s: %d failed checks\n", Failures ? "FAIL" : "PASS", argv[1], Failures);
    return Failures != 0;
}
