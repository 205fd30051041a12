// The plug-in's two roles and its one way of switching to an instance.
#ifndef POKOSW_DISPATCH_H
#define POKOSW_DISPATCH_H

#include <windows.h>

// Requester role: the list, the direct switch, or the settings dialog.
void RunSwitcher();

// Restores a minimised instance window, brings any other to the front.
void ActivateInstance(HWND instanceWindow);

#endif
