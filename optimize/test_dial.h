// The test call placed during a run: its start, its hang-up, and the
// notifier that turns dial errors into messages.
#pragma once

#include <atomic>
#include <stdint.h>

#include "../platform/dialup.h"

// The current call's handle, stored by the service through RasDial; the
// program's own loads and stores of it are atomic.
extern HRASCONN DialHandle;
// Set on a no-dial-tone error and never cleared.
extern std::atomic<bool> NoDialTone;

void StartTestDial();
void HangUpTestDial();
// The dial's notifier, on the service's thread.
void DialNotify(unsigned unMsg, int rasConnState, uint32_t dwError);
