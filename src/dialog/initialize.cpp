// The Initialize command: factory values into the options record and straight onto the page
// controls (the pages' own reactions are not involved; the record is already right).
#include <windows.h>
#include <commctrl.h>

#include "dialog/pages.h"
#include "options/game_options.h"
#include "probe/capability.h"

void ResetGameOptions() {
    SetFactoryOptions(&gameOptions, capabilityAvailable == 1 ? capabilityRecord : nullptr);
    MarkAllOptionsChanged();
}

void RunInitializeCommand() {
    ResetGameOptions();

    SendMessageW(screenModeCombo, CB_SETCURSEL, kModeWindow, 0);
    SendMessageW(resolutionCombo, CB_RESETCONTENT, 0, 0);
    FillWindowSizeCombo(resolutionCombo);
    SendMessageW(resolutionCombo, CB_SETCURSEL, 0, 0);
    EnableWindow(resolutionCombo, TRUE);
    SendMessageW(smokeCombo, CB_SETCURSEL, 0, 0);
    SendMessageW(softwareCursorCheck, BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageW(vectorModeCheck, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(antiAliasCombo, CB_SETCURSEL, 0, 0);
    SendMessageW(anisotropyCombo, CB_SETCURSEL, 0, 0);

    SendMessageW(smokeToggleCheck, BM_SETCHECK, BST_CHECKED, 0);

    SendMessageW(software3DSoundCheck, BM_SETCHECK, BST_CHECKED, 0);
    ShowVolumes();
}
