// The end-to-end driver: starts the real netopt.exe under Wine, finds its
// windows, reads what a user would see, clicks and types, and checks the
// registry and the simulated modem's log.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The demo that ./run shows without a display, and the benchmark.
void Demo();
void Benchmark();

// ---- checks: print the expected and the actual value, count failures
extern int Failures;
void Fail(const char* file, int line, const std::string& message);
std::string Utf8(const std::wstring& text);
#define CHECK(condition)                                                                           \
    do {                                                                                           \
        if (!(condition))                                                                          \
            Fail(__FILE__, __LINE__, #condition);                                                  \
    } while (0)
#define CHECK_TEXT(expected, actual)                                                               \
    do {                                                                                           \
        std::wstring e_ = (expected), a_ = (actual);                                               \
        if (e_ != a_)                                                                              \
            Fail(__FILE__, __LINE__, "expected \"" + Utf8(e_) + "\", got \"" + Utf8(a_) + "\"");   \
    } while (0)
#define CHECK_NEAR_MS(expected, actual, tolerance)                                                 \
    do {                                                                                           \
        long long e_ = (expected), a_ = (actual);                                                  \
        if (a_ < e_ - (tolerance) || a_ > e_ + (tolerance))                                        \
            Fail(__FILE__, __LINE__,                                                               \
                 "expected " + std::to_string(e_) + " ms, got " + std::to_string(a_) + " ms");     \
    } while (0)
void Note(const std::string& message);

// ---- time, in milliseconds since 1601, the simulated modem's clock too
long long NowMs();
void Pause(int milliseconds);

// ---- the program under test
struct Program {
    PROCESS_INFORMATION process{};
    HWND dialog = nullptr;
};
// The folder of the driver, netopt.exe and the simulated modem.
std::wstring BuildFolder();
// Starts an exe of that folder and waits for its dialog with this caption.
bool Start(Program* program, const std::wstring& exeName, const std::wstring& caption);
// Starts netopt.exe with this modem script ("" for a modem without errors)
// and waits for its main dialog.
bool Launch(Program* program, const std::wstring& modemScript);
// Waits for the process to end; its exit code, or -1 if it did not end.
long WaitForExit(Program* program, int timeoutMs);
void Kill(Program* program);

// Visible top-level windows of the process whose caption is caption.
std::vector<HWND> WindowsWithCaption(const Program& program, const std::wstring& caption);
// Polls for such a window until the deadline; null when none came.
HWND WaitForWindow(const Program& program, const std::wstring& caption, int timeoutMs);
// Polls until the control shows text; the time it did, or -1.
long long WaitForText(HWND control, const std::wstring& text, int timeoutMs);

std::wstring TextOf(HWND window);
// The whole text, through WM_GETTEXT: the dialog's thread must be pumping.
std::wstring FullTextOf(HWND window);
HWND Item(HWND dialog, int control);
int ProgressPosition(HWND dialog);
HWND FocusOf(const Program& program);
// The texts of a dialog's static text controls, in their template's order.
std::vector<std::wstring> StaticTexts(HWND dialog);
// The static control holds an icon, and the screen shows a coloured one.
bool ShowsIcon(HWND control);

// A message box as its user sees it.
struct Box {
    HWND window = nullptr;
    std::wstring caption, text;
    bool topmost = false;
    bool errorIcon = false, informationIcon = false;
};
Box ReadBox(HWND window);
void CloseBox(HWND window);

void Click(HWND dialog, int control);
void PressKey(const Program& program, WPARAM key);
void PressCloseBox(HWND dialog);
void SendCommand(HWND dialog, WPARAM wParam);

// ---- the idle look: status and bar hidden, group enabled, focus on Start
bool LooksIdle(const Program& program);

// ---- the registry under HKEY_LOCAL_MACHINE
extern const wchar_t AdapterKey[];
extern const wchar_t ParameterKey[];
void ClearAdapter();
// Wine tells netopt.exe (and it alone) that it runs on Windows 98.
void PretendWindows98(bool pretend);
void SetAdapterValue(const char* name, DWORD type, const std::string& data);
// False when the value is missing.
bool ReadValue(const wchar_t* key, const char* name, DWORD* type, std::string* data);

// ---- the simulated modem's log, in the temporary folder
std::wstring ModemLogPath();
struct ModemEvent {
    long long atMs = 0;
    std::string kind; // RasDialA, RasHangUpA, notify
    std::string line;
    std::string Field(const std::string& name) const;
};
std::vector<ModemEvent> ModemLog();
std::vector<ModemEvent> ModemEvents(const std::string& kind);
