// The options file as the tests write it: a player's usual file, and a text in one of the four
// encodings with its byte-order mark.
#pragma once

#include <windows.h>

#include <string>

#include "options/game_options.h"
#include "options/ini_document.h"

// A player's usual file: the fourteen keys in the layout a save writes, and a section of the
// game's own with a comment.
const char kTypicalOptionsFile[] =
    "[DISPLAY]\r\nmode=0\r\nwidth=1280\r\nheight=720\r\n\r\n"
    "[SYSTEM]\r\ncursor=1\r\nsmoke=200\r\nvectorcamera=0\r\nantialias=4\r\nanisotropy=8\r\n\r\n"
    "[INPUT]\r\nsmokebutton=0\r\n\r\n[SOUND]\r\nmode=1\r\n\r\n"
    "[VOLUME]\r\nbgm=70\r\nplane=60\r\ncockpit=50\r\nvoice=40\r\n\r\n"
    "[JOYSTICK]\r\n# chosen by the selector\r\nid=2\r\n\r\n";

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
