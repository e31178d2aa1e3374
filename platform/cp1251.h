// The one place where the program's Windows-1251 texts become UTF-16, for
// systems whose ANSI code page is not 1251.
#pragma once

#include <stddef.h>

// Converts length bytes of text; writes at most capacity - 1 characters and
// a terminating zero (capacity > 0). Returns the number of characters written.
size_t Cp1251ToUtf16(const char* text, size_t length, char16_t* out, size_t capacity);

// The same for a zero-terminated text.
size_t Cp1251ToUtf16(const char* text, char16_t* out, size_t capacity);
