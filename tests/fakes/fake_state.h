// What the fakes share among themselves: one lock over all their state, and
// the reset of each.
#pragma once

#include <mutex>

std::mutex& FakeLock();

void ResetDialogFake();
void ResetClockFake();
void ResetRegistryFake();
void ResetDialupFake();

// Called by the clock after each wait: delivers the notifications now due.
void DeliverDueNotifications(unsigned now);
