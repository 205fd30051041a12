// Floors for the benchmark, measured in the host's own process: what a bare
// cross-process request with a WM_COPYDATA answer costs (with the host's own
// routing of a command), and what a bare modal
// dialog from the plug-in's list template with an empty list view costs.
#include "host.h"

enum { WM_HOST_BARE_END = WM_APP + 9 };

// Target side: answers like a responder, with its folder to the sender. It
// builds the instance array first, as the host does for every command it routes
// to the plug-in, so the floor holds the host's routing and leaves the plug-in's
// own part as the difference.
void AnswerBareRequest(HWND sender)
{
    HWND windows[64];
    BuildInstanceArray(windows, 64, sender);
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

static long long s_bareShownAbs;   // when the bare dialog became visible

static INT_PTR CALLBACK BareDialogProc(HWND dialog, UINT msg, WPARAM, LPARAM lParam)
{
    if (msg == WM_INITDIALOG)
        return TRUE;
    // The dialog manager shows the dialog once its message queue is empty; the
    // moment is taken as the dialog watch takes it for the plug-in's dialogs.
    if (msg == WM_WINDOWPOSCHANGED && (reinterpret_cast<const WINDOWPOS *>(lParam)->flags & SWP_SHOWWINDOW) &&
        !s_bareShownAbs) {
        s_bareShownAbs = AbsMicros();
        PostMessageA(dialog, WM_HOST_BARE_END, 0, 0);
        return FALSE;
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
    s_bareShownAbs = 0;
    INT_PTR result = DialogBoxParamA(g_pluginModule, MAKEINTRESOURCEA(101), g_hwndMain, BareDialogProc, 0);
    if (!s_bareShownAbs)
        return Format("error the dialog was not shown (result %lld, error %lu)", (long long)result,
                      (unsigned long)GetLastError());
    return Format("ok us=%lld", s_bareShownAbs - start);
}
