// Whole files and facts about files, at the platform edge. A file that another program holds
// for a moment (a virus scanner, a sync client) is tried again for about a second before a
// read gives up.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <windows.h>

enum WholeFileResult {
    kWholeFileRead,
    kWholeFileMissing,    // no such file or folder on the path
    kWholeFileNotOpened,  // there, but held by another program, refused, or a folder
    kWholeFileNoMemory,   // no memory for its copy, or larger than the limit
    kWholeFileNotRead,    // opened, but the read failed
};

enum {
    kFileRetryCount = 5,           // waits before a held file is given up
    kFileRetryMilliseconds = 200,  // each wait; five make about a second
};

// Platform calls, replaceable for tests: Sleep and ReadFile.
struct FilePlatform {
    void(WINAPI* wait)(DWORD milliseconds);
    BOOL(WINAPI* readFile)(HANDLE file, LPVOID buffer, DWORD size, LPDWORD read, LPOVERLAPPED overlapped);
};

extern FilePlatform filePlatform;

// 1 for the errors of a file that another program holds open or locked, which end by
// themselves when it lets go.
int IsHeldFileError(DWORD error);

// Reads the whole file into one block from `allocate` (to be released with free()): its bytes,
// then one zero byte. *count is the number of bytes read, without the zero byte. A file larger
// than sizeLimit bytes is not read (kWholeFileNoMemory). On any other result *bytes is null.
int LoadWholeFile(const wchar_t* path, DWORD sizeLimit, void* (*allocate)(size_t), char** bytes, DWORD* count);

// What ReplaceThroughNewFile did.
enum ReplaceOutcome {
    kReplaced,    // the new file took the old one's place
    kNotWritten,  // the new file could not be filled (a full disk); the old one is untouched
    kNoNewFile,   // the folder took no new file, or the move was refused; the old one is untouched
};

// The owner, group and access list of a file.
static const SECURITY_INFORMATION kFileOwnerAndAccess =
    OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;

// Writes the bytes at the offset, all of them; 1 when done.
int WriteFileAt(HANDLE file, DWORD offset, const char* bytes, DWORD byteCount);
// Writes the bytes to a new file beside the path, opened with no sharing, and moves it over
// whatever has that name in one step: a link on the path is replaced, never followed. An
// existing file's attributes (`exists`) and security (when given) are carried over. A
// ReplaceOutcome.
int ReplaceThroughNewFile(const wchar_t* path, const char* bytes, DWORD byteCount, int exists, DWORD attributes,
                          PSECURITY_DESCRIPTOR security);

// Size of a file in bytes (low 32 bits), or -1 for a missing file or a directory.
int QueryFileSize(const wchar_t* path);

// 1 when nothing is on the path (neither the file nor its folder), 0 when something is or the
// question cannot be answered.
int FileIsMissing(const wchar_t* path);
