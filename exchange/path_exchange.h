// The exchange by which the requester learns each other instance's folder: it
// sends the plug-in's own command, and the asked instance's copy of the plug-in
// answers with a WM_COPYDATA to the requester's main window.
#ifndef POKOSW_PATH_EXCHANGE_H
#define POKOSW_PATH_EXCHANGE_H

#include <windows.h>

enum {
    REPLY_WAIT_MS = 3000,   // longest wait for a reply after the request was handled,
                            // and the longest time a request may take to be handled
    REPLY_TAG = 0           // dwData of every reply
};

// Requester side, used while the list fills (in this order: Begin, Query for each
// other instance, End).
void BeginPathQueries(int commandId);
void QueryInstancePath(HWND instanceWindow);
void EndPathQueries();
LRESULT CALLBACK ReplyCatcherProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// True from BeginPathQueries to EndPathQueries.
bool PathQueriesUnderway();

// Responder side: sends CurrentPath of the open call to entry 0 of its instances.
void SendPathReply();

#endif
