// The dial-up networking service, through rasapi32.
#include "../dialup.h"

#include <windows.h>

// Declared here rather than taken from <ras.h>, whose RASDIALPARAMSA is
// larger than the form Windows 98 accepts.
typedef void(WINAPI* RasDialFunc)(UINT message, int state, DWORD error);

extern "C" {
__declspec(dllimport) DWORD WINAPI
    RasDialA(void* extensions, const char* phoneBook, const DialParams* params, DWORD notifierType,
             RasDialFunc notifier, HRASCONN* handle);
__declspec(dllimport) DWORD WINAPI RasHangUpA(HRASCONN handle);
}

namespace {

// RasDialFunc: the notifier gets the message, the state and the error code.
const DWORD RasDialFuncType = 0;

// The program's notifier. Each dial stores it again while a late
// notification of an earlier dial may read it: atomic, as both threads see it.
DialNotifier ProgramNotifier;

// The notifier in the service's convention, on the service's thread.
void WINAPI NotifyProgram(UINT message, int state, DWORD error) {
    __atomic_load_n(&ProgramNotifier, __ATOMIC_RELAXED)(message, state, error);
}

} // namespace

void StartRasDial(const DialParams* params, DialNotifier notifier, HRASCONN* handle) {
    __atomic_store_n(&ProgramNotifier, notifier, __ATOMIC_RELAXED);
    (void)RasDialA(nullptr, nullptr, params, RasDialFuncType, NotifyProgram, handle);
}

void HangUpRasConnection(HRASCONN handle) {
    (void)RasHangUpA(handle);
}
