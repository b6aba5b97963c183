// File helpers for the unit tests: whole files written and read back, and temporary directories
// that are removed with everything in them.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

// Writes the bytes as the whole file, replacing any file of that name.
inline void PutFile(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    if (!bytes.empty()) WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(bytes.size(), written);
}

// Reads the whole file. False when it cannot be opened (the bytes are then empty) or when not
// all of it could be read. Writers are shared with: a stand-in library appends to its call log.
inline bool ReadWholeFile(const std::wstring& path, std::string* bytes) {
    bytes->clear();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD size = GetFileSize(file, nullptr);
    bytes->assign(size, '\0');
    DWORD read = 0;
    BOOL ok = size == 0 || ReadFile(file, &(*bytes)[0], size, &read, nullptr);
    CloseHandle(file);
    bytes->resize(read);
    return ok && read == size;
}

// The file's bytes, or "<missing>" when it cannot be read, so that a comparison shows which.
inline std::string FileText(const std::wstring& path) {
    std::string bytes;
    return ReadWholeFile(path, &bytes) ? bytes : std::string("<missing>");
}

// Makes a new, empty directory "wgconf-TAG-PROCESS-N" under the temporary directory; its path
// ends in a backslash. False, with an empty path, when none could be made.
inline bool MakeTempDirectory(const wchar_t* tag, std::wstring* path) {
    static int serial;
    path->clear();
    wchar_t base[MAX_PATH];
    DWORD length = GetTempPathW(MAX_PATH, base);
    if (length == 0 || length >= MAX_PATH) return false;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring candidate = std::wstring(base) + L"wgconf-" + tag + L"-" + std::to_wstring(GetCurrentProcessId()) +
                                 L"-" + std::to_wstring(++serial) + L"\\";
        if (CreateDirectoryW(candidate.c_str(), nullptr)) {
            *path = candidate;
            return true;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) return false;  // left over from an earlier run: try the next
    }
    return false;
}

// Removes the directory with all files and directories in it, read-only ones too. True when
// the directory itself is gone; a file still in use (a loaded library) keeps it.
inline bool RemoveTree(const std::wstring& directory) {
    if (directory.empty()) return false;  // never the current directory
    std::wstring base = directory;
    if (base.back() != L'\\') base += L'\\';
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((base + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring entry = base + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(entry);
            } else {
                SetFileAttributesW(entry.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(entry.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    SetFileAttributesW(base.c_str(), FILE_ATTRIBUTE_NORMAL);
    return RemoveDirectoryW(base.c_str()) != 0;
}

// The test program's directory (the build's bin), with its trailing backslash.
inline std::wstring ProgramDirectory() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring text(path, length);
    return text.substr(0, text.rfind(L'\\') + 1);
}

// Names of the files directly inside a folder (given with its trailing backslash), in the
// order the file system lists them.
inline std::vector<std::wstring> FileNamesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

// A temporary directory for the life of the object. Check Made() before use: without it every
// path would be relative to the current directory.
class ScratchDirectory {
public:
    explicit ScratchDirectory(const wchar_t* tag) { made_ = MakeTempDirectory(tag, &path_); }
    ~ScratchDirectory() {
        if (made_) RemoveTree(path_);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    bool Made() const { return made_; }
    const std::wstring& Path() const { return path_; }  // with a trailing backslash
    std::wstring File(const std::wstring& relative) const { return path_ + relative; }
    // A directory inside, with a trailing backslash.
    std::wstring MakeDirectory(const std::wstring& relative) const {
        CreateDirectoryW(File(relative).c_str(), nullptr);
        return File(relative) + L"\\";
    }
    // A file inside holding the bytes; its full path.
    std::wstring Write(const std::wstring& relative, const std::string& bytes) const {
        std::wstring path = File(relative);
        PutFile(path, bytes);
        return path;
    }
    // Names of the files directly inside.
    std::vector<std::wstring> Files() const { return FileNamesIn(path_); }

private:
    std::wstring path_;
    bool made_ = false;
};
