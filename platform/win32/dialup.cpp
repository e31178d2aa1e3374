// The dial-up networking service, through rasapi32.
#include "../dialup.h"

#include <windows.h>

// Declared here rather than taken from <ras.h>, whose RASDIALPARAMSA is
// larger than the form Windows 98 accepts.
extern "C" {
__declspec(dllimport) DWORD WINAPI
    RasDialA(void* extensions, const char* phoneBook, const DialParams* params, DWORD notifierType,
             DialNotifier notifier, HRASCONN* handle);
__declspec(dllimport) DWORD WINAPI RasHangUpA(HRASCONN handle);
}

namespace {

// RasDialFunc: the notifier gets the message, the state and the error code.
const DWORD RasDialFuncType = 0;

} // namespace

void StartRasDial(const DialParams* params, DialNotifier notifier, HRASCONN* handle) {
    (void)RasDialA(nullptr, nullptr, params, RasDialFuncType, notifier, handle);
}

void HangUpRasConnection(HRASCONN handle) {
    (void)RasHangUpA(handle);
}
