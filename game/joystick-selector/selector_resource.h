// Identifiers of JoyStickSelector.exe's dialog.
#pragma once

#define IDD_SELECTOR        100
#define IDC_JOYSTICK_LIST   1001
#define IDC_PROMPT          1002
