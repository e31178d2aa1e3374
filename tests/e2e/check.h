// The checks and how they report: each failure names the step of the scenario that failed,
// what it expected and what it saw.
#pragma once

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <functional>
#include <source_location>
#include <string>
#include <type_traits>

namespace {

// A check's place: a helper passes on its caller's, so that failures name the step.
using Where = std::source_location;

int Failures = 0;
std::string Row; // the table row under way, which failures name

// Reports a failed check.
void Fail(const Where& at, const std::string& what) {
    std::string file = at.file_name();
    printf("FAIL %s:%u%s: %s\n", file.substr(file.find_last_of("/\\") + 1).c_str(),
           static_cast<unsigned>(at.line()), Row.empty() ? "" : (" (" + Row + ")").c_str(),
           what.c_str());
    fflush(stdout);
    ++Failures;
    if (getenv("NETOPT_STOP_AT_FAIL")) // as the mutation check asks: the first failure is enough
        exit(1);
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
// The text around a byte, on one line: 60 bytes from 20 before it, in whole UTF-8 characters.
std::string Around(const std::string& text, size_t at) {
    size_t from = at - std::min<size_t>(at, 20), to = std::min(text.size(), from + 60);
    while (from > 0 && (text[from] & 0xC0) == 0x80)
        --from;
    while (to < text.size() && (text[to] & 0xC0) == 0x80)
        --to;
    std::string s =
        (from ? "…" : "") + text.substr(from, to - from) + (to < text.size() ? "…" : "");
    for (size_t end; (end = s.find_first_of("\r\n")) != std::string::npos;)
        s.replace(end, 1, s[end] == '\r' ? "\\r" : "\\n");
    return s;
}

// A failure names the byte where the two first differ, and shows each around it.
void CheckEq(const std::string& expected, const std::string& actual, const char* what,
             const Where& at = Where::current()) {
    size_t differ =
        std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end()).first -
        expected.begin();
    if (expected != actual)
        Fail(at, std::string(what) + " differs at byte " + Str(differ) + ": expected \"" +
                     Around(expected, differ) + "\", got \"" + Around(actual, differ) + "\"");
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

// A step of the schedule (0: none in the logs) comes its wait after the step before: no sooner (a
// sleep never ends early) but for the 16 ms ticks, and no later than a busy machine may make it.
const long long TickMs = 16, LateMs = 800;
void CheckWait(long long fromMs, long long waitMs, long long toMs,
               const Where& at = Where::current(), long long lateMs = LateMs) {
    std::string got = !toMs ? "no step" : !fromMs ? "no step before" : Str(toMs - fromMs);
    if (!fromMs || !toMs || toMs - fromMs < waitMs - TickMs || toMs - fromMs > waitMs + lateMs)
        Fail(at, "expected " + Str(waitMs - TickMs) + " to " + Str(waitMs + lateMs) +
                     " ms after the step before, got " + got);
}

} // namespace
