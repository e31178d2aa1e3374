// A stand-in for the dial-up networking service (rasapi32.dll), built for
// i686 and put beside netopt.exe: Wine's own RasDialA never calls the
// notifier. It stores a handle, returns at once and calls the notifier from
// a thread of its own, as NETOPT_MODEM_SCRIPT says: a part for each dial,
// split by "|" (the last part serves the later dials), each a list of
// "error@milliseconds" split by ";"; an empty part is a modem that dials
// without error. So "680@2000" is error 680 two seconds into each dial, and
// "|631@2000" a good first dial and error 631 in the second.
// A line for each call goes to the file NETOPT_MODEM_LOG names (the dial's
// when the modem reads the record, a moment after RasDialA has returned):
//   <tick count> dial handle=<n> args=<extensions>,<phone book>,<type> record=<hex>
//   <tick count> notify error=<e>
//   <tick count> hangup handle=<n> by=program|notifier
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef void(WINAPI* RasDialFunc)(UINT message, int state, DWORD error);

namespace {

struct Dial {
    RasDialFunc notifier;
    const BYTE* params;
    DWORD started;
    char script[256], line[4300];
};

DWORD ProgramThread;
LONG Dials;

// One appending write a line keeps the lines of two threads apart.
void Log(const char* line) {
    char path[MAX_PATH], stamped[4400];
    DWORD size = snprintf(stamped, sizeof stamped, "%lu %s\n", GetTickCount(), line);
    GetEnvironmentVariableA("NETOPT_MODEM_LOG", path, sizeof path);
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, 0, nullptr);
    WriteFile(file, stamped, size, &size, nullptr);
    CloseHandle(file);
}

// Like a service that reads the record while it dials, after RasDialA has
// returned, it logs the record a moment later.
DWORD WINAPI Notify(void* argument) {
    Dial* dial = static_cast<Dial*>(argument);
    Sleep(100);
    int size = strlen(dial->line);
    for (DWORD i = 0; i < *reinterpret_cast<const DWORD*>(dial->params) && i < 2048; ++i)
        size += snprintf(dial->line + size, 3, "%02x", dial->params[i]);
    Log(dial->line);
    char line[64];
    for (char* next = dial->script; *next; next += strspn(next, ";")) {
        DWORD error = strtoul(next, &next, 10), at = strtoul(next + 1, &next, 10);
        Sleep(at > GetTickCount() - dial->started ? at - (GetTickCount() - dial->started) : 0);
        snprintf(line, sizeof line, "notify error=%lu", error);
        Log(line);
        dial->notifier(0xCCCD, 0, error);
    }
    return 0;
}

} // namespace

extern "C" __declspec(dllexport) DWORD WINAPI
    RasDialA(void* extensions, const char* phoneBook, const BYTE* params, DWORD type,
             RasDialFunc notifier, ULONG_PTR* handle) {
    ProgramThread = GetCurrentThreadId();
    LONG index = InterlockedIncrement(&Dials) - 1;
    *handle = 0x7100 + index;
    Dial* dial = static_cast<Dial*>(HeapAlloc(GetProcessHeap(), 0, sizeof(Dial)));
    *dial = {notifier, params, GetTickCount(), "", ""};
    snprintf(dial->line, sizeof dial->line, "dial handle=%lu args=%lu,%lu,%lu record=", *handle,
             (ULONG_PTR)extensions, (ULONG_PTR)phoneBook, type);
    GetEnvironmentVariableA("NETOPT_MODEM_SCRIPT", dial->script, sizeof dial->script);
    char* part = dial->script;
    for (char* bar; index-- > 0 && (bar = strchr(part, '|'));)
        part = bar + 1;
    part[strcspn(part, "|")] = 0;
    const char* script = *part ? part : "0@0;0@200;0@500"; // a modem without errors
    memmove(dial->script, script, strlen(script) + 1);
    if (notifier && type == 0)
        CloseHandle(CreateThread(nullptr, 0, Notify, dial, 0, nullptr));
    return 0;
}

extern "C" __declspec(dllexport) DWORD WINAPI RasHangUpA(ULONG_PTR handle) {
    char line[64];
    snprintf(line, sizeof line, "hangup handle=%lu by=%s", handle,
             GetCurrentThreadId() == ProgramThread ? "program" : "notifier");
    Log(line);
    return 0;
}
