// The PC information report of the support mail form: one "caption : value" line per fact of
// the Information page, in UTF-8, escaped for HTML.
#pragma once

#include <stddef.h>
#include <wchar.h>

enum {
    kReportLineCapacity = 256,  // units of a formatted report line
    kEncodedTextCapacity = 512,  // bytes of one encoded text, terminator included
};

// Encodes at most unitCount UTF-16 units (the terminator counted) into at most 512 bytes (the
// terminator counted), one unit at a time: surrogates are not paired. A unit whose bytes would
// leave no room for the terminator is not written; the output is always terminated. Returns
// the bytes written, terminator included; 0 when source or destination is missing.
int EncodeUtf8Limited(const wchar_t* source, char* destination, int unitCount);

// Appends source to the zero-terminated text (capacity bytes, terminator included) with
// "&", "<", ">" and '"' written as entities. What does not fit is left out.
void AppendHtmlEscaped(char* text, size_t capacity, const char* source);

// Appends the report lines to the zero-terminated form text (capacity bytes). Each value is the
// one of the informationList row recorded for its fact; a fact without a row has an empty value.
void AppendPcInformationReport(char* form, size_t capacity);
