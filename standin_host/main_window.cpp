// The instance's main window and the message-only control window of the UI
// thread. The main window's procedure is the "host's own procedure" that the
// plug-in subclasses while it asks the others: it logs every WM_COPYDATA that
// reaches it and answers with the fixed result 0x5A5A, so a test can see both
// that a reply got through the plug-in's procedure and what the sender got back.
#include "host.h"

HWND g_hwndMain;
HWND g_hwndControl;
HWND g_hwndGhost;
static HWND s_hwndOther;  // second top-level window of the UI thread ("choose-inactive")

#define HOST_OTHER_CLASS "PokoStandInHostOther"

enum { COPYDATA_RESULT = 0x5A5A, COPYDATA_LOGGED_BYTES = 1024 };

static LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) NoteActivation(hwnd);
        LogEvent("activate", "state=%u seq=%lld", LOWORD(wParam), (long long)ActivationSeq(hwnd));
        break;
    case WM_COMMAND:
        RoutePluginCommand(wParam, lParam);
        return 0;
    case WM_COPYDATA: {
        const COPYDATASTRUCT *cds = reinterpret_cast<const COPYDATASTRUCT *>(lParam);
        DWORD shown = cds->cbData < (DWORD)COPYDATA_LOGGED_BYTES ? cds->cbData : (DWORD)COPYDATA_LOGGED_BYTES;
        LogEvent("copydata", "wparam=%s dwdata=%llu cb=%lu data=%s external=%d",
                 FormatHwnd(reinterpret_cast<HWND>(wParam)).c_str(), (unsigned long long)cds->dwData,
                 (unsigned long)cds->cbData, cds->lpData ? HexBytes(cds->lpData, shown).c_str() : "",
                 InSendMessage() ? 1 : 0);
        return COPYDATA_RESULT;
    }
    case WM_HOST_CHOOSE:
        LogEvent("choose", "id=%d inactive=%d", g_pluginCommandId, wParam ? 1 : 0);
        if (wParam) MakeCallWithOtherWindowActive();
        else MakeRequesterCall();
        return 0;
    case WM_HOST_BARE_REQUEST:
        AnswerBareRequest(reinterpret_cast<HWND>(wParam));
        return 0;
    case WM_TIMER:
        RunLateCall(wParam);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool HasOwnWindowProc()
{
    return GetWindowLongPtrA(g_hwndMain, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(MainWndProc);
}

HWND OtherWindow()
{
    if (!s_hwndOther) {
        std::string title = "PokoHost " + g_options.name + " (other)";
        s_hwndOther = CreateWindowExA(0, HOST_OTHER_CLASS, title.c_str(), WS_OVERLAPPEDWINDOW, 40, 40, 320, 200,
                                      nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    return s_hwndOther;
}

static LRESULT CALLBACK ControlWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_HOST_CONTROL) {
        RunControlRequest(lParam);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool CreateHostWindows(HMENU menuBar, std::string *error)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MainWndProc;
    wc.cbWndExtra = sizeof(LONG_PTR);  // the activation sequence number
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = HOST_WINDOW_CLASS;
    if (!RegisterClassA(&wc)) {
        *error = Format("RegisterClass failed (error %lu)", (unsigned long)GetLastError());
        return false;
    }
    WNDCLASSA control = {};
    control.lpfnWndProc = ControlWndProc;
    control.hInstance = instance;
    control.lpszClassName = HOST_CONTROL_CLASS;
    RegisterClassA(&control);
    WNDCLASSA other = control;
    other.lpfnWndProc = DefWindowProcA;
    other.hCursor = wc.hCursor;
    other.hbrBackground = wc.hbrBackground;
    other.lpszClassName = HOST_OTHER_CLASS;
    RegisterClassA(&other);

    // A handle that no longer names a window; Wine and Windows do not hand the
    // same handle out again soon after (the upper bits count the reuses).
    g_hwndGhost = CreateWindowExA(0, HOST_OTHER_CLASS, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
    DestroyWindow(g_hwndGhost);

    std::string title = "PokoHost " + g_options.name;
    g_hwndMain = CreateWindowExA(0, HOST_WINDOW_CLASS, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                 CW_USEDEFAULT, 640, 480, nullptr, menuBar, instance, nullptr);
    g_hwndControl = CreateWindowExA(0, HOST_CONTROL_CLASS, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (!g_hwndMain || !g_hwndControl) {
        *error = Format("CreateWindow failed (error %lu)", (unsigned long)GetLastError());
        return false;
    }
    return true;
}
