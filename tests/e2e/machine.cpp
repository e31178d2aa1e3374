// The simulated machine as the driver sees it: the registry under
// HKEY_LOCAL_MACHINE and the simulated modem's log.
#include "driver.h"

#include <fstream>
#include <sstream>

const wchar_t AdapterKey[] = L"System\\CurrentControlSet\\Services\\Class\\Net\\0000";
const wchar_t ParameterKey[] =
    L"System\\CurrentControlSet\\Services\\Class\\Net\\0000\\Ndi\\params\\IPMTU";

namespace {

const wchar_t Windows98Key[] = L"Software\\Wine\\AppDefaults\\netopt.exe";

} // namespace

void PretendWindows98(bool pretend) {
    if (!pretend) {
        RegDeleteTreeW(HKEY_CURRENT_USER, Windows98Key);
        return;
    }
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, Windows98Key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        Fail(__FILE__, __LINE__, "cannot set the Windows version of netopt.exe");
        return;
    }
    const wchar_t version[] = L"win98";
    RegSetValueExW(key, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                   sizeof version);
    RegCloseKey(key);
}

void ClearAdapter() {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, AdapterKey);
}

void SetAdapterValue(const char* name, DWORD type, const std::string& data) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, AdapterKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        Fail(__FILE__, __LINE__, "cannot create the adapter key");
        return;
    }
    if (name != nullptr)
        RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                       (DWORD)data.size());
    RegCloseKey(key);
}

bool ReadValue(const wchar_t* keyPath, const char* name, DWORD* type, std::string* data) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    char buffer[1024];
    DWORD size = sizeof buffer;
    LONG result =
        RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return false;
    data->assign(buffer, size);
    return true;
}

std::string ModemEvent::Field(const std::string& name) const {
    size_t at = line.find(" " + name + "=");
    if (at == std::string::npos)
        return "";
    at += name.size() + 2;
    return line.substr(at, line.find(' ', at) - at);
}

std::vector<ModemEvent> ModemLog() {
    std::ifstream file(Utf8(ModemLogPath()).c_str());
    std::vector<ModemEvent> events;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        ModemEvent event;
        std::istringstream fields(line);
        fields >> event.atMs >> event.kind;
        event.line = line;
        events.push_back(event);
    }
    return events;
}

std::vector<ModemEvent> ModemEvents(const std::string& kind) {
    std::vector<ModemEvent> found;
    for (const ModemEvent& event : ModemLog())
        if (event.kind == kind)
            found.push_back(event);
    return found;
}
