// The Information page: one two-column list of the PC's facts, filled once when the page is
// created. The PC report reads the values back from the list, at the rows recorded here.
#include "dialog/information_page.h"

#include <commctrl.h>
#include <stdlib.h>
#include <string.h>

#include "dialog/dialog.h"
#include "entry/bounded_text.h"
#include "entry/dpi_awareness.h"
#include "entry/install_paths.h"
#include "probe/capability.h"
#include "probe/registry_text.h"
#include "resources/resource.h"

HWND informationList;
static UINT informationListDpi;  // the DPI that the list's size and columns were made for

int informationRowOf[kInformationFactCount] = {
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
};
static_assert(kInformationFactCount == 24, "one initial position per fact");

static const wchar_t kProcessorKey[] = L"HARDWARE\\DESCRIPTION\\SYSTEM\\CentralProcessor\\0";
static const wchar_t kClassKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Class";

enum {
    kGroupPieceCapacity = 8,    // "999," and the terminator
    kLevelPieceCapacity = 16,   // "4294967295, " and the terminator
    kMaxClassIndices = 100000,  // a key that keeps failing its enumeration cannot spin forever
};

void StripLeadingBlanks(wchar_t* text) {
    int blanks = 0;
    while (text[blanks] == L' ') ++blanks;
    if (blanks == 0 || text[blanks] == 0) return;  // nothing to strip, or nothing but blanks
    int length = blanks;
    while (text[length]) ++length;
    memmove(text, text + blanks, (length - blanks + 1) * sizeof(wchar_t));
}

void FormatGroupedNumber(uint64_t value, wchar_t* output) {
    output[0] = 0;
    if (value == 0) {
        CopyBounded(output, kGroupedNumberCapacity, L"0");
        return;
    }
    int groups[7];  // 2^64 has twenty digits
    int count = 0;
    while (value != 0) {
        groups[count++] = static_cast<int>(value % 1000);
        value /= 1000;
    }
    wchar_t piece[kGroupPieceCapacity];
    if (count == 1) {
        FormatBounded(piece, kGroupPieceCapacity, L"%3.3d", groups[0]);
        AppendBounded(output, kGroupedNumberCapacity, piece);
        return;
    }
    FormatBounded(piece, kGroupPieceCapacity, L"%d,", groups[count - 1]);
    AppendBounded(output, kGroupedNumberCapacity, piece);
    for (int i = count - 2; i > 0; --i) {
        FormatBounded(piece, kGroupPieceCapacity, L"%3.3d,", groups[i]);
        AppendBounded(output, kGroupedNumberCapacity, piece);
    }
    FormatBounded(piece, kGroupPieceCapacity, L"%3.3d", groups[0]);
    AppendBounded(output, kGroupedNumberCapacity, piece);
}

void FormatMemoryValue(uint64_t bytes, wchar_t* output) {
    wchar_t grouped[kGroupedNumberCapacity];
    FormatGroupedNumber(bytes, grouped);
    // The mebibytes as decimal text: the format has no 64-bit conversion.
    wchar_t digits[24];
    wchar_t* first = digits + 23;
    *first = 0;
    uint64_t mebibytes = bytes >> 20;
    do {
        *--first = static_cast<wchar_t>(L'0' + mebibytes % 10);
        mebibytes /= 10;
    } while (mebibytes != 0);
    FormatBounded(output, kInformationTextCapacity, L"%5sMBytes ( %sBytes )", first, grouped);
    StripLeadingBlanks(output);
}

void FormatLevelList(const uint32_t* levels, int capacity, wchar_t* output) {
    output[0] = 0;
    int count = 0;
    while (count < capacity && levels[count] != 0) ++count;
    for (int i = 0; i < count; ++i) {
        wchar_t piece[kLevelPieceCapacity];
        FormatBounded(piece, kLevelPieceCapacity, i + 1 < count ? L"%d, " : L"%d", static_cast<int>(levels[i]));
        AppendBounded(output, kInformationTextCapacity, piece);
    }
}

// ---- Gathering ----------------------------------------------------------------------------

// A value longer than the text is shown cut, not left out.
static void ReadInformationText(HKEY key, const wchar_t* name, wchar_t* text) {
    ReadRegistryText(key, name, text, kInformationTextCapacity, kExpandableTextToo);
}

static void GatherProcessor(InformationFacts* facts) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProcessorKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    facts->processorKeyOpened = 1;
    ReadInformationText(key, L"ProcessorNameString", facts->processorNameString);
    facts->processorSpeedRead = ReadRegistryNumber(key, L"~MHz", &facts->processorSpeedMHz);
    ReadInformationText(key, L"Identifier", facts->processorIdentifier);
    RegCloseKey(key);
}

static void GatherAdapters(InformationFacts* facts) {
    HKEY classes;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kClassKey, 0, KEY_READ, &classes) != ERROR_SUCCESS) return;
    for (DWORD index = 0; index < kMaxClassIndices && facts->adapterCount < kMaxAdapterRows; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        LONG result = RegEnumKeyExW(classes, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS) continue;
        HKEY classKey;
        if (RegOpenKeyExW(classes, name, 0, KEY_READ, &classKey) != ERROR_SUCCESS) continue;
        wchar_t className[kInformationTextCapacity];
        ReadInformationText(classKey, L"Class", className);
        if (lstrcmpiW(className, L"Display") == 0) {
            HKEY device;
            if (RegOpenKeyExW(classKey, L"0000", 0, KEY_READ, &device) == ERROR_SUCCESS) {
                ReadInformationText(device, L"DriverDesc", facts->adapterNames[facts->adapterCount]);
                ++facts->adapterCount;
                RegCloseKey(device);
            }
        }
        RegCloseKey(classKey);
    }
    RegCloseKey(classes);
}

void GatherInformationFacts(InformationFacts* facts, int readAdapters) {
    memset(facts, 0, sizeof(*facts));
    GatherProcessor(facts);
    // The older GlobalMemoryStatus caps every figure at 2 GB in a 32-bit process.
    MEMORYSTATUSEX status;
    memset(&status, 0, sizeof(status));
    status.dwLength = sizeof(status);
    if (GlobalMemoryStatusEx(&status)) {
        facts->totalPhysical = status.ullTotalPhys;
        facts->availPhysical = status.ullAvailPhys;
        facts->availVirtual = status.ullAvailVirtual;
    }
    if (readAdapters) GatherAdapters(facts);
}

// ---- Rows ---------------------------------------------------------------------------------

static InformationRow* AddRow(InformationRows* rows, int fact, UINT captionId) {
    if (rows->count >= kMaxInformationRows) return nullptr;
    InformationRow* row = &rows->rows[rows->count];
    row->separator = 0;
    LoadText(captionId, row->caption, kInformationTextCapacity);
    row->value[0] = 0;
    if (fact >= 0 && rows->rowOf[fact] < 0) rows->rowOf[fact] = rows->count;
    ++rows->count;
    return row;
}

static InformationRow* AddTextRow(InformationRows* rows, int fact, UINT captionId, const wchar_t* value) {
    InformationRow* row = AddRow(rows, fact, captionId);
    if (row) CopyBounded(row->value, kInformationTextCapacity, value);
    return row;
}

// The record's own text: strip it in place, then show it.
static InformationRow* AddStrippedRow(InformationRows* rows, int fact, UINT captionId, wchar_t* text) {
    StripLeadingBlanks(text);
    return AddTextRow(rows, fact, captionId, text);
}

static void AddSeparator(InformationRows* rows) {
    if (rows->count >= kMaxInformationRows) return;
    InformationRow* row = &rows->rows[rows->count++];
    row->separator = 1;
    row->caption[0] = 0;
    row->value[0] = 0;
}

static void AddMemoryRow(InformationRows* rows, int fact, UINT captionId, uint64_t bytes) {
    InformationRow* row = AddRow(rows, fact, captionId);
    if (row) FormatMemoryValue(bytes, row->value);
}

static void AddAccelerationRow(InformationRows* rows, int fact, UINT captionId, int32_t accelerated) {
    InformationRow* row = AddRow(rows, fact, captionId);
    if (row) LoadText(accelerated == 1 ? IDS_INFO_USABLE : IDS_INFO_NOT_USABLE, row->value, kInformationTextCapacity);
}

// The record's name fields need not be terminated inside their arrays.
static void AddFieldRow(InformationRows* rows, int fact, UINT captionId, const wchar_t* field, int units) {
    InformationRow* row = AddRow(rows, fact, captionId);
    if (!row) return;
    int length = 0;
    while (length < units && length < kInformationTextCapacity - 1 && field[length]) {
        row->value[length] = field[length];
        ++length;
    }
    row->value[length] = 0;
}

// One or two of the record's numbers in the format; a format with one conversion ignores the second.
static void AddNumberRow(InformationRows* rows, int fact, UINT captionId, const wchar_t* format, uint32_t first,
                         uint32_t second = 0) {
    InformationRow* row = AddRow(rows, fact, captionId);
    if (row) {
        FormatBounded(row->value, kInformationTextCapacity, format, static_cast<int>(first),
                      static_cast<int>(second));
    }
}

static void AddCapabilityRows(InformationRows* rows, const CapabilityRecord* record) {
    AddFieldRow(rows, kFactPcMaker, IDS_INFO_PC_MAKER, record->makerName,
                static_cast<int>(sizeof(record->makerName) / sizeof(wchar_t)));
    AddFieldRow(rows, kFactPcModel, IDS_INFO_PC_MODEL, record->modelName,
                static_cast<int>(sizeof(record->modelName) / sizeof(wchar_t)));
    AddSeparator(rows);

    InformationRow* row = AddRow(rows, kFactAnisotropy, IDS_INFO_ANISOTROPY);
    if (row) FormatLevelList(record->anisotropyLevels, kCapabilityMaxAnisotropyLevels, row->value);
    row = AddRow(rows, kFactAntiAlias, IDS_INFO_ANTIALIAS);
    if (row) FormatLevelList(record->antiAliasLevels, kCapabilityMaxAntiAliasLevels, row->value);
    AddNumberRow(rows, kFactMaxTexture, IDS_INFO_MAX_TEXTURE, L"%d x %d Pixel", record->maxTextureWidth,
                 record->maxTextureHeight);
    AddNumberRow(rows, kFactTextureStages, IDS_INFO_TEXTURE_STAGES, L"%d", record->textureStageCount);
    AddNumberRow(rows, kFactLights, IDS_INFO_LIGHTS, L"%d", record->lightCount);
    AddNumberRow(rows, kFactStreams, IDS_INFO_STREAMS, L"%d", record->streamCount);
    AddNumberRow(rows, kFactZbuffer, IDS_INFO_ZBUFFER, L"%d - %d Bit", record->depthBitsFirst,
                 record->depthBitsSecond);
}

void BuildInformationRows(const InformationFacts* facts, DirectXFacts* directX,
                          EnvironmentSnapshot* environment, const CapabilityRecord* record,
                          InformationRows* rows) {
    rows->count = 0;
    for (int i = 0; i < kInformationFactCount; ++i) rows->rowOf[i] = -1;
    wchar_t text[kInformationTextCapacity];

    if (facts->processorKeyOpened) {
        if (directX->processorName[0]) {
            AddTextRow(rows, kFactCpu, IDS_INFO_CPU, directX->processorName);
        } else {
            CopyBounded(text, kInformationTextCapacity, facts->processorNameString);
            StripLeadingBlanks(text);
            AddTextRow(rows, kFactCpu, IDS_INFO_CPU, text);
        }
        text[0] = 0;
        if (facts->processorSpeedRead) {
            wchar_t grouped[kGroupedNumberCapacity];
            FormatGroupedNumber(facts->processorSpeedMHz, grouped);
            FormatBounded(text, kInformationTextCapacity, L"%s MHz", grouped);
            StripLeadingBlanks(text);
        }
        AddTextRow(rows, kFactCpuSpeed, IDS_INFO_CPU_SPEED, text);
        CopyBounded(text, kInformationTextCapacity, facts->processorIdentifier);
        StripLeadingBlanks(text);
        AddTextRow(rows, kFactCpuId, IDS_INFO_CPUID, text);
    }

    AddMemoryRow(rows, kFactMemory, IDS_INFO_MEMORY, facts->totalPhysical);
    AddMemoryRow(rows, kFactAvailMemory, IDS_INFO_AVAIL_MEMORY, facts->availPhysical);
    AddMemoryRow(rows, kFactVirtualMemory, IDS_INFO_VIRTUAL_MEMORY, facts->availVirtual);
    AddSeparator(rows);

    if (directX->displayChipType[0]) {
        AddStrippedRow(rows, kFactGraphics, IDS_INFO_GRAPHICS, directX->displayChipType);
    } else {
        for (int i = 0; i < facts->adapterCount && i < kMaxAdapterRows; ++i) {
            CopyBounded(text, kInformationTextCapacity, facts->adapterNames[i]);
            StripLeadingBlanks(text);
            AddTextRow(rows, kFactGraphics, IDS_INFO_GRAPHICS, text);
        }
    }
    if (directX->displayMemoryText[0])
        AddStrippedRow(rows, kFactVram, IDS_INFO_VRAM, directX->displayMemoryText);
    if (directX->displayDriverName[0])
        AddStrippedRow(rows, kFactDriver, IDS_INFO_DRIVER, directX->displayDriverName);
    if (directX->displayDriverVersion[0])
        AddStrippedRow(rows, kFactDriverVersion, IDS_INFO_DRIVER_VERSION, directX->displayDriverVersion);
    if (directX->displayDriverDate[0])
        AddStrippedRow(rows, kFactDriverDate, IDS_INFO_DRIVER_DATE, directX->displayDriverDate);
    AddSeparator(rows);

    AddAccelerationRow(rows, kFactDirect3D, IDS_INFO_DIRECT3D, directX->direct3DAccelerated);
    AddAccelerationRow(rows, kFactAgp, IDS_INFO_AGP, directX->agpAccelerated);
    AddSeparator(rows);

    InformationRow* windows = AddStrippedRow(rows, kFactWindows, IDS_INFO_WINDOWS, environment->windowsName);
    // The Wine suffix joins the name in the row alone, cut with it to the row's capacity.
    if (windows) AppendBounded(windows->value, kInformationTextCapacity, environment->wineSuffix);
    AddStrippedRow(rows, kFactDirectX, IDS_INFO_DIRECTX, directX->directXName);
    AddSeparator(rows);

    if (record) AddCapabilityRows(rows, record);
}

// ---- The list control ---------------------------------------------------------------------

void InsertInformationRows(HWND list, const InformationRows* rows) {
    for (int i = 0; i < rows->count; ++i) {
        const InformationRow* row = &rows->rows[i];
        LVITEMW item;
        memset(&item, 0, sizeof(item));
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.iSubItem = 0;
        item.pszText = const_cast<wchar_t*>(row->caption);
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        if (row->separator) continue;
        item.iSubItem = 1;
        item.pszText = const_cast<wchar_t*>(row->value);
        SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
}

void FillInformationList() {
    // Large enough to keep off the dialog thread's stack.
    static InformationFacts facts;
    static InformationRows rows;
    GatherInformationFacts(&facts, directXFacts.displayChipType[0] == 0);
    const CapabilityRecord* record = capabilityAvailable ? capabilityRecord : nullptr;
    BuildInformationRows(&facts, &directXFacts, &environmentSnapshot, record, &rows);
    InsertInformationRows(informationList, &rows);
    memcpy(informationRowOf, rows.rowOf, sizeof(informationRowOf));
}

static void InsertColumn(HWND list, int index, UINT captionId, int width) {
    wchar_t caption[kInformationTextCapacity];
    LoadText(captionId, caption, kInformationTextCapacity);
    LVCOLUMNW column;
    memset(&column, 0, sizeof(column));
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = caption;
    column.iSubItem = index;
    SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

void FitInformationListToDpi(UINT dpi) {
    if (!informationList || !informationListDpi || dpi == informationListDpi) return;
    // The value column fills the page, which the dialog scales with the same factor.
    int valueWidth = static_cast<int>(SendMessageW(informationList, LVM_GETCOLUMNWIDTH, 1, 0));
    SetWindowPos(informationList, nullptr, 0, 0, ScaleForDpi(kInformationListWidth, dpi),
                 ScaleForDpi(kInformationListHeight, dpi), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(informationList, LVM_SETCOLUMNWIDTH, 0, ScaleForDpi(kInformationCaptionColumnWidth, dpi));
    SendMessageW(informationList, LVM_SETCOLUMNWIDTH, 1,
                 MulDiv(valueWidth, static_cast<int>(dpi), static_cast<int>(informationListDpi)));
    informationListDpi = dpi;
}

INT_PTR CALLBACK InformationPageProc(HWND page, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return 0;
    UseTabBodyBackground(page);
    // The list's pixels are those of a page at 96 DPI, scaled to the page's own.
    informationListDpi = WindowDpi(page);
    RECT pageRect;
    GetWindowRect(page, &pageRect);
    informationList = CreateWindowExW(
        0, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
        0, 0, ScaleForDpi(kInformationListWidth, informationListDpi),
        ScaleForDpi(kInformationListHeight, informationListDpi), page,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_INFORMATION_LIST)), ResourceModule(), nullptr);
    // Without this the list lays out its header and scroll bars again for every column and
    // row: most of the window messages of the whole start-up. Laid out once when it is back on.
    SendMessageW(informationList, WM_SETREDRAW, FALSE, 0);
    LRESULT extended = SendMessageW(informationList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    SendMessageW(informationList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 extended | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    const int captionWidth = ScaleForDpi(kInformationCaptionColumnWidth, informationListDpi);
    InsertColumn(informationList, 0, IDS_INFO_FIELD, captionWidth);
    InsertColumn(informationList, 1, IDS_INFO_VALUE, (pageRect.right - pageRect.left) - captionWidth);
    FillInformationList();
    SendMessageW(informationList, WM_SETREDRAW, TRUE, 0);
    return 1;
}
