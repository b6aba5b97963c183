#include "options/ini_document.h"

#include <limits.h>
#include <stdlib.h>
#include <string.h>

#include "entry/bounded_text.h"
#include "entry/files.h"
#include "entry/install_paths.h"

IniDocument iniDocument;
void* (*iniAllocate)(size_t bytes) = malloc;

static const int32_t kFirstCapacity = 10;
// Text handed to the code page functions is counted in int; larger files are refused.
static const int64_t kLargestFile = INT_MAX - 1;

static void* AllocateZeroed(size_t count, size_t size) {
    if (size != 0 && count > SIZE_MAX / size) return nullptr;
    void* block = iniAllocate(count * size);
    if (block) memset(block, 0, count * size);
    return block;
}

// Returns an array with room for one more record than `count`: the array itself when it has
// room, else a zero-filled copy twice as large (at least ten records), so that a file of many
// thousands of lines loads in linear time. Null when that cannot be allocated; the old array
// and its capacity are then untouched.
static void* ArrayWithRoom(void* array, int32_t* capacity, int32_t count, size_t recordSize) {
    if (count < *capacity) return array;
    int64_t wanted = *capacity < kFirstCapacity ? kFirstCapacity : static_cast<int64_t>(*capacity) * 2;
    if (wanted > INT32_MAX) wanted = INT32_MAX;
    if (wanted <= count) return nullptr;
    void* grown = AllocateZeroed(static_cast<size_t>(wanted), recordSize);
    if (!grown) return nullptr;
    if (count > 0) memcpy(grown, array, static_cast<size_t>(count) * recordSize);
    free(array);
    *capacity = static_cast<int32_t>(wanted);
    return grown;
}

static wchar_t* CopyText(const wchar_t* text, size_t length) {
    if (length >= SIZE_MAX / sizeof(wchar_t)) return nullptr;
    wchar_t* copy = static_cast<wchar_t*>(iniAllocate((length + 1) * sizeof(wchar_t)));
    if (!copy) return nullptr;
    if (length > 0) memcpy(copy, text, length * sizeof(wchar_t));
    copy[length] = 0;
    return copy;
}

// Names are cut to the field before they are trimmed.
static void StoreName(wchar_t* field, const wchar_t* name, size_t length) {
    size_t kept = length < kIniNameCapacity - 1 ? length : kIniNameCapacity - 1;
    memcpy(field, name, kept * sizeof(wchar_t));
    field[kept] = 0;
    TrimIniText(field);
}

static int CreateDocument() {
    IniSection* sections = static_cast<IniSection*>(AllocateZeroed(kFirstCapacity, sizeof(IniSection)));
    if (!sections) return 0;
    iniDocument.sections = sections;
    iniDocument.sectionCapacity = kFirstCapacity;
    iniDocument.sectionCount = 1;  // the unnamed section
    iniDocument.encoding = kIniAnsi;
    return 1;
}

struct ByteOrderMark {
    int32_t encoding;
    const char* bytes;
    DWORD length;
};

// Looked for in this order at the start of a file, and written first when it is saved.
static const ByteOrderMark kByteOrderMarks[] = {
    {kIniUtf8, "\xEF\xBB\xBF", 3},
    {kIniUtf16Le, "\xFF\xFE", 2},
    {kIniUtf16Be, "\xFE\xFF", 2},
};

static const ByteOrderMark* MarkOf(int32_t encoding) {
    for (const ByteOrderMark& mark : kByteOrderMarks) {
        if (mark.encoding == encoding) return &mark;
    }
    return nullptr;
}

static int IsUtf16(int32_t encoding) { return encoding == kIniUtf16Le || encoding == kIniUtf16Be; }

// The encoding that the file's first bytes announce; *markLength bytes of it are the mark.
static int32_t DetectEncoding(const char* bytes, DWORD count, DWORD* markLength) {
    for (const ByteOrderMark& mark : kByteOrderMarks) {
        if (count >= mark.length && memcmp(bytes, mark.bytes, mark.length) == 0) {
            *markLength = mark.length;
            return mark.encoding;
        }
    }
    *markLength = 0;
    return kIniAnsi;
}

// UTF-16 text in either byte order. As an ANSI text ends at its first NUL byte, this one ends
// at its first NUL unit; an odd last byte is no whole unit and is ignored. Unpaired surrogates
// are kept as they are, so that a rewrite gives them back unchanged.
static wchar_t* DecodeUtf16(const unsigned char* bytes, DWORD count, int bigEndian) {
    size_t units = count / 2;
    wchar_t* text = static_cast<wchar_t*>(AllocateZeroed(units + 1, sizeof(wchar_t)));
    if (!text) return nullptr;
    for (size_t i = 0; i < units; ++i) {
        unsigned first = bytes[2 * i];
        unsigned second = bytes[2 * i + 1];
        wchar_t unit = static_cast<wchar_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
        if (unit == 0) break;
        text[i] = unit;
    }
    return text;
}

// Text in the ANSI code page or in UTF-8, up to the first NUL byte (the bytes end with one).
// UTF-8 that is not well formed reads as U+FFFD where it breaks.
static wchar_t* DecodeMultiByte(UINT codePage, const char* bytes) {
    int units = MultiByteToWideChar(codePage, 0, bytes, -1, nullptr, 0);
    wchar_t* text = units > 0 ? static_cast<wchar_t*>(AllocateZeroed(static_cast<size_t>(units), sizeof(wchar_t)))
                              : nullptr;
    if (text && MultiByteToWideChar(codePage, 0, bytes, -1, text, units) != units) {
        free(text);
        text = nullptr;
    }
    return text;
}

// The file's text after its mark, as UTF-16; the bytes are followed by a NUL byte.
static wchar_t* DecodeFileText(const char* bytes, DWORD count, int32_t encoding) {
    if (IsUtf16(encoding)) {
        return DecodeUtf16(reinterpret_cast<const unsigned char*>(bytes), count, encoding == kIniUtf16Be);
    }
    return DecodeMultiByte(encoding == kIniUtf8 ? CP_UTF8 : CP_ACP, bytes);
}

// The file's bytes for the text: the encoding's mark, then the text in it. *bytes stays null
// when there are no bytes at all (an empty text without a mark). 0 when memory runs out or the
// text cannot be converted.
static int EncodeFileText(const wchar_t* text, size_t units, int32_t encoding, char** bytes, DWORD* byteCount) {
    *bytes = nullptr;
    *byteCount = 0;
    const ByteOrderMark* mark = MarkOf(encoding);
    // ANSI text gets room for one leading blank (see below).
    size_t headLength = mark ? mark->length : 1;
    UINT codePage = encoding == kIniUtf8 ? CP_UTF8 : CP_ACP;
    // The text has fewer than INT_MAX units, so twice as many bytes and a mark fit a DWORD.
    size_t bodyLength = 0;
    if (IsUtf16(encoding)) {
        bodyLength = units * 2;
    } else if (units > 0) {
        int count = WideCharToMultiByte(codePage, 0, text, static_cast<int>(units), nullptr, 0, nullptr, nullptr);
        if (count <= 0) return 0;
        bodyLength = static_cast<size_t>(count);
    }
    if (!mark && bodyLength == 0) return 1;
    char* out = static_cast<char*>(iniAllocate(headLength + bodyLength));
    if (!out) return 0;
    char* body = out + headLength;
    if (IsUtf16(encoding)) {
        int bigEndian = encoding == kIniUtf16Be;
        for (size_t i = 0; i < units; ++i) {
            unsigned unit = text[i];
            body[2 * i] = static_cast<char>(bigEndian ? unit >> 8 : unit & 0xFF);
            body[2 * i + 1] = static_cast<char>(bigEndian ? unit & 0xFF : unit >> 8);
        }
    } else if (bodyLength > 0 &&
               WideCharToMultiByte(codePage, 0, text, static_cast<int>(units), body, static_cast<int>(bodyLength),
                                   nullptr, nullptr) != static_cast<int>(bodyLength)) {
        free(out);
        return 0;
    }
    DWORD markLength = 0;
    if (mark) {
        memcpy(out, mark->bytes, headLength);
    } else if (DetectEncoding(body, static_cast<DWORD>(bodyLength), &markLength) != kIniAnsi) {
        // ANSI text whose first key starts with the bytes of a mark would read back as Unicode.
        // A blank in front keeps it ANSI: the first line is then a key line (a header or a
        // comment starts with '[' or '#'), and the blank is trimmed off the key when read.
        out[0] = ' ';
    } else {
        memmove(out, body, bodyLength);
        headLength = 0;
    }
    *bytes = out;
    *byteCount = static_cast<DWORD>(headLength + bodyLength);
    return 1;
}

static int AppendSection(const wchar_t* name, size_t length) {
    if (!iniDocument.sections || length == 0) return 0;
    IniSection* sections = static_cast<IniSection*>(
        ArrayWithRoom(iniDocument.sections, &iniDocument.sectionCapacity, iniDocument.sectionCount,
                      sizeof(IniSection)));
    if (!sections) return 0;
    iniDocument.sections = sections;
    IniSection* section = &sections[iniDocument.sectionCount];
    memset(section, 0, sizeof(*section));
    StoreName(section->name, name, length);
    section->nameHash = HashIniName(section->name);
    ++iniDocument.sectionCount;
    return 1;
}

static int AppendEntry(int sectionIndex, const wchar_t* name, size_t nameLength, const wchar_t* value,
                size_t valueLength, int isComment) {
    if (!iniDocument.sections || sectionIndex < 0 || sectionIndex >= iniDocument.sectionCount) return 0;
    if (nameLength == 0 || !value) return 0;
    IniSection* section = &iniDocument.sections[sectionIndex];
    wchar_t* copy = CopyText(value, valueLength);
    if (!copy) return 0;
    IniEntry* entries = static_cast<IniEntry*>(
        ArrayWithRoom(section->entries, &section->entryCapacity, section->entryCount, sizeof(IniEntry)));
    if (!entries) {
        free(copy);
        return 0;
    }
    section->entries = entries;
    IniEntry* entry = &entries[section->entryCount];
    memset(entry, 0, sizeof(*entry));
    StoreName(entry->name, name, nameLength);
    entry->nameHash = isComment ? 0 : HashIniName(entry->name);
    entry->value = copy;
    entry->isComment = isComment ? 1 : 0;
    ++section->entryCount;
    return 1;
}

// Builds the document from the lines. 0 when a line that is to be kept cannot be stored (no
// memory, or more records than an array can count): a document without it would lose the line
// at the next save. Lines dropped by the rules ('[]', a key line with an empty name) are no
// failure.
static int ParseLines(const wchar_t* text) {
    const wchar_t* cursor = text;
    for (;;) {
        while (*cursor == L'\r' || *cursor == L'\n') ++cursor;
        if (*cursor == 0) break;
        const wchar_t* line = cursor;
        while (*cursor && *cursor != L'\r' && *cursor != L'\n') ++cursor;
        size_t length = static_cast<size_t>(cursor - line);
        // Lines go to the last section.
        int current = iniDocument.sectionCount - 1;
        int stored = 1;
        if (line[0] == L'[') {
            // Only an exact '[...]' is a header; '[]' and anything with a tail are ignored.
            if (length > 2 && line[length - 1] == L']') stored = AppendSection(line + 1, length - 2);
        } else if (line[0] == L'#') {
            stored = AppendEntry(current, line, length, L"", 0, 1);
        } else {
            size_t keyLength = 0;
            while (keyLength < length && line[keyLength] != L'=') ++keyLength;
            if (keyLength == 0) continue;  // no name: dropped
            if (keyLength < length) {
                stored = AppendEntry(current, line, keyLength, line + keyLength + 1, length - keyLength - 1, 0);
            } else {
                stored = AppendEntry(current, line, length, L"", 0, 0);
            }
        }
        if (!stored) return 0;
    }
    return 1;
}

static int IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// The value as a decimal number, after outer blanks and one pair of optional double quotes.
// The number ends at the first non-digit, so trimming the tail changes nothing and is skipped.
static int32_t ParseIniNumber(const wchar_t* value) {
    const wchar_t* p = value;
    while (IsBlank(*p)) ++p;
    if (*p == L'"') ++p;
    while (*p == L' ' || (*p >= L'\t' && *p <= L'\r')) ++p;
    int negative = 0;
    if (*p == L'+' || *p == L'-') {
        negative = *p == L'-';
        ++p;
    }
    int64_t magnitude = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p) {
        if (magnitude <= static_cast<int64_t>(INT32_MAX) + 1) magnitude = magnitude * 10 + (*p - L'0');
    }
    if (negative) return magnitude > static_cast<int64_t>(INT32_MAX) ? INT32_MIN : static_cast<int32_t>(-magnitude);
    return magnitude > INT32_MAX ? INT32_MAX : static_cast<int32_t>(magnitude);
}

// Appends text to the output, or only counts it when there is no output yet.
static void Emit(wchar_t* out, size_t* used, const wchar_t* text, size_t length) {
    if (out && length > 0) memcpy(out + *used, text, length * sizeof(wchar_t));
    *used += length;
}

static void EmitText(wchar_t* out, size_t* used, const wchar_t* text) {
    if (text) Emit(out, used, text, wcslen(text));
}

// The file's text, counted (out null) or written. A key that starts with '[' or '#' gets one
// leading blank, and a blank section name is written as '[ ]': without that the written line
// would read back as a header, a comment or nothing at all, and move or lose the keys.
static size_t EmitDocument(wchar_t* out) {
    size_t used = 0;
    for (int32_t s = 0; s < iniDocument.sectionCount; ++s) {
        const IniSection* section = &iniDocument.sections[s];
        if (!section->entries) continue;
        if (s != 0) {
            EmitText(out, &used, L"[");
            EmitText(out, &used, section->name[0] ? section->name : L" ");
            EmitText(out, &used, L"]\r\n");
        }
        for (int32_t e = 0; e < section->entryCount; ++e) {
            const IniEntry* entry = &section->entries[e];
            if (!entry->name[0]) continue;
            if (!entry->isComment && (entry->name[0] == L'[' || entry->name[0] == L'#')) {
                EmitText(out, &used, L" ");
            }
            EmitText(out, &used, entry->name);
            if (!entry->isComment) {
                EmitText(out, &used, L"=");
                EmitText(out, &used, entry->value);
            }
            EmitText(out, &used, L"\r\n");
        }
        EmitText(out, &used, L"\r\n");
    }
    return used;
}

static int SetLength(HANDLE file, DWORD length) {
    LARGE_INTEGER position;
    position.QuadPart = length;
    return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

// Overwrites the file itself, for a folder that lets the file be written but takes no new
// files. The old bytes are held meanwhile and written back when any step fails, so the file
// keeps either the new bytes or the old ones; its attributes and access stay as they were.
static int RewriteInPlace(const wchar_t* path, const char* bytes, DWORD byteCount) {
    HANDLE file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    LARGE_INTEGER size;
    char* old = nullptr;
    DWORD oldCount = 0;
    DWORD read = 0;
    int ready = GetFileSizeEx(file, &size) && size.QuadPart >= 0 && size.QuadPart <= kLargestFile;
    if (ready) {
        oldCount = static_cast<DWORD>(size.QuadPart);
        old = static_cast<char*>(iniAllocate(static_cast<size_t>(oldCount) + 1));
        ready = old && (oldCount == 0 || (ReadFile(file, old, oldCount, &read, nullptr) && read == oldCount));
    }
    int written = 0;
    if (ready) {
        // A longer text has made the file long enough; the length is set only to cut it.
        written = WriteFileAt(file, 0, bytes, byteCount) && (byteCount >= oldCount || SetLength(file, byteCount)) &&
                  FlushFileBuffers(file);
        if (!written) {
            WriteFileAt(file, 0, old, oldCount);
            SetLength(file, oldCount);
            FlushFileBuffers(file);
        }
    }
    free(old);
    if (!CloseHandle(file)) written = 0;
    return written;
}

// Puts the bytes in place of the file without ever leaving it half written: through a new
// file that replaces the old one in one step, or, where the folder refuses that, by rewriting
// the old file in place. On failure the old file keeps its bytes.
static int ReplaceFileContents(const wchar_t* path, const char* bytes, DWORD byteCount) {
    if (!path || !path[0]) return 0;
    DWORD attributes = GetFileAttributesW(path);
    int exists = attributes != INVALID_FILE_ATTRIBUTES;
    // A read-only file is not to be overwritten; Windows refuses to replace one, Wine does not.
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) return 0;

    // The old file's security, to be given to the new file. Without it (unreadable, or too
    // large for the buffer) only the rewrite in place keeps it.
    DWORD securityBuffer[1024];
    PSECURITY_DESCRIPTOR security = nullptr;
    int outcome = kNoNewFile;
    if (exists) {
        DWORD needed = 0;
        BOOL present = FALSE;
        BOOL defaulted = FALSE;
        PACL access = nullptr;
        if (GetFileSecurityW(path, kFileOwnerAndAccess, securityBuffer, sizeof(securityBuffer), &needed) &&
            GetSecurityDescriptorDacl(securityBuffer, &present, &access, &defaulted)) {
            // A volume without access lists has nothing to carry over.
            security = present ? securityBuffer : nullptr;
            outcome = ReplaceThroughNewFile(path, bytes, byteCount, 1, attributes, security);
        }
    } else {
        outcome = ReplaceThroughNewFile(path, bytes, byteCount, 0, 0, nullptr);
    }
    if (outcome == kNoNewFile && exists) return RewriteInPlace(path, bytes, byteCount);
    return outcome == kReplaced;
}

uint32_t HashIniName(const wchar_t* name) {
    uint32_t hash = 0;
    if (!name) return 0;
    for (; *name; ++name) {
        uint32_t unit = *name;
        if (unit == 0x20) continue;
        if (unit >= L'A' && unit <= L'Z') unit += 0x20;
        hash = hash * 2 + unit;
    }
    return hash;
}

void TrimIniText(wchar_t* text) {
    if (!text) return;
    size_t start = 0;
    while (IsBlank(text[start])) ++start;
    size_t end = start + wcslen(text + start);
    while (end > start && IsBlank(text[end - 1])) --end;
    if (start > 0) memmove(text, text + start, (end - start) * sizeof(wchar_t));
    text[end - start] = 0;
}

int ParseIniText(const wchar_t* text) {
    FreeIniDocument();
    if (!text || !CreateDocument()) return 0;
    if (ParseLines(text)) return 1;
    FreeIniDocument();
    return 0;
}

int LoadIniDocument(const wchar_t* path) {
    FreeIniDocument();
    if (!path) return 0;
    char* bytes = nullptr;
    DWORD read = 0;
    // The bytes end with a NUL byte: a multi-byte text ends there or at an earlier one.
    if (LoadWholeFile(path, static_cast<DWORD>(kLargestFile), iniAllocate, &bytes, &read) != kWholeFileRead) return 0;

    DWORD markLength = 0;
    int32_t encoding = DetectEncoding(bytes, read, &markLength);
    wchar_t* text = DecodeFileText(bytes + markLength, read - markLength, encoding);
    free(bytes);
    int result = ParseIniText(text);
    if (result) iniDocument.encoding = encoding;
    free(text);
    return result;
}

wchar_t* RenderIniDocument(size_t* length) {
    if (length) *length = 0;
    if (!iniDocument.sections) return nullptr;
    size_t units = EmitDocument(nullptr);
    if (units > static_cast<size_t>(INT_MAX - 1)) return nullptr;
    wchar_t* text = static_cast<wchar_t*>(AllocateZeroed(units + 1, sizeof(wchar_t)));
    if (!text) return nullptr;
    EmitDocument(text);
    text[units] = 0;
    if (length) *length = units;
    return text;
}

int WriteIniDocument(const wchar_t* path) {
    size_t units = 0;
    wchar_t* text = RenderIniDocument(&units);
    if (!text) return 0;

    char* bytes = nullptr;
    DWORD byteCount = 0;
    int encoded = EncodeFileText(text, units, iniDocument.encoding, &bytes, &byteCount);
    free(text);
    if (!encoded) return 0;
    int result = ReplaceFileContents(path, bytes, byteCount);
    free(bytes);
    return result;
}

void FreeIniDocument() {
    if (iniDocument.sections) {
        for (int32_t s = 0; s < iniDocument.sectionCount; ++s) {
            IniSection* section = &iniDocument.sections[s];
            for (int32_t e = 0; e < section->entryCount; ++e) free(section->entries[e].value);
            free(section->entries);
        }
        free(iniDocument.sections);
    }
    iniDocument.sections = nullptr;
    iniDocument.sectionCount = 0;
    iniDocument.sectionCapacity = 0;
    iniDocument.encoding = kIniAnsi;
}

int FindIniSection(const wchar_t* name) {
    if (!iniDocument.sections || !name || !name[0]) return -1;
    uint32_t hash = HashIniName(name);
    for (int32_t s = 0; s < iniDocument.sectionCount; ++s) {
        const IniSection* section = &iniDocument.sections[s];
        if (section->nameHash == hash && lstrcmpiW(section->name, name) == 0) return s;
    }
    return -1;
}

int FindIniEntry(int sectionIndex, const wchar_t* name) {
    if (!iniDocument.sections || sectionIndex < 0 || sectionIndex >= iniDocument.sectionCount) return -1;
    const IniSection* section = &iniDocument.sections[sectionIndex];
    if (!section->entries || !name || !name[0]) return -1;
    uint32_t hash = HashIniName(name);
    for (int32_t e = 0; e < section->entryCount; ++e) {
        const IniEntry* entry = &section->entries[e];
        if (!entry->isComment && entry->nameHash == hash && lstrcmpiW(entry->name, name) == 0) return e;
    }
    return -1;
}

int AddIniSection(const wchar_t* name) {
    if (!name) return 0;
    return AppendSection(name, wcslen(name));
}

int AddIniEntry(int section, const wchar_t* name, const wchar_t* value, int isComment) {
    if (!name || !value) return 0;
    return AppendEntry(section, name, wcslen(name), value, wcslen(value), isComment);
}

int32_t GetIniInt(const wchar_t* section, const wchar_t* key, int32_t defaultValue) {
    int s = FindIniSection(section);
    if (s < 0) return defaultValue;
    int e = FindIniEntry(s, key);
    if (e < 0) return defaultValue;
    const wchar_t* value = iniDocument.sections[s].entries[e].value;
    if (!value) return defaultValue;
    return ParseIniNumber(value);
}

int SetIniValue(const wchar_t* section, const wchar_t* key, const wchar_t* value) {
    if (!iniDocument.sections && !CreateDocument()) return 0;
    int s = FindIniSection(section);
    if (s < 0) {
        if (!AddIniSection(section)) return 0;
        s = iniDocument.sectionCount - 1;
    }
    IniSection* record = &iniDocument.sections[s];
    if (!key) {
        // Clearing: the section stays but is no longer written.
        for (int32_t e = 0; e < record->entryCount; ++e) free(record->entries[e].value);
        free(record->entries);
        record->entries = nullptr;
        record->entryCount = 0;
        record->entryCapacity = 0;
        return 1;
    }
    int e = FindIniEntry(s, key);
    if (e < 0) return AddIniEntry(s, key, value, 0);
    IniEntry* entry = &record->entries[e];
    if (!value) {
        free(entry->value);
        entry->value = nullptr;
        entry->name[0] = 0;  // deleted: never found, never written
        return 1;
    }
    // The old value stays when the new one cannot be copied.
    wchar_t* copy = CopyText(value, wcslen(value));
    if (!copy) return 0;
    free(entry->value);
    entry->value = copy;
    return 1;
}
