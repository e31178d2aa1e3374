// What the end-to-end scenarios expect to see, and the checks and steps they
// share.
#pragma once

#include "driver.h"

extern const wchar_t MainCaption[];
extern const wchar_t ErrorCaption[];
extern const wchar_t ResultCaption[];
extern const wchar_t FailureText[];
extern const wchar_t SuccessText[];
extern const wchar_t NoDialToneText[];
extern const wchar_t ConnectionErrorText[];
extern const wchar_t AboutCaption[];

// A second either way around the schedule: this machine is shared.
const int Tolerance = 1000;
// A notification code other than BN_CLICKED.
const WPARAM ButtonSetFocus = 6;

std::wstring ExpectedInfoText();
std::wstring StageText(int stage);

// A Windows 98 machine as it comes: the adapter's MTU is "1500".
void SeedMachine();
void CheckDialRecord(const ModemEvent& dial);
void CheckMtuWritten();
void CheckBox(HWND window, const wchar_t* caption, const wchar_t* text, bool error);
// The other open box with this caption than the one given.
HWND OtherBox(const Program& program, const wchar_t* caption, HWND known, int timeoutMs);
bool OnMainThread(const Program& program, HWND window);
void CheckStillRunningAndIdle(Program* program, const char* after);
void CheckEndsWithCodeZero(Program* program, const char* after);
// Presses a key and waits for the focus to reach the control.
void MoveFocus(const Program& p, WPARAM key, int control);
// Clicks Start and follows the ten stages; returns the moment of the click.
long long RunAndFollowStages(const Program& p);

// The About dialog's caption, texts in template order, icon and focus.
void CheckAboutLook(const Program& p, HWND about);
// Clicks About and waits for one more About dialog; the topmost one.
HWND OpenAbout(const Program& p, size_t alreadyOpen);
bool AboutCloses(const Program& p, size_t leftOpen);

// The scenarios, one ctest test each.
void IdleLookAndKeyboard();
void CloseBoxAndCloseButton();
void FullRun();
void CheckFails();
void DialNoDialTone();
void DialUserDisconnection();
void DialOtherError();
void AboutDialog();
void EnglishLocale();
void Windows98();
