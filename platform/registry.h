// Keys and values under HKEY_LOCAL_MACHINE, always with full access.
// Every call returns true when it succeeded.
#pragma once

#include <stdint.h>

#include "handles.h"

bool OpenMachineKey(const char* path, HKEY* key);
bool CreateMachineKey(const char* path, HKEY* key);
// Reads a value of any type into buffer; size holds the room offered and
// gets back the size of the data.
bool ReadValue(HKEY key, const char* name, void* buffer, uint32_t* size);
// Writes a REG_SZ value of size bytes (the terminating zero included);
// a null name is the key's default value.
bool WriteStringValue(HKEY key, const char* name, const char* data, uint32_t size);
void CloseKey(HKEY key);
