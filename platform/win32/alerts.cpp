// Sounds and message boxes, through user32 and kernel32.
#include "../alerts.h"

#include <windows.h>

#include "text.h"

namespace {

const size_t BoxTextCapacity = 128;

void ShowBox(HWND owner, const char* text, const char* caption, UINT flags) {
    if (!UseWideTexts()) {
        (void)MessageBoxA(owner, text, caption, flags);
        return;
    }
    wchar_t wideText[BoxTextCapacity];
    wchar_t wideCaption[BoxTextCapacity];
    ToWideText(text, wideText, BoxTextCapacity);
    ToWideText(caption, wideCaption, BoxTextCapacity);
    (void)MessageBoxW(owner, wideText, wideCaption, flags);
}

} // namespace

void PlayDefaultSound() {
    (void)MessageBeep(0);
}

void PlayTone(unsigned frequency, unsigned milliseconds) {
    (void)Beep(frequency, milliseconds);
}

void ShowErrorBox(HWND owner, const char* text, const char* caption) {
    ShowBox(owner, text, caption, MB_OK | MB_ICONERROR | MB_SYSTEMMODAL);
}

void ShowInformationBox(HWND owner, const char* text, const char* caption) {
    ShowBox(owner, text, caption, MB_OK | MB_ICONINFORMATION | MB_SYSTEMMODAL);
}
