// Test doubles of the platform layer. They record every call in one ordered
// log and keep what a user would see: controls, boxes, sounds, the registry
// and the dial-up service. ResetFakes() puts all of them back to their start.
#pragma once

#include <stdint.h>

#include <map>
#include <string>
#include <vector>

#include "../../optimize/dial_params.h"
#include "../../platform/handles.h"

void ResetFakes();

// The ordered log of calls, e.g. "Wait 1000", "SendItemText 20 <text>".
std::vector<std::string> CallLog();
// The log entries that start with prefix.
std::vector<std::string> CallsStartingWith(const std::string& prefix);
void LogCall(const std::string& entry);

// ---- dialog, sounds, message boxes, process
HWND FakeDialogWindow();

struct FakeControl {
    bool visible = true;
    bool enabled = true;
    std::string text;
    int low = 0, high = 100, step = 10, position = 0;
};
FakeControl ControlState(int control);
int FocusedControl();

struct FakeMessageBox {
    bool error = false; // error icon, else information icon
    HWND owner = nullptr;
    std::string text, caption;
    // What the main dialog showed while the box was open.
    std::string statusText;
    bool statusVisible = false;
    int progressPosition = 0;
};
std::vector<FakeMessageBox> MessageBoxesShown();
int ProcessEndCount();
// Calls on the controls of a window other than the main dialog.
int MisaddressedControlCalls();

// The TEXT resource that LoadTextResource hands out: the data, which may go on
// past the size reported, as module memory does after a resource.
void SetTextResource(const std::string& bytes, size_t size);
std::string ItemTextSet(int control);

// ---- clock
unsigned VirtualTimeMs();
std::vector<unsigned> WaitsRecorded();

// ---- registry
enum class RegistryCall { Open, Create, Read, Write };
struct FakeValue {
    uint32_t type = 0;
    std::string data;
};
const uint32_t FakeRegSz = 1;
const uint32_t FakeRegBinary = 3;
const uint32_t FakeRegDword = 4;

void SetRegistryValue(const std::string& path, const char* name, uint32_t type,
                      const std::string& data);
void AddRegistryKey(const std::string& path);
// A missing value reads as type 0 and no data; name null is the default value.
bool RegistryValue(const std::string& path, const char* name, FakeValue* value);
void FailRegistryCall(RegistryCall call, const std::string& path);
int OpenRegistryKeys();

// ---- dial-up service
// A notification with this error code, afterMs after the dial started on the
// virtual clock, or before the dial's start has returned.
const int BeforeDialReturns = -1;
void ScheduleNotification(int afterMs, uint32_t error);
// Several notifications on threads of their own at the same moment.
void ScheduleConcurrentNotifications(int afterMs, const std::vector<uint32_t>& errors);
void SetDialStoresHandle(bool stores);
std::vector<DialParams> DialsPlaced();
// The handle that the n-th dial (from 0) stored.
HRASCONN DialHandleGiven(size_t dial);
std::vector<HRASCONN> HangUps();
