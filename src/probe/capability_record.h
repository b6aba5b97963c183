// Layout of the record that the graphics-capability library (vidq.dll) hands out, shared by the
// tool and the library. Offsets are bytes from the record's start, integers little-endian.
// On 32-bit Windows the resolution table pointer sits at 976 with the depth figures at 980 and
// 984; on 64-bit Windows the pointer is 8 bytes wide, so the depth figures move to 984 and 988.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <windows.h>

// One row of the resolution table: {width, height, third value}. The first row is never read;
// the rest end at the first row whose width or height is 0.
struct ResolutionTableEntry {
    uint32_t width;
    uint32_t height;
    uint32_t third;
};

enum {
    kCapabilityMaxAnisotropyLevels = 15,
    kCapabilityMaxAntiAliasLevels = 14,
    kCapabilityKindInformation = 5,
};

struct CapabilityRecord {
    uint8_t reserved0[168];
    wchar_t makerName[80];                                    // 168
    wchar_t modelName[248];                                   // 328
    uint32_t textureStageCount;                               // 824
    uint32_t maxTextureWidth;                                 // 828
    uint32_t maxTextureHeight;                                // 832
    uint32_t lightCount;                                      // 836
    uint32_t streamCount;                                     // 840
    uint8_t reserved844[8];
    uint32_t anisotropyLevels[kCapabilityMaxAnisotropyLevels + 1];  // 852, ended by 0
    uint32_t antiAliasLevels[kCapabilityMaxAntiAliasLevels + 1];    // 916, ended by 0
    const ResolutionTableEntry* resolutionTable;              // 976
    uint32_t depthBitsFirst;                                  // 980 (32-bit) / 984 (64-bit)
    uint32_t depthBitsSecond;                                 // 984 (32-bit) / 988 (64-bit)
};

static_assert(offsetof(CapabilityRecord, makerName) == 168, "maker name offset");
static_assert(offsetof(CapabilityRecord, modelName) == 328, "model name offset");
static_assert(offsetof(CapabilityRecord, textureStageCount) == 824, "texture stages offset");
static_assert(offsetof(CapabilityRecord, maxTextureWidth) == 828, "texture width offset");
static_assert(offsetof(CapabilityRecord, maxTextureHeight) == 832, "texture height offset");
static_assert(offsetof(CapabilityRecord, lightCount) == 836, "light count offset");
static_assert(offsetof(CapabilityRecord, streamCount) == 840, "stream count offset");
static_assert(offsetof(CapabilityRecord, anisotropyLevels) == 852, "anisotropy levels offset");
static_assert(offsetof(CapabilityRecord, antiAliasLevels) == 916, "anti-alias levels offset");
static_assert(offsetof(CapabilityRecord, resolutionTable) == 976, "resolution table offset");
static_assert(offsetof(CapabilityRecord, depthBitsFirst) == 976 + sizeof(void*), "first depth offset");
static_assert(offsetof(CapabilityRecord, depthBitsSecond) == 980 + sizeof(void*), "second depth offset");

// The library's three entries (standard call convention; a session is a handle).
typedef HANDLE(WINAPI* VidqStartFunction)(HWND window, const RECT* rectangle, int mode);
typedef int(WINAPI* VidqEndFunction)(HANDLE session);
typedef const CapabilityRecord*(WINAPI* VidqGetInformationFunction)(HANDLE session, int kind);
