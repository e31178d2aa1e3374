// The driver's means: the program's process and windows, input, the screen,
// the registry and the logs, in the folders that run-scenario names.
#include "driver.h"

#include <sddl.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <fstream>
#include <sstream>

int Failures = 0;
const char AdapterKey[] = "System\\CurrentControlSet\\Services\\Class\\Net\\0000";
const char ParameterKey[] =
    "System\\CurrentControlSet\\Services\\Class\\Net\\0000\\Ndi\\params\\IPMTU";

namespace {

size_t TraceAtLaunch = 0;

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

// The screen's pixels in a rectangle, as 0xRRGGBB, row by row from the top.
std::vector<DWORD> Capture(const RECT& rect) {
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

std::string Utf8(const std::wstring& text) {
    std::string out(text.size() * 3, 0);
    out.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0],
                                   static_cast<int>(out.size()), nullptr, nullptr));
    return out;
}

bool IsRed(DWORD pixel) {
    return (pixel >> 16 & 255) > 150 && (pixel >> 8 & 255) < 100 && (pixel & 255) < 100;
}

bool IsBlue(DWORD pixel) {
    return (pixel & 255) > 150 && (pixel >> 16 & 255) < 120;
}

void Mouse(DWORD flags, LONG x = 0, LONG y = 0) {
    INPUT input{INPUT_MOUSE, {}};
    input.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

bool Spawn(std::wstring command, PROCESS_INFORMATION* process) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, process);
}

bool Pushed(HWND button) {
    DWORD_PTR state = 0;
    return SendMessageTimeoutW(button, BM_GETSTATE, 0, 0, SMTO_ABORTIFHUNG, 1000, &state) &&
           (state & BST_PUSHED);
}

} // namespace

void Fail(int line, const std::string& what) {
    printf("FAIL line %d: %s\n", line, what.c_str());
    fflush(stdout);
    ++Failures;
}

void CheckText(int line, const std::wstring& expected, const std::wstring& actual) {
    if (expected != actual)
        Fail(line, "expected \"" + Utf8(expected) + "\", got \"" + Utf8(actual) + "\"");
}

// Within 800 ms either way, also on a busy machine; a wait of a second too
// many or too few is out.
void CheckNear(int line, long long expectedMs, long long actualMs) {
    if (actualMs < expectedMs - 800 || actualMs > expectedMs + 800)
        Fail(line, std::to_string(actualMs - expectedMs) + " ms off the schedule");
}

bool WaitUntil(const std::function<bool()>& ready, int timeoutMs) {
    for (ULONGLONG deadline = GetTickCount64() + timeoutMs; !ready(); Sleep(20))
        if (GetTickCount64() > deadline)
            return false;
    return true;
}

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

std::vector<HWND> Windows(const Program& program, const std::wstring& caption) {
    std::vector<HWND> found;
    DWORD process;
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT))
        if (GetWindowThreadProcessId(window, &process) && process == program.process.dwProcessId &&
            IsWindowVisible(window) && (caption.empty() || Text(window) == caption))
            found.push_back(window);
    return found;
}

HWND WaitWindow(const Program& program, const std::wstring& caption, HWND other) {
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

HWND Focus(const Program& program) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(program.process.dwThreadId, &info);
    return info.hwndFocus;
}

// Window texts live in Wine's server: readable while the program is busy.
std::wstring Text(HWND window) {
    wchar_t text[256];
    return std::wstring(text, std::max(GetWindowTextW(window, text, 256), 0));
}

std::wstring EditText(HWND edit) {
    wchar_t text[2048];
    DWORD_PTR length = 0;
    SendMessageTimeoutW(edit, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        5000, &length);
    return std::wstring(text, length);
}

std::wstring StaticTexts(HWND dialog) {
    std::wstring texts;
    wchar_t kind[16];
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetClassNameW(child, kind, 16) && lstrcmpiW(kind, L"Static") == 0 &&
            (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
            texts += (texts.empty() ? L"" : L"|") + Text(child);
    return texts;
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

int FilledPercent(HWND bar) {
    RECT rect;
    GetClientRect(bar, &rect);
    MapWindowPoints(bar, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    rect.top = (rect.top + rect.bottom) / 2, rect.bottom = rect.top + 1;
    std::vector<DWORD> row = Capture(rect);
    auto last = std::find_if(row.rbegin(), row.rend(), IsBlue);
    return row.empty() ? -1 : static_cast<int>((row.rend() - last) * 100 / row.size());
}

Icon IconIn(HWND dialog) {
    HWND icon = GetWindow(dialog, GW_CHILD);
    while (icon && (GetWindowLongW(icon, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
        icon = GetWindow(icon, GW_HWNDNEXT);
    RECT rect;
    int red = 0, blue = 0;
    for (DWORD pixel : icon&& GetWindowRect(icon, &rect) ? Capture(rect) : std::vector<DWORD>())
        red += IsRed(pixel), blue += IsBlue(pixel);
    if (red > 50 && red > 4 * blue)
        return Icon::Red;
    return blue > 20 && blue > 4 * red ? Icon::Blue : Icon::None;
}

// ImageMagick's picture of the screen, cut to the windows on it.
void Snapshot(const char* name) {
    std::wstring png =
        Setting(L"NETOPT_SNAPSHOTS") + L"/" + std::wstring(name, name + strlen(name));
    png += L".png";
    PROCESS_INFORMATION process; // Wine cannot wait for a Unix process: for its picture, then
    if (png[0] != L'/' && (DeleteFileW(png.c_str()) || true) &&
        Spawn(L"Z:\\usr\\bin\\import -window root -trim " + png.substr(2), &process))
        WaitUntil([&] { return GetFileAttributesW(png.c_str()) != INVALID_FILE_ATTRIBUTES; });
}

void SetAdapter(const char* name, DWORD type, const std::string& data) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, AdapterKey);
    if (name)
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, AdapterKey, name, type, data.data(),
                        static_cast<DWORD>(data.size()));
}

std::string Value(const char* key, const char* name) {
    char data[1024];
    DWORD type = 0, size = sizeof data;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, key, name, RRF_RT_ANY | RRF_NOEXPAND, &type, data, &size))
        return "";
    return std::to_string(type) + ":" + std::string(data, size);
}

void LockParameterKey() {
    HKEY key;
    PSECURITY_DESCRIPTOR readOnly; // everyone may read, nobody more
    ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)", SDDL_REVISION_1,
                                                         &readOnly, nullptr);
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, ParameterKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, readOnly);
    RegCloseKey(key);
}

void PretendWindows98() {
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\netopt.exe", L"Version",
                    REG_SZ, L"win98", sizeof L"win98");
}

// Lines read "<tick count> <kind> <name>=<value> ...".
std::vector<std::string> ModemLog(const char* kind) {
    std::istringstream log(ReadAll(Setting(L"NETOPT_MODEM_LOG")));
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);)
        if (line.find(std::string(" ") + kind + " ") != std::string::npos)
            lines.push_back(line);
    return lines;
}

std::string Field(const std::string& line, const char* name) {
    size_t at = line.find(std::string(" ") + name + "=");
    at = at == std::string::npos ? line.size() : at + strlen(name) + 2;
    return line.substr(at, line.find(' ', at) - at);
}

// Lines read "<seconds>.<ms>:<thread>:Call <dll>.<function>(<arguments>) ...".
std::vector<long long> CallTimes(const char* function, const char* arguments) {
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
