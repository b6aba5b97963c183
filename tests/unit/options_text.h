// The options file as the tests write it: the fourteen keys in record order, and a text in
// one of the four encodings with its byte-order mark.
#pragma once

#include <windows.h>

#include <string>

#include "options/ini_document.h"

struct OptionKeyName {
    const wchar_t* section;
    const wchar_t* key;
};

const OptionKeyName kOptionKeyNames[14] = {
    {L"DISPLAY", L"mode"},     {L"DISPLAY", L"width"},      {L"DISPLAY", L"height"},   {L"SYSTEM", L"cursor"},
    {L"SYSTEM", L"smoke"},     {L"SYSTEM", L"vectorcamera"}, {L"SYSTEM", L"antialias"}, {L"SYSTEM", L"anisotropy"},
    {L"INPUT", L"smokebutton"}, {L"SOUND", L"mode"},         {L"VOLUME", L"bgm"},       {L"VOLUME", L"plane"},
    {L"VOLUME", L"cockpit"},   {L"VOLUME", L"voice"}};

// The text's UTF-16 units as ANSI, UTF-8 with its mark, or UTF-16 (either order) with its mark.
inline std::string Encoded(const std::wstring& text, int32_t encoding) {
    if (encoding == kIniUtf16Le || encoding == kIniUtf16Be) {
        bool big = encoding == kIniUtf16Be;
        std::string bytes = big ? "\xFE\xFF" : "\xFF\xFE";
        for (wchar_t unit : text) {
            char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
            bytes += big ? high : low;
            bytes += big ? low : high;
        }
        return bytes;
    }
    UINT codePage = encoding == kIniUtf8 ? CP_UTF8 : CP_ACP;
    int count = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(count), '\0');
    if (count > 0)
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &bytes[0], count, nullptr, nullptr);
    return (encoding == kIniUtf8 ? "\xEF\xBB\xBF" : "") + bytes;
}
