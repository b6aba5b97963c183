#include "entry/files.h"

#include <stdlib.h>
#include <wchar.h>

#include "entry/bounded_text.h"
#include "entry/install_paths.h"

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

static void AppendHex(wchar_t* text, int capacity, unsigned long value) {
    wchar_t digits[12];
    int count = 0;
    do {
        digits[count++] = L"0123456789abcdef"[value & 15];
        value >>= 4;
    } while (value && count < 11);
    wchar_t reversed[12];
    for (int i = 0; i < count; ++i) reversed[i] = digits[count - 1 - i];
    reversed[count] = 0;
    AppendBounded(text, capacity, reversed);
}

// What a replace carries over from the old file. A read-only file is never replaced.
static const DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

int WriteFileAt(HANDLE file, DWORD offset, const char* bytes, DWORD byteCount) {
    LARGE_INTEGER position;
    position.QuadPart = offset;
    if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN)) return 0;
    if (byteCount == 0) return 1;
    // A full disk can end the write early and still report success.
    DWORD done = 0;
    return WriteFile(file, bytes, byteCount, &done, nullptr) && done == byteCount;
}

int ReplaceThroughNewFile(const wchar_t* path, const char* bytes, DWORD byteCount, int exists, DWORD attributes,
                          PSECURITY_DESCRIPTOR security) {
    enum { kTempCapacity = kPathCapacity + 32 };
    if (wcslen(path) + 24 >= kTempCapacity) return kNoNewFile;
    wchar_t temp[kTempCapacity];
    HANDLE file = INVALID_HANDLE_VALUE;
    const DWORD access = security ? GENERIC_WRITE | WRITE_DAC | WRITE_OWNER : GENERIC_WRITE;
    for (int attempt = 0; attempt < 64 && file == INVALID_HANDLE_VALUE; ++attempt) {
        CopyBounded(temp, kTempCapacity, path);
        AppendBounded(temp, kTempCapacity, L".~");
        AppendHex(temp, kTempCapacity, GetCurrentProcessId());
        AppendBounded(temp, kTempCapacity, L"-");
        AppendHex(temp, kTempCapacity, static_cast<unsigned long>(attempt));
        file = CreateFileW(temp, access, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            DWORD error = GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return kNoNewFile;
        }
    }
    if (file == INVALID_HANDLE_VALUE) return kNoNewFile;

    // Another owner can only be given with privileges; the access list alone still keeps who
    // may read and write the file.
    if (security && !SetKernelObjectSecurity(file, kFileOwnerAndAccess, security) &&
        !SetKernelObjectSecurity(file, DACL_SECURITY_INFORMATION, security)) {
        CloseHandle(file);
        DeleteFileW(temp);
        return kNoNewFile;
    }
    int written = WriteFileAt(file, 0, bytes, byteCount) && FlushFileBuffers(file);
    if (!CloseHandle(file)) written = 0;
    if (!written) {
        DeleteFileW(temp);
        return kNotWritten;
    }
    DWORD kept = attributes & kKeptAttributes;
    if ((exists && !SetFileAttributesW(temp, kept ? kept : FILE_ATTRIBUTE_NORMAL)) ||
        !MoveFileExW(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temp);
        return kNoNewFile;
    }
    return kReplaced;
}
