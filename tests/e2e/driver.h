// The end-to-end driver's means of acting as the user of netopt.exe under
// Wine: it starts the program, reads its windows and the screen, clicks and
// types through the input queue, and reads the registry, the simulated
// modem's log and Wine's trace of the program's calls.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

extern int Failures;
extern const char AdapterKey[], ParameterKey[];
void Fail(int line, const std::string& what);
void CheckText(int line, const std::wstring& expected, const std::wstring& actual);
void CheckNear(int line, long long expectedMs, long long actualMs);
#define CHECK(condition) ((condition) ? (void)0 : Fail(__LINE__, #condition))
#define CHECK_TEXT(expected, actual) CheckText(__LINE__, expected, actual)
#define CHECK_NEAR(expectedMs, actualMs) CheckNear(__LINE__, expectedMs, actualMs)
bool WaitUntil(const std::function<bool()>& ready, int timeoutMs = 5000);

struct Program {
    PROCESS_INFORMATION process{};
    HWND dialog = nullptr;
};
bool Launch(Program* program, const wchar_t* modemScript);
long ExitCode(const Program& program); // -1 while it runs on after 10 s
// Visible top-level windows with the caption (any if ""), topmost first.
std::vector<HWND> Windows(const Program& program, const std::wstring& caption = L"");
HWND WaitWindow(const Program& program, const std::wstring& caption, HWND other = nullptr);
HWND Focus(const Program& program);
std::wstring Text(HWND window);
std::wstring EditText(HWND edit);      // its thread must be idle
std::wstring StaticTexts(HWND dialog); // joined by "|", icons left out
void Click(HWND button);
void Press(HWND window, std::initializer_list<WORD> keys);
int FilledPercent(HWND bar);
enum class Icon { None, Red, Blue };
Icon IconIn(HWND dialog);
void Snapshot(const char* name); // with NETOPT_SNAPSHOTS: <folder>/<name>.png

void SetAdapter(const char* name = nullptr, DWORD type = REG_SZ, const std::string& data = "");
std::string Value(const char* key, const char* name); // "<type>:<data>", "" if missing
void LockParameterKey();
void PretendWindows98();
// The modem's log lines of a kind since the launch, a field of one, and the
// moments of the program's calls from Wine's trace, by a part of the arguments.
std::vector<std::string> ModemLog(const char* kind);
std::string Field(const std::string& line, const char* name);
std::vector<long long> CallTimes(const char* function, const char* arguments);
