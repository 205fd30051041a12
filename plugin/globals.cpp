// Definitions of the process-wide state declared in globals.h.
#include "globals.h"

HINSTANCE g_hInstance;
HostCallInfo *g_pHostInfo;
HWND g_hwndList;
HWND g_hwndQueried;
char g_szReplyPath[PATH_BUFFER_SIZE];
HANDLE g_hReplyEvent;
WNDPROC g_pfnHostWndProc;
char g_szSettingsPath[PATH_BUFFER_SIZE];
PluginSettings g_Settings;
