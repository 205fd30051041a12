// Routing the plug-in's command to DoProcess. A command from the host's own
// menu (or the "choose" control command) is a requester call: the main window
// is made the active window first, as when a user picks the item. A command
// another process sends (InSendMessage) is a request, handled by the respond
// mode: answered by the plug-in, ignored, hung, answered late, answered by the
// host itself with a crafted reply, or asked back before it is answered.
//
// Each call gets a fresh HostCallInfo and handle array on this function's stack,
// overwritten with 0xDD once DoProcess returns: the record's life ends with the
// call, so a plug-in that reads a finished (nested) call's record fails visibly.
#include "host.h"

#include <map>
#include <string.h>

enum { MAX_INSTANCES = 64 };

static int s_depth;                          // DoProcess calls open on this thread
static CRITICAL_SECTION s_respondLock;       // guards s_respond (set by the pipe thread)
static RespondMode s_respond;
static std::map<UINT_PTR, HWND> s_lateCalls; // pending "late" answers: timer id -> marked requester
static bool s_askingBack;                    // inside the send of an "askback"
static UINT_PTR s_nextLateTimer = 1000;

void InitRouting()
{
    InitializeCriticalSection(&s_respondLock);
    s_respond = g_options.respond;
}

RespondMode CurrentRespondMode()
{
    EnterCriticalSection(&s_respondLock);
    RespondMode mode = s_respond;
    LeaveCriticalSection(&s_respondLock);
    return mode;
}

void SetRespondMode(const RespondMode &mode)
{
    EnterCriticalSection(&s_respondLock);
    s_respond = mode;
    LeaveCriticalSection(&s_respondLock);
}

// Writes through a volatile pointer so the compiler cannot drop the stores to
// locals that are about to go out of scope.
static void Poison(void *memory, size_t size)
{
    volatile unsigned char *p = static_cast<volatile unsigned char *>(memory);
    for (size_t i = 0; i < size; ++i) p[i] = 0xDD;
}

static std::string WindowList(const HWND *windows, int count)
{
    std::string list;
    for (int i = 0; i < count; ++i) {
        if (i) list += ',';
        list += FormatHwnd(windows[i]);
    }
    return list;
}

// Builds the record, calls the plug-in and ends the record's life. Under
// --ghost a requester record starts with a window that no longer exists.
static void CallDoProcess(const char *roleHint, HWND requester)
{
    HWND windows[MAX_INSTANCES];
    char path[HOST_MAX_PATH_BYTES + 1];
    HostCallInfo info;
    memset(&info, 0, sizeof info);
    memcpy(path, g_options.path.c_str(), g_options.path.size() + 1);
    bool ghost = g_options.ghost && strcmp(roleHint, "requester") == 0;
    int count = BuildInstanceArray(windows + (ghost ? 1 : 0), MAX_INSTANCES - (ghost ? 1 : 0), requester);
    if (ghost) {
        windows[0] = g_hwndGhost;
        ++count;
    }
    info.MainWindow = g_hwndMain;
    info.Reserved[0] = GetCurrentProcessId();
    info.Reserved[1] = s_depth + 1;
    info.InstanceWindows = windows;
    info.InstanceCount = count;
    info.CurrentPath = path;

    int depth = ++s_depth;
    LogEvent("doprocess-enter", "depth=%d role-hint=%s main=%s count=%d windows=%s path=%s record=%s", depth, roleHint,
             FormatHwnd(g_hwndMain).c_str(), count, WindowList(windows, count).c_str(),
             HexBytes(path, g_options.path.size()).c_str(), FormatHwnd(reinterpret_cast<HWND>(&info)).c_str());
    int result = g_pfnDoProcess(&info);
    LogEvent("doprocess-leave", "depth=%d result=%d", depth, result);
    --s_depth;

    Poison(&info, sizeof info);
    Poison(windows, sizeof windows);
    Poison(path, sizeof path);
}

void MakeRequesterCall()
{
    SetForegroundWindow(g_hwndMain);
    SetActiveWindow(g_hwndMain);
    CallDoProcess("requester", nullptr);
}

// "choose-inactive": the call the host makes for its own menu item, but with
// another top-level window of the UI thread as the active window.
void MakeCallWithOtherWindowActive()
{
    HWND other = OtherWindow();
    ShowWindow(other, SW_SHOWNORMAL);
    SetForegroundWindow(other);
    SetActiveWindow(other);
    LogEvent("other-active", "hwnd=%s active=%s", FormatHwnd(other).c_str(), FormatHwnd(GetActiveWindow()).c_str());
    CallDoProcess("requester", nullptr);
    ShowWindow(other, SW_HIDE);
}

// "hostile": the host answers in the plug-in's place with a reply no good
// responder sends, to entry 0 of the record it would have built.
static void SendHostileReply(const std::string &kind, HWND requester)
{
    HWND windows[MAX_INSTANCES];
    int count = BuildInstanceArray(windows, MAX_INSTANCES, requester);
    HWND target = windows[0];

    static const char goodText[] = "C:\\Evil\\";
    std::string data;
    COPYDATASTRUCT cds = {0, 0, nullptr};
    WPARAM wParam = reinterpret_cast<WPARAM>(g_hwndMain);
    if (kind == "oversize") data = std::string(999, 'A') + '\0';
    else if (kind == "long260") data = std::string(260, 'L') + '\0';
    else if (kind == "exact259") data = std::string(259, 'E') + '\0';
    else if (kind == "nonul") data = std::string(16, 'B');
    else if (kind == "dwdata") { data.assign(goodText, sizeof goodText); cds.dwData = 1; }
    else if (kind == "wparam") { data.assign(goodText, sizeof goodText); wParam = reinterpret_cast<WPARAM>(GetDesktopWindow()); }
    // "empty": cbData 0, lpData NULL
    cds.cbData = (DWORD)data.size();
    cds.lpData = data.empty() ? nullptr : &data[0];

    LRESULT result = count > 1 ? SendMessageA(target, WM_COPYDATA, wParam, reinterpret_cast<LPARAM>(&cds)) : 0;
    LogEvent("hostile", "kind=%s target=%s wparam=%s dwdata=%llu cb=%lu result=%s", kind.c_str(),
             FormatHwnd(target).c_str(), FormatHwnd(reinterpret_cast<HWND>(wParam)).c_str(),
             (unsigned long long)cds.dwData, (unsigned long)cds.cbData,
             FormatHwnd(reinterpret_cast<HWND>(result)).c_str());
}

bool RoutePluginCommand(WPARAM wParam, LPARAM lParam)
{
    int id = LOWORD(wParam);
    bool external = InSendMessage() != FALSE;
    bool isPlugin = g_pluginCommandId != 0 && id == g_pluginCommandId;
    LogEvent("command", "id=%d wparam=%s lparam=%s external=%d plugin=%d", id,
             FormatHwnd(reinterpret_cast<HWND>(wParam)).c_str(), FormatHwnd(reinterpret_cast<HWND>(lParam)).c_str(),
             external ? 1 : 0, isPlugin ? 1 : 0);
    if (!isPlugin) return false;
    if (!external) {
        MakeRequesterCall();
        return true;
    }

    // A marked request names its sender in lParam (see import_hook.cpp).
    HWND requester = reinterpret_cast<HWND>(lParam);
    if (!IsInstanceWindow(requester)) requester = nullptr;

    RespondMode mode = CurrentRespondMode();
    // A request that reaches us while we ask back is answered plainly, so two
    // instances cannot bounce requests at each other without end.
    if (mode.kind == RespondMode::AskBack && s_askingBack) mode.kind = RespondMode::Normal;
    switch (mode.kind) {
    case RespondMode::Normal:
        CallDoProcess("request", requester);
        break;
    case RespondMode::Silent:
        LogEvent("respond-silent");
        break;
    case RespondMode::Hang:
        LogEvent("respond-hang", "ms=%lu", (unsigned long)mode.ms);
        Sleep(mode.ms);
        break;
    case RespondMode::Late: {
        UINT_PTR timer = s_nextLateTimer++;
        s_lateCalls[timer] = requester;
        SetTimer(g_hwndMain, timer, mode.ms, nullptr);
        LogEvent("respond-late", "ms=%lu timer=%llu", (unsigned long)mode.ms, (unsigned long long)timer);
        break;
    }
    case RespondMode::Hostile:
        SendHostileReply(mode.hostile, requester);
        break;
    case RespondMode::AskBack: {
        // Ask the requester for its folder while it is still waiting for ours,
        // marked with this window so that its host puts this instance first;
        // then answer as usual.
        HWND windows[MAX_INSTANCES];
        BuildInstanceArray(windows, MAX_INSTANCES, requester);
        HWND target = requester ? requester : windows[0];
        if (target != g_hwndMain) {
            s_askingBack = true;
            LRESULT result = SendMessageA(target, WM_COMMAND, g_pluginCommandId, reinterpret_cast<LPARAM>(g_hwndMain));
            s_askingBack = false;
            LogEvent("askback", "target=%s result=%s", FormatHwnd(target).c_str(),
                     FormatHwnd(reinterpret_cast<HWND>(result)).c_str());
        }
        CallDoProcess("request", requester);
        break;
    }
    }
    return true;
}

void RunLateCall(UINT_PTR timerId)
{
    auto it = s_lateCalls.find(timerId);
    if (it == s_lateCalls.end()) return;
    KillTimer(g_hwndMain, timerId);
    HWND requester = IsInstanceWindow(it->second) ? it->second : nullptr;
    s_lateCalls.erase(it);
    LogEvent("late-call", "timer=%llu", (unsigned long long)timerId);
    CallDoProcess("request", requester);
}
