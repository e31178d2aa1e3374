// Windows-1251 to UTF-16, by table: the program must not depend on the
// system knowing code page 1251.
#include "cp1251.h"

namespace {

// Bytes 0x80 to 0xBF; 0xC0 to 0xFF are U+0410 to U+044F in order. 0x98 is
// unassigned and passes through as U+0098, as Windows converts it.
// clang-format off
const char16_t UpperHalf[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};
// clang-format on

char16_t ConvertByte(unsigned char byte) {
    if (byte < 0x80)
        return byte;
    if (byte < 0xC0)
        return UpperHalf[byte - 0x80];
    return static_cast<char16_t>(0x0410 + (byte - 0xC0));
}

} // namespace

size_t Cp1251ToUtf16(const char* text, size_t length, char16_t* out, size_t capacity) {
    size_t written = 0;
    for (; written < length && written + 1 < capacity; ++written)
        out[written] = ConvertByte(static_cast<unsigned char>(text[written]));
    out[written] = 0;
    return written;
}

size_t Cp1251ToUtf16(const char* text, char16_t* out, size_t capacity) {
    size_t length = 0;
    while (text[length] != 0)
        ++length;
    return Cp1251ToUtf16(text, length, out, capacity);
}
