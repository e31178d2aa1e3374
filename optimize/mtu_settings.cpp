// Checks for and writes the MTU in the registry.
#include "mtu_settings.h"

#include <stdint.h>

#include "../platform/registry.h"

namespace {

const char AdapterKey[] = "System\\CurrentControlSet\\Services\\Class\\Net\\0000";
const char ParameterKey[] =
    "System\\CurrentControlSet\\Services\\Class\\Net\\0000\\Ndi\\params\\IPMTU";
const char MtuValueName[] = "IPMTU";
const char MtuData[] = "576";

// The read offers one byte less than its buffer holds, so a value of over
// 255 bytes fails the read and counts as missing.
const uint32_t ReadBufferSize = 256;
const uint32_t ReadSizeOffered = 255;

// Creates or opens the key and sets one value; a key that cannot be had is
// neither written nor closed.
bool WriteMtu(const char* path, const char* name) {
    HKEY key;
    if (!CreateMachineKey(path, &key))
        return false;
    bool written = WriteStringValue(key, name, MtuData, sizeof MtuData);
    CloseKey(key);
    return written;
}

} // namespace

bool CheckMtuValue() {
    HKEY key;
    if (!OpenMachineKey(AdapterKey, &key))
        return false;
    char buffer[ReadBufferSize];
    uint32_t size = ReadSizeOffered;
    bool read = ReadValue(key, MtuValueName, buffer, &size);
    CloseKey(key);
    return read;
}

bool WriteMtuValues() {
    bool adapterWritten = WriteMtu(AdapterKey, MtuValueName);
    bool parameterWritten = WriteMtu(ParameterKey, nullptr);
    return adapterWritten && parameterWritten;
}
