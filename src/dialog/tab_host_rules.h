// Decisions of the main dialog's tab host, free of windows so that they can be checked
// directly: where the tab strip and the pages go, and which page a key leads to.
#pragma once

#include <windows.h>

#include "entry/dpi_awareness.h"

struct Placement {
    int x, y, width, height;  // in the dialog's client pixels
};

struct TabHostLayout {
    Placement tab;
    Placement page;  // the same for every page
};

// Pixels at 96 DPI; the layout scales them to the dialog's DPI.
enum {
    kTabLeft = 2,             // the strip's left edge, and the pages' inset from the area's left
    kTabHeightReserve = 150,  // client height left below the tab strip
    kPageBelowTab = 2,        // the pages end this far above the strip's end
    kPageWidthReserve = 6,    // the area's width less the pages'
    kButtonClearance = 4,     // kept free between the tab strip and the buttons
};

// `area` is the display area of a tab strip that would cover the whole client area.
// `contentHeight` is the height that the tallest page's template or control needs and
// `buttonsTop` the top of the buttons' row, all in pixels at `dpi`. Where the pages are tall
// enough, the fixed arithmetic stands; otherwise the strip and the pages grow together into
// the empty band above the buttons, but never over them.
inline TabHostLayout ArrangeTabHost(RECT area, int contentHeight, int buttonsTop, UINT dpi) {
    const int left = ScaleForDpi(kTabLeft, dpi);
    const int tabReserve = ScaleForDpi(kTabHeightReserve, dpi);
    const int pageReserve = tabReserve + ScaleForDpi(kPageBelowTab, dpi);
    TabHostLayout layout;
    layout.tab = {left, 0, area.right - left, area.bottom - tabReserve};
    layout.page = {area.left + left, area.top, area.right - area.left - ScaleForDpi(kPageWidthReserve, dpi),
                   area.bottom - area.top - pageReserve};

    int growth = contentHeight - layout.page.height;
    int room = buttonsTop - ScaleForDpi(kButtonClearance, dpi) - (layout.tab.y + layout.tab.height);
    if (growth > room) growth = room;
    if (growth > 0) {
        layout.tab.height += growth;
        layout.page.height += growth;
    }
    return layout;
}

// Page that a key press leads to, or -1 when the key does not switch pages. Ctrl+Tab and
// Ctrl+PageDown go to the next page, Ctrl+Shift+Tab and Ctrl+PageUp to the previous one,
// round from the last page to the first and back.
inline int PageAfterKey(WPARAM key, int controlDown, int shiftDown, int current, int count) {
    if (!controlDown || count <= 0) return -1;
    int step = 0;
    if (key == VK_TAB) step = shiftDown ? -1 : 1;
    if (key == VK_NEXT) step = 1;
    if (key == VK_PRIOR) step = -1;
    if (step == 0) return -1;
    if (current < 0 || current >= count) current = 0;
    return (current + step + count) % count;
}
