// DirectX version through the setup library, and the first display adapter and the processor
// through the DxDiag provider.
#include "probe/directx_probe.h"

#include <objbase.h>
#include <oleauto.h>
#include <dxdiag.h>

#include "entry/bounded_text.h"
#include "entry/install_paths.h"

DirectXFacts directXFacts;

// The setup library's version query, exported by ordinal only.
typedef int(WINAPI* DirectXSetupGetVersionFunction)(DWORD* version, DWORD* revision);
enum { kDirectXSetupGetVersionOrdinal = 11 };

// Our own copies: not every SDK's uuid library carries the DxDiag identifiers.
static const CLSID kDxDiagProviderClass = {
    0xA65B8071, 0x3BFE, 0x4213, {0x9A, 0x5B, 0x49, 0x1D, 0xA4, 0x46, 0x1C, 0xA7}};
static const IID kDxDiagProviderInterface = {
    0x9C6B4CB0, 0x23F8, 0x49CC, {0xA3, 0xED, 0x45, 0xA5, 0x50, 0x00, 0xA6, 0xD2}};

enum { kChildNameCapacity = 256 };

// One rule of the version naming: the first rule of the major version whose test holds names it.
enum VersionTest { kAnyRevision, kBuildIs, kBuildBelow, kBuildFrom, kMinorIs };
enum { kPlusBuild = -1 };  // the number is the base plus the build

struct DirectXNameRule {
    uint32_t major;
    VersionTest test;
    uint32_t value;
    const wchar_t* name;
    int32_t added;  // to major x 1000, or kPlusBuild
};

static const DirectXNameRule kDirectXNameRules[] = {
    {5, kAnyRevision, 0, L"DirectX 5.0", 0},
    {6, kBuildIs, 518, L"DirectX 6.1a", kPlusBuild},
    {6, kBuildBelow, 436, L"DirectX 6.0", 0},
    {6, kAnyRevision, 0, L"DirectX 6.1", kPlusBuild},
    {7, kMinorIs, 1, L"DirectX 7.1", 130},
    {7, kBuildFrom, 716, L"DirectX 7.0a", 716},
    {7, kAnyRevision, 0, L"DirectX 7.0", 0},
    {8, kMinorIs, 1, L"DirectX 8.1", 100},
    {8, kAnyRevision, 0, L"DirectX 8.0", 0},
    {9, kBuildIs, 900, L"DirectX 9.0", 0},
    {9, kBuildIs, 901, L"DirectX 9.0a", kPlusBuild},
    {9, kBuildIs, 902, L"DirectX 9.0b", kPlusBuild},
    {9, kBuildIs, 904, L"DirectX 9.0c", kPlusBuild},
    {9, kAnyRevision, 0, L"DirectX 9.0c(higher)", kPlusBuild},
};

static int RuleHolds(const DirectXNameRule& rule, uint32_t build, uint32_t minor) {
    switch (rule.test) {
    case kBuildIs: return build == rule.value;
    case kBuildBelow: return build < rule.value;
    case kBuildFrom: return build >= rule.value;
    case kMinorIs: return minor == rule.value;
    default: return 1;
    }
}

uint32_t NameDirectXVersion(uint32_t version, uint32_t revision, wchar_t* name) {
    const uint32_t major = version & 0xFFFF;
    const uint32_t build = revision & 0xFFFF;
    const uint32_t minor = (revision >> 16) & 0xFFFF;
    const uint32_t base = major * 1000;
    for (const DirectXNameRule& rule : kDirectXNameRules) {
        if (rule.major != major || !RuleHolds(rule, build, minor)) continue;
        CopyBounded(name, kDirectXNameCapacity, rule.name);
        return base + (rule.added == kPlusBuild ? build : static_cast<uint32_t>(rule.added));
    }
    FormatBounded(name, kDirectXNameCapacity, L"DirectX %d.%d", static_cast<int>(major), static_cast<int>(minor));
    return base;
}

uint32_t ProbeDirectXVersion() {
    // A failed query leaves both at zero: "DirectX 0.0", never enough for the capability library.
    DWORD version = 0;
    DWORD revision = 0;
    // The installation's copy, for the query alone; a missing library or entry is a failed query.
    HMODULE setup = LoadInstalledLibrary(L"DSETUP.dll");
    if (setup) {
        auto getVersion = LookUpEntry<DirectXSetupGetVersionFunction>(
            setup, MAKEINTRESOURCEA(kDirectXSetupGetVersionOrdinal));
        if (getVersion) getVersion(&version, &revision);
        FreeLibrary(setup);
    }
    return NameDirectXVersion(version, revision, directXFacts.directXName);
}

void ReadTextProperty(IDxDiagContainer* container, const wchar_t* property, wchar_t* field,
                      int capacity) {
    VARIANT value;
    VariantInit(&value);
    if (SUCCEEDED(container->GetProp(property, &value)) && value.vt == VT_BSTR)
        CopyBounded(field, capacity, value.bstrVal);
    // Cleared whatever came back, so a value of an unexpected type is not leaked either.
    VariantClear(&value);
}

void ReadFlagProperty(IDxDiagContainer* container, const wchar_t* property, int32_t* flag) {
    VARIANT value;
    VariantInit(&value);
    if (SUCCEEDED(container->GetProp(property, &value)) && value.vt == VT_BOOL)
        *flag = value.boolVal != 0 ? 1 : 0;
    VariantClear(&value);
}

// Opens child `index` of `list` by its name; 0 when either step fails or no child comes back.
static int OpenChildByIndex(IDxDiagContainer* list, DWORD index, IDxDiagContainer** child) {
    wchar_t childName[kChildNameCapacity];
    childName[0] = 0;
    if (FAILED(list->EnumChildContainerNames(index, childName, kChildNameCapacity))) return 0;
    childName[kChildNameCapacity - 1] = 0;
    if (FAILED(list->GetChildContainer(childName, child))) return 0;
    return *child != nullptr;
}

static int OpenNamedChild(IDxDiagContainer* parent, const wchar_t* childName,
                          IDxDiagContainer** child) {
    return SUCCEEDED(parent->GetChildContainer(childName, child)) && *child != nullptr;
}

template <typename Interface>
static void ReleaseHeld(Interface** held) {
    if (*held) {
        (*held)->Release();
        *held = nullptr;
    }
}

static void ReadDisplayDevice(IDxDiagContainer* device) {
    ReadTextProperty(device, L"szChipType", directXFacts.displayChipType, kDxDiagTextCapacity);
    ReadTextProperty(device, L"szDisplayMemoryLocalized", directXFacts.displayMemoryText,
                     kDxDiagTextCapacity);
    ReadTextProperty(device, L"szDriverDateLocalized", directXFacts.displayDriverDate,
                     kDxDiagTextCapacity);
    ReadTextProperty(device, L"szDriverName", directXFacts.displayDriverName, kDxDiagTextCapacity);
    ReadTextProperty(device, L"szDriverVersion", directXFacts.displayDriverVersion,
                     kDxDiagTextCapacity);

    // One working flag for both chains: a missing AGP property keeps the Direct3D result.
    int32_t working = 0;
    ReadFlagProperty(device, L"b3DAccelerationEnabled", &working);
    if (working == 1) ReadFlagProperty(device, L"b3DAccelerationExists", &working);
    directXFacts.direct3DAccelerated = working;

    ReadFlagProperty(device, L"bAGPEnabled", &working);
    if (working == 1) ReadFlagProperty(device, L"bAGPExists", &working);
    if (working == 1) ReadFlagProperty(device, L"bAGPExistenceValid", &working);
    directXFacts.agpAccelerated = working;
}

static void EmptyDisplayFacts() {
    directXFacts.displayChipType[0] = 0;
    directXFacts.displayMemoryText[0] = 0;
    directXFacts.displayDriverVersion[0] = 0;
    directXFacts.displayDriverName[0] = 0;
    directXFacts.displayDriverDate[0] = 0;
    directXFacts.direct3DAccelerated = 0;
    directXFacts.agpAccelerated = 0;
}

// Reads the display, sound and system sections under `root`. Containers it opens are left in
// `device`, `list` and `system` for the caller to release; returns 1 when all sections ran.
static int WalkRoot(IDxDiagContainer* root, IDxDiagContainer** device, IDxDiagContainer** list,
                    IDxDiagContainer** system) {
    DWORD count = 0;

    if (!OpenNamedChild(root, L"DxDiag_DisplayDevices", list)) return 0;
    if (FAILED((*list)->GetNumberOfChildContainers(&count))) return 0;
    if (count > 0) {
        if (!OpenChildByIndex(*list, 0, device)) return 0;
        // Emptied only once the device is open, so a stop before leaves the old facts whole.
        EmptyDisplayFacts();
        ReadDisplayDevice(*device);
    } else {
        EmptyDisplayFacts();
    }
    ReleaseHeld(device);
    ReleaseHeld(list);

    // The sound device is only opened; none of its facts are kept.
    count = 0;
    if (!OpenNamedChild(root, L"DxDiag_DirectSound.DxDiag_SoundDevices", list)) return 0;
    if (FAILED((*list)->GetNumberOfChildContainers(&count))) return 0;
    if (count >= 1 && !OpenChildByIndex(*list, 0, device)) return 0;
    ReleaseHeld(device);
    ReleaseHeld(list);

    if (!OpenNamedChild(root, L"DxDiag_SystemInfo", system)) return 0;
    directXFacts.processorName[0] = 0;
    ReadTextProperty(*system, L"szProcessorEnglish", directXFacts.processorName,
                     kDxDiagTextCapacity);
    return 1;
}

int WalkDxDiagProvider(IDxDiagProvider* provider) {
    if (!provider) return 0;

    IDxDiagContainer* root = nullptr;
    IDxDiagContainer* device = nullptr;
    IDxDiagContainer* list = nullptr;
    IDxDiagContainer* system = nullptr;
    int reachedEnd = 0;

    DXDIAG_INIT_PARAMS parameters = {};
    parameters.dwSize = sizeof(parameters);  // 16 in 32-bit builds; the provider checks it
    parameters.dwDxDiagHeaderVersion = DXDIAG_DX9_SDK_VERSION;
    parameters.bAllowWHQLChecks = TRUE;
    parameters.pReserved = nullptr;

    if (SUCCEEDED(provider->Initialize(&parameters)) &&
        SUCCEEDED(provider->GetRootContainer(&root)) && root) {
        reachedEnd = WalkRoot(root, &device, &list, &system);
    }

    ReleaseHeld(&device);
    ReleaseHeld(&list);
    ReleaseHeld(&system);
    ReleaseHeld(&root);
    provider->Release();
    return reachedEnd;
}

int ProbeDxDiag() {
    // Uninitialised only when this call took a hold: a thread that the caller put in another
    // apartment refuses it, and must keep its own hold.
    const HRESULT initialised = CoInitialize(nullptr);
    IDxDiagProvider* provider = nullptr;
    HRESULT result = CoCreateInstance(kDxDiagProviderClass, nullptr, CLSCTX_INPROC_SERVER,
                                      kDxDiagProviderInterface,
                                      reinterpret_cast<void**>(&provider));
    int reachedEnd = 0;
    if (SUCCEEDED(result) && provider) reachedEnd = WalkDxDiagProvider(provider);
    if (SUCCEEDED(initialised)) CoUninitialize();
    return reachedEnd;
}
