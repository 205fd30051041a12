// The process-wide state of one loaded copy of the plug-in. Everything runs on
// the host's user-interface thread, so none of it is locked.
#ifndef POKOSW_GLOBALS_H
#define POKOSW_GLOBALS_H

#include <windows.h>
#include "host_contract.h"

// Settings as stored in POKOSW.INI, in this order.
struct PluginSettings {
    int Version;        // always PLUGIN_VERSION in memory
    int State;          // STATE_* flags; other bits are carried along
    int WindowWidth;    // outer size of the list window; 0 = no layout saved
    int WindowHeight;
    int Column0Width;   // path column
    int Column0Order;
    int Column1Width;   // state column
    int Column1Order;
};

enum {
    STATE_SWITCH_WITHOUT_LIST = 1,  // switch to entry 0 without showing the list
    STATE_SHOW_FOLDER_NAME = 2      // rows show the last folder name only
};

enum { PATH_BUFFER_SIZE = 260 };

extern HINSTANCE g_hInstance;           // this module, for its dialog templates
extern HostCallInfo *g_pHostInfo;       // record of the open DoProcess call
extern HWND g_hwndList;                 // list control of the list dialog, set when it opens
extern HWND g_hwndQueried;              // instance window being asked for its folder
extern char g_szReplyPath[PATH_BUFFER_SIZE]; // folder of the instance last asked, or the default text
extern HANDLE g_hReplyEvent;            // set when an accepted reply has arrived
extern WNDPROC g_pfnHostWndProc;        // host main window's own procedure while it is subclassed
extern char g_szSettingsPath[PATH_BUFFER_SIZE]; // full path of POKOSW.INI; "" when it cannot be formed
extern PluginSettings g_Settings;

#endif
