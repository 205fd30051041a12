// Start-up and message loop of the stand-in host.
// Exit codes: 0 after "quit" or when the window is closed, 1 for a bad command
// line or a start-up failure, 2 when the DLL or one of its exports is missing,
// 3 after "quit-hard".
#include "host.h"

#include <commctrl.h>
#include <stdio.h>

DWORD g_uiThreadId;
int g_pluginCommandId;

static int Fail(int code, const std::string &message)
{
    fprintf(stderr, "standin_host: %s\n", message.c_str());
    fflush(stderr);
    return code;
}

int main(int argc, char **argv)
{
    InitClock();
    std::string error;
    if (!ParseCommandLine(argc, argv, &g_options, &error)) return Fail(1, error);
    if (!g_options.logFile.empty()) OpenLogFile(g_options.logFile);
    g_uiThreadId = GetCurrentThreadId();
    InitRouting();

    if (!LoadPlugin(g_options.dllPath, &error)) return Fail(2, error);

    if (!g_options.noListView) {
        // The plug-in relies on the host having registered the list-view class.
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
    }

    HMENU menuBar;
    if (!BuildMenuBar(g_options.topLayout, g_options.menuLayout, &menuBar, &g_pluginCommandId, &error))
        return Fail(1, error);
    if (!CreateHostWindows(menuBar, &error)) return Fail(1, error);
    if (!CreateControlPipe(&error)) return Fail(1, error);
    InstallDialogWatch();
    LogEvent("started", "hwnd=%s pid=%lu name=%s path=%s command-id=%d respond=%s mark-senders=%d listview=%d ghost=%s",
             FormatHwnd(g_hwndMain).c_str(), (unsigned long)GetCurrentProcessId(), g_options.name.c_str(),
             HexBytes(g_options.path.data(), g_options.path.size()).c_str(), g_pluginCommandId,
             FormatRespondMode(g_options.respond).c_str(), g_options.markSenders ? 1 : 0,
             g_options.noListView ? 0 : 1, g_options.ghost ? FormatHwnd(g_hwndGhost).c_str() : "0");

    ShowWindow(g_hwndMain, g_options.showCmd);
    UpdateWindow(g_hwndMain);
    StartControlPipeThread();

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // The reply to "quit" is still on its way to the client.
    WaitForQuitReply(3000);
    return 0;
}
