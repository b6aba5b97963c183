// What the unit and UI test programs both need: whole files, temporary folders, the program's
// and the source tree's places, UTF-8, lines, the texts of controls, and registry values and
// environment variables set for a while.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// --- Files and folders

// Writes the bytes as the whole file, replacing any file of that name.
bool WriteBytes(const std::wstring& path, const std::string& bytes);
// Reads the whole file. False when it cannot be opened (the bytes are then empty) or when not
// all of it could be read. Writers are shared with: a stand-in library appends to its call log.
bool ReadWholeFile(const std::wstring& path, std::string* bytes);
std::string ReadBytes(const std::wstring& path);  // empty when it cannot be read
std::string FileText(const std::wstring& path);   // "<missing>" when it cannot be read
bool FileExists(const std::wstring& path);        // a file, not a folder
// Names of the files directly inside a folder (given with its trailing backslash), in the
// order the file system lists them.
std::vector<std::wstring> FileNamesIn(const std::wstring& folder);
// Makes a new, empty folder "wgconf-TAG-PROCESS-N" under the temporary folder; its path ends in
// a backslash. False, with an empty path, when none could be made.
bool MakeTempDirectory(const wchar_t* tag, std::wstring* path);
// Removes the folder with everything in it, read-only files too. True when the folder itself
// is gone; a file still in use (a loaded library) keeps it.
bool RemoveTree(const std::wstring& directory);
std::wstring ProgramPath();                        // this program's file
std::wstring ProgramDirectory();                   // the build's bin, with a trailing backslash
std::wstring SourcePath(const wchar_t* relative);  // a file of the source tree, as Wine sees it
// A folder under `parent` whose path is longer than `length` units, made level by level: its
// path with the long-path prefix ("\\?\") and a trailing backslash, or empty on failure.
std::wstring MakeDeepDirectory(const std::wstring& parent, size_t length);
// The parent of the folders with real file-system faults and links that tests/save_faults.sh
// prepares, named in WGCONF_FAULT_DIR (with a trailing backslash); empty when the tests run
// without them.
std::wstring FaultFolders();

// --- Programs

// An export of a loaded module as a function of its own type; null when it has none.
template <typename Function>
Function ExportOf(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Runs the program with the arguments in the folder (the current one when empty) and waits
// for its end, at most a minute. Its exit code, or -1 when it did not start or did not end.
int RunProgram(const std::wstring& program, const std::wstring& arguments, const std::wstring& folder = L"");

// --- Text

std::string Utf8(const std::wstring& text);
std::vector<std::string> SplitLines(const std::string& text);  // CR LF or LF line ends

// --- The Wine that runs this program

// What it tells of itself through ntdll's exports, read with the tests' own declarations; empty
// texts where an export is missing.
struct RuntimeWine {
    std::wstring version, hostSystem, hostRelease;
    // The Windows name's suffix that these give: " on Wine VERSION (SYSTEM RELEASE)".
    std::wstring Suffix() const { return L" on Wine " + version + L" (" + hostSystem + L" " + hostRelease + L")"; }
};
RuntimeWine ReadRuntimeWine();

// --- Controls

std::wstring WindowText(HWND window);
std::vector<std::wstring> ComboItems(HWND combo);
int ComboSelection(HWND combo);
// Picks an item of a page's combo box and tells the page, as a player's pick does.
void ChooseComboItem(HWND page, int id, int item);
bool IsChecked(HWND button);
std::wstring ListText(HWND list, int row, int column);

// --- The capability library stand-in

// A session of the loaded vidq.dll opened and ended through its own exports, windowless, as a
// game that hands its session to the tool does. Null or -1 when an export is missing.
HANDLE StartVidqSession(HMODULE vidq);
int EndVidqSession(HMODULE vidq, HANDLE session);

// A temporary folder for the life of the object. Check Made() before use: without it every
// path would be relative to the current folder.
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
    // A folder inside, with a trailing backslash.
    std::wstring MakeDirectory(const std::wstring& relative) const {
        CreateDirectoryW(File(relative).c_str(), nullptr);
        return File(relative) + L"\\";
    }
    // A file inside holding the bytes: its full path, or an empty path when it was not written.
    std::wstring Write(const std::wstring& relative, const std::string& bytes) const {
        return WriteBytes(File(relative), bytes) ? File(relative) : std::wstring();
    }
    std::vector<std::wstring> Files() const { return FileNamesIn(path_); }

private:
    std::wstring path_;
    bool made_ = false;
};

// Holds a file open as another program does, until Release() or the end of the object: with
// no sharing as a virus scanner or a sync client, with FILE_SHARE_READ as an editor or a
// browser.
class FileHolder {
public:
    FileHolder(const std::wstring& path, DWORD sharing);
    ~FileHolder() { Release(); }
    FileHolder(const FileHolder&) = delete;
    FileHolder& operator=(const FileHolder&) = delete;

    bool Holding() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Release();

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// Sets a registry value (a text, a number, or removed) for the life of the object, then puts back
// what was there, whatever its type, or removes it when there was nothing. A view
// (KEY_WOW64_32KEY or KEY_WOW64_64KEY) picks one side of a redirected key.
class RegistryValueOverride {
public:
    RegistryValueOverride(HKEY root, const wchar_t* key, const wchar_t* name, REGSAM view = 0);
    RegistryValueOverride(HKEY root, const wchar_t* key, const wchar_t* name, const wchar_t* text)
        : RegistryValueOverride(root, key, name) {
        applied_ = Set(text);
    }
    ~RegistryValueOverride();
    RegistryValueOverride(const RegistryValueOverride&) = delete;
    RegistryValueOverride& operator=(const RegistryValueOverride&) = delete;

    bool Opened() const { return key_ != nullptr; }
    bool Applied() const { return applied_; }  // the text given to the constructor was set
    bool Set(const wchar_t* text, DWORD type = REG_SZ);
    bool SetNumber(DWORD number);
    void Remove();

private:
    HKEY key_ = nullptr;
    std::wstring name_;
    bool hadValue_ = false;
    bool applied_ = false;
    DWORD oldType_ = 0;
    std::vector<BYTE> old_;
};

// Sets an environment variable of this process (inherited by programs it starts) and removes it
// when it goes.
class EnvironmentOverride {
public:
    EnvironmentOverride(const wchar_t* name, const std::wstring& value) : name_(name) {
        SetEnvironmentVariableW(name, value.c_str());
    }
    ~EnvironmentOverride() { SetEnvironmentVariableW(name_.c_str(), nullptr); }
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

private:
    std::wstring name_;
};
