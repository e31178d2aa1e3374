// Which form of the text calls to use, and the conversion for the wide form.
#pragma once

#include <stddef.h>

// False where the ANSI calls show Windows-1251 right (a code page of 1251)
// and on Windows 95/98/Me, whose wide calls but MessageBoxW are stubs.
bool UseWideTexts();

void ToWideText(const char* text, wchar_t* out, size_t capacity);
