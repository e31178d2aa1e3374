// The two helpers that the compiler may call for large copies and fills;
// with no C runtime linked, the program brings its own.
#include <stddef.h>

extern "C" {

void* memset(void* destination, int value, size_t size) {
    unsigned char* out = static_cast<unsigned char*>(destination);
    while (size-- > 0)
        *out++ = static_cast<unsigned char>(value);
    return destination;
}

void* memcpy(void* destination, const void* source, size_t size) {
    unsigned char* out = static_cast<unsigned char*>(destination);
    const unsigned char* in = static_cast<const unsigned char*>(source);
    while (size-- > 0)
        *out++ = *in++;
    return destination;
}
}
