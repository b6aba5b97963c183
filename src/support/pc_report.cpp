// The report reads the Information page's list back, so it shows exactly what the user saw.
#include "support/pc_report.h"

#include <windows.h>
#include <commctrl.h>
#include <string.h>

#include "dialog/dialog.h"
#include "dialog/information_page.h"
#include "entry/bounded_text.h"
#include "entry/install_paths.h"
#include "probe/capability.h"
#include "resources/resource.h"

struct ReportLine {
    UINT captionId;
    int fact;
};

// The list's order, not the string table's.
static const ReportLine kReportLines[] = {
    {IDS_INFO_CPU, kFactCpu},
    {IDS_INFO_CPU_SPEED, kFactCpuSpeed},
    {IDS_INFO_CPUID, kFactCpuId},
    {IDS_INFO_MEMORY, kFactMemory},
    {IDS_INFO_AVAIL_MEMORY, kFactAvailMemory},
    {IDS_INFO_VIRTUAL_MEMORY, kFactVirtualMemory},
    {IDS_INFO_GRAPHICS, kFactGraphics},
    {IDS_INFO_VRAM, kFactVram},
    {IDS_INFO_DRIVER, kFactDriver},
    {IDS_INFO_DRIVER_VERSION, kFactDriverVersion},
    {IDS_INFO_DRIVER_DATE, kFactDriverDate},
    {IDS_INFO_DIRECT3D, kFactDirect3D},
    {IDS_INFO_AGP, kFactAgp},
    {IDS_INFO_WINDOWS, kFactWindows},
    {IDS_INFO_DIRECTX, kFactDirectX},
    // Only with the capability library's rows:
    {IDS_INFO_PC_MAKER, kFactPcMaker},
    {IDS_INFO_PC_MODEL, kFactPcModel},
    {IDS_INFO_ANISOTROPY, kFactAnisotropy},
    {IDS_INFO_ANTIALIAS, kFactAntiAlias},
    {IDS_INFO_MAX_TEXTURE, kFactMaxTexture},
    {IDS_INFO_TEXTURE_STAGES, kFactTextureStages},
    {IDS_INFO_LIGHTS, kFactLights},
    {IDS_INFO_STREAMS, kFactStreams},
    {IDS_INFO_ZBUFFER, kFactZbuffer},
};
enum {
    kReportLineCount = sizeof(kReportLines) / sizeof(kReportLines[0]),
    kLinesWithoutCapability = 15,
};

int EncodeUtf8Limited(const wchar_t* source, char* destination, int unitCount) {
    if (!source || !destination || unitCount <= 0) return 0;
    int total = 0;
    // The last unit and the last byte are kept for the terminator.
    for (int i = 0; i < unitCount - 1 && source[i]; ++i) {
        unsigned c = static_cast<unsigned short>(source[i]);
        int length = c <= 0x7F ? 1 : (c <= 0x7FF ? 2 : 3);
        if (total + length > kEncodedTextCapacity - 1) break;
        if (length == 1) {
            destination[total++] = static_cast<char>(c);
        } else if (length == 2) {
            destination[total++] = static_cast<char>(0xC0 | (c >> 6));
            destination[total++] = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            destination[total++] = static_cast<char>(0xE0 | (c >> 12));
            destination[total++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            destination[total++] = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    destination[total++] = 0;
    return total;
}

void AppendHtmlEscaped(char* text, size_t capacity, const char* source) {
    if (capacity == 0) return;
    size_t length = strnlen(text, capacity - 1);
    for (; *source; ++source) {
        const char* piece;
        char single[2] = {*source, 0};
        switch (*source) {
            case '&': piece = "&amp;"; break;
            case '<': piece = "&lt;"; break;
            case '>': piece = "&gt;"; break;
            case '"': piece = "&quot;"; break;
            default: piece = single; break;
        }
        size_t pieceLength = strlen(piece);
        if (length + pieceLength > capacity - 1) break;
        memcpy(text + length, piece, pieceLength);
        length += pieceLength;
    }
    text[length] = 0;
}

// A line cut by the byte limit still ends in its line feed.
static void KeepLineEnd(char* encoded) {
    size_t length = strlen(encoded);
    if (length > 0 && encoded[length - 1] == '\n') return;
    while (length > kEncodedTextCapacity - 2) {
        --length;
        while (length > 0 && (static_cast<unsigned char>(encoded[length]) & 0xC0) == 0x80) --length;
    }
    encoded[length] = '\n';
    encoded[length + 1] = 0;
}

static void ReadRowValue(int row, wchar_t* value) {
    value[0] = 0;
    if (row < 0 || !informationList) return;
    LVITEMW item;
    memset(&item, 0, sizeof(item));
    item.iSubItem = 1;
    item.pszText = value;
    item.cchTextMax = kReportLineCapacity;
    SendMessageW(informationList, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    value[kReportLineCapacity - 1] = 0;
}

void AppendPcInformationReport(char* form, size_t capacity) {
    int lineCount = (capabilityAvailable && capabilityRecord) ? kReportLineCount : kLinesWithoutCapability;
    for (int i = 0; i < lineCount; ++i) {
        wchar_t caption[kReportLineCapacity];
        wchar_t value[kReportLineCapacity];
        LoadText(kReportLines[i].captionId, caption, kReportLineCapacity);
        ReadRowValue(informationRowOf[kReportLines[i].fact], value);

        wchar_t line[kReportLineCapacity];
        CopyBounded(line, kReportLineCapacity - 1, caption);
        AppendBounded(line, kReportLineCapacity - 1, L" : ");
        AppendBounded(line, kReportLineCapacity - 1, value);
        AppendBounded(line, kReportLineCapacity, L"\n");

        char encoded[kEncodedTextCapacity];
        EncodeUtf8Limited(line, encoded, kReportLineCapacity);
        KeepLineEnd(encoded);
        AppendHtmlEscaped(form, capacity, encoded);
    }
}
