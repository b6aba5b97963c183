// The User Support command: support.html + the PC's facts -> mail_support.html, opened by the shell.
#pragma once

#include <windows.h>

void RunUserSupport(HWND owner);
