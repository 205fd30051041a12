// The module's face to the host: the entry routine and the two exports.
#include "globals.h"
#include "dispatch.h"
#include "../exchange/path_exchange.h"
#include "../resources/texts.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH)
        g_hInstance = instance;
    return TRUE;
}

// The host's buffers are its own; the texts are fixed, so their sizes are known
// to the host from the plug-in interface (76 and 24 bytes).
extern "C" int WINAPI GetFunctionInfo(char *info, char *notice, unsigned short *version)
{
    lstrcpyA(info, TEXT_FUNCTION_INFO);
    lstrcpyA(notice, TEXT_AUTHOR_NOTICE);
    *version = PLUGIN_VERSION;
    return 3;
}

// The role is told by the active window: the user chose the command in this
// instance when its main window is the thread's active window; otherwise another
// instance sent the command to learn this instance's folder.
//
// DoProcess can be entered again on the same thread while a call is open: a
// request from another instance arrives as a sent message during the queries or
// a modal dialog. The nested call's record is valid only during that call, so the
// outer call's record is put back when it returns. While the outer call's queries
// are under way a nested call always answers as a responder: such a call can only
// be another instance's request, and queries cannot nest.
extern "C" int WINAPI DoProcess(HostCallInfo *info)
{
    HostCallInfo *outer = g_pHostInfo;
    g_pHostInfo = info;
    if (GetActiveWindow() == info->MainWindow && !PathQueriesUnderway())
        RunSwitcher();
    else
        SendPathReply();
    g_pHostInfo = outer;
    return 1;
}
