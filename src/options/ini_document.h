// The in-memory INI document: ordered sections of key, comment and deleted entries, so that
// what the tool does not know survives a rewrite. One document is held process-wide.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <windows.h>

enum { kIniNameCapacity = 256 };

// How the file's text is stored. A file that starts with a byte-order mark is read in that
// encoding and written back in it, mark included; any other file is in the ANSI code page.
enum IniEncoding { kIniAnsi, kIniUtf8, kIniUtf16Le, kIniUtf16Be };

struct IniEntry {
    wchar_t name[kIniNameCapacity];  // key, or the whole comment line; empty: deleted
    uint32_t nameHash;               // 0 for comment lines
    wchar_t* value;                  // owned; null for a deleted entry
    int32_t isComment;
};

struct IniSection {
    wchar_t name[kIniNameCapacity];
    uint32_t nameHash;
    IniEntry* entries;  // null until the first entry, and again after clearing
    int32_t entryCount;
    int32_t entryCapacity;
};

struct IniDocument {
    int32_t sectionCapacity;
    int32_t sectionCount;
    IniSection* sections;  // null when no document is held; section 0 is the unnamed one
    int32_t encoding;      // IniEncoding of the loaded file; kIniAnsi for a document built from nothing
};

extern IniDocument iniDocument;

// Every block the engine allocates comes from here (malloc unless replaced) and goes back with
// free(); tests put in an allocator that fails on purpose.
extern void* (*iniAllocate)(size_t bytes);

uint32_t HashIniName(const wchar_t* name);
void TrimIniText(wchar_t* text);

// 1 when the whole file is held in the document; 0, with no document held, when the file
// cannot be read or a line cannot be stored (a document without it would lose it at a save).
int LoadIniDocument(const wchar_t* path);
// Parses text already converted to UTF-16 (what LoadIniDocument does after reading the file).
int ParseIniText(const wchar_t* text);
int WriteIniDocument(const wchar_t* path);
// The text WriteIniDocument puts in the file, before it is encoded: allocated with
// iniAllocate, released with free(). Null when no document is held or memory runs out.
wchar_t* RenderIniDocument(size_t* length);
void FreeIniDocument();
int32_t GetIniInt(const wchar_t* section, const wchar_t* key, int32_t defaultValue);
int SetIniValue(const wchar_t* section, const wchar_t* key, const wchar_t* value);
int AddIniSection(const wchar_t* name);
int FindIniSection(const wchar_t* name);
int AddIniEntry(int section, const wchar_t* name, const wchar_t* value, int isComment);
int FindIniEntry(int section, const wchar_t* name);
