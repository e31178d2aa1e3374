// The driver's means: processes, windows, input, the registry, the modem log.
#include "driver.h"

#include <commctrl.h>
#include <stdio.h>

#include "../../resources/resource.h"

int Failures = 0;

namespace {

const int PollMs = 20;
const int LaunchTimeoutMs = 20000;
const int SendTimeoutMs = 3000;
const wchar_t MainCaption[] = L"Программа сетевой оптимизации";

std::wstring Folder() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

struct Search {
    DWORD processId;
    const std::wstring* caption;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
    Search* search = reinterpret_cast<Search*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == search->processId && IsWindowVisible(window) &&
        TextOf(window) == *search->caption)
        search->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM parameter) {
    reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(window);
    return TRUE;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64];
    int length = GetClassNameW(window, name, 64);
    return std::wstring(name, length > 0 ? length : 0);
}

// Counts the strongly red and strongly blue pixels of a window on screen:
// the error icon is a red disc, the information icon a blue one.
void CountIconColours(HWND icon, int* red, int* blue) {
    RECT rect;
    GetWindowRect(icon, &rect);
    HDC screen = GetDC(nullptr);
    *red = *blue = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x) {
            COLORREF c = GetPixel(screen, x, y);
            int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
            if (r > 150 && g < 100 && b < 100)
                ++*red;
            if (b > 150 && r < 120)
                ++*blue;
        }
    ReleaseDC(nullptr, screen);
}

} // namespace

std::wstring ModemLogPath() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"netopt-modem.log";
}

void Fail(const char* file, int line, const std::string& message) {
    const char* name = strrchr(file, '/');
    printf("FAIL %s:%d: %s\n", name ? name + 1 : file, line, message.c_str());
    fflush(stdout);
    ++Failures;
}

void Note(const std::string& message) {
    printf("  %s\n", message.c_str());
    fflush(stdout);
}

std::string Utf8(const std::wstring& text) {
    if (text.empty())
        return "";
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0, nullptr,
                                   nullptr);
    std::string out(size, 0);
    WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), &out[0], size, nullptr, nullptr);
    return out;
}

long long NowMs() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    return (long long)(t.QuadPart / 10000);
}

void Pause(int milliseconds) {
    Sleep(milliseconds);
}

std::wstring BuildFolder() {
    return Folder();
}

bool Start(Program* program, const std::wstring& exeName, const std::wstring& caption) {
    std::wstring exe = Folder() + exeName;
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &program->process)) {
        Fail(__FILE__, __LINE__, Utf8(exeName) + " did not start");
        return false;
    }
    program->dialog = WaitForWindow(*program, caption, LaunchTimeoutMs);
    if (program->dialog == nullptr) {
        Fail(__FILE__, __LINE__, "the dialog of " + Utf8(exeName) + " did not appear");
        return false;
    }
    return true;
}

bool Launch(Program* program, const std::wstring& modemScript) {
    SetEnvironmentVariableW(L"NETOPT_MODEM_SCRIPT", modemScript.c_str());
    SetEnvironmentVariableW(L"NETOPT_MODEM_LOG", ModemLogPath().c_str());
    DeleteFileW(ModemLogPath().c_str());
    return Start(program, L"netopt.exe", MainCaption);
}

long WaitForExit(Program* program, int timeoutMs) {
    if (WaitForSingleObject(program->process.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(program->process.hProcess, &code);
    return (long)code;
}

void Kill(Program* program) {
    if (program->process.hProcess != nullptr &&
        WaitForSingleObject(program->process.hProcess, 0) != WAIT_OBJECT_0)
        TerminateProcess(program->process.hProcess, 99);
}

std::vector<HWND> WindowsWithCaption(const Program& program, const std::wstring& caption) {
    Search search{program.process.dwProcessId, &caption, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(const Program& program, const std::wstring& caption, int timeoutMs) {
    long long deadline = NowMs() + timeoutMs;
    do {
        std::vector<HWND> found = WindowsWithCaption(program, caption);
        if (!found.empty())
            return found[0];
        Sleep(PollMs);
    } while (NowMs() < deadline);
    return nullptr;
}

long long WaitForText(HWND control, const std::wstring& text, int timeoutMs) {
    long long deadline = NowMs() + timeoutMs;
    do {
        if (TextOf(control) == text)
            return NowMs();
        Sleep(PollMs / 2);
    } while (NowMs() < deadline);
    return -1;
}

// Window texts live in Wine's server: readable while the owner is busy.
std::wstring TextOf(HWND window) {
    wchar_t text[1024];
    int length = GetWindowTextW(window, text, 1024);
    return std::wstring(text, length > 0 ? length : 0);
}

std::wstring FullTextOf(HWND window) {
    wchar_t text[4096];
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, SendTimeoutMs, &length))
        return L"<no answer>";
    return std::wstring(text, length);
}

HWND Item(HWND dialog, int control) {
    return GetDlgItem(dialog, control);
}

int ProgressPosition(HWND dialog) {
    DWORD_PTR position = 0;
    if (!SendMessageTimeoutW(Item(dialog, IDC_PROGRESS), PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG,
                             SendTimeoutMs, &position))
        return -1;
    return (int)position;
}

HWND FocusOf(const Program& program) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(program.process.dwThreadId, &info))
        return nullptr;
    return info.hwndFocus;
}

std::vector<std::wstring> StaticTexts(HWND dialog) {
    std::vector<HWND> children;
    EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&children));
    std::vector<std::wstring> texts;
    for (HWND child : children)
        if (ClassOf(child) == L"Static" &&
            (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
            texts.push_back(TextOf(child));
    return texts;
}

bool ShowsIcon(HWND control) {
    DWORD_PTR icon = 0;
    if (!SendMessageTimeoutW(control, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, SendTimeoutMs, &icon) ||
        icon == 0)
        return false;
    int red, blue;
    CountIconColours(control, &red, &blue);
    return blue > 20;
}

Box ReadBox(HWND window) {
    Box box;
    box.window = window;
    box.caption = TextOf(window);
    box.topmost = (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    std::vector<HWND> children;
    EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        if (ClassOf(child) != L"Static")
            continue;
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            int red, blue;
            CountIconColours(child, &red, &blue);
            box.errorIcon = red > 50 && red > 4 * blue;
            box.informationIcon = blue > 50 && blue > 4 * red;
        } else if (!TextOf(child).empty()) {
            box.text = TextOf(child);
        }
    }
    return box;
}

void CloseBox(HWND window) {
    PostMessageW(window, WM_COMMAND, IDOK, 0);
}

// BM_CLICK presses and releases the button as the mouse would.
void Click(HWND dialog, int control) {
    PostMessageW(Item(dialog, control), BM_CLICK, 0, 0);
}

// A key press goes to the focused control through the dialog's own loop.
void PressKey(const Program& program, WPARAM key) {
    HWND target = FocusOf(program);
    if (target == nullptr)
        target = program.dialog;
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

void PressCloseBox(HWND dialog) {
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void SendCommand(HWND dialog, WPARAM wParam) {
    PostMessageW(dialog, WM_COMMAND, wParam, 0);
}

bool LooksIdle(const Program& program) {
    HWND dialog = program.dialog;
    return !IsWindowVisible(Item(dialog, IDC_STATUS)) &&
           !IsWindowVisible(Item(dialog, IDC_PROGRESS)) &&
           IsWindowEnabled(Item(dialog, IDC_GROUP)) && FocusOf(program) == Item(dialog, IDC_START);
}
