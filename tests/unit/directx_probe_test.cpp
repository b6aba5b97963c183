// DirectX version naming, the DxDiag walk over fake COM objects, and both probes for real.

#include <objbase.h>
#include <oleauto.h>
#include <dxdiag.h>

#include <utility>

#include "process_records.h"
#include "shared/test_support.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Naming table

struct VersionRow {
    uint32_t major, minor, build;
    const wchar_t* name;
    uint32_t number;
};

TEST(DirectXVersionName, EveryRowOfTheTable) {
    const VersionRow rows[] = {
        {5, 0, 0, L"DirectX 5.0", 5000},
        {5, 2, 999, L"DirectX 5.0", 5000},
        {6, 0, 518, L"DirectX 6.1a", 6518},
        {6, 0, 435, L"DirectX 6.0", 6000},
        {6, 0, 0, L"DirectX 6.0", 6000},
        {6, 0, 436, L"DirectX 6.1", 6436},
        {6, 0, 517, L"DirectX 6.1", 6517},
        {6, 0, 519, L"DirectX 6.1", 6519},
        {7, 1, 0, L"DirectX 7.1", 7130},
        {7, 1, 800, L"DirectX 7.1", 7130},  // minor is tested before the build
        {7, 0, 716, L"DirectX 7.0a", 7716},
        {7, 0, 900, L"DirectX 7.0a", 7716},
        {7, 0, 715, L"DirectX 7.0", 7000},
        {8, 1, 881, L"DirectX 8.1", 8100},
        {8, 0, 400, L"DirectX 8.0", 8000},
        {8, 2, 0, L"DirectX 8.0", 8000},
        {9, 0, 900, L"DirectX 9.0", 9000},
        {9, 0, 901, L"DirectX 9.0a", 9901},
        {9, 0, 902, L"DirectX 9.0b", 9902},
        {9, 0, 904, L"DirectX 9.0c", 9904},
        {9, 0, 903, L"DirectX 9.0c(higher)", 9903},
        {9, 0, 0, L"DirectX 9.0c(higher)", 9000},
        {9, 0, 65535, L"DirectX 9.0c(higher)", 9000 + 65535},
        {4, 2, 0, L"DirectX 4.2", 4000},
        {10, 0, 0, L"DirectX 10.0", 10000},
        {0, 0, 0, L"DirectX 0.0", 0},
        {11, 3, 7, L"DirectX 11.3", 11000},
        {65535, 65535, 0, L"DirectX 65535.65535", 65535000},
    };
    for (const VersionRow& row : rows) {
        wchar_t name[kDirectXNameCapacity];
        wmemset(name, L'#', kDirectXNameCapacity);
        uint32_t number = NameDirectXVersion(row.major, (row.minor << 16) | row.build, name);
        EXPECT_STREQ(row.name, name) << row.major << "." << row.minor << " build " << row.build;
        EXPECT_EQ(row.number, number) << row.major << "." << row.minor << " build " << row.build;
    }
}

TEST(DirectXVersionName, HighWordOfTheVersionIsIgnored) {
    wchar_t name[kDirectXNameCapacity];
    EXPECT_EQ(9904u, NameDirectXVersion(0x00040009, 904, name));
    EXPECT_STREQ(L"DirectX 9.0c", name);
}

// ---------------------------------------------------------------------------------------------
// Fake provider and containers. Each object counts the references handed out; the walk has to
// give every one of them back. Calls are logged so that order and skipped reads can be checked.

typedef std::vector<std::wstring> CallLog;

// An empty VARIANT of the type, for the caller to fill in.
VARIANT Typed(VARTYPE type) {
    VARIANT value;
    VariantInit(&value);
    value.vt = type;
    return value;
}

// The IUnknown part of a fake: it counts the references it hands out, logs each release and
// counts releases past zero.
template <typename Interface>
class CountedFake : public Interface {
public:
    CountedFake(const wchar_t* label, CallLog* log, LONG references) : label(label), log(log), references(references) {}
    std::wstring label;
    CallLog* log;
    LONG references;
    int overReleased = 0;

    STDMETHODIMP QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override {
        log->push_back(L"Release " + label);
        if (references == 0) ++overReleased;
        else --references;
        return references;
    }
};

class FakeContainer : public CountedFake<IDxDiagContainer> {
public:
    FakeContainer(const wchar_t* label, CallLog* log) : CountedFake(label, log, 0) {}
    ~FakeContainer() {
        for (auto& property : properties) VariantClear(&property.second);
    }

    std::vector<std::pair<std::wstring, FakeContainer*>> children;
    std::vector<std::pair<std::wstring, VARIANT>> properties;
    bool failCount = false;
    bool failEnum = false;
    bool failOpen = false;   // GetChildContainer fails for every name
    bool nullChild = false;  // GetChildContainer succeeds without a container
    DWORD enumCapacity = 0;

    void AddChild(const wchar_t* name, FakeContainer* child) { children.push_back({name, child}); }
    void SetText(const wchar_t* name, const wchar_t* text) {
        VARIANT value = Typed(VT_BSTR);
        value.bstrVal = SysAllocString(text);
        Set(name, value);
    }
    void SetBool(const wchar_t* name, bool on) {
        VARIANT value = Typed(VT_BOOL);
        value.boolVal = on ? VARIANT_TRUE : VARIANT_FALSE;
        Set(name, value);
    }
    void Set(const wchar_t* name, VARIANT value) {
        Remove(name);
        properties.push_back({name, value});
    }
    void Remove(const wchar_t* name) {
        for (auto it = properties.begin(); it != properties.end(); ++it) {
            if (it->first == name) {
                VariantClear(&it->second);
                properties.erase(it);
                return;
            }
        }
    }

    STDMETHODIMP GetNumberOfChildContainers(DWORD* count) override {
        if (failCount) return E_FAIL;
        *count = static_cast<DWORD>(children.size());
        return S_OK;
    }
    STDMETHODIMP EnumChildContainerNames(DWORD index, LPWSTR name, DWORD capacity) override {
        enumCapacity = capacity;
        if (failEnum || index >= children.size()) return E_INVALIDARG;
        lstrcpynW(name, children[index].first.c_str(), static_cast<int>(capacity));
        return S_OK;
    }
    STDMETHODIMP GetChildContainer(LPCWSTR name, IDxDiagContainer** child) override {
        log->push_back(L"Open " + label + L"/" + name);
        *child = nullptr;
        if (failOpen) return E_INVALIDARG;
        if (nullChild) return S_OK;
        for (auto& entry : children) {
            if (entry.first == name) {
                entry.second->AddRef();
                *child = entry.second;
                return S_OK;
            }
        }
        return E_INVALIDARG;
    }
    STDMETHODIMP GetNumberOfProps(DWORD* count) override {
        *count = static_cast<DWORD>(properties.size());
        return S_OK;
    }
    STDMETHODIMP EnumPropNames(DWORD, LPWSTR, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetProp(LPCWSTR name, VARIANT* value) override {
        log->push_back(L"Get " + label + L"." + name);
        for (auto& property : properties)
            if (property.first == name) return VariantCopy(value, &property.second);
        return E_INVALIDARG;
    }
};

class FakeProvider : public CountedFake<IDxDiagProvider> {
public:
    explicit FakeProvider(CallLog* log) : CountedFake(L"provider", log, 1) {}  // one reference for the walk
    FakeContainer* root = nullptr;
    bool failInitialize = false;
    bool failRoot = false;
    bool nullRoot = false;
    DXDIAG_INIT_PARAMS seen = {};

    STDMETHODIMP Initialize(DXDIAG_INIT_PARAMS* parameters) override {
        seen = *parameters;
        return failInitialize ? E_FAIL : S_OK;
    }
    STDMETHODIMP GetRootContainer(IDxDiagContainer** container) override {
        *container = nullptr;
        if (failRoot) return E_FAIL;
        if (nullRoot) return S_OK;
        root->AddRef();
        *container = root;
        return S_OK;
    }
};

// A provider tree shaped like the real one, with every fact the walk keeps.
struct FakeTree {
    CallLog log;
    FakeProvider provider{&log};
    FakeContainer root{L"root", &log};
    FakeContainer displays{L"displays", &log};
    FakeContainer display{L"display0", &log};
    FakeContainer display2{L"display1", &log};
    FakeContainer sounds{L"sounds", &log};
    FakeContainer sound{L"sound0", &log};
    FakeContainer system{L"system", &log};

    FakeTree() {
        provider.root = &root;
        root.AddChild(L"DxDiag_SystemInfo", &system);
        root.AddChild(L"DxDiag_DisplayDevices", &displays);
        root.AddChild(L"DxDiag_DirectSound.DxDiag_SoundDevices", &sounds);
        displays.AddChild(L"0", &display);
        displays.AddChild(L"1", &display2);
        sounds.AddChild(L"0", &sound);
        display.SetText(L"szChipType", L"Test Chip 9000");
        display.SetText(L"szDisplayMemoryLocalized", L"256.0 MB");
        display.SetText(L"szDriverDateLocalized", L"3/4/2005 12:00:00");
        display.SetText(L"szDriverName", L"testdrv.dll");
        display.SetText(L"szDriverVersion", L"6.14.0010.6555");
        display.SetBool(L"b3DAccelerationEnabled", true);
        display.SetBool(L"b3DAccelerationExists", true);
        display.SetBool(L"bAGPEnabled", true);
        display.SetBool(L"bAGPExists", true);
        display.SetBool(L"bAGPExistenceValid", true);
        display2.SetText(L"szChipType", L"Second Chip");
        sound.SetText(L"szDescription", L"Speakers");
        system.SetText(L"szProcessorEnglish", L"Test Processor 3.0GHz");
    }

    std::vector<FakeContainer*> Containers() {
        return {&root, &displays, &display, &display2, &sounds, &sound, &system};
    }
    // Every reference the walk obtained was given back, and none twice.
    void ExpectAllReleased() {
        EXPECT_EQ(0, provider.references);
        EXPECT_EQ(0, provider.overReleased);
        for (FakeContainer* container : Containers()) {
            EXPECT_EQ(0, container->references) << container->label.c_str();
            EXPECT_EQ(0, container->overReleased) << container->label.c_str();
        }
    }
    CallLog Releases() const { return Filter(L"Release "); }
    CallLog Reads() const { return Filter(L"Get "); }
    CallLog Filter(const std::wstring& prefix) const {
        CallLog picked;
        for (const std::wstring& entry : log)
            if (entry.compare(0, prefix.size(), prefix) == 0) picked.push_back(entry);
        return picked;
    }
    bool Logged(const std::wstring& entry) const {
        for (const std::wstring& logged : log)
            if (logged == entry) return true;
        return false;
    }
};

// Fills every DxDiag field with a text that the walk never produces, so an untouched field shows.
void FillWithOldFacts() {
    const wchar_t* old = L"old";
    lstrcpyW(directXFacts.processorName, old);
    lstrcpyW(directXFacts.displayChipType, old);
    lstrcpyW(directXFacts.displayMemoryText, old);
    lstrcpyW(directXFacts.displayDriverVersion, old);
    lstrcpyW(directXFacts.displayDriverName, old);
    lstrcpyW(directXFacts.displayDriverDate, old);
    directXFacts.direct3DAccelerated = 7;
    directXFacts.agpAccelerated = 7;
}

// The display facts: chip type, memory, driver version, driver name, driver date, and the two flags.
void ExpectDisplay(const wchar_t* chip, const wchar_t* memory, const wchar_t* version, const wchar_t* name,
                   const wchar_t* date, int32_t direct3D, int32_t agp) {
    EXPECT_STREQ(chip, directXFacts.displayChipType);
    EXPECT_STREQ(memory, directXFacts.displayMemoryText);
    EXPECT_STREQ(version, directXFacts.displayDriverVersion);
    EXPECT_STREQ(name, directXFacts.displayDriverName);
    EXPECT_STREQ(date, directXFacts.displayDriverDate);
    EXPECT_EQ(direct3D, directXFacts.direct3DAccelerated);
    EXPECT_EQ(agp, directXFacts.agpAccelerated);
}

void ExpectDisplayUntouched() { ExpectDisplay(L"old", L"old", L"old", L"old", L"old", 7, 7); }

void ExpectDisplayFromFakeTree() {
    ExpectDisplay(L"Test Chip 9000", L"256.0 MB", L"6.14.0010.6555", L"testdrv.dll", L"3/4/2005 12:00:00", 1, 1);
}

void ExpectDisplayEmpty() { ExpectDisplay(L"", L"", L"", L"", L"", 0, 0); }

class DxDiagWalk : public RecordsTest {
protected:
    void SetUp() override { FillWithOldFacts(); }
};

TEST_F(DxDiagWalk, FullWalkReadsTheFirstDeviceAndReleasesInOrder) {
    FakeTree tree;
    EXPECT_EQ(1, WalkDxDiagProvider(&tree.provider));

    ExpectDisplayFromFakeTree();
    EXPECT_STREQ(L"Test Processor 3.0GHz", directXFacts.processorName);
    tree.ExpectAllReleased();

    EXPECT_EQ(sizeof(void*) == 4 ? 16u : 24u, tree.provider.seen.dwSize);
    EXPECT_EQ(111u, tree.provider.seen.dwDxDiagHeaderVersion);
    EXPECT_EQ(TRUE, tree.provider.seen.bAllowWHQLChecks);
    EXPECT_EQ(nullptr, tree.provider.seen.pReserved);
    EXPECT_EQ(256u, tree.displays.enumCapacity);

    const CallLog reads = {
        L"Get display0.szChipType",
        L"Get display0.szDisplayMemoryLocalized",
        L"Get display0.szDriverDateLocalized",
        L"Get display0.szDriverName",
        L"Get display0.szDriverVersion",
        L"Get display0.b3DAccelerationEnabled",
        L"Get display0.b3DAccelerationExists",
        L"Get display0.bAGPEnabled",
        L"Get display0.bAGPExists",
        L"Get display0.bAGPExistenceValid",
        L"Get system.szProcessorEnglish",
    };
    EXPECT_EQ(reads, tree.Reads());
    const CallLog opens = {
        L"Open root/DxDiag_DisplayDevices",
        L"Open displays/0",
        L"Open root/DxDiag_DirectSound.DxDiag_SoundDevices",
        L"Open sounds/0",
        L"Open root/DxDiag_SystemInfo",
    };
    EXPECT_EQ(opens, tree.Filter(L"Open "));
    const CallLog releases = {
        L"Release display0", L"Release displays", L"Release sound0", L"Release sounds",
        L"Release system",   L"Release root",     L"Release provider",
    };
    EXPECT_EQ(releases, tree.Releases());
}

TEST_F(DxDiagWalk, NoDisplayDeviceEmptiesTheDisplayFactsAndGoesOn) {
    FakeTree tree;
    tree.displays.children.clear();
    tree.sounds.children.clear();  // no sound device either: nothing to open there
    EXPECT_EQ(1, WalkDxDiagProvider(&tree.provider));

    ExpectDisplayEmpty();
    EXPECT_STREQ(L"Test Processor 3.0GHz", directXFacts.processorName);
    EXPECT_TRUE(tree.Logged(L"Open root/DxDiag_DirectSound.DxDiag_SoundDevices"));
    EXPECT_FALSE(tree.Logged(L"Open sounds/0"));
    tree.ExpectAllReleased();
}

TEST_F(DxDiagWalk, MissingPropertiesLeaveTheirFieldsEmpty) {
    FakeTree tree;
    tree.display.Remove(L"szChipType");
    tree.display.Remove(L"szDriverDateLocalized");
    tree.system.Remove(L"szProcessorEnglish");
    EXPECT_EQ(1, WalkDxDiagProvider(&tree.provider));

    EXPECT_STREQ(L"", directXFacts.displayChipType);
    EXPECT_STREQ(L"", directXFacts.displayDriverDate);
    EXPECT_STREQ(L"256.0 MB", directXFacts.displayMemoryText);
    EXPECT_STREQ(L"testdrv.dll", directXFacts.displayDriverName);
    EXPECT_STREQ(L"", directXFacts.processorName);
    tree.ExpectAllReleased();
}

TEST_F(DxDiagWalk, PropertiesOfTheWrongTypeAreIgnoredAndFreed) {
    FakeTree tree;
    CountedFake<IUnknown> held(L"held", &tree.log, 0);
    {
        VARIANT number = Typed(VT_I4);
        number.lVal = 42;
        tree.display.Set(L"szChipType", number);
        VARIANT object = Typed(VT_UNKNOWN);
        object.punkVal = &held;
        held.AddRef();  // the property's own reference
        tree.display.Set(L"szDriverName", object);
        // A flag given as text, and as a non-zero integer: neither counts as a boolean.
        tree.display.SetText(L"b3DAccelerationEnabled", L"1");
        VARIANT integerFlag = Typed(VT_I4);
        integerFlag.lVal = 1;
        tree.display.Set(L"bAGPEnabled", integerFlag);
    }
    EXPECT_EQ(1, WalkDxDiagProvider(&tree.provider));

    EXPECT_STREQ(L"", directXFacts.displayChipType);
    EXPECT_STREQ(L"", directXFacts.displayDriverName);
    EXPECT_STREQ(L"6.14.0010.6555", directXFacts.displayDriverVersion);
    EXPECT_EQ(0, directXFacts.direct3DAccelerated);
    EXPECT_EQ(0, directXFacts.agpAccelerated);
    EXPECT_FALSE(tree.Logged(L"Get display0.b3DAccelerationExists"));
    EXPECT_FALSE(tree.Logged(L"Get display0.bAGPExists"));
    EXPECT_EQ(1, held.references);  // the copy the walk received was cleared
    tree.ExpectAllReleased();
    tree.display.Remove(L"szDriverName");
    EXPECT_EQ(0, held.references);
}

TEST_F(DxDiagWalk, LongTextKeepsItsFirst127Characters) {
    FakeTree tree;
    std::wstring longVersion;
    for (int i = 0; i < 200; ++i) longVersion += static_cast<wchar_t>(L'0' + i % 10);
    tree.display.SetText(L"szDriverVersion", longVersion.c_str());
    EXPECT_EQ(1, WalkDxDiagProvider(&tree.provider));

    EXPECT_EQ(longVersion.substr(0, 127), std::wstring(directXFacts.displayDriverVersion));
    EXPECT_STREQ(L"testdrv.dll", directXFacts.displayDriverName);  // the neighbour is intact
    tree.ExpectAllReleased();
}

// One change to the display device's flags, the two results it gives, and the flag reads that
// must and must not happen.
struct FlagCase {
    const char* what;
    void (*change)(FakeTree*);
    int32_t direct3D;
    int32_t agp;
    std::vector<const wchar_t*> read;
    std::vector<const wchar_t*> notRead;
};

void ExpectFlagWalk(const FlagCase& flags) {
    SCOPED_TRACE(flags.what);
    FillWithOldFacts();  // each case must set both flags itself
    FakeTree tree;
    flags.change(&tree);
    EXPECT_EQ(1, WalkDxDiagProvider(&tree.provider));
    EXPECT_EQ(flags.direct3D, directXFacts.direct3DAccelerated);
    EXPECT_EQ(flags.agp, directXFacts.agpAccelerated);
    for (const wchar_t* flag : flags.read) EXPECT_TRUE(tree.Logged(std::wstring(L"Get display0.") + flag)) << flag;
    for (const wchar_t* flag : flags.notRead) EXPECT_FALSE(tree.Logged(std::wstring(L"Get display0.") + flag)) << flag;
    tree.ExpectAllReleased();
}

TEST_F(DxDiagWalk, AgpChainContinuesPastAnUnreadableEnabledFlag) {
    const FlagCase cases[] = {
        {"no AGP properties at all: the Direct3D result runs through the whole chain",
         [](FakeTree* t) {
             t->display.Remove(L"bAGPEnabled");
             t->display.Remove(L"bAGPExists");
             t->display.Remove(L"bAGPExistenceValid");
         },
         1, 1, {L"bAGPExists", L"bAGPExistenceValid"}, {}},
        {"no enabled flag, AGP absent",
         [](FakeTree* t) {
             t->display.Remove(L"bAGPEnabled");
             t->display.SetBool(L"bAGPExists", false);
         },
         1, 0, {L"bAGPExists"}, {L"bAGPExistenceValid"}},
        {"after a Direct3D result of 0 a missing enabled flag stops the chain at once",
         [](FakeTree* t) {
             t->display.SetBool(L"b3DAccelerationExists", false);
             t->display.Remove(L"bAGPEnabled");
         },
         0, 0, {}, {L"bAGPExists"}},
    };
    for (const FlagCase& flags : cases) ExpectFlagWalk(flags);
}

TEST_F(DxDiagWalk, FlagChainsStopAtTheFirstFalse) {
    const FlagCase cases[] = {
        {"Direct3D disabled: the AGP chain reads its own flags",
         [](FakeTree* t) { t->display.SetBool(L"b3DAccelerationEnabled", false); }, 0, 1, {},
         {L"b3DAccelerationExists"}},
        {"no Direct3D", [](FakeTree* t) { t->display.SetBool(L"b3DAccelerationExists", false); }, 0, 1, {}, {}},
        {"AGP disabled", [](FakeTree* t) { t->display.SetBool(L"bAGPEnabled", false); }, 1, 0, {},
         {L"bAGPExists", L"bAGPExistenceValid"}},
        {"AGP existence not valid", [](FakeTree* t) { t->display.SetBool(L"bAGPExistenceValid", false); }, 1, 0, {},
         {}},
    };
    for (const FlagCase& flags : cases) ExpectFlagWalk(flags);
}

// Which facts a stop leaves behind, and what it gives back.
enum Reached { kNothing, kDisplayOnly };

struct StopCase {
    const char* what;
    void (*breakTree)(FakeTree*);
    Reached reached;
    CallLog releases;
};

TEST_F(DxDiagWalk, EarlyStopsKeepUnreachedFactsAndReleaseEverything) {
    const StopCase cases[] = {
        {"Initialize fails", [](FakeTree* t) { t->provider.failInitialize = true; }, kNothing,
         {L"Release provider"}},
        {"root container fails", [](FakeTree* t) { t->provider.failRoot = true; }, kNothing,
         {L"Release provider"}},
        {"root container null", [](FakeTree* t) { t->provider.nullRoot = true; }, kNothing,
         {L"Release provider"}},
        {"display list missing", [](FakeTree* t) { t->root.children.erase(t->root.children.begin() + 1); },
         kNothing, {L"Release root", L"Release provider"}},
        {"display list null", [](FakeTree* t) { t->root.nullChild = true; }, kNothing,
         {L"Release root", L"Release provider"}},
        {"display count fails", [](FakeTree* t) { t->displays.failCount = true; }, kNothing,
         {L"Release displays", L"Release root", L"Release provider"}},
        {"display name fails", [](FakeTree* t) { t->displays.failEnum = true; }, kNothing,
         {L"Release displays", L"Release root", L"Release provider"}},
        {"display device fails", [](FakeTree* t) { t->displays.failOpen = true; }, kNothing,
         {L"Release displays", L"Release root", L"Release provider"}},
        {"display device null", [](FakeTree* t) { t->displays.nullChild = true; }, kNothing,
         {L"Release displays", L"Release root", L"Release provider"}},
        {"sound list missing", [](FakeTree* t) { t->root.children.pop_back(); }, kDisplayOnly,
         {L"Release display0", L"Release displays", L"Release root", L"Release provider"}},
        {"sound count fails", [](FakeTree* t) { t->sounds.failCount = true; }, kDisplayOnly,
         {L"Release display0", L"Release displays", L"Release sounds", L"Release root",
          L"Release provider"}},
        {"sound name fails", [](FakeTree* t) { t->sounds.failEnum = true; }, kDisplayOnly,
         {L"Release display0", L"Release displays", L"Release sounds", L"Release root",
          L"Release provider"}},
        {"sound device fails", [](FakeTree* t) { t->sounds.failOpen = true; }, kDisplayOnly,
         {L"Release display0", L"Release displays", L"Release sounds", L"Release root",
          L"Release provider"}},
        {"system missing", [](FakeTree* t) { t->root.children.erase(t->root.children.begin()); },
         kDisplayOnly,
         {L"Release display0", L"Release displays", L"Release sound0", L"Release sounds",
          L"Release root", L"Release provider"}},
    };
    for (const StopCase& stop : cases) {
        SCOPED_TRACE(stop.what);
        FillWithOldFacts();
        FakeTree tree;
        stop.breakTree(&tree);
        EXPECT_EQ(0, WalkDxDiagProvider(&tree.provider));
        if (stop.reached == kNothing) ExpectDisplayUntouched();
        else ExpectDisplayFromFakeTree();
        EXPECT_STREQ(L"old", directXFacts.processorName);
        EXPECT_EQ(stop.releases, tree.Releases());
        tree.ExpectAllReleased();
    }
}

TEST_F(DxDiagWalk, NoProviderIsAStop) {
    EXPECT_EQ(0, WalkDxDiagProvider(nullptr));
    ExpectDisplayUntouched();
}

TEST(DxDiagProperty, ReadsOnlyTheirOwnTypes) {
    CallLog log;
    FakeContainer container(L"c", &log);
    container.SetText(L"text", L"value");
    container.SetBool(L"yes", true);
    container.SetBool(L"no", false);
    VARIANT odd = Typed(VT_BOOL);
    odd.boolVal = 1;  // any non-zero boolean counts as set
    container.Set(L"odd", odd);
    VARIANT nullText = Typed(VT_BSTR);
    nullText.bstrVal = nullptr;
    container.Set(L"nullText", nullText);

    // Read in turn into one field: a read that does not take leaves the field as it was.
    const struct {
        const wchar_t* name;
        int capacity;
        const wchar_t* field;
    } texts[] = {{L"missing", 8, L"keep"}, {L"yes", 8, L"keep"}, {L"text", 4, L"val"}, {L"nullText", 8, L""}};
    wchar_t field[8];
    lstrcpyW(field, L"keep");
    for (const auto& text : texts) {
        ReadTextProperty(&container, text.name, field, text.capacity);
        EXPECT_STREQ(text.field, field) << text.name;
    }
    const struct {
        const wchar_t* name;
        int32_t before, after;
    } flags[] = {{L"missing", 1, 1}, {L"text", 1, 1}, {L"no", 1, 0}, {L"missing", 0, 0}, {L"odd", 0, 1}, {L"yes", 0, 1}};
    for (const auto& read : flags) {
        int32_t flag = read.before;
        ReadFlagProperty(&container, read.name, &flag);
        EXPECT_EQ(read.after, flag) << read.name << " from " << read.before;
    }
}

// ---------------------------------------------------------------------------------------------
// The real provider and setup library under Wine.

const CLSID kProviderClass = {
    0xA65B8071, 0x3BFE, 0x4213, {0x9A, 0x5B, 0x49, 0x1D, 0xA4, 0x46, 0x1C, 0xA7}};
const IID kProviderInterface = {
    0x9C6B4CB0, 0x23F8, 0x49CC, {0xA3, 0xED, 0x45, 0xA5, 0x50, 0x00, 0xA6, 0xD2}};

// What Wine 10's provider reports for its display device, whatever the machine, and the
// processor in its own format: the name, then the processor count.
TEST_F(DxDiagWalk, RealProviderFacts) {
    ASSERT_EQ(1, ProbeDxDiag());
    EXPECT_STREQ(L"", directXFacts.displayChipType);
    EXPECT_STREQ(L"4287.3 MB", directXFacts.displayMemoryText);
    EXPECT_STREQ(L"1/1/2016 10:00:00 AM", directXFacts.displayDriverDate);
    EXPECT_STREQ(L"nvd3dum.dll", directXFacts.displayDriverName);
    EXPECT_STREQ(L"9.21.0013.9135", directXFacts.displayDriverVersion);
    SYSTEM_INFO system = {};
    GetNativeSystemInfo(&system);
    const std::wstring count = L"(" + std::to_wstring(system.dwNumberOfProcessors) + L" CPUs)";
    const std::wstring processor = directXFacts.processorName;
    EXPECT_NE(std::wstring::npos, processor.find(count)) << Utf8(processor);
    EXPECT_GT(processor.find(count), 0u) << "a name comes first";
    // Without AGP properties (Wine has none) the Direct3D result runs through the AGP chain.
    EXPECT_EQ(directXFacts.direct3DAccelerated, directXFacts.agpAccelerated);
}

// Stands between the walk and the real provider, keeping the size of the init record that the
// walk hands over; everything else goes through unchanged.
class RecordingProvider : public IDxDiagProvider {
public:
    explicit RecordingProvider(IDxDiagProvider* real) : real(real) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        return real->QueryInterface(id, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return real->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return real->Release(); }
    HRESULT STDMETHODCALLTYPE Initialize(DXDIAG_INIT_PARAMS* parameters) override {
        seenSize = parameters->dwSize;
        initializeResult = real->Initialize(parameters);
        return initializeResult;
    }
    HRESULT STDMETHODCALLTYPE GetRootContainer(IDxDiagContainer** root) override {
        return real->GetRootContainer(root);
    }
    IDxDiagProvider* real;
    DWORD seenSize = 0;
    HRESULT initializeResult = E_FAIL;
};

TEST_F(DxDiagWalk, RealProviderAcceptsTheInitRecord) {
    // The provider refuses a record of another size than its own, which is 16 bytes for a
    // 32-bit program and 24 for a 64-bit one.
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    IDxDiagProvider* provider = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(kProviderClass, nullptr, CLSCTX_INPROC_SERVER,
                                           kProviderInterface, reinterpret_cast<void**>(&provider))));
    DXDIAG_INIT_PARAMS wrong = {20, DXDIAG_DX9_SDK_VERSION, TRUE, nullptr};
    EXPECT_EQ(E_INVALIDARG, provider->Initialize(&wrong));

    RecordingProvider recording(provider);
    EXPECT_EQ(1, WalkDxDiagProvider(&recording));  // releases the provider
    EXPECT_EQ(sizeof(void*) == 4 ? 16u : 24u, recording.seenSize);
    EXPECT_EQ(S_OK, recording.initializeResult);
    EXPECT_NE(L'\0', directXFacts.processorName[0]);
    CoUninitialize();
}

TEST_F(DxDiagWalk, RealProbeLeavesTheCallersApartmentAlone) {
    // A caller in the multithreaded apartment: the probe's own initialisation is refused, and
    // the caller's must survive it.
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    ProbeDxDiag();
    EXPECT_EQ(S_FALSE, CoInitializeEx(nullptr, COINIT_MULTITHREADED));  // still initialised
    CoUninitialize();
    CoUninitialize();
}

TEST(DirectXVersionProbe, FollowsTheInstalledVersion) {
    ProcessRecordsGuard records;
    SetDirectories(ProgramDirectory(), ProgramDirectory());  // the stand-in lies beside this program
    {
        RegistryValueOverride registry(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\DirectX", L"Version");
        ASSERT_TRUE(registry.Opened());

        ASSERT_TRUE(registry.Set(L"4.08.01.0881"));
        EXPECT_EQ(8100u, ProbeDirectXVersion());
        EXPECT_STREQ(L"DirectX 8.1", directXFacts.directXName);

        ASSERT_TRUE(registry.Set(L"4.09.00.0904"));
        EXPECT_EQ(9904u, ProbeDirectXVersion());
        EXPECT_STREQ(L"DirectX 9.0c", directXFacts.directXName);

        // A failed query: nothing is reported, and nothing may reach the threshold.
        registry.Remove();
        EXPECT_EQ(0u, ProbeDirectXVersion());
        EXPECT_STREQ(L"DirectX 0.0", directXFacts.directXName);
    }
}

// The query is ordinal 11 of the installation's DSETUP.dll, loaded for the query alone. Without
// the library, or in a library without that ordinal (here the capability library under the
// setup library's name), the query fails.
TEST(DirectXVersionProbe, AsksTheInstallationsSetupLibraryByOrdinal) {
    ProcessRecordsGuard records;
    RegistryValueOverride registry(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\DirectX", L"Version", L"4.09.00.0904");
    ASSERT_TRUE(registry.Applied());
    const struct {
        const wchar_t* copied;  // the file that becomes the installation's DSETUP.dll, or none
        uint32_t number;
        const wchar_t* name;
    } cases[] = {
        {L"DSETUP.dll", 9904, L"DirectX 9.0c"},
        {nullptr, 0, L"DirectX 0.0"},
        {L"vidq.dll", 0, L"DirectX 0.0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.copied ? Utf8(c.copied) : "no library");
        ScratchDirectory install(L"dsetup");
        ASSERT_TRUE(install.Made());
        std::wstring library = install.File(L"DSETUP.dll");
        if (c.copied) {
            ASSERT_TRUE(CopyFileW((ProgramDirectory() + c.copied).c_str(), library.c_str(), FALSE));
        }
        SetDirectories(install.Path(), install.Path());
        EXPECT_EQ(c.number, ProbeDirectXVersion());
        EXPECT_STREQ(c.name, directXFacts.directXName);
        EXPECT_EQ(nullptr, GetModuleHandleW(library.c_str()));
    }
}

}  // namespace
