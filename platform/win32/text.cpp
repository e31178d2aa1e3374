// The choice between the ANSI and the wide calls.
#include "text.h"

#include <windows.h>

#include "../cp1251.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wide characters");

namespace {

const DWORD Windows9xFlag = 0x80000000;
const UINT RussianCodePage = 1251;

} // namespace

bool UseWideTexts() {
    if ((GetVersion() & Windows9xFlag) != 0)
        return false;
    return GetACP() != RussianCodePage;
}

void ToWideText(const char* text, wchar_t* out, size_t capacity) {
    (void)Cp1251ToUtf16(text, reinterpret_cast<char16_t*>(out), capacity);
}
