// DirectX version (through the setup library) and the diagnostic facts of the first display
// adapter and the processor (through the DxDiag provider).
#pragma once

#include <stdint.h>
#include <windows.h>

struct IDxDiagProvider;
struct IDxDiagContainer;

enum {
    kDirectXNameCapacity = 21,  // "DirectX 9.0c(higher)" and its terminator
    kDxDiagTextCapacity = 128,
};

struct DirectXFacts {
    uint32_t directXVersion;
    wchar_t directXName[kDirectXNameCapacity];
    wchar_t processorName[kDxDiagTextCapacity];
    wchar_t displayChipType[kDxDiagTextCapacity];
    wchar_t displayMemoryText[kDxDiagTextCapacity];
    wchar_t displayDriverVersion[kDxDiagTextCapacity];
    wchar_t displayDriverName[kDxDiagTextCapacity];
    wchar_t displayDriverDate[kDxDiagTextCapacity];
    int32_t direct3DAccelerated;
    int32_t agpAccelerated;
};

extern DirectXFacts directXFacts;

// Asks the installation's DSETUP.dll (ordinal 11), loaded for the query, and names the result;
// writes directXName, returns the number (0, "DirectX 0.0", without the library or the entry).
uint32_t ProbeDirectXVersion();
// The naming table over the version/revision pair of the setup library.
uint32_t NameDirectXVersion(uint32_t version, uint32_t revision, wchar_t* name);
// Creates the provider and walks it; 1 when the walk reached its end, 0 when it stopped.
int ProbeDxDiag();
// The walk over a created provider (Initialize is called here); tests pass fakes. Takes over
// the caller's reference to the provider and releases it, with everything obtained, on every path.
int WalkDxDiagProvider(IDxDiagProvider* provider);
void ReadTextProperty(IDxDiagContainer* container, const wchar_t* property, wchar_t* field,
                      int capacity);
void ReadFlagProperty(IDxDiagContainer* container, const wchar_t* property, int32_t* flag);
