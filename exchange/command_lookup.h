// Finds the command id under which the host put this plug-in into its menu.
#ifndef POKOSW_COMMAND_LOOKUP_H
#define POKOSW_COMMAND_LOOKUP_H

#include <windows.h>

// The plug-in's command id in mainWindow's "プラグイン(&P)" popup (33100 or more),
// or 0 when it is not there.
int FindPluginCommandId(HWND mainWindow);

#endif
