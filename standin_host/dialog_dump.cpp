// What a test can see of the plug-in's dialogs: the "dialogs" command lists
// every top-level #32770 window of the UI thread (plug-in dialogs and message
// boxes) with its direct child controls, list-view columns and rows; and the
// dialog watch logs "dialog-shown" the first time such a window becomes visible
// (the moment the list is on screen) and "dialog-destroyed".
//
// Reply of "dialogs", one record per line, values without spaces:
//   ok dialogs=N
//   dialog hwnd= owner= caption=HEX style= exstyle= visible= enabled= rect=L,T,R,B client=W,H focus= controls=N
//   control hwnd= id= class= text=HEX style= exstyle= rect=L,T,R,B visible= enabled= [check=] [icon= hand=]
//           [lvexstyle= columns= rows=]     (rect in the dialog's client coordinates)
//   column index= width= order= fmt= text=HEX
//   row index= state= texts=HEX,HEX,...     (state: LVIS_SELECTED|LVIS_FOCUSED bits)
#include "host.h"

#include <commctrl.h>
#include <map>
#include <set>
#include <vector>

static const char kDialogClass[] = "#32770";

static bool IsTopLevelDialog(HWND hwnd)
{
    char name[32];
    if (GetClassNameA(hwnd, name, sizeof name) <= 0 || lstrcmpA(name, kDialogClass) != 0) return false;
    return (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) == 0;
}

static std::string WindowTextHex(HWND hwnd)
{
    char text[1024];
    int n = GetWindowTextA(hwnd, text, sizeof text);
    return HexBytes(text, n > 0 ? n : 0);
}

static std::string RectText(const RECT &r)
{
    return Format("%ld,%ld,%ld,%ld", r.left, r.top, r.right, r.bottom);
}

static std::string ListViewLines(HWND list, std::string *summary)
{
    std::string out;
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    int columns = header ? (int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) : 0;
    for (int c = 0; c < columns; ++c) {
        char text[512] = "";
        LVCOLUMNA col = {};
        col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_ORDER;
        col.pszText = text;
        col.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETCOLUMNA, c, reinterpret_cast<LPARAM>(&col));
        out += Format("\ncolumn index=%d width=%d order=%d fmt=%d text=%s", c, col.cx, col.iOrder, col.fmt,
                      HexBytes(text, lstrlenA(text)).c_str());
    }
    int rows = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    for (int r = 0; r < rows; ++r) {
        UINT state = (UINT)SendMessageA(list, LVM_GETITEMSTATE, r, LVIS_SELECTED | LVIS_FOCUSED);
        std::string texts;
        for (int c = 0; c < (columns > 0 ? columns : 1); ++c) {
            char text[1024] = "";
            LVITEMA item = {};
            item.iSubItem = c;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(list, LVM_GETITEMTEXTA, r, reinterpret_cast<LPARAM>(&item));
            if (c) texts += ',';
            texts += HexBytes(text, lstrlenA(text));
        }
        out += Format("\nrow index=%d state=%u texts=%s", r, state, texts.c_str());
    }
    *summary = Format(" lvexstyle=0x%lX columns=%d rows=%d",
                      (unsigned long)SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), columns, rows);
    return out;
}

static std::string ControlLines(HWND dialog, HWND control)
{
    char cls[64] = "";
    GetClassNameA(control, cls, sizeof cls);
    LONG style = GetWindowLongA(control, GWL_STYLE);
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&rect), 2);
    std::string line = Format("control hwnd=%s id=%d class=%s text=%s style=0x%lX exstyle=0x%lX rect=%s visible=%d "
                              "enabled=%d",
                              FormatHwnd(control).c_str(), GetDlgCtrlID(control), cls, WindowTextHex(control).c_str(),
                              (unsigned long)style, (unsigned long)GetWindowLongA(control, GWL_EXSTYLE),
                              RectText(rect).c_str(), IsWindowVisible(control) ? 1 : 0,
                              IsWindowEnabled(control) ? 1 : 0);
    std::string extra;
    if (lstrcmpiA(cls, "Button") == 0) {
        line += Format(" check=%d", (int)SendMessageA(control, BM_GETCHECK, 0, 0));
    } else if (lstrcmpiA(cls, "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
        HICON icon = reinterpret_cast<HICON>(SendMessageA(control, STM_GETICON, 0, 0));
        line += Format(" icon=%s hand=%d", FormatHwnd(reinterpret_cast<HWND>(icon)).c_str(),
                       icon && icon == LoadIcon(nullptr, IDI_HAND) ? 1 : 0);
    } else if (lstrcmpiA(cls, WC_LISTVIEWA) == 0) {
        std::string summary;
        extra = ListViewLines(control, &summary);
        line += summary;
    }
    return line + extra;
}

static BOOL CALLBACK CollectDialog(HWND hwnd, LPARAM param)
{
    if (IsTopLevelDialog(hwnd)) reinterpret_cast<std::vector<HWND> *>(param)->push_back(hwnd);
    return TRUE;
}

std::string DescribeDialogs()
{
    std::vector<HWND> dialogs;
    EnumThreadWindows(g_uiThreadId, CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    std::string out = Format("ok dialogs=%zu", dialogs.size());
    HWND focus = GetFocus();
    for (HWND dialog : dialogs) {
        std::vector<HWND> controls;
        for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) controls.push_back(c);
        RECT rect, client;
        GetWindowRect(dialog, &rect);
        GetClientRect(dialog, &client);
        HWND dialogFocus = focus && IsChild(dialog, focus) ? focus : nullptr;
        out += Format("\ndialog hwnd=%s owner=%s caption=%s style=0x%lX exstyle=0x%lX visible=%d enabled=%d rect=%s "
                      "client=%ld,%ld focus=%s controls=%zu",
                      FormatHwnd(dialog).c_str(), FormatHwnd(GetWindow(dialog, GW_OWNER)).c_str(),
                      WindowTextHex(dialog).c_str(), (unsigned long)GetWindowLongA(dialog, GWL_STYLE),
                      (unsigned long)GetWindowLongA(dialog, GWL_EXSTYLE), IsWindowVisible(dialog) ? 1 : 0,
                      IsWindowEnabled(dialog) ? 1 : 0, RectText(rect).c_str(), client.right, client.bottom,
                      FormatHwnd(dialogFocus).c_str(), controls.size());
        for (HWND c : controls) out += "\n" + ControlLines(dialog, c);
    }
    return out;
}

// The watch is a WH_CBT hook, which runs only when a window is created,
// activated, focused and the like, and which subclasses each new top-level
// dialog. A hook that ran for every message sent (WH_CALLWNDPROC[RET]) would
// cost each of the plug-in's list-view messages a trip through the hook chain,
// many times the message itself under Wine, and so weigh on the time the
// benchmark takes for the plug-in's own work.
static HHOOK s_watchHook;                          // WH_CBT on the UI thread
struct WatchedDialog {
    WNDPROC previous;   // its procedure before
    bool unicode;       // subclassed with the W functions, as the window was made
};
static std::map<HWND, WatchedDialog> s_watched;
static std::set<HWND> s_shown;                     // dialogs already reported as shown

static LRESULT CALLBACK WatchedDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto found = s_watched.find(hwnd);
    if (found == s_watched.end()) return DefWindowProcA(hwnd, message, wParam, lParam);
    WatchedDialog watched = found->second;
    if (message == WM_NCDESTROY) {
        // Put the procedure back before the window is gone, as a subclass must.
        LONG_PTR previous = reinterpret_cast<LONG_PTR>(watched.previous);
        if (watched.unicode)
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, previous);
        else
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, previous);
        s_watched.erase(found);
    }
    LRESULT result = watched.unicode ? CallWindowProcW(watched.previous, hwnd, message, wParam, lParam)
                                     : CallWindowProcA(watched.previous, hwnd, message, wParam, lParam);
    // Logged once the dialog's procedure has seen the message, like a hook that
    // runs after the call.
    if (message == WM_WINDOWPOSCHANGED && (reinterpret_cast<const WINDOWPOS *>(lParam)->flags & SWP_SHOWWINDOW) &&
        !s_shown.count(hwnd)) {
        s_shown.insert(hwnd);
        LogEvent("dialog-shown", "hwnd=%s owner=%s caption=%s", FormatHwnd(hwnd).c_str(),
                 FormatHwnd(GetWindow(hwnd, GW_OWNER)).c_str(), WindowTextHex(hwnd).c_str());
    } else if (message == WM_NCDESTROY && s_shown.erase(hwnd)) {
        LogEvent("dialog-destroyed", "hwnd=%s", FormatHwnd(hwnd).c_str());
    }
    return result;
}

static LRESULT CALLBACK DialogWatchProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        HWND hwnd = reinterpret_cast<HWND>(wParam);
        const CREATESTRUCTA *create = reinterpret_cast<const CBT_CREATEWNDA *>(lParam)->lpcs;
        char name[32];
        if (!(create->style & WS_CHILD) && GetClassNameA(hwnd, name, sizeof name) > 0 &&
            lstrcmpA(name, kDialogClass) == 0) {
            // Message boxes are made as Unicode windows, the plug-in's dialogs as
            // ANSI ones; the subclass keeps each as it was.
            bool unicode = IsWindowUnicode(hwnd) != FALSE;
            LONG_PTR watch = reinterpret_cast<LONG_PTR>(WatchedDialogProc);
            WNDPROC previous = reinterpret_cast<WNDPROC>(unicode ? SetWindowLongPtrW(hwnd, GWLP_WNDPROC, watch)
                                                                 : SetWindowLongPtrA(hwnd, GWLP_WNDPROC, watch));
            if (previous) s_watched[hwnd] = WatchedDialog{ previous, unicode };
        }
    }
    return CallNextHookEx(s_watchHook, code, wParam, lParam);
}

void InstallDialogWatch()
{
    s_watchHook = SetWindowsHookExA(WH_CBT, DialogWatchProc, nullptr, g_uiThreadId);
}
