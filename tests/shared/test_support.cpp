#include "shared/test_support.h"

#include <commctrl.h>
#include <string.h>

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

bool ReadWholeFile(const std::wstring& path, std::string* bytes) {
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

std::string ReadBytes(const std::wstring& path) {
    std::string bytes;
    ReadWholeFile(path, &bytes);
    return bytes;
}

std::string FileText(const std::wstring& path) {
    std::string bytes;
    return ReadWholeFile(path, &bytes) ? bytes : std::string("<missing>");
}

bool FileExists(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::wstring> FileNamesIn(const std::wstring& folder) {
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

bool MakeTempDirectory(const wchar_t* tag, std::wstring* path) {
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

bool RemoveTree(const std::wstring& directory) {
    if (directory.empty()) return false;  // never the current folder
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

std::wstring ProgramPath() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, length);
}

std::wstring ProgramDirectory() {
    std::wstring path = ProgramPath();
    return path.substr(0, path.rfind(L'\\') + 1);
}

std::wstring SourcePath(const wchar_t* relative) {
    // The source tree is a Unix path; Wine shows the Unix root as drive Z:.
    std::wstring path = L"Z:";
    for (const char* c = WGCONF_SOURCE_DIR; *c; ++c) path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    path += L'\\';
    for (const wchar_t* c = relative; *c; ++c) path += *c == L'/' ? L'\\' : *c;
    return path;
}

std::wstring MakeDeepDirectory(const std::wstring& parent, size_t length) {
    std::wstring deep = L"\\\\?\\" + parent;
    if (deep.back() != L'\\') deep += L'\\';
    while (deep.size() <= length + 4) {
        deep += std::wstring(60, L'd') + L"\\";
        if (!CreateDirectoryW(deep.c_str(), nullptr)) return std::wstring();
    }
    return deep;
}

std::wstring FaultFolders() {
    wchar_t base[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableW(L"WGCONF_FAULT_DIR", base, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    std::wstring folders = base;
    if (folders.back() != L'\\') folders += L'\\';
    return folders;
}

int RunProgram(const std::wstring& program, const std::wstring& arguments, const std::wstring& folder) {
    std::wstring command = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0 || !GetExitCodeProcess(process.hProcess, &code))
        code = static_cast<DWORD>(-1);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return static_cast<int>(code);
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
    return bytes;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

std::vector<std::wstring> ComboItems(HWND combo) {
    std::vector<std::wstring> items;
    int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        if (SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) < 256)
            SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

int ComboSelection(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

void ChooseComboItem(HWND page, int id, int item) {
    HWND combo = GetDlgItem(page, id);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

bool IsChecked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::wstring ListText(HWND list, int row, int column) {
    wchar_t text[512] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 512;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

RegistryValueOverride::RegistryValueOverride(HKEY root, const wchar_t* key, const wchar_t* name, REGSAM view)
    : name_(name ? name : L"") {  // no name: the key's default value
    if (RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE | view, nullptr, &key_, nullptr) !=
        ERROR_SUCCESS) {
        key_ = nullptr;
        return;
    }
    DWORD size = 0;
    if (RegQueryValueExW(key_, name_.c_str(), nullptr, &oldType_, nullptr, &size) != ERROR_SUCCESS) return;
    old_.resize(size);
    hadValue_ = RegQueryValueExW(key_, name_.c_str(), nullptr, &oldType_, old_.data(), &size) == ERROR_SUCCESS;
    old_.resize(size);
}

RegistryValueOverride::~RegistryValueOverride() {
    if (!key_) return;
    if (hadValue_) RegSetValueExW(key_, name_.c_str(), 0, oldType_, old_.data(), static_cast<DWORD>(old_.size()));
    else Remove();
    RegCloseKey(key_);
}

bool RegistryValueOverride::Set(const wchar_t* text, DWORD type) {
    return key_ && RegSetValueExW(key_, name_.c_str(), 0, type, reinterpret_cast<const BYTE*>(text),
                                  static_cast<DWORD>((lstrlenW(text) + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool RegistryValueOverride::SetNumber(DWORD number) {
    return key_ && RegSetValueExW(key_, name_.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                  sizeof(number)) == ERROR_SUCCESS;
}

void RegistryValueOverride::Remove() {
    if (key_) RegDeleteValueW(key_, name_.c_str());
}

// --- FileHolder

FileHolder::FileHolder(const std::wstring& path, DWORD sharing) {
    handle_ = CreateFileW(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr);
}

void FileHolder::Release() {
    if (!Holding()) return;
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}

// --- The capability library stand-in

HANDLE StartVidqSession(HMODULE vidq) {
    typedef HANDLE(WINAPI * StartFunction)(HWND, const RECT*, int);
    auto start = ExportOf<StartFunction>(vidq, "_VIDQ_Start@12");
    RECT empty = {0, 0, 0, 0};
    return start ? start(nullptr, &empty, 1) : nullptr;
}

int EndVidqSession(HMODULE vidq, HANDLE session) {
    typedef int(WINAPI * EndFunction)(HANDLE);
    auto end = ExportOf<EndFunction>(vidq, "_VIDQ_End@4");
    return end ? end(session) : -1;
}

// --- The Wine that runs this program

RuntimeWine ReadRuntimeWine() {
    typedef const char*(__cdecl * GetVersionExport)();
    typedef void(__cdecl * GetHostVersionExport)(const char** sysname, const char** release);
    // Wine's texts are ASCII.
    auto widened = [](const char* text) { return text ? std::wstring(text, text + strlen(text)) : std::wstring(); };
    RuntimeWine wine;
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    auto getVersion = ExportOf<GetVersionExport>(ntdll, "wine_get_version");
    auto getHostVersion = ExportOf<GetHostVersionExport>(ntdll, "wine_get_host_version");
    if (getVersion) wine.version = widened(getVersion());
    const char* sysname = nullptr;
    const char* release = nullptr;
    if (getHostVersion) getHostVersion(&sysname, &release);
    wine.hostSystem = widened(sysname);
    wine.hostRelease = widened(release);
    return wine;
}
