// Waits of the calling thread and the end of the process.
#pragma once

void WaitMilliseconds(unsigned milliseconds);
// Ends the whole process at once, from any thread; does not return.
[[noreturn]] void EndProcess(unsigned exitCode);
