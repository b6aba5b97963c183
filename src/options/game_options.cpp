#include "options/game_options.h"

#include "entry/bounded_text.h"
#include "entry/files.h"
#include "entry/install_paths.h"
#include "options/ini_document.h"
#include "resources/resource.h"

OptionsRecord gameOptions;
OptionsBaseline optionsBaseline;

const OptionKey kOptionKeys[kOptionKeyCount] = {
    {L"DISPLAY", L"mode", &OptionsRecord::displayMode, 1},
    {L"DISPLAY", L"width", &OptionsRecord::width, 1024},
    {L"DISPLAY", L"height", &OptionsRecord::height, 576},
    {L"SYSTEM", L"cursor", &OptionsRecord::cursor, 1},
    {L"SYSTEM", L"smoke", &OptionsRecord::smoke, 100},
    {L"SYSTEM", L"vectorcamera", &OptionsRecord::vectorcamera, 1},
    {L"SYSTEM", L"antialias", &OptionsRecord::antialias, 2},
    {L"SYSTEM", L"anisotropy", &OptionsRecord::anisotropy, 2},
    {L"INPUT", L"smokebutton", &OptionsRecord::smokebutton, 1},
    {L"SOUND", L"mode", &OptionsRecord::soundMode, 1},
    {L"VOLUME", L"bgm", &OptionsRecord::bgm, 80},
    {L"VOLUME", L"plane", &OptionsRecord::plane, 80},
    {L"VOLUME", L"cockpit", &OptionsRecord::cockpit, 80},
    {L"VOLUME", L"voice", &OptionsRecord::voice, 80},
};
static_assert(sizeof(kOptionKeys) / sizeof(kOptionKeys[0]) == kOptionKeyCount, "one bit per key");

const SmokeLevel kSmokeLevels[kSmokeLevelCount] = {
    {100, IDS_SMOKE_NORMAL, nullptr},
    {200, IDS_SMOKE_X2, nullptr},
    {300, IDS_SMOKE_X3, nullptr},
    {400, 0, L"x4"},
};

int SmokeLevelOfAmount(int32_t smoke) {
    const uint32_t amount = static_cast<uint32_t>(smoke);
    for (int level = 0; level < kSmokeLevelCount - 1; ++level)
        if (amount <= static_cast<uint32_t>(kSmokeLevels[level].upperAmount)) return level;
    return kSmokeLevelCount - 1;
}

const VolumeOption kVolumeOptions[kVolumeCount] = {
    {&OptionsRecord::bgm, IDC_VOLUME_BGM, IDC_LABEL_BGM},
    {&OptionsRecord::plane, IDC_VOLUME_PLANE, IDC_LABEL_PLANE},
    {&OptionsRecord::cockpit, IDC_VOLUME_COCKPIT, IDC_LABEL_COCKPIT},
    {&OptionsRecord::voice, IDC_VOLUME_VOICE, IDC_LABEL_VOICE},
};

static const wchar_t kFileName[] = L"GameOption.ini";

// Signed decimal, no padding and no plus sign.
static void FormatDecimal(int32_t value, wchar_t* text, int capacity) {
    wchar_t digits[16];
    int count = 0;
    int64_t magnitude = value < 0 ? -static_cast<int64_t>(value) : value;
    do {
        digits[count++] = static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0);
    wchar_t formatted[16];
    int length = 0;
    if (value < 0) formatted[length++] = L'-';
    while (count > 0) formatted[length++] = digits[--count];
    formatted[length] = 0;
    CopyBounded(text, capacity, formatted);
}

// Unsigned, so that a negative value counts as too large.
static int Above(int32_t value, uint32_t limit) { return static_cast<uint32_t>(value) > limit; }

void GameOptionPath(wchar_t* path) {
    // A path that does not fit stays empty, so nothing is read or written.
    JoinPath(path, kPathCapacity, WorkFileDirectory(), kFileName);
}

void NormaliseOptionsForScreen(OptionsRecord* options, int screenWidth, int screenHeight) {
    if (Above(options->displayMode, kModePopup)) options->displayMode = kModeWindow;
    if (options->displayMode == kModePopup) {
        // Pop-up play always covers the screen.
        options->width = screenWidth;
        options->height = screenHeight;
    } else if (options->width == 0 || options->height == 0) {
        if (options->displayMode == kModeWindow) {
            options->width = 1024;
            options->height = 576;
        } else {
            options->width = screenWidth;
            options->height = screenHeight;
        }
    }
    if (Above(options->cursor, 1)) options->cursor = 0;
    const int32_t largestSmoke = kSmokeLevels[kSmokeLevelCount - 1].upperAmount;
    if (Above(options->smoke, static_cast<uint32_t>(largestSmoke))) options->smoke = largestSmoke;
    if (Above(options->vectorcamera, 1)) options->vectorcamera = 1;
    if (Above(options->smokebutton, 1)) options->smokebutton = 1;
    if (Above(options->soundMode, 1)) options->soundMode = 1;
    for (const VolumeOption& volume : kVolumeOptions) {
        if (Above(options->*volume.field, 100)) options->*volume.field = 80;
    }
}

void NormaliseGameOptions() {
    NormaliseOptionsForScreen(&gameOptions, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

void SetDefaultOptions(OptionsRecord* options) {
    for (const OptionKey& option : kOptionKeys) options->*option.field = option.defaultValue;
}

void LoadGameOptions() {
    gameOptions = OptionsRecord();
    wchar_t path[kPathCapacity];
    GameOptionPath(path);
    // Without a readable file every lookup gives its default.
    int loaded = LoadIniDocument(path);
    for (const OptionKey& option : kOptionKeys) {
        gameOptions.*option.field = GetIniInt(option.section, option.key, option.defaultValue);
    }
    FreeIniDocument();
    NormaliseGameOptions();
    optionsBaseline.fileUnread = !loaded && path[0] && !FileIsMissing(path);
    optionsBaseline.allChanged = 0;
    optionsBaseline.started = gameOptions;
}

uint32_t OptionKeysToSave(const OptionsBaseline* baseline, const OptionsRecord* options, int fileExists) {
    if (!baseline->fileUnread || !fileExists || baseline->allChanged) return kAllOptionKeys;
    uint32_t keys = 0;
    for (int i = 0; i < kOptionKeyCount; ++i) {
        if (options->*kOptionKeys[i].field != baseline->started.*kOptionKeys[i].field) keys |= 1u << i;
    }
    if (keys & kScreenOptionKeys) keys |= kScreenOptionKeys;
    return keys;
}

void MarkAllOptionsChanged() { optionsBaseline.allChanged = 1; }

int SaveGameOptions() {
    wchar_t path[kPathCapacity];
    GameOptionPath(path);
    if (!path[0]) return 0;
    int exists = !FileIsMissing(path);
    uint32_t keys = OptionKeysToSave(&optionsBaseline, &gameOptions, exists);
    if (keys == 0) return 1;
    // A file that exists but cannot be read whole is left alone: rewriting it from an empty or
    // partial document would throw away what the document does not hold.
    if (!LoadIniDocument(path) && exists) return 0;
    int result = 1;
    for (int i = 0; i < kOptionKeyCount; ++i) {
        if (!(keys & (1u << i))) continue;
        wchar_t text[kTextCapacity];
        FormatDecimal(gameOptions.*kOptionKeys[i].field, text, kTextCapacity);
        if (!SetIniValue(kOptionKeys[i].section, kOptionKeys[i].key, text)) result = 0;
    }
    // A key that could not be set is not saved: the file keeps what it had.
    if (result) result = WriteIniDocument(path);
    FreeIniDocument();
    return result;
}
