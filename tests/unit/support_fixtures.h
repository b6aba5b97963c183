// A PC with every fact present, for the Information page's rows, the PC report and the mail
// form, and the list that the page would show them in.
#pragma once

#include <string.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "dialog/dialog.h"
#include "dialog/information_page.h"
#include "probe/capability_record.h"
#include "probe/directx_probe.h"
#include "probe/environment.h"

// Every value differs from its neighbours, so a value shown under the wrong caption (or a width
// taken for a height) is caught. The DxDiag processor name wins over the registry's; the chip
// type and the Windows name start with blanks that the rows strip, and the chip type holds
// markup that the report escapes.
inline void FillSampleFacts(InformationFacts* facts) {
    memset(facts, 0, sizeof(*facts));
    facts->processorKeyOpened = 1;
    lstrcpyW(facts->processorNameString, L"Registry CPU");
    facts->processorSpeedRead = 1;
    facts->processorSpeedMHz = 2394;
    lstrcpyW(facts->processorIdentifier, L"x86 Family 6 Model 15");
    facts->totalPhysical = 2147483648u;
    facts->availPhysical = 536870912u;
    facts->availVirtual = 1048575u;
}

inline void FillSampleDirectX(DirectXFacts* directX) {
    memset(directX, 0, sizeof(*directX));
    lstrcpyW(directX->processorName, L"DxDiag CPU");
    lstrcpyW(directX->displayChipType, L"  Chip & Co 9000");
    lstrcpyW(directX->displayMemoryText, L"256.0 MB");
    lstrcpyW(directX->displayDriverName, L"chip.dll");
    lstrcpyW(directX->displayDriverVersion, L"6.14.10.9000");
    lstrcpyW(directX->displayDriverDate, L"2/3/2004");
    lstrcpyW(directX->directXName, L"DirectX 9.0c");
    directX->direct3DAccelerated = 0;
    directX->agpAccelerated = 1;
}

inline void FillSampleEnvironment(EnvironmentSnapshot* environment) {
    memset(environment, 0, sizeof(*environment));
    lstrcpyW(environment->windowsName, L" Windows XP Professional");
}

inline void FillSampleRecord(CapabilityRecord* record) {
    memset(record, 0, sizeof(*record));
    lstrcpyW(record->makerName, L"Maker");
    lstrcpyW(record->modelName, L"Model");
    record->anisotropyLevels[0] = 2;
    record->anisotropyLevels[1] = 4;
    record->anisotropyLevels[2] = 8;
    record->antiAliasLevels[0] = 16;
    record->maxTextureWidth = 4096;
    record->maxTextureHeight = 2048;
    record->textureStageCount = 8;
    record->lightCount = 16;
    record->streamCount = 4;
    record->depthBitsFirst = 16;
    record->depthBitsSecond = 24;
}

// The four records filled as above, and the rows built from them.
struct SamplePc {
    InformationFacts facts;
    DirectXFacts directX;
    EnvironmentSnapshot environment;
    CapabilityRecord record;
    InformationRows rows;

    SamplePc() {
        FillSampleFacts(&facts);
        FillSampleDirectX(&directX);
        FillSampleEnvironment(&environment);
        FillSampleRecord(&record);
        memset(&rows, 0, sizeof(rows));
    }
    void Build(bool withRecord = true) {
        BuildInformationRows(&facts, &directX, &environment, withRecord ? &record : nullptr, &rows);
    }
};

// The sample PC's report in English as the PC report writes it, the capability rows included.
const char kSampleReport[] =
    "CPU : DxDiag CPU\n"
    "CPU Speed : 2,394 MHz\n"
    "CPUID : x86 Family 6 Model 15\n"
    "Memory : 2048MBytes ( 2,147,483,648Bytes )\n"
    "Avail Memory : 512MBytes ( 536,870,912Bytes )\n"
    "Virtual Memory : 0MBytes ( 1,048,575Bytes )\n"
    "Graphics : Chip &amp; Co 9000\n"
    "VRAM : 256.0 MB\n"
    "Graphic driver : chip.dll\n"
    "Graphic driver version : 6.14.10.9000\n"
    "driver date : 2/3/2004\n"
    "Direct3D Accelerator : It cannot use\n"
    "AGP Accelerator : Use is possible\n"
    "Windows : Windows XP Professional\n"
    "DirectX : DirectX 9.0c\n"
    "PC Maker : Maker\n"
    "PC Model : Model\n"
    "Anisotropy : 2, 4, 8\n"
    "Anti-alias : 16\n"
    "Max Texture Size : 4096 x 2048 Pixel\n"
    "Texture Stage Count : 8\n"
    "Light Count : 16\n"
    "Stream Count : 4\n"
    "Zbuffer Stencil : 16 - 24 Bit\n";

// The same without the capability rows: its first fifteen lines.
inline std::string SampleReportWithoutCapability() {
    std::string full = kSampleReport;
    return full.substr(0, full.find("PC Maker"));
}

// A report-view list with two columns holding the rows, made the page's list as the PC report
// reads it. A child of the parent when there is one.
inline HWND ListInformationRows(const InformationRows& rows, HWND parent) {
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", parent ? WS_CHILD | LVS_REPORT : LVS_REPORT, 0, 0, 400, 300,
                                parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH;
    column.cx = 100;
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    SendMessageW(list, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
    InsertInformationRows(list, &rows);
    informationList = list;
    memcpy(informationRowOf, rows.rowOf, sizeof(informationRowOf));
    return list;
}

// The page's list records as they are before the page is shown.
inline void ForgetInformationList() {
    informationList = nullptr;
    for (int& row : informationRowOf) row = -1;
}
