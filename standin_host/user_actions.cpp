// The control commands that run on the UI thread: what a user would do to the
// host and to the plug-in's dialogs (keys, clicks, list selection, resizing,
// closing), plus the window state and the dialog and menu dumps. Input is
// posted, as real input arrives, so the plug-in sees it from its own dialog
// loop; each command replies as soon as the input is queued.
#include "host.h"

#include <commctrl.h>
#include <vector>

static std::vector<std::string> Words(const std::string &line)
{
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

static bool ParseVirtualKey(const std::string &text, UINT *vk)
{
    static const struct { const char *name; UINT vk; } names[] = {
        {"RETURN", VK_RETURN}, {"ESCAPE", VK_ESCAPE}, {"TAB", VK_TAB},   {"SPACE", VK_SPACE},
        {"UP", VK_UP},         {"DOWN", VK_DOWN},     {"LEFT", VK_LEFT}, {"RIGHT", VK_RIGHT},
        {"HOME", VK_HOME},     {"END", VK_END},       {"F4", VK_F4},
    };
    for (const auto &n : names)
        if (text == n.name) { *vk = n.vk; return true; }
    long long value;
    if (!ParseInt(text, &value) || value <= 0 || value > 0xFE) return false;
    *vk = (UINT)value;
    return true;
}

static bool IsClass(HWND hwnd, const char *cls)
{
    char name[64];
    return GetClassNameA(hwnd, name, sizeof name) > 0 && lstrcmpiA(name, cls) == 0;
}

struct ListSearch {
    HWND found = nullptr;
};

static BOOL CALLBACK FindListInDialog(HWND hwnd, LPARAM param)
{
    ListSearch *search = reinterpret_cast<ListSearch *>(param);
    if (search->found || (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) || !IsClass(hwnd, "#32770")) return TRUE;
    for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (IsClass(c, WC_LISTVIEWA)) {
            search->found = c;
            return FALSE;
        }
    return TRUE;
}

// The list view of the topmost plug-in dialog that has one.
static HWND FindDialogList()
{
    ListSearch search;
    EnumThreadWindows(g_uiThreadId, FindListInDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A user's click on a window of a program in the background first brings that
// window to the front. A posted BM_CLICK alone would only make the dialog the
// active window of this thread while another process keeps the foreground; the
// plug-in's own SetForegroundWindow to that process would then change nothing,
// and ending the dialog would hand the foreground back to its owner.
static void ActivateLikeAClick(HWND control)
{
    HWND root = GetAncestor(control, GA_ROOT);
    if (root && GetForegroundWindow() != root) SetForegroundWindow(root);
}

static std::string Key(const std::vector<std::string> &w)
{
    UINT vk;
    if (w.size() != 2 || !ParseVirtualKey(w[1], &vk)) return "error usage: key VK";
    HWND target = GetFocus();
    if (!target) target = GetActiveWindow();
    if (!target) return "error no focus window";
    LPARAM scan = (LPARAM)MapVirtualKeyA(vk, MAPVK_VK_TO_VSC) << 16;
    PostMessageA(target, WM_KEYDOWN, vk, scan | 1);
    PostMessageA(target, WM_KEYUP, vk, scan | 1 | (1L << 30) | (LPARAM)(1UL << 31));
    return "ok target=" + FormatHwnd(target);
}

static std::string Select(const std::vector<std::string> &w)
{
    long long row;
    if (w.size() < 2 || w.size() > 3 || !ParseInt(w[1], &row)) return "error usage: select ROW [LIST]";
    HWND list = nullptr;
    if (w.size() == 3 && !ParseHwnd(w[2], &list)) return "error bad LIST";
    if (!list) list = FindDialogList();
    if (!list || !IsWindow(list)) return "error no list view";
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)-1, reinterpret_cast<LPARAM>(&item));
    if (row >= 0) {
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        if (!SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)row, reinterpret_cast<LPARAM>(&item)))
            return "error no such row";
    }
    return "ok list=" + FormatHwnd(list);
}

static std::string DoubleClick(const std::vector<std::string> &w)
{
    HWND list;
    long long row;
    if (w.size() != 3 || !ParseHwnd(w[1], &list) || !ParseInt(w[2], &row)) return "error usage: dblclick LIST ROW";
    // The selection bounds (icon and first-column label) are where a click hits
    // the row whether or not the list selects whole rows.
    RECT r = {};
    r.left = LVIR_SELECTBOUNDS;
    if (!SendMessageA(list, LVM_GETITEMRECT, (WPARAM)row, reinterpret_cast<LPARAM>(&r))) return "error no such row";
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ActivateLikeAClick(list);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
    PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
    return Format("ok x=%d y=%d", (int)(short)LOWORD(at), (int)(short)HIWORD(at));
}

static std::string NotifyDoubleClick(const std::vector<std::string> &w)
{
    HWND dialog, list;
    long long row;
    if (w.size() != 4 || !ParseHwnd(w[1], &dialog) || !ParseHwnd(w[2], &list) || !ParseInt(w[3], &row))
        return "error usage: notify-dblclk DIALOG LIST ROW";
    NMITEMACTIVATE nm = {};
    nm.hdr.hwndFrom = list;
    nm.hdr.idFrom = GetDlgCtrlID(list);
    nm.hdr.code = NM_DBLCLK;
    nm.iItem = (int)row;
    nm.iSubItem = 0;
    LRESULT result = SendMessageA(dialog, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
    return Format("ok result=%lld", (long long)result);
}

// Makes the main window the foreground window and keeps it so for a moment.
// Under Wine without a window manager every process sets the X input focus
// itself, and when one of its windows loses the X focus to a window outside
// the process, the display driver hands the foreground to the desktop. So any
// other X client taking the focus (Wine of another prefix on the same display,
// say) can undo a fresh activation. Peeking lets the driver handle pending
// focus events now; the activation is repeated until it has held for
// ACTIVATE_SETTLE_MS.
static std::string Activate()
{
    enum { ACTIVATE_SETTLE_MS = 150, ACTIVATE_LIMIT_MS = 1500, ACTIVATE_TRIES = 5 };
    DWORD start = GetTickCount(), heldSince = start;
    int tries = 0;
    for (;;) {
        if (GetForegroundWindow() != g_hwndMain) {
            if (tries == ACTIVATE_TRIES) break;
            SetForegroundWindow(g_hwndMain);
            ++tries;
            heldSince = GetTickCount();
        } else if (GetTickCount() - heldSince >= ACTIVATE_SETTLE_MS) {
            break;
        }
        if (GetTickCount() - start >= ACTIVATE_LIMIT_MS) break;
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
        Sleep(10);
    }
    HWND foreground = GetForegroundWindow();
    std::string fields = Format("tries=%d foreground=%s seq=%lld", tries, FormatHwnd(foreground).c_str(),
                                (long long)ActivationSeq(g_hwndMain));
    LogEvent("activate-command", "%s", fields.c_str());
    return (foreground == g_hwndMain ? "ok " : "error not foreground ") + fields;
}

std::string DescribeState()
{
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof wp;
    GetWindowPlacement(g_hwndMain, &wp);
    GUITHREADINFO gti = {};
    gti.cbSize = sizeof gti;
    GetGUIThreadInfo(g_uiThreadId, &gti);
    RECT rect;
    GetWindowRect(g_hwndMain, &rect);
    return Format("ok hwnd=%s showcmd=%u iconic=%d zoomed=%d visible=%d enabled=%d foreground=%s active=%s focus=%s "
                  "seq=%lld rect=%ld,%ld,%ld,%ld respond=%s own-wndproc=%d",
                  FormatHwnd(g_hwndMain).c_str(), wp.showCmd, IsIconic(g_hwndMain) ? 1 : 0,
                  IsZoomed(g_hwndMain) ? 1 : 0, IsWindowVisible(g_hwndMain) ? 1 : 0,
                  IsWindowEnabled(g_hwndMain) ? 1 : 0, FormatHwnd(GetForegroundWindow()).c_str(),
                  FormatHwnd(gti.hwndActive).c_str(), FormatHwnd(gti.hwndFocus).c_str(),
                  (long long)ActivationSeq(g_hwndMain), rect.left, rect.top, rect.right, rect.bottom,
                  FormatRespondMode(CurrentRespondMode()).c_str(), HasOwnWindowProc() ? 1 : 0);
}

ActionResult RunUserAction(const std::string &line)
{
    std::vector<std::string> w = Words(line);
    ActionResult result;
    std::string &reply = result.reply;
    const std::string cmd = w.empty() ? std::string() : w[0];
    HWND hwnd = nullptr;
    long long a = 0, b = 0;

    if (cmd == "choose" || cmd == "choose-inactive") {
        PostMessageA(g_hwndMain, WM_HOST_CHOOSE, cmd == "choose-inactive", 0);
        reply = "ok";
    } else if (cmd == "activate") {
        reply = Activate();
    } else if (cmd == "show") {
        int show = w.size() != 2 ? -1 : w[1] == "normal" ? SW_SHOWNORMAL : w[1] == "min" ? SW_MINIMIZE
                                      : w[1] == "max"    ? SW_SHOWMAXIMIZED : -1;
        if (show < 0) {
            reply = "error usage: show normal|min|max";
        } else {
            ShowWindow(g_hwndMain, show);
            reply = "ok";
        }
    } else if (cmd == "state") {
        reply = DescribeState();
    } else if (cmd == "dialogs") {
        reply = DescribeDialogs();
    } else if (cmd == "menu") {
        reply = DescribeMenuBar(GetMenu(g_hwndMain));
    } else if (cmd == "key") {
        reply = Key(w);
    } else if (cmd == "click" || cmd == "close" || cmd == "sysclose") {
        if (w.size() != 2 || !ParseHwnd(w[1], &hwnd) || !IsWindow(hwnd)) {
            reply = "error usage: " + cmd + " HWND";
        } else {
            if (cmd == "click") {
                ActivateLikeAClick(hwnd);
                PostMessageA(hwnd, BM_CLICK, 0, 0);
            }
            if (cmd == "close") PostMessageA(hwnd, WM_CLOSE, 0, 0);
            if (cmd == "sysclose") PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
            reply = "ok";
        }
    } else if (cmd == "check") {
        if (w.size() != 3 || !ParseHwnd(w[1], &hwnd) || !IsWindow(hwnd) || !ParseInt(w[2], &a) || a < 0 || a > 1) {
            reply = "error usage: check HWND 0|1";
        } else {
            bool differs = SendMessageA(hwnd, BM_GETCHECK, 0, 0) != (a ? BST_CHECKED : BST_UNCHECKED);
            if (differs) {
                ActivateLikeAClick(hwnd);
                PostMessageA(hwnd, BM_CLICK, 0, 0);
            }
            reply = Format("ok clicked=%d", differs ? 1 : 0);
        }
    } else if (cmd == "select") {
        reply = Select(w);
    } else if (cmd == "dblclick") {
        reply = DoubleClick(w);
    } else if (cmd == "notify-dblclk") {
        reply = NotifyDoubleClick(w);
    } else if (cmd == "resize") {
        if (w.size() != 4 || !ParseHwnd(w[1], &hwnd) || !ParseInt(w[2], &a) || !ParseInt(w[3], &b)) {
            reply = "error usage: resize HWND W H";
        } else {
            BOOL ok = SetWindowPos(hwnd, nullptr, 0, 0, (int)a, (int)b, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            reply = ok ? "ok" : "error SetWindowPos failed";
        }
    } else if (cmd == "colorder") {
        std::vector<int> order;
        bool good = w.size() >= 3 && ParseHwnd(w[1], &hwnd);
        for (size_t i = 2; good && i < w.size(); ++i) {
            good = ParseInt(w[i], &a);
            order.push_back((int)a);
        }
        if (!good) {
            reply = "error usage: colorder LIST a b ...";
        } else {
            LRESULT ok = SendMessageA(hwnd, LVM_SETCOLUMNORDERARRAY, order.size(), reinterpret_cast<LPARAM>(order.data()));
            reply = ok ? "ok" : "error LVM_SETCOLUMNORDERARRAY failed";
        }
    } else if (cmd == "colwidth") {
        if (w.size() != 4 || !ParseHwnd(w[1], &hwnd) || !ParseInt(w[2], &a) || !ParseInt(w[3], &b)) {
            reply = "error usage: colwidth LIST INDEX WIDTH";
        } else {
            LRESULT ok = SendMessageA(hwnd, LVM_SETCOLUMNWIDTH, (WPARAM)a, MAKELPARAM((int)b, 0));
            reply = ok ? "ok" : "error LVM_SETCOLUMNWIDTH failed";
        }
    } else if (cmd == "hang") {
        if (w.size() != 2 || !ParseInt(w[1], &a) || a < 0 || a > 600000) {
            reply = "error usage: hang MS";
        } else {
            LogEvent("hang", "ms=%lld", a);
            result.sleepAfterMs = (DWORD)a;
            reply = "ok";
        }
    } else if (cmd == "bare-requests") {
        if (w.size() != 3 || !ParseHwnd(w[1], &hwnd) || !ParseInt(w[2], &a) || a < 1 || a > 1000)
            reply = "error usage: bare-requests HWND COUNT";
        else
            reply = BareRequests(hwnd, (int)a);
    } else if (cmd == "bare-dialog") {
        reply = BareDialog();
    } else if (cmd == "quit") {
        LogEvent("quit");
        result.quitAfter = true;
        reply = "ok";
    } else {
        reply = "error unknown command " + cmd;
    }
    return result;
}
