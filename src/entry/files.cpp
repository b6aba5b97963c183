#include "entry/files.h"

#include <stdlib.h>

FilePlatform filePlatform = {Sleep, ReadFile};

int IsHeldFileError(DWORD error) { return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION; }

// One attempt: open, size, read every byte. *error is the failing call's error.
static int ReadOnce(const wchar_t* path, DWORD sizeLimit, void* (*allocate)(size_t), char** bytes, DWORD* count,
                    DWORD* error) {
    *error = 0;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return *error == ERROR_FILE_NOT_FOUND || *error == ERROR_PATH_NOT_FOUND ? kWholeFileMissing
                                                                                : kWholeFileNotOpened;
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) {
        *error = GetLastError();
        CloseHandle(file);
        return kWholeFileNotRead;
    }
    if (size.QuadPart < 0 || static_cast<uint64_t>(size.QuadPart) > sizeLimit) {
        CloseHandle(file);
        return kWholeFileNoMemory;
    }
    DWORD wanted = static_cast<DWORD>(size.QuadPart);
    char* block = static_cast<char*>(allocate(static_cast<size_t>(wanted) + 1));
    if (!block) {
        CloseHandle(file);
        return kWholeFileNoMemory;
    }
    // A read may return fewer bytes than asked; one that returns none has met the end of a file
    // that shrank meanwhile.
    DWORD done = 0;
    while (done < wanted) {
        DWORD read = 0;
        if (!filePlatform.readFile(file, block + done, wanted - done, &read, nullptr)) {
            *error = GetLastError();
            free(block);
            CloseHandle(file);
            return kWholeFileNotRead;
        }
        if (read == 0) break;
        done += read;
    }
    CloseHandle(file);
    block[done] = 0;
    *bytes = block;
    *count = done;
    return kWholeFileRead;
}

int LoadWholeFile(const wchar_t* path, DWORD sizeLimit, void* (*allocate)(size_t), char** bytes, DWORD* count) {
    *bytes = nullptr;
    *count = 0;
    if (!path || !path[0]) return kWholeFileMissing;
    for (int attempt = 0;; ++attempt) {
        DWORD error = 0;
        int result = ReadOnce(path, sizeLimit, allocate, bytes, count, &error);
        if (result == kWholeFileRead || !IsHeldFileError(error) || attempt == kFileRetryCount) return result;
        filePlatform.wait(kFileRetryMilliseconds);
    }
}

int QueryFileSize(const wchar_t* path) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(path, &found);
    if (search == INVALID_HANDLE_VALUE) return -1;
    FindClose(search);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
    return static_cast<int>(found.nFileSizeLow);
}

int FileIsMissing(const wchar_t* path) {
    if (GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES) return 0;
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}
