// The dial-up networking service (Remote Access Service).
#pragma once

#include <stdint.h>

#include "callback_abi.h"
#include "handles.h"

struct DialParams;

// A RasDialFunc notifier (notifier type 0); the service calls it on a thread
// of its own with the dial's error code, 0 when there is none.
typedef void(RASDIAL_CALLBACK* DialNotifier)(unsigned message, int state, uint32_t error);

// Starts a dial through the default phone book with no dial extensions and
// returns while it goes on; the service stores the call's handle in *handle.
// What the service returns is of no use to the program and is not given back.
void StartRasDial(const DialParams* params, DialNotifier notifier, HRASCONN* handle);
void HangUpRasConnection(HRASCONN handle);
