// Waits and the end of the process, through kernel32.
#include "../process.h"

#include <windows.h>

void WaitMilliseconds(unsigned milliseconds) {
    Sleep(milliseconds);
}

[[noreturn]] void EndProcess(unsigned exitCode) {
    ExitProcess(exitCode);
}
