// A registry of keys holding values of any type and size, where any call can
// be made to fail for a given key.
#include <set>
#include <utility>

#include "../../platform/registry.h"
#include "fake_state.h"
#include "fakes.h"

namespace {

struct Key {
    std::map<std::string, FakeValue> values; // "" is the default value
};

std::map<std::string, Key> Keys;
std::set<std::pair<int, std::string>> Failures;
std::map<uintptr_t, std::string> OpenHandles;
uintptr_t NextHandle = 1;

std::string ValueName(const char* name) {
    return name == nullptr ? "" : name;
}

bool Fails(RegistryCall call, const std::string& path) {
    return Failures.count({static_cast<int>(call), path}) != 0;
}

HKEY NewHandle(const std::string& path) {
    uintptr_t handle = NextHandle++;
    OpenHandles[handle] = path;
    return reinterpret_cast<HKEY>(handle);
}

// The key a handle stands for; a handle that is not open logs a fault.
std::string PathOf(HKEY key) {
    auto found = OpenHandles.find(reinterpret_cast<uintptr_t>(key));
    return found == OpenHandles.end() ? "<bad handle>" : found->second;
}

} // namespace

void ResetRegistryFake() {
    std::lock_guard<std::mutex> hold(FakeLock());
    Keys.clear();
    Failures.clear();
    OpenHandles.clear();
    NextHandle = 1;
}

void AddRegistryKey(const std::string& path) {
    std::lock_guard<std::mutex> hold(FakeLock());
    Keys[path];
}

void SetRegistryValue(const std::string& path, const char* name, uint32_t type,
                      const std::string& data) {
    std::lock_guard<std::mutex> hold(FakeLock());
    Keys[path].values[ValueName(name)] = FakeValue{type, data};
}

bool RegistryValue(const std::string& path, const char* name, FakeValue* value) {
    std::lock_guard<std::mutex> hold(FakeLock());
    *value = FakeValue{};
    auto key = Keys.find(path);
    if (key == Keys.end())
        return false;
    auto found = key->second.values.find(ValueName(name));
    if (found == key->second.values.end())
        return false;
    *value = found->second;
    return true;
}

void FailRegistryCall(RegistryCall call, const std::string& path) {
    std::lock_guard<std::mutex> hold(FakeLock());
    Failures.insert({static_cast<int>(call), path});
}

int OpenRegistryKeys() {
    std::lock_guard<std::mutex> hold(FakeLock());
    return static_cast<int>(OpenHandles.size());
}

bool OpenMachineKey(const char* path, HKEY* key) {
    LogCall(std::string("RegOpenKey ") + path);
    std::lock_guard<std::mutex> hold(FakeLock());
    if (Fails(RegistryCall::Open, path) || Keys.count(path) == 0)
        return false;
    *key = NewHandle(path);
    return true;
}

bool CreateMachineKey(const char* path, HKEY* key) {
    LogCall(std::string("RegCreateKey ") + path);
    std::lock_guard<std::mutex> hold(FakeLock());
    if (Fails(RegistryCall::Create, path))
        return false;
    Keys[path];
    *key = NewHandle(path);
    return true;
}

// As Windows reads: data longer than the room offered fails the read.
bool ReadValue(HKEY key, const char* name, void* buffer, uint32_t* size) {
    std::string path;
    bool read = false;
    uint32_t offered = *size;
    {
        std::lock_guard<std::mutex> hold(FakeLock());
        path = PathOf(key);
        auto& values = Keys[path].values;
        auto found = values.find(ValueName(name));
        read = !Fails(RegistryCall::Read, path) && found != values.end() &&
               found->second.data.size() <= offered;
        if (read) {
            found->second.data.copy(static_cast<char*>(buffer), found->second.data.size());
            *size = static_cast<uint32_t>(found->second.data.size());
        }
    }
    LogCall("RegQueryValue " + path + " " + ValueName(name) + " offered " +
            std::to_string(offered));
    return read;
}

bool WriteStringValue(HKEY key, const char* name, const char* data, uint32_t size) {
    std::string path;
    bool written = false;
    {
        std::lock_guard<std::mutex> hold(FakeLock());
        path = PathOf(key);
        written = !Fails(RegistryCall::Write, path);
        if (written)
            Keys[path].values[ValueName(name)] = FakeValue{FakeRegSz, std::string(data, size)};
    }
    LogCall("RegSetValue " + path + " " + (name == nullptr ? "(default)" : name) + " REG_SZ " +
            std::to_string(size));
    return written;
}

void CloseKey(HKEY key) {
    std::string path;
    {
        std::lock_guard<std::mutex> hold(FakeLock());
        path = PathOf(key);
        OpenHandles.erase(reinterpret_cast<uintptr_t>(key));
    }
    LogCall("RegCloseKey " + path);
}
