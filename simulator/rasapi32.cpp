// A stand-in for the dial-up networking service (rasapi32.dll) on a machine
// without a modem: Wine's own RasDialA never calls the notifier. It stores a
// handle, returns at once and calls the notifier on a thread of its own, as
// the modem script in NETOPT_MODEM_SCRIPT says:
//   (unset or empty)   a modem that dials and is hung up by the program;
//   "680@2000"         error 680 two seconds after the dial started;
//   "678@1000;678@1500" several notifications, each "error@milliseconds".
// Every call is appended to the file named by NETOPT_MODEM_LOG, one line each,
// with the time in milliseconds since 1601 (GetSystemTimeAsFileTime).
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef struct HRASCONN__* HRASCONN;
typedef void(WINAPI* RasDialFunc)(UINT message, int state, DWORD error);

namespace {

const UINT RasDialEvent = 0xCCCD;
const DWORD MaxParamsSize = 4096;
const int MaxEvents = 16;

// The states a modem passes while it dials: opening the port, port opened,
// connecting the device (it then waits for the other end).
const struct {
    DWORD atMs;
    int state;
} ModemSteps[] = {{0, 0}, {200, 1}, {500, 2}};

struct Event {
    DWORD atMs;
    DWORD error;
    int state;
};

struct Dial {
    RasDialFunc notifier;
    HRASCONN handle;
    DWORD startTick;
    int eventCount;
    Event events[MaxEvents];
};

CRITICAL_SECTION LogLock;
LONG DialCount = 0;
DWORD NotifierThreads[64];
LONG NotifierThreadCount = 0;

unsigned long long NowMs() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    return t.QuadPart / 10000;
}

bool OnNotifierThread() {
    DWORD self = GetCurrentThreadId();
    for (LONG i = 0; i < NotifierThreadCount && i < 64; ++i)
        if (NotifierThreads[i] == self)
            return true;
    return false;
}

void WriteLog(const char* line) {
    char path[MAX_PATH];
    if (GetEnvironmentVariableA("NETOPT_MODEM_LOG", path, sizeof path) == 0)
        return;
    EnterCriticalSection(&LogLock);
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        char stamped[12000];
        int n = snprintf(stamped, sizeof stamped, "%llu %s\r\n", NowMs(), line);
        DWORD written;
        WriteFile(file, stamped, (DWORD)n, &written, nullptr);
        CloseHandle(file);
    }
    LeaveCriticalSection(&LogLock);
}

int ReadScript(Event* events) {
    char script[1024];
    DWORD length = GetEnvironmentVariableA("NETOPT_MODEM_SCRIPT", script, sizeof script);
    int count = 0;
    if (length == 0 || length >= sizeof script) {
        for (const auto& step : ModemSteps)
            events[count++] = Event{step.atMs, 0, step.state};
        return count;
    }
    for (char* item = strtok(script, ";"); item && count < MaxEvents; item = strtok(nullptr, ";")) {
        char* at = strchr(item, '@');
        events[count++] = Event{at ? (DWORD)strtoul(at + 1, nullptr, 10) : 0,
                                (DWORD)strtoul(item, nullptr, 10), 2};
    }
    return count;
}

DWORD WINAPI NotifierThread(void* argument) {
    Dial* dial = static_cast<Dial*>(argument);
    LONG slot = InterlockedIncrement(&NotifierThreadCount) - 1;
    if (slot < 64)
        NotifierThreads[slot] = GetCurrentThreadId();
    for (int i = 0; i < dial->eventCount; ++i) {
        DWORD elapsed = GetTickCount() - dial->startTick;
        if (dial->events[i].atMs > elapsed)
            Sleep(dial->events[i].atMs - elapsed);
        char line[128];
        snprintf(line, sizeof line, "notify handle=%llu state=%d error=%lu",
                 (unsigned long long)(ULONG_PTR)dial->handle, dial->events[i].state,
                 dial->events[i].error);
        WriteLog(line);
        dial->notifier(RasDialEvent, dial->events[i].state, dial->events[i].error);
    }
    return 0;
}

void AppendHex(char* out, const unsigned char* bytes, DWORD size) {
    static const char digits[] = "0123456789abcdef";
    for (DWORD i = 0; i < size; ++i) {
        *out++ = digits[bytes[i] >> 4];
        *out++ = digits[bytes[i] & 15];
    }
    *out = 0;
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH)
        InitializeCriticalSection(&LogLock);
    return TRUE;
}

extern "C" __declspec(dllexport) DWORD WINAPI
    RasDialA(void* extensions, const char* phoneBook, void* params, DWORD notifierType,
             void* notifier, HRASCONN* handle) {
    DWORD size = params ? *static_cast<DWORD*>(params) : 0;
    if (size > MaxParamsSize)
        size = MaxParamsSize;
    Dial* dial = static_cast<Dial*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(Dial)));
    dial->notifier = reinterpret_cast<RasDialFunc>(notifier);
    dial->handle =
        reinterpret_cast<HRASCONN>((ULONG_PTR)(0x7100 + InterlockedIncrement(&DialCount)));
    dial->eventCount = ReadScript(dial->events);

    // Too large for comfort on the caller's stack; the program dials from its
    // dialog's thread alone, so one buffer serves.
    static char line[2 * MaxParamsSize + 256];
    int n =
        snprintf(line, sizeof line,
                 "RasDialA extensions=%p phonebook=%p type=%lu notifier=%s handle=%llu size=%lu "
                 "params=",
                 extensions, (const void*)phoneBook, notifierType, notifier ? "set" : "null",
                 (unsigned long long)(ULONG_PTR)dial->handle, size);
    AppendHex(line + n, static_cast<unsigned char*>(params), size);
    WriteLog(line);

    *handle = dial->handle; // stored before any notification
    dial->startTick = GetTickCount();
    if (notifier != nullptr && notifierType == 0)
        CloseHandle(CreateThread(nullptr, 0, NotifierThread, dial, 0, nullptr));
    return 0;
}

extern "C" __declspec(dllexport) DWORD WINAPI RasHangUpA(HRASCONN handle) {
    char line[96];
    snprintf(line, sizeof line, "RasHangUpA handle=%llu from=%s",
             (unsigned long long)(ULONG_PTR)handle, OnNotifierThread() ? "notifier" : "program");
    WriteLog(line);
    return 0;
}
