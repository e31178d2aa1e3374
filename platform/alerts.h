// What the user hears and the message boxes that tell of a result or an
// error. Texts are Windows-1251; every box is system-modal with an OK button.
#pragma once

#include "handles.h"

void PlayDefaultSound();
void PlayTone(unsigned frequency, unsigned milliseconds);

// The caption of every error box: the notifier's and the run's.
inline constexpr char ErrorCaption[] = "Ошибка";

// Both block the calling thread until the user closes the box; owner may be null.
void ShowErrorBox(HWND owner, const char* text, const char* caption);
void ShowInformationBox(HWND owner, const char* text, const char* caption);
