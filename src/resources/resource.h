// Identifiers of the dialog templates, controls and strings of wgconf.dll.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC                  (-1)
#endif

// Dialog templates
#define IDD_MAIN                    102
#define IDD_GRAPHIC                 103
#define IDD_INPUT                   104
#define IDD_SOUND                   105
#define IDD_INFORMATION             107

// Main dialog (IDOK 1 and IDCANCEL 2 are the platform's)
#define IDC_INITIALIZE              1010
#define IDC_USER_SUPPORT            1024
#define IDC_TAB                     5001

// Graphic page
#define IDC_SCREEN_MODE             1003
#define IDC_RESOLUTION              1004
#define IDC_SMOKE_AMOUNT            1005
#define IDC_SOFTWARE_CURSOR         1006
#define IDC_ANTIALIAS               1007
#define IDC_ANISOTROPY              1008
#define IDC_VECTOR_MODE             1009

// Input page
#define IDC_SMOKE_TOGGLE            1006
#define IDC_CHANGE_JOYSTICK         1010
#define IDC_JOYSTICK_NAME           1011

// Sound page
#define IDC_SOFTWARE_3D_SOUND       1006
#define IDC_VOLUME_BGM              1012
#define IDC_VOLUME_PLANE            1017
#define IDC_VOLUME_COCKPIT          1018
#define IDC_VOLUME_VOICE            1019
#define IDC_LABEL_BGM               1020
#define IDC_LABEL_PLANE             1021
#define IDC_LABEL_COCKPIT           1022
#define IDC_LABEL_VOICE             1023

// Information page
#define IDC_INFORMATION_LIST        6001

// Strings: English at the id, Japanese at the id + 10000
#define IDS_LANGUAGE_STRIDE         10000

#define IDS_ERROR_FILE_NOT_FOUND    800
#define IDS_ERROR_FILE_NOT_OPEN     801
#define IDS_ERROR_OUT_OF_MEMORY     802
#define IDS_ERROR_LOADING           803
#define IDS_ERROR_FORMAT            804
#define IDS_ERROR_WRITING           805
#define IDS_ERROR_FORM_MISSING      806
#define IDS_ERROR_FORM_NOT_OPEN     807
#define IDS_ERROR_FORM_NO_MEMORY    808
#define IDS_ERROR_FORM_NOT_READ     809

#define IDS_TAB_GRAPHIC             2001
#define IDS_TAB_INPUT               2002
#define IDS_TAB_SOUND               2003
#define IDS_TAB_INFORMATION         2004

#define IDS_MODE_FULL_SCREEN        3001
#define IDS_MODE_WINDOW             3002
#define IDS_MODE_POPUP              3003
#define IDS_SMOKE_NORMAL            3005
#define IDS_SMOKE_X2                3006
#define IDS_SMOKE_X3                3007
#define IDS_LEVEL_NOTHING           3009

#define IDS_INFO_FIELD              4001
#define IDS_INFO_VALUE              4002
#define IDS_INFO_CPU                4003
#define IDS_INFO_CPUID              4004
#define IDS_INFO_MEMORY             4005
#define IDS_INFO_VIRTUAL_MEMORY     4006
#define IDS_INFO_AVAIL_MEMORY       4007
#define IDS_INFO_GRAPHICS           4008
#define IDS_INFO_DIRECTX            4009
#define IDS_INFO_WINDOWS            4010
#define IDS_INFO_CPU_SPEED          4011
#define IDS_INFO_VRAM_AVAILABLE     4012
#define IDS_INFO_DRIVER             4013
#define IDS_INFO_VRAM               4014
#define IDS_INFO_DRIVER_VERSION     4015
#define IDS_INFO_DRIVER_DATE        4016
#define IDS_INFO_PC_MAKER           4017
#define IDS_INFO_PC_MODEL           4018
#define IDS_INFO_MAX_TEXTURE        4019
#define IDS_INFO_TEXTURE_STAGES     4020
#define IDS_INFO_LIGHTS             4021
#define IDS_INFO_STREAMS            4022
#define IDS_INFO_ZBUFFER            4023
#define IDS_INFO_ANISOTROPY         4024
#define IDS_INFO_ANTIALIAS          4025
#define IDS_INFO_AGP                4026
#define IDS_INFO_DIRECT3D           4027
#define IDS_INFO_USABLE             4028
#define IDS_INFO_NOT_USABLE         4029
#define IDS_INFO_UNKNOWN            4030

#define IDS_MAIL_SCREEN_MODE        5001
#define IDS_MAIL_SMOKE              5002
#define IDS_MAIL_CURSOR             5003
#define IDS_MAIL_ANTIALIAS          5004
#define IDS_MAIL_ANISOTROPY         5005
#define IDS_MAIL_VECTOR_CAMERA      5006
#define IDS_MAIL_SMOKE_BUTTON       5007
#define IDS_MAIL_EVENT_CAMERA       5008
#define IDS_MAIL_3D_SOUND           5009
#define IDS_MAIL_TITLE              5010
#define IDS_MAIL_SOFTWARE           5011
#define IDS_MAIL_HARDWARE           5012
#define IDS_MAIL_EFFECTIVE          5013
#define IDS_MAIL_INVALIDITY         5014
#define IDS_MAIL_AUTO               5015
