// Registry keys and values under HKEY_LOCAL_MACHINE, through advapi32.
#include "../registry.h"

#include <windows.h>

bool OpenMachineKey(const char* path, HKEY* key) {
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, key) == ERROR_SUCCESS;
}

bool CreateMachineKey(const char* path, HKEY* key) {
    return RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, nullptr, key, nullptr) == ERROR_SUCCESS;
}

// No type is asked for: a value of any type counts.
bool ReadValue(HKEY key, const char* name, void* buffer, uint32_t* size) {
    DWORD room = *size;
    LONG result = RegQueryValueExA(key, name, nullptr, nullptr, static_cast<BYTE*>(buffer), &room);
    *size = room;
    return result == ERROR_SUCCESS;
}

bool WriteStringValue(HKEY key, const char* name, const char* data, uint32_t size) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), size) ==
           ERROR_SUCCESS;
}

void CloseKey(HKEY key) {
    (void)RegCloseKey(key);
}
