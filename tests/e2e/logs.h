// What the program left behind: Wine's trace of its calls, the modem's log and the registry.
#pragma once

#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "check.h"

namespace {

// What the pattern captures in each line of the log that it matches.
std::vector<std::vector<std::string>> Matches(const wchar_t* path, const std::string& pattern) {
    std::ifstream log(path, std::ios::binary);
    std::regex compiled(pattern);
    std::vector<std::vector<std::string>> found;
    std::smatch match;
    for (std::string line; std::getline(log, line);)
        if (std::regex_search(line, match, compiled))
            found.emplace_back(match.begin(), match.end());
    return found;
}

// "REG_SZ "576", 4 bytes" (its data up to a zero), or whether the value or the key is missing.
std::string Value(const std::string& path, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key))
        return "no key";
    char data[1024];
    DWORD type = 0, size = sizeof data;
    LONG read = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (read)
        return "no value";
    const char* types[] = {"REG_NONE", "REG_SZ", "REG_EXPAND_SZ", "REG_BINARY"};
    return (type < std::size(types) ? types[type] : "type " + Str(type)) + " \"" +
           std::string(data, strnlen(data, size)) + "\", " + Str(size) + " bytes";
}

// What the program asked of the modem: its log's lines without their tick counts, "|" after each.
std::string ModemCalls() {
    std::string calls;
    for (const auto& line : Matches(L"modem.log", "^\\d+ (.*)"))
        calls += line[1] + "|";
    return calls;
}

// The tick count of the modem's last line that goes on so; 0 if none.
long long ModemMs(const std::string& line) {
    auto lines = Matches(L"modem.log", "^(\\d+) " + line);
    return lines.empty() ? 0 : atoll(lines.back()[1].c_str());
}

// The calls of Wine's trace that match the pattern, with the moment of each:
// "<seconds>.<ms>:<thread>:Call <dll>.<function>(<arguments>) ret=<address>".
std::vector<std::vector<std::string>> Calls(const std::string& call) {
    return Matches(L"trace.log", "^(\\d+\\.\\d+):\\w+:Call " + call);
}

// The moment, in ms, of the last such call; 0 if none.
long long Last(const std::string& call) {
    auto calls = Calls(call);
    return calls.empty() ? 0 : static_cast<long long>(std::stod(calls.back()[1]) * 1000 + 0.5);
}

// The time, in ms, between the two moments that the program spent inside the functions traced (not
// the window procedures within them, and one call at a time: the notifier's are short): its own
// work, the stages painted among it, which is long under qemu on a busy machine.
long long WorkMs(long long from, long long to) {
    long long work = 0, called = -1;
    for (const auto& line : Matches(L"trace.log", "^([\\d.]+):\\w+:(Call|Ret) +\\w+\\.")) {
        long long ms = static_cast<long long>(std::stod(line[1]) * 1000 + 0.5);
        if (line[2] == "Ret" && called >= from && ms <= to)
            work += ms - called;
        called = line[2] == "Call" ? ms : -1; // a call's return, not that of a call around it
    }
    return work;
}

// The sounds and the boxes; the stages (WM_SETTEXT to 20); the MTU written, REG_SZ "576" and its
// zero (which Windows would count if the program forgot it), as IPMTU or the parameter key's
// unnamed value.
const std::string MessageBeeps = "user32\\.MessageBeep\\(00000000\\)",
                  Boxes = "user32\\.MessageBox[AW]\\(",
                  Beeps = "KERNEL32\\.Beep\\(000003e8,000003e8\\)",
                  Stages = "user32\\.SendDlgItemMessage[AW]\\(\\w+,00000014,0000000c,",
                  MtuWrites =
                      "kernelbase\\.RegSetValueExA\\(\\w+,(?:\\w+ \"IPMTU\"|0+),0+,0+1,\\w+,0+4\\)";

// A box's flags in words: the type, the icons and the modality that the program's boxes may have,
// and what else they hold as a number.
std::string BoxFlags(unsigned long flags) {
    std::string words = "MB_OK";
    for (auto [flag, name] : {std::pair<unsigned long, const char*>{MB_ICONERROR, "MB_ICONERROR"},
                              {MB_ICONINFORMATION, "MB_ICONINFORMATION"},
                              {MB_SYSTEMMODAL, "MB_SYSTEMMODAL"}})
        if ((flags & flag) == flag) {
            words += std::string(" | ") + name;
            flags &= ~flag;
        }
    return flags ? words + " | " + Str(flags) : words;
}

// The sounds and the message boxes in the order the program made them, in words:
// "MessageBeep(0)", "Beep(1000 Hz, 1000 ms)", "MessageBox(MB_OK | MB_ICONERROR | MB_SYSTEMMODAL)".
std::vector<std::string> Alerts() {
    std::vector<std::string> alerts;
    auto number = [](const std::string& hex) { return Str(std::stoul(hex, nullptr, 16)); };
    for (const auto& call : Calls("(?:\\w+\\.(MessageBeep|Beep)\\((\\w+),?(\\w*)\\)|"
                                  "user32\\.MessageBox[AW]\\(.*,(\\w+)\\)) ret="))
        if (call[2] == "MessageBeep")
            alerts.push_back("MessageBeep(" + number(call[3]) + ")");
        else if (call[2] == "Beep")
            alerts.push_back("Beep(" + number(call[3]) + " Hz, " + number(call[4]) + " ms)");
        else
            alerts.push_back("MessageBox(" + BoxFlags(std::stoul(call[5], nullptr, 16)) + ")");
    return alerts;
}

} // namespace
