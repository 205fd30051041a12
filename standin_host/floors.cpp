// Floors for the benchmark, measured in the host's own process: what a bare
// cross-process request with a WM_COPYDATA answer costs, and what a bare modal
// dialog from the plug-in's list template with an empty list view costs.
#include "host.h"

enum { WM_HOST_BARE_END = WM_APP + 9 };

long long g_lastDialogShownAbs;

// Target side: answers like a responder, with its folder to the sender.
void AnswerBareRequest(HWND sender)
{
    COPYDATASTRUCT cds;
    cds.dwData = 0;
    cds.cbData = static_cast<DWORD>(g_options.path.size() + 1);
    cds.lpData = const_cast<char *>(g_options.path.c_str());
    SendMessageA(sender, WM_COPYDATA, reinterpret_cast<WPARAM>(g_hwndMain), reinterpret_cast<LPARAM>(&cds));
}

std::string BareRequests(HWND target, int count)
{
    long long start = NowMicros();
    for (int i = 0; i < count; i++)
        SendMessageA(target, WM_HOST_BARE_REQUEST, reinterpret_cast<WPARAM>(g_hwndMain), 0);
    return Format("ok us=%lld", NowMicros() - start);
}

static INT_PTR CALLBACK BareDialogProc(HWND dialog, UINT msg, WPARAM, LPARAM)
{
    if (msg == WM_INITDIALOG) {
        PostMessageA(dialog, WM_HOST_BARE_END, 0, 0);   // handled once the dialog is shown
        return TRUE;
    }
    if (msg == WM_HOST_BARE_END) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

// From the call to the moment the dialog is shown, as the dialog watch sees it
// for the plug-in's own dialogs.
std::string BareDialog()
{
    long long start = AbsMicros();
    g_lastDialogShownAbs = 0;
    DialogBoxParamA(g_pluginModule, MAKEINTRESOURCEA(101), g_hwndMain, BareDialogProc, 0);
    if (!g_lastDialogShownAbs)
        return "error the dialog was not shown";
    return Format("ok us=%lld", g_lastDialogShownAbs - start);
}
