/* Reads the version resource of the DLL named on the command line, the way file properties and
 * installers do, prints its strings (UTF-8) and checks them against the project's version
 * WGCONF_EXPECTED_VERSION. Returns 0 when everything matches. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

static const WORD kLanguages[] = {0x0409, 0x0411};
static const wchar_t* const kFields[] = {L"FileDescription", L"FileVersion", L"InternalName",
                                         L"OriginalFilename", L"ProductName", L"ProductVersion"};

static void PrintUtf8(const wchar_t* text) {
    char bytes[512];
    int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof(bytes), NULL, NULL);
    fputs(length > 0 ? bytes : "?", stdout);
}

/* The value is the expected text for the fields that have one, else any non-empty text. */
static const wchar_t* ExpectedValue(const wchar_t* field) {
    if (wcscmp(field, L"FileVersion") == 0 || wcscmp(field, L"ProductVersion") == 0) return L"" WGCONF_EXPECTED_VERSION;
    if (wcscmp(field, L"InternalName") == 0 || wcscmp(field, L"OriginalFilename") == 0) return L"wgconf.dll";
    return NULL;
}

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        fputs("usage: version_reader.exe DLL\n", stderr);
        return 2;
    }
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(argv[1], &ignored);
    void* block = size ? malloc(size) : NULL;
    if (!block || !GetFileVersionInfoW(argv[1], 0, size, block)) {
        puts("FAILED: no version resource");
        return 1;
    }
    int failures = 0;
    VS_FIXEDFILEINFO* fixed = NULL;
    UINT length = 0;
    wchar_t fixedText[64] = L"";
    if (VerQueryValueW(block, L"\\", (void**)&fixed, &length) && length >= sizeof(*fixed)) {
        swprintf(fixedText, 64, L"%u.%u.%u", (unsigned)HIWORD(fixed->dwFileVersionMS),
                 (unsigned)LOWORD(fixed->dwFileVersionMS), (unsigned)HIWORD(fixed->dwFileVersionLS));
    }
    printf("fixed file version %ls\n", fixedText);
    if (wcscmp(fixedText, L"" WGCONF_EXPECTED_VERSION) != 0) {
        puts("FAILED: the fixed file version differs from " WGCONF_EXPECTED_VERSION);
        ++failures;
    }
    for (size_t language = 0; language < sizeof(kLanguages) / sizeof(kLanguages[0]); ++language) {
        for (size_t field = 0; field < sizeof(kFields) / sizeof(kFields[0]); ++field) {
            wchar_t key[96];
            swprintf(key, 96, L"\\StringFileInfo\\%04x04b0\\%ls", kLanguages[language], kFields[field]);
            wchar_t* value = NULL;
            UINT units = 0;
            if (!VerQueryValueW(block, key, (void**)&value, &units) || units == 0) value = NULL;
            const wchar_t* expected = ExpectedValue(kFields[field]);
            int ok = value && value[0] && (!expected || wcscmp(value, expected) == 0);
            printf("%s %04x %ls = ", ok ? "ok    " : "FAILED", kLanguages[language], kFields[field]);
            PrintUtf8(value ? value : L"(missing)");
            putchar('\n');
            if (!ok) ++failures;
        }
    }
    free(block);
    return failures ? 1 : 0;
}
