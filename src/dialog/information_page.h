// The Information page's list: facts gathered from the registry and the memory status, the rows
// built from them and from the probe records, and where each fact landed in the list.
#pragma once

#include <stdint.h>
#include <windows.h>

#include "probe/capability_record.h"
#include "probe/directx_probe.h"
#include "probe/environment.h"

enum {
    kInformationTextCapacity = 256,  // units of a caption or a value
    kMaxAdapterRows = 16,            // display classes listed from the registry
    kMaxInformationRows = 28 + kMaxAdapterRows,
    kInformationListWidth = 436,
    kInformationListHeight = 306,
    kInformationCaptionColumnWidth = 160,
    kGroupedNumberCapacity = 32,  // "18,446,744,073,709,551,615" and the terminator
};

// The facts that have a row of their own, in the order of the PC report.
enum InformationFact {
    kFactCpu,
    kFactCpuSpeed,
    kFactCpuId,
    kFactMemory,
    kFactAvailMemory,
    kFactVirtualMemory,
    kFactGraphics,
    kFactVram,
    kFactDriver,
    kFactDriverVersion,
    kFactDriverDate,
    kFactDirect3D,
    kFactAgp,
    kFactWindows,
    kFactDirectX,
    kFactPcMaker,
    kFactPcModel,
    kFactAnisotropy,
    kFactAntiAlias,
    kFactMaxTexture,
    kFactTextureStages,
    kFactLights,
    kFactStreams,
    kFactZbuffer,
    kInformationFactCount
};

// What the page reads itself. Texts that could not be read are empty.
struct InformationFacts {
    int processorKeyOpened;
    wchar_t processorNameString[kInformationTextCapacity];
    int processorSpeedRead;
    uint32_t processorSpeedMHz;
    wchar_t processorIdentifier[kInformationTextCapacity];
    uint64_t totalPhysical;  // bytes; 0 when the memory status cannot be read
    uint64_t availPhysical;
    uint64_t availVirtual;
    int adapterCount;  // display classes with a "0000" sub-key
    wchar_t adapterNames[kMaxAdapterRows][kInformationTextCapacity];
};

struct InformationRow {
    int separator;  // empty caption, no value
    wchar_t caption[kInformationTextCapacity];
    wchar_t value[kInformationTextCapacity];
};

struct InformationRows {
    int count;
    InformationRow rows[kMaxInformationRows];
    int rowOf[kInformationFactCount];  // position of each fact's row, -1 when it has none
};

// Row position of each fact in informationList as last filled; -1 when the fact has no row
// (with several adapter rows, the first).
extern int informationRowOf[kInformationFactCount];

// Registry and memory status. Adapters are listed only when readAdapters is non-zero.
void GatherInformationFacts(InformationFacts* facts, int readAdapters);
// Builds the rows in list order. Texts of the two records are stripped in place. The capability
// rows are added when record is not null.
void BuildInformationRows(const InformationFacts* facts, DirectXFacts* directX,
                          EnvironmentSnapshot* environment, const CapabilityRecord* record,
                          InformationRows* rows);
// Appends the rows to a report-view list with two columns.
void InsertInformationRows(HWND list, const InformationRows* rows);
void FillInformationList();
// Sizes the list and its columns for a dialog that moved to a monitor of this DPI.
void FitInformationListToDpi(UINT dpi);

// Joins the leading non-zero levels with ", "; empty when there is none.
void FormatLevelList(const uint32_t* levels, int capacity, wchar_t* output);
// The memory value: "%5dMBytes ( %sBytes )" with the mebibytes and the grouped byte count,
// leading blanks stripped.
void FormatMemoryValue(uint64_t bytes, wchar_t* output);
void StripLeadingBlanks(wchar_t* text);
// Decimal with comma grouping; a single group has three digits (42 gives 042). The output
// holds kGroupedNumberCapacity units.
void FormatGroupedNumber(uint64_t value, wchar_t* output);
