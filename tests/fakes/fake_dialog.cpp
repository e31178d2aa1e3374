// The main dialog's controls, the sounds, the message boxes and the end of
// the process, as a user would see and hear them.
#include "../../platform/alerts.h"
#include "../../platform/dialog.h"
#include "../../platform/process.h"
#include "../../resources/resource.h"
#include "fake_state.h"
#include "fakes.h"

namespace {

std::map<int, FakeControl> Controls;
int Focus = 0;
std::vector<FakeMessageBox> Boxes;
int ProcessEnds = 0;
int Misaddressed = 0;
std::string TextResource;
size_t TextResourceSize = 0;
std::map<int, std::string> ItemTexts;

// As the template creates them: status text and bar hidden.
void ResetControls() {
    Controls.clear();
    Controls[IDC_STATUS].text = "Text1";
    Controls[IDC_STATUS].visible = false;
    Controls[IDC_PROGRESS].visible = false;
    Controls[IDC_PROGRESS].high = 100;
    Controls[IDC_PROGRESS].step = 10;
}

std::string Id(int control) {
    return std::to_string(control);
}

std::string Owner(HWND owner) {
    if (owner == nullptr)
        return "none";
    return owner == FakeDialogWindow() ? "main" : "other";
}

void ShowBox(bool error, HWND owner, const char* text, const char* caption) {
    LogCall(std::string(error ? "ErrorBox " : "InformationBox ") + Owner(owner) + " " + text +
            " | " + caption);
    std::lock_guard<std::mutex> hold(FakeLock());
    FakeMessageBox box;
    box.error = error;
    box.owner = owner;
    box.text = text;
    box.caption = caption;
    box.statusText = Controls[IDC_STATUS].text;
    box.statusVisible = Controls[IDC_STATUS].visible;
    box.progressPosition = Controls[IDC_PROGRESS].position;
    Boxes.push_back(box);
}

// Every control call must address the main dialog; the lock is held.
FakeControl& Control(HWND dialog, int control) {
    if (dialog != FakeDialogWindow())
        ++Misaddressed;
    return Controls[control];
}

} // namespace

HWND FakeDialogWindow() {
    return reinterpret_cast<HWND>(0x1234);
}

void ResetDialogFake() {
    std::lock_guard<std::mutex> hold(FakeLock());
    ResetControls();
    Focus = 0;
    Boxes.clear();
    ProcessEnds = 0;
    Misaddressed = 0;
    TextResource.clear();
    TextResourceSize = 0;
    ItemTexts.clear();
}

FakeControl ControlState(int control) {
    std::lock_guard<std::mutex> hold(FakeLock());
    return Controls[control];
}

int FocusedControl() {
    std::lock_guard<std::mutex> hold(FakeLock());
    return Focus;
}

std::vector<FakeMessageBox> MessageBoxesShown() {
    std::lock_guard<std::mutex> hold(FakeLock());
    return Boxes;
}

int MisaddressedControlCalls() {
    std::lock_guard<std::mutex> hold(FakeLock());
    return Misaddressed;
}

int ProcessEndCount() {
    std::lock_guard<std::mutex> hold(FakeLock());
    return ProcessEnds;
}

void SetTextResource(const std::string& bytes, size_t size) {
    std::lock_guard<std::mutex> hold(FakeLock());
    TextResource = bytes;
    TextResourceSize = size;
}

std::string ItemTextSet(int control) {
    std::lock_guard<std::mutex> hold(FakeLock());
    return ItemTexts[control];
}

void EnableControl(HWND dialog, int control, bool enable) {
    LogCall((enable ? "Enable " : "Disable ") + Id(control));
    std::lock_guard<std::mutex> hold(FakeLock());
    Control(dialog, control).enabled = enable;
}

void ShowControl(HWND dialog, int control, bool show) {
    LogCall((show ? "Show " : "Hide ") + Id(control));
    std::lock_guard<std::mutex> hold(FakeLock());
    Control(dialog, control).visible = show;
}

void FocusControl(HWND dialog, int control) {
    LogCall("Focus " + Id(control));
    std::lock_guard<std::mutex> hold(FakeLock());
    Control(dialog, control);
    Focus = control;
}

void RepaintDialog(HWND dialog) {
    LogCall("Repaint");
    std::lock_guard<std::mutex> hold(FakeLock());
    Misaddressed += dialog != FakeDialogWindow();
}

void EndDialogBox(HWND dialog) {
    LogCall("EndDialog");
    std::lock_guard<std::mutex> hold(FakeLock());
    Misaddressed += dialog != FakeDialogWindow();
}

void SetItemText(HWND dialog, int control, const char* text) {
    LogCall("SetItemText " + Id(control));
    std::lock_guard<std::mutex> hold(FakeLock());
    Control(dialog, control).text = text;
    ItemTexts[control] = text;
}

void SendItemText(HWND dialog, int control, const char* text) {
    LogCall("SendItemText " + Id(control) + " " + text);
    std::lock_guard<std::mutex> hold(FakeLock());
    Control(dialog, control).text = text;
}

void SetProgressRange(HWND dialog, int control, int low, int high) {
    LogCall("ProgressRange " + Id(control) + " " + std::to_string(low) + " " +
            std::to_string(high));
    std::lock_guard<std::mutex> hold(FakeLock());
    Control(dialog, control).low = low;
    Control(dialog, control).high = high;
}

void SetProgressStep(HWND dialog, int control, int step) {
    LogCall("ProgressStep " + Id(control) + " " + std::to_string(step));
    std::lock_guard<std::mutex> hold(FakeLock());
    Control(dialog, control).step = step;
}

void SetProgressPosition(HWND dialog, int control, int position) {
    LogCall("ProgressPosition " + Id(control) + " " + std::to_string(position));
    std::lock_guard<std::mutex> hold(FakeLock());
    Control(dialog, control).position = position;
}

// As the progress bar does it: past the top it wraps round to the bottom.
void StepProgress(HWND dialog, int control) {
    LogCall("StepProgress " + Id(control));
    std::lock_guard<std::mutex> hold(FakeLock());
    FakeControl& bar = Control(dialog, control);
    bar.position += bar.step;
    if (bar.position > bar.high)
        bar.position = bar.low + (bar.position - bar.high);
}

const char* LoadTextResource(const char* name, size_t* size) {
    LogCall(std::string("LoadTextResource ") + name);
    std::lock_guard<std::mutex> hold(FakeLock());
    *size = TextResourceSize;
    return TextResource.empty() ? nullptr : TextResource.data();
}

void PlayDefaultSound() {
    LogCall("MessageBeep 0");
}

void PlayTone(unsigned frequency, unsigned milliseconds) {
    LogCall("Beep " + std::to_string(frequency) + " " + std::to_string(milliseconds));
}

void ShowErrorBox(HWND owner, const char* text, const char* caption) {
    ShowBox(true, owner, text, caption);
}

void ShowInformationBox(HWND owner, const char* text, const char* caption) {
    ShowBox(false, owner, text, caption);
}

// The real call never returns; the fake records it and returns.
void EndProcess(unsigned exitCode) {
    LogCall("EndProcess " + std::to_string(exitCode));
    std::lock_guard<std::mutex> hold(FakeLock());
    ++ProcessEnds;
}
