// The support mail form: the block of facts goes into the template in front of its "</pre>",
// and the written file is read back to put the same block in place of its "{}".
#include "support/mail_form.h"

#include <shellapi.h>
#include <shlwapi.h>
#include <stdlib.h>
#include <string.h>

#include "dialog/dialog.h"
#include "entry/bounded_text.h"
#include "entry/files.h"
#include "entry/install_paths.h"
#include "resources/resource.h"
#include "support/pc_report.h"

SupportFormText supportFormText = {nullptr, 0};

SupportPlatform supportPlatform = {MessageBoxW, ShellExecuteExW, GetLocalTime};

static const char kInstallBanner[] =
    "\n/----- Install Directory ------------------------------------------------------------\n";
static const char kPcBanner[] =
    "\n/----- PC Information ---------------------------------------------------------------\n";
static const char kEnvironmentBanner[] =
    "\n/----- Environment ------------------------------------------------------------------\n";

static const wchar_t kFormFileName[] = L"mail_support.html";

enum {
    // A directory (at most kPathCapacity - 1 units) and a file name: never cut.
    kFormPathCapacity = kPathCapacity + 32,
    kOptionLineCapacity = 512,
    kTitleBlanks = 42,
    // Every encoded text is at most 511 bytes and grows at most six-fold when escaped: the
    // installation directory, 24 report lines, 8 option lines and the title; then the banners
    // and the date.
    kMailBlockBound = (1 + 24 + 8 + 1) * (kEncodedTextCapacity - 1) * 6 + 3 * 87 + 64 + 1,
};
static_assert(static_cast<int>(kMailBlockBound) <= static_cast<int>(kMailBlockCapacity), "the block always fits");

// The form where GameOption.ini goes (kFormPathCapacity units, never cut): a work value that
// names no folder, a URL scheme say, never reaches the shell.
static int FormPath(wchar_t* path) { return JoinPath(path, kFormPathCapacity, WorkFileDirectory(), kFormFileName); }

static void AppendRaw(char* text, size_t capacity, const char* source) {
    if (capacity == 0) return;
    size_t length = strnlen(text, capacity - 1);
    size_t sourceLength = strlen(source);
    if (sourceLength > capacity - 1 - length) sourceLength = capacity - 1 - length;
    memcpy(text + length, source, sourceLength);
    text[length + sourceLength] = 0;
}

// Text of the tool's own: encoded, escaped, appended.
static void AppendWide(char* text, size_t capacity, const wchar_t* source, int unitCount) {
    char encoded[kEncodedTextCapacity];
    EncodeUtf8Limited(source, encoded, unitCount);
    AppendHtmlEscaped(text, capacity, encoded);
}

static UINT ScreenModeNameId(int32_t displayMode) {
    if (displayMode == kModeFullScreen) return IDS_MODE_FULL_SCREEN;
    if (displayMode == kModePopup) return IDS_MODE_POPUP;
    return IDS_MODE_WINDOW;
}

static void SmokeAmountText(int32_t smoke, wchar_t* text) {
    const SmokeLevel& level = kSmokeLevels[SmokeLevelOfAmount(smoke)];
    if (level.textId) LoadText(level.textId, text);
    else CopyBounded(text, kTextCapacity, level.fixedText);
}

static void AppendOptionLine(char* block, size_t capacity, UINT formatId, const wchar_t* name,
                             int first = 0, int second = 0) {
    wchar_t format[kTextCapacity];
    LoadText(formatId, format);
    wchar_t line[kOptionLineCapacity];
    if (name) FormatBounded(line, kOptionLineCapacity, format, name, first, second);
    else FormatBounded(line, kOptionLineCapacity, format, first);
    AppendWide(block, capacity, line, kOptionLineCapacity);
}

void AppendOptionLines(char* block, size_t capacity, const OptionsRecord* options) {
    wchar_t name[kTextCapacity];
    LoadText(ScreenModeNameId(options->displayMode), name);
    AppendOptionLine(block, capacity, IDS_MAIL_SCREEN_MODE, name, options->width, options->height);
    SmokeAmountText(options->smoke, name);
    AppendOptionLine(block, capacity, IDS_MAIL_SMOKE, name);
    LoadText(options->vectorcamera != 0 ? IDS_MAIL_EFFECTIVE : IDS_MAIL_INVALIDITY, name);
    AppendOptionLine(block, capacity, IDS_MAIL_VECTOR_CAMERA, name);
    LoadText(options->cursor == 0 ? IDS_MAIL_SOFTWARE : IDS_MAIL_HARDWARE, name);
    AppendOptionLine(block, capacity, IDS_MAIL_CURSOR, name);
    AppendOptionLine(block, capacity, IDS_MAIL_ANTIALIAS, nullptr, options->antialias);
    AppendOptionLine(block, capacity, IDS_MAIL_ANISOTROPY, nullptr, options->anisotropy);
    LoadText(options->smokebutton != 0 ? IDS_MAIL_EFFECTIVE : IDS_MAIL_INVALIDITY, name);
    AppendOptionLine(block, capacity, IDS_MAIL_SMOKE_BUTTON, name);
    LoadText(options->soundMode == 1 ? IDS_MAIL_SOFTWARE : IDS_MAIL_AUTO, name);
    AppendOptionLine(block, capacity, IDS_MAIL_3D_SOUND, name);
}

void AppendMailBlock(char* block, size_t capacity, const SYSTEMTIME* now) {
    AppendRaw(block, capacity, kInstallBanner);
    AppendWide(block, capacity, installDirectory, kPathCapacity);
    AppendRaw(block, capacity, kPcBanner);
    AppendPcInformationReport(block, capacity);
    AppendRaw(block, capacity, kEnvironmentBanner);
    AppendOptionLines(block, capacity, &gameOptions);

    // The date follows the title on the same line, after the blanks.
    wchar_t title[kTextCapacity];
    LoadText(IDS_MAIL_TITLE, title);
    wchar_t line[kOptionLineCapacity];
    CopyBounded(line, kOptionLineCapacity, L"\n");
    AppendBounded(line, kOptionLineCapacity, title);
    for (int i = 0; i < kTitleBlanks; ++i) AppendBounded(line, kOptionLineCapacity, L" ");
    AppendWide(block, capacity, line, kOptionLineCapacity);

    char date[64];
    FormatBounded(date, static_cast<int>(sizeof(date)), "%d %d/%d %d:%d\n\n", now->wYear, now->wMonth, now->wDay,
                  now->wHour, now->wMinute);
    AppendRaw(block, capacity, date);
}

int FindMarker(const char* text, const char* marker) {
    if (!text || !marker || !marker[0]) return -1;
    for (int i = 0; text[i]; ++i) {
        int j = 0;
        while (marker[j] && text[i + j] == marker[j]) ++j;
        if (!marker[j]) return i;
    }
    return -1;
}

int FindMarkerOutside(const char* text, const char* marker, int skipStart, int skipLength) {
    int found = FindMarker(text, marker);
    if (found < 0 || found < skipStart || found >= skipStart + skipLength) return found;
    int end = skipStart + skipLength;
    if (static_cast<size_t>(end) > strlen(text)) return -1;
    int after = FindMarker(text + end, marker);
    return after < 0 ? -1 : end + after;
}

// What each way of failing to read the form tells the player.
static const struct {
    FormReadResult result;
    UINT messageId;
} kFormReadMessages[] = {
    {kFormMissing, IDS_ERROR_FORM_MISSING},
    {kFormNotOpened, IDS_ERROR_FORM_NOT_OPEN},
    {kFormNoMemory, IDS_ERROR_FORM_NO_MEMORY},
    {kFormNotRead, IDS_ERROR_FORM_NOT_READ},
};

int LoadFormText(const wchar_t* path, SupportFormText* form, int sizeLimit) {
    int size = QueryFileSize(path);
    if (size <= 0) return kFormMissing;
    DWORD count = 0;
    switch (LoadWholeFile(path, static_cast<DWORD>(sizeLimit), malloc, &form->text, &count)) {
    case kWholeFileRead:
        return kFormRead;
    case kWholeFileMissing:
        return kFormMissing;
    case kWholeFileNotOpened:
        return kFormNotOpened;
    case kWholeFileNoMemory:
        return kFormNoMemory;
    default:
        return kFormNotRead;
    }
}

void ShowFileErrorBox(HWND owner, const wchar_t* format, const wchar_t* path) {
    wchar_t text[kFileErrorCapacity];
    FormatBounded(text, kFileErrorCapacity, format, path);
    supportPlatform.messageBox(owner, text, L"Error", MB_ICONERROR | MB_OK);
}

// A form error: always the Japanese text, whatever the display language, and no owner.
static void ShowFormErrorBox(UINT baseId, const wchar_t* path) {
    wchar_t format[kShortTextCapacity];
    if (LoadStringW(ResourceModule(), baseId + IDS_LANGUAGE_STRIDE, format, kShortTextCapacity) <= 0) format[0] = 0;
    ShowFileErrorBox(nullptr, format, path);
}

int OpenFormText(const wchar_t* path, SupportFormText* form, int sizeLimit) {
    const int result = LoadFormText(path, form, sizeLimit);
    if (result == kFormRead) {
        form->markerOffset = 0;
        return 1;
    }
    for (const auto& message : kFormReadMessages)
        if (message.result == result) ShowFormErrorBox(message.messageId, path);
    return 0;
}

void ReleaseFormText(SupportFormText* form) {
    free(form->text);
    form->text = nullptr;
}

int ComposeMailForm(SupportFormText* form, int skipCount, const SYSTEMTIME* now, int* blockLength) {
    if (blockLength) *blockLength = 0;
    if (!form->text) return 0;
    size_t textLength = strlen(form->text);
    size_t head = textLength;
    size_t rest = textLength;
    if (form->markerOffset >= 0 && static_cast<size_t>(form->markerOffset) <= textLength) {
        head = static_cast<size_t>(form->markerOffset);
        rest = head + (skipCount > 0 ? static_cast<size_t>(skipCount) : 0);
        if (rest > textLength) rest = textLength;
    }

    char* block = static_cast<char*>(malloc(kMailBlockCapacity));
    if (!block) return 0;
    block[0] = 0;
    AppendMailBlock(block, kMailBlockCapacity, now);
    size_t length = strlen(block);
    if (blockLength) *blockLength = static_cast<int>(length);

    size_t total = head + length + (textLength - rest);
    char* composed = static_cast<char*>(malloc(total + 1));
    if (!composed) {
        free(block);
        return 0;
    }
    memcpy(composed, form->text, head);
    memcpy(composed + head, block, length);
    memcpy(composed + head + length, form->text + rest, textLength - rest);
    composed[total] = 0;
    free(block);

    // Through a new file that replaces whatever has the form's name, a link too, and never in
    // place: a link's target is not written. The terminating zero byte is part of the file.
    wchar_t path[kFormPathCapacity];
    int written = FormPath(path) &&
                  ReplaceThroughNewFile(path, composed, static_cast<DWORD>(total + 1), 0, 0, nullptr) == kReplaced;
    free(composed);
    return written;
}

void RunUserSupport(HWND owner) {
    // One reading of the clock, so that both copies of the block agree.
    SYSTEMTIME now;
    supportPlatform.localTime(&now);

    wchar_t templatePath[kFormPathCapacity];
    JoinPath(templatePath, kFormPathCapacity, installDirectory, L"support.html");
    if (!OpenFormText(templatePath, &supportFormText, kTemplateSizeLimit)) return;
    supportFormText.markerOffset = FindMarker(supportFormText.text, "</pre>");
    int blockStart = supportFormText.markerOffset >= 0 ? supportFormText.markerOffset
                                                       : static_cast<int>(strlen(supportFormText.text));
    int blockLength = 0;
    int written = ComposeMailForm(&supportFormText, 0, &now, &blockLength);
    ReleaseFormText(&supportFormText);

    wchar_t formPath[kFormPathCapacity];
    FormPath(formPath);
    // A form that could not be written whole (held open by a browser, a full disk) would leave
    // an older one in its place, with stale facts: it is not read back, nor opened.
    if (!written) {
        ShowFormErrorBox(IDS_ERROR_WRITING, formPath);
        return;
    }
    // The first pass's file holds the template and one block.
    if (!OpenFormText(formPath, &supportFormText, kTemplateSizeLimit + kMailBlockCapacity)) return;
    // Only the template's own marker counts, not one inside the block just inserted.
    supportFormText.markerOffset = FindMarkerOutside(supportFormText.text, "{}", blockStart, blockLength);
    written = ComposeMailForm(&supportFormText, 2, &now);
    ReleaseFormText(&supportFormText);
    if (!written) {
        ShowFormErrorBox(IDS_ERROR_WRITING, formPath);
        return;
    }

    // Opened as an HTML document by the handler of ".html", so that no path is taken for a URL;
    // as with ShellExecuteW, the shell shows no box of its own when no handler is registered.
    SHELLEXECUTEINFOW open = {};
    open.cbSize = sizeof(open);
    open.fMask = SEE_MASK_CLASSNAME | SEE_MASK_FLAG_NO_UI;
    open.hwnd = owner;
    open.lpFile = formPath;
    open.lpClass = L".html";
    open.nShow = SW_SHOWNORMAL;
    supportPlatform.shellExecute(&open);
}
