// The dial-up networking service (Remote Access Service).
#pragma once

#include <stdint.h>

#include "dial_params.h"
#include "handles.h"

// The program's notifier, a plain function: the service calls it, through a
// notifier of its own convention, on a thread of its own with the dial's
// error code, 0 when there is none.
typedef void (*DialNotifier)(unsigned unMsg, int rasConnState, uint32_t dwError);

// Starts a dial through the default phone book with no dial extensions and
// returns while it goes on; the service stores the call's handle in *handle.
// What the service returns is of no use to the program and is not given back.
void StartRasDial(const DialParams* params, DialNotifier notifier, HRASCONN* handle);
void HangUpRasConnection(HRASCONN handle);
