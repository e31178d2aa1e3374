// The dial parameters in the 1052-byte RASDIALPARAMSA form of Windows 95 and
// 98: without the sub-entry and callback-identifier fields of later versions,
// which the headers of today's toolchains always add.
#pragma once

#include <stddef.h>
#include <stdint.h>

struct DialParams {
    uint32_t dwSize;
    char szEntryName[257];
    char szPhoneNumber[129];
    char szCallbackNumber[129];
    char szUserName[257];
    char szPassword[257];
    char szDomain[16];
};

static_assert(sizeof(DialParams) == 1052, "the service checks dwSize against this form");
static_assert(offsetof(DialParams, dwSize) == 0, "field offset");
static_assert(offsetof(DialParams, szEntryName) == 4, "field offset");
static_assert(offsetof(DialParams, szPhoneNumber) == 261, "field offset");
static_assert(offsetof(DialParams, szCallbackNumber) == 390, "field offset");
static_assert(offsetof(DialParams, szUserName) == 519, "field offset");
static_assert(offsetof(DialParams, szPassword) == 776, "field offset");
static_assert(offsetof(DialParams, szDomain) == 1033, "field offset");
