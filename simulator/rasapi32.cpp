// The dial-up service (rasapi32.dll) beside netopt.exe, as Wine's never calls the notifier.
// RasDialA stores a handle (0x7101, then 0x7102...) and returns; a thread reads the record a
// moment later, as a service may, and two seconds into the call calls the notifier with the error
// that NETOPT_MODEM_ERRORS gives this dial (a list split by ",", whose last serves later dials).
// Its lines in modem.log, in the current folder: "<tick count> dial <handle> <handle given>,
// <extensions>,<phone book>,<type> <record's fields in hex> <number>" (the tick count of the call
// to RasDialA), "<tick count> notify <error>", "<tick count> hangup <handle> program|notifier"
// (once the hang-up, which takes the service a moment, is done).
#include <windows.h>

#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "../platform/dial_params.h"

typedef void(WINAPI* RasDialFunc)(UINT message, int state, DWORD error);

namespace {

struct Dial {
    RasDialFunc notifier;
    const DialParams* params;
    DWORD error, when;
    char line[4300];
};

DWORD ProgramThread;
LONG Dials;

// One appending write a line keeps the lines of two threads apart.
void Log(DWORD when, const char* line) {
    char stamped[4400];
    DWORD size = snprintf(stamped, sizeof stamped, "%lu %s\n", when, line);
    HANDLE file = CreateFileA("modem.log", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, 0, nullptr);
    WriteFile(file, stamped, size, &size, nullptr);
    CloseHandle(file);
}

DWORD WINAPI Modem(void* argument) {
    Dial* dial = static_cast<Dial*>(argument);
    Sleep(100);
    const BYTE* record = reinterpret_cast<const BYTE*>(dial->params);
    int size = strlen(dial->line);
    // Its fields, whatever dwSize says; not the padding after them, which the program leaves unset.
    for (size_t i = 0; i < offsetof(DialParams, szDomain) + sizeof dial->params->szDomain; ++i)
        size += snprintf(dial->line + size, 3, "%02x", record[i]);
    snprintf(dial->line + size, sizeof dial->line - size, " %.*s",
             static_cast<int>(sizeof dial->params->szPhoneNumber - 1), dial->params->szPhoneNumber);
    Log(dial->when, dial->line);
    Sleep(1900);
    snprintf(dial->line, sizeof dial->line, "notify %lu", dial->error);
    Log(GetTickCount(), dial->line);
    dial->notifier(0xCCCD, 0, dial->error);
    return 0;
}

} // namespace

extern "C" __declspec(dllexport) DWORD WINAPI
    RasDialA(void* extensions, const char* phoneBook, const DialParams* params, DWORD type,
             RasDialFunc notifier, ULONG_PTR* handle) {
    DWORD when = GetTickCount();
    ProgramThread = GetCurrentThreadId();
    char errors[256] = "", *error = errors;
    GetEnvironmentVariableA("NETOPT_MODEM_ERRORS", errors, sizeof errors);
    LONG index = InterlockedIncrement(&Dials);
    ULONG_PTR given = *handle; // not null: a call to resume, not a new one
    *handle = 0x7100 + index;
    for (; index > 1 && strchr(error, ','); --index)
        error = strchr(error, ',') + 1;
    Dial* dial = static_cast<Dial*>(HeapAlloc(GetProcessHeap(), 0, sizeof(Dial)));
    *dial = {notifier, params, strtoul(error, nullptr, 10), when, ""};
    snprintf(dial->line, sizeof dial->line, "dial %lu %lu,%lu,%lu,%lu ", *handle, given,
             (ULONG_PTR)extensions, (ULONG_PTR)phoneBook, type);
    CloseHandle(CreateThread(nullptr, 0, Modem, dial, 0, nullptr));
    return 0;
}

extern "C" __declspec(dllexport) DWORD WINAPI RasHangUpA(ULONG_PTR handle) {
    char line[64];
    snprintf(line, sizeof line, "hangup %lu %s", handle,
             GetCurrentThreadId() == ProgramThread ? "program" : "notifier");
    Sleep(100);
    Log(GetTickCount(), line);
    return 0;
}
