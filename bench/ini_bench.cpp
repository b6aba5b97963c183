// Times the options file round trip (load, fourteen reads, save) with the INI engine and with
// the platform's private-profile functions, on a typical GameOption.ini and on a 1 MB file of
// 20,000 lines. Prints the figures; never fails on a number.
#include <stdio.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "entry/install_paths.h"
#include "options/game_options.h"
#include "options/ini_document.h"
#include "unit/options_text.h"

// 20,000 lines, about 1 MB: other tools' sections first, the options' sections last.
static std::string LargeText() {
    std::string text;
    int lines = 0;
    const int kOptionLines = static_cast<int>(std::count(kTypicalOptionsFile, kTypicalOptionsFile + sizeof(kTypicalOptionsFile), '\n'));
    for (int section = 0; lines < 20000 - kOptionLines; ++section) {
        char line[128];
        snprintf(line, sizeof(line), "[TOOL%05d]\r\n", section);
        text += line;
        ++lines;
        for (int key = 0; key < 9 && lines < 20000 - kOptionLines; ++key, ++lines) {
            if (key == 4) {
                snprintf(line, sizeof(line), "# setting group %05d.%d of another tool, kept as written\r\n", section, key);
            } else {
                snprintf(line, sizeof(line), "entry%02d = value %05d-%d abcdefghijklmnopqrstuvwxyz0123\r\n", key,
                         section, key);
            }
            text += line;
        }
    }
    return text + kTypicalOptionsFile;
}

static void PutBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE) {
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
}

static double Seconds() {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Load with fourteen reads, then save: what the tool does at start-up and on OK.
static double EngineRun(const std::wstring& path, const std::string& text) {
    PutBytes(path, text);
    double start = Seconds();
    LoadGameOptions();
    gameOptions.smoke = 300;
    if (!SaveGameOptions()) fprintf(stderr, "engine save failed\n");
    return Seconds() - start;
}

static double ProfileRun(const std::wstring& path, const std::string& text) {
    PutBytes(path, text);
    double start = Seconds();
    int values[14];
    for (int i = 0; i < 14; ++i) values[i] = static_cast<int>(GetPrivateProfileIntW(kOptionKeys[i].section, kOptionKeys[i].key, 0, path.c_str()));
    values[4] = 300;
    for (int i = 0; i < 14; ++i) {
        wchar_t number[16];
        swprintf(number, 16, L"%d", values[i]);
        if (!WritePrivateProfileStringW(kOptionKeys[i].section, kOptionKeys[i].key, number, path.c_str())) {
            fprintf(stderr, "profile write failed\n");
        }
    }
    return Seconds() - start;
}

static double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Result {
    double engine;
    double profile;
};

static Result Measure(const std::wstring& directory, const std::string& text, int runs) {
    std::wstring options = directory + L"GameOption.ini";
    std::wstring profile = directory + L"Profile.ini";
    std::vector<double> engine, platform;
    for (int run = 0; run < runs; ++run) {
        engine.push_back(EngineRun(options, text));
        platform.push_back(ProfileRun(profile, text));
    }
    // Both must have read the file right.
    if (gameOptions.width != 1280 || gameOptions.bgm != 70 ||
        GetPrivateProfileIntW(L"VOLUME", L"bgm", 0, profile.c_str()) != 70) {
        fprintf(stderr, "a run read wrong values\n");
    }
    DeleteFileW(options.c_str());
    DeleteFileW(profile.c_str());
    return {Median(engine), Median(platform)};
}

static void Report(const char* what, size_t bytes, const Result& result) {
    printf("%-30s %8zu bytes  engine %9.3f ms  private profile %9.3f ms  ratio %6.1f\n", what, bytes,
           result.engine * 1000.0, result.profile * 1000.0, result.profile / result.engine);
}

int main() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    std::wstring directory = std::wstring(base) + L"wgconf-bench-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(directory.c_str(), nullptr);
    lstrcpynW(installDirectory, directory.c_str(), kPathCapacity);
    lstrcpynW(workDirectory, directory.c_str(), kPathCapacity);

    std::string large = LargeText();
    size_t lines = static_cast<size_t>(std::count(large.begin(), large.end(), '\n'));
    Result typical = Measure(directory, kTypicalOptionsFile, 50);
    Result big = Measure(directory, large, 3);
    RemoveDirectoryW(directory.c_str());

    printf("load + 14 reads + save, median of runs\n");
    Report("typical GameOption.ini", sizeof(kTypicalOptionsFile) - 1, typical);
    char label[64];
    snprintf(label, sizeof(label), "generated, %zu lines", lines);
    Report(label, large.size(), big);
    return 0;
}
