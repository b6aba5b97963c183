// The User Support command: support.html + the PC's facts -> mail_support.html, opened by the shell.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <windows.h>
#include <shellapi.h>

#include "options/game_options.h"

void RunUserSupport(HWND owner);

enum {
    kTemplateSizeLimit = 1 << 20,      // bytes of support.html that a form may be built from
    kMailBlockCapacity = 128 * 1024,   // bytes of the inserted block, terminator included
    kShortTextCapacity = 256,
    kFileErrorCapacity = 1024,  // an error text with a full path in it, never cut
};

// One form file in memory: its bytes and a terminating zero, and where the block goes
// (-1: the marker is absent, the block goes at the end).
struct SupportFormText {
    char* text;
    int markerOffset;
};

extern SupportFormText supportFormText;

// Platform calls, replaceable for tests. The defaults are MessageBoxW, ShellExecuteExW and
// GetLocalTime.
struct SupportPlatform {
    int(WINAPI* messageBox)(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
    BOOL(WINAPI* shellExecute)(SHELLEXECUTEINFOW* open);
    void(WINAPI* localTime)(LPSYSTEMTIME time);
};

extern SupportPlatform supportPlatform;

enum FormReadResult {
    kFormRead = 0,
    kFormMissing = 1,    // missing, a directory or empty
    kFormNotOpened = 2,  // cannot be opened
    kFormNoMemory = 3,   // no memory for its copy, or larger than sizeLimit
    kFormNotRead = 4,    // cannot be read
};

// Reads the whole file: a FormReadResult.
int LoadFormText(const wchar_t* path, SupportFormText* form, int sizeLimit = kTemplateSizeLimit);
// A file's error box: the format with the file's full path, caption "Error", an error icon and
// an OK button.
void ShowFileErrorBox(HWND owner, const wchar_t* format, const wchar_t* path);
// LoadFormText, then markerOffset 0 and 1; or the error box for the code and 0.
int OpenFormText(const wchar_t* path, SupportFormText* form, int sizeLimit = kTemplateSizeLimit);
void ReleaseFormText(SupportFormText* form);
// Byte index of the first occurrence of marker in text, or -1.
int FindMarker(const char* text, const char* marker);
// The same, where an occurrence that starts inside [skipStart, skipStart + skipLength) does not
// count: a block already inserted may hold the marker in one of its values.
int FindMarkerOutside(const char* text, const char* marker, int skipStart, int skipLength);
// Writes "mail_support.html" in WorkFileDirectory() through a new file that replaces it: the
// text before markerOffset, the block, and the text from markerOffset + skipCount on, then one
// zero byte. 1 when written. The block's length goes to blockLength when given.
int ComposeMailForm(SupportFormText* form, int skipCount, const SYSTEMTIME* now, int* blockLength = nullptr);
// The inserted block: installation directory, PC report, option lines, title and date.
void AppendMailBlock(char* block, size_t capacity, const SYSTEMTIME* now);
// The eight option lines of the block.
void AppendOptionLines(char* block, size_t capacity, const OptionsRecord* options);
