// Waits of the calling thread and the end of the process.
#pragma once

void WaitMilliseconds(unsigned milliseconds);
// The exit code of every end that the program chooses.
inline constexpr unsigned ExitOk = 0;

// Ends the whole process at once, from any thread; does not return.
[[noreturn]] void EndProcess(unsigned exitCode);
