#include "options/game_options.h"

#include <shlwapi.h>
#include <wchar.h>

#include "entry/bounded_text.h"
#include "entry/files.h"
#include "entry/install_paths.h"
#include "options/ini_document.h"

OptionsRecord gameOptions;
OptionsBaseline optionsBaseline;

struct OptionKey {
    const wchar_t* section;
    const wchar_t* key;
    int32_t OptionsRecord::*field;
    int32_t defaultValue;
};

// Record order: the order of reading and of appending missing keys to the file.
static const OptionKey kOptionKeys[] = {
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
    const wchar_t* directory = installDirectory;
    if (lstrcmpW(workDirectory, installDirectory) == 0 || PathIsDirectoryW(workDirectory)) {
        directory = workDirectory;
    }
    // A cut path would name some other file: leave it empty, so nothing is read or written.
    size_t length = wcslen(directory);
    if (length + (sizeof(kFileName) / sizeof(kFileName[0])) > kPathCapacity) {
        path[0] = 0;
        return;
    }
    CopyBounded(path, kPathCapacity, directory);
    AppendBounded(path, kPathCapacity, kFileName);
}

void NormaliseOptionsForScreen(OptionsRecord* options, int screenWidth, int screenHeight) {
    if (Above(options->displayMode, 2)) options->displayMode = 1;
    if (options->displayMode == 2) {
        // Pop-up play always covers the screen.
        options->width = screenWidth;
        options->height = screenHeight;
    } else if (options->width == 0 || options->height == 0) {
        if (options->displayMode == 1) {
            options->width = 1024;
            options->height = 576;
        } else {
            options->width = screenWidth;
            options->height = screenHeight;
        }
    }
    if (Above(options->cursor, 1)) options->cursor = 0;
    if (Above(options->smoke, 400)) options->smoke = 400;
    if (Above(options->vectorcamera, 1)) options->vectorcamera = 1;
    if (Above(options->smokebutton, 1)) options->smokebutton = 1;
    if (Above(options->soundMode, 1)) options->soundMode = 1;
    int32_t* volumes[] = {&options->bgm, &options->plane, &options->cockpit, &options->voice};
    for (int32_t* volume : volumes) {
        if (Above(*volume, 100)) *volume = 80;
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
    int loaded = path[0] && LoadIniDocument(path);
    if (!path[0]) FreeIniDocument();
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
