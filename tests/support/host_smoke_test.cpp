// Checks of the stand-in host and its control library, run under Wine with the
// plug-in DLL (POKO_DLL, or PokoSw.dll beside this program): start-up, menu
// numbering, the requester call, the respond modes, instance order, window
// state, the busy answer and quitting. The plug-in itself is only needed to be
// a plug-in that answers requests and shows a list; its own behaviour is
// checked elsewhere.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host_control.h"

using namespace poko;

namespace {

const WORD kCommandId = 33100;        // the plug-in item of the default menu "x,-,P"
const char kMenuName[] = "ポコナビ一覧";  // Shift-JIS, as the plug-in reports it
const std::string kPathA = "C:\\A\\";
const std::string kPathB = "C:\\表示\\B\\";  // a double-byte character whose trail byte is 0x5C
const std::string kPathC = "C:\\C\\";

HostOptions Options(const TempDir &dir, const std::string &path)
{
    HostOptions o;
    o.dll = dir.dll();
    o.pathHex = HexEncode(path);
    return o;
}

// Sends the plug-in's command the way another instance does; returns the
// milliseconds the send took.
DWORD SendRequest(HWND target, HWND markedSender = nullptr)
{
    DWORD_PTR result = 0;
    DWORD start = GetTickCount();
    SendMessageTimeoutA(target, WM_COMMAND, kCommandId, reinterpret_cast<LPARAM>(markedSender), SMTO_NORMAL, 20000,
                        &result);
    return GetTickCount() - start;
}

std::string WindowList(const std::vector<HWND> &windows)
{
    std::string list;
    for (HWND h : windows) list += (list.empty() ? "" : ",") + FormatHwnd(h);
    return list;
}

class TwoHosts : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.ok()) << "cannot copy " << PluginDllPath() << " to " << dir.path();
        HostOptions oa = Options(dir, kPathA);
        oa.markSenders = true;
        ASSERT_TRUE(a.Start(oa)) << a.error();
        ASSERT_TRUE(b.Start(Options(dir, kPathB))) << b.error();
    }

    TempDir dir;  // declared first: the hosts go before their DLL folder is removed
    Host a, b;
};

TEST_F(TwoHosts, InfoReportsWhatGetFunctionInfoWrote)
{
    PluginInfo info = a.Info();
    EXPECT_EQ(3, info.result);
    EXPECT_EQ(200u, info.version);
    // The counts end at the last byte the plug-in wrote: the terminating NUL.
    EXPECT_EQ(76u, info.info.size());
    EXPECT_EQ(24u, info.notice.size());
    EXPECT_EQ(std::string(kMenuName), info.menuName);
    EXPECT_EQ(std::string("\n") + kMenuName + '\0', info.info.substr(info.info.size() - 14));
    EXPECT_EQ(kCommandId, info.commandId);
}

TEST_F(TwoHosts, ChooseMakesTheRequesterCallAndThePeerAnswers)
{
    ASSERT_TRUE(a.Ok("choose"));
    std::optional<DialogInfo> dialog = a.WaitForDialog(15000);
    ASSERT_TRUE(dialog) << "no dialog after choose";

    // Requester: one call with the peer first and itself last, then the command to the peer.
    std::vector<LogEvent> enters = a.Log("doprocess-enter");
    ASSERT_EQ(1u, enters.size());
    EXPECT_EQ("requester", enters[0].Get("role-hint"));
    EXPECT_EQ(1, enters[0].Num("depth"));
    EXPECT_EQ(2, enters[0].Num("count"));
    EXPECT_EQ(WindowList({b.hwnd(), a.hwnd()}), enters[0].Get("windows"));

    std::optional<LogEvent> send = a.WaitForEvent("send", 1000, [&](const LogEvent &e) { return e.Num("msg") == WM_COMMAND; });
    ASSERT_TRUE(send);
    EXPECT_EQ(b.hwnd(), send->Hwnd("target"));
    EXPECT_EQ(kCommandId, send->Num("wparam"));
    EXPECT_EQ(0, send->Num("lparam")) << "as the plug-in gave it";
    EXPECT_EQ(a.hwnd(), send->Hwnd("passed-lparam")) << "--mark-senders names the sender";

    // The reply reached A's own procedure while A was still inside that send.
    std::optional<LogEvent> reply = a.WaitForEvent("copydata", 1000);
    ASSERT_TRUE(reply);
    EXPECT_EQ(b.hwnd(), reply->Hwnd("wparam"));
    EXPECT_EQ(0, reply->Num("dwdata"));
    EXPECT_EQ((long long)kPathB.size() + 1, reply->Num("cb"));
    EXPECT_EQ(kPathB + '\0', reply->Bytes("data"));
    EXPECT_GT(reply->t, send->Num("start"));
    EXPECT_LT(reply->t, send->Num("end"));

    // Responder: the command from another process, a request call with A first,
    // and the reply whose result is what A's own procedure returned.
    std::optional<LogEvent> command = b.WaitForEvent("command", 1000);
    ASSERT_TRUE(command);
    EXPECT_EQ(kCommandId, command->Num("id"));
    EXPECT_EQ(1, command->Num("external"));
    EXPECT_EQ(a.hwnd(), command->Hwnd("lparam"));
    std::optional<LogEvent> request = b.WaitForEvent("doprocess-enter", 1000);
    ASSERT_TRUE(request);
    EXPECT_EQ("request", request->Get("role-hint"));
    EXPECT_EQ(WindowList({a.hwnd(), b.hwnd()}), request->Get("windows"));
    std::optional<LogEvent> answer = b.WaitForEvent("send", 1000, [](const LogEvent &e) { return e.Num("msg") == WM_COPYDATA; });
    ASSERT_TRUE(answer);
    EXPECT_EQ(a.hwnd(), answer->Hwnd("target"));
    EXPECT_EQ(b.hwnd(), answer->Hwnd("wparam"));
    EXPECT_EQ(0x5A5A, answer->Num("reply")) << "what A's own procedure returned";
    EXPECT_EQ(kPathB + '\0', answer->Bytes("data"));

    // The list the plug-in shows: owned by A, one row per instance, the peer first.
    EXPECT_EQ(a.hwnd(), dialog->owner);
    const DialogControl *list = dialog->ListView();
    ASSERT_NE(nullptr, list);
    ASSERT_EQ(2u, list->rows.size());
    ASSERT_FALSE(list->rows[0].texts.empty());
    EXPECT_EQ(kPathB, list->rows[0].texts[0]);
    EXPECT_EQ(kPathA, list->rows[1].texts[0]);
    EXPECT_TRUE(a.WaitForEvent("dialog-shown", 1000, [&](const LogEvent &e) { return e.Hwnd("hwnd") == dialog->hwnd; }).has_value());

    // resize sets the outer size; Escape ends the dialog and the call.
    ASSERT_TRUE(a.Ok("resize " + FormatHwnd(dialog->hwnd) + " 520 420"));
    std::vector<DialogInfo> resized = a.Dialogs();
    ASSERT_EQ(1u, resized.size());
    EXPECT_EQ(520, resized[0].width());
    EXPECT_EQ(420, resized[0].height());
    ASSERT_TRUE(a.Ok("key ESCAPE"));
    EXPECT_TRUE(WaitUntil([&] { return a.Dialogs().empty(); }, 5000));
    std::optional<LogEvent> leave = a.WaitForEvent("doprocess-leave", 5000);
    ASSERT_TRUE(leave);
    EXPECT_EQ(1, leave->Num("depth"));
    EXPECT_EQ(1, leave->Num("result"));
    EXPECT_TRUE(a.State().ownWndProc) << "the plug-in put the host's procedure back";
}

// With another window of the host's thread active, the plug-in takes a call
// from the host's own menu for a request: it answers entry 0 and shows nothing.
TEST_F(TwoHosts, ChooseInactiveMakesThePlugInAnswer)
{
    ASSERT_TRUE(b.Ok("activate"));
    ASSERT_TRUE(a.Ok("choose-inactive"));
    std::optional<LogEvent> reply = b.WaitForEvent("copydata", 5000);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(a.hwnd(), reply->Hwnd("wparam"));
    EXPECT_EQ(kPathA + '\0', reply->Bytes("data"));
    std::optional<LogEvent> other = a.WaitForEvent("other-active", 1000);
    ASSERT_TRUE(other.has_value());
    EXPECT_EQ(other->Hwnd("hwnd"), other->Hwnd("active"));
    EXPECT_NE(a.hwnd(), other->Hwnd("hwnd"));
    EXPECT_TRUE(a.WaitForEvent("doprocess-leave", 5000).has_value());
    EXPECT_TRUE(a.Dialogs().empty());
}

// --ghost: the requester's record starts with a window that no longer exists.
TEST_F(TwoHosts, GhostPutsAGoneWindowFirst)
{
    Host ghostly;
    HostOptions o = Options(dir, kPathC);
    o.extraArgs = {"--ghost"};
    ASSERT_TRUE(ghostly.Start(o)) << ghostly.error();
    ASSERT_TRUE(ghostly.Ok("choose"));
    std::optional<LogEvent> call = ghostly.WaitForEvent("doprocess-enter", 5000);
    ASSERT_TRUE(call.has_value());
    EXPECT_EQ(4, call->Num("count"));
    std::string windows = call->Get("windows");
    HWND first = ParseHwnd(windows.substr(0, windows.find(',')));
    EXPECT_FALSE(IsWindow(first));
    EXPECT_NE(std::string::npos, windows.find(FormatHwnd(a.hwnd())));
    EXPECT_NE(std::string::npos, windows.find(FormatHwnd(b.hwnd())));
    EXPECT_EQ(FormatHwnd(ghostly.hwnd()), windows.substr(windows.rfind(',') + 1));
    // The plug-in asks the gone window in vain, then shows its list.
    ASSERT_TRUE(ghostly.WaitForDialog(15000).has_value());
    ASSERT_TRUE(ghostly.Ok("key ESCAPE"));
    EXPECT_TRUE(ghostly.WaitForEvent("doprocess-leave", 5000).has_value());
}

// Opens the plug-in's list in A and returns it, with its list view.
std::optional<DialogInfo> OpenList(Host &a)
{
    if (!a.Ok("log-clear") || !a.Ok("choose")) return std::nullopt;
    std::optional<DialogInfo> dialog = a.WaitForDialog(15000);
    if (!dialog || !dialog->ListView()) return std::nullopt;
    return dialog;
}

TEST_F(TwoHosts, ListActionsChangeSelectionAndColumns)
{
    std::optional<DialogInfo> dialog = OpenList(a);
    ASSERT_TRUE(dialog.has_value());
    const std::string list = FormatHwnd(dialog->ListView()->hwnd);
    ASSERT_TRUE(a.Ok("select 1"));
    ASSERT_TRUE(a.Ok("colwidth " + list + " 0 123"));
    ASSERT_TRUE(a.Ok("colorder " + list + " 1 0"));

    std::vector<DialogInfo> now = a.Dialogs();
    ASSERT_EQ(1u, now.size());
    const DialogControl *view = now[0].ListView();
    ASSERT_NE(nullptr, view);
    ASSERT_EQ(2u, view->rows.size());
    EXPECT_EQ(0u, view->rows[0].state);
    EXPECT_TRUE(view->rows[1].selected() && view->rows[1].focused());
    ASSERT_EQ(2u, view->columns.size());
    EXPECT_EQ(123, view->columns[0].width);
    EXPECT_EQ(1, view->columns[0].order);
    EXPECT_EQ(0, view->columns[1].order);

    ASSERT_TRUE(a.Ok("select -1"));
    now = a.Dialogs();
    ASSERT_EQ(1u, now.size());
    for (const ListRow &row : now[0].ListView()->rows) EXPECT_FALSE(row.selected()) << "row " << row.index;
    EXPECT_TRUE(a.Ok("key ESCAPE"));
    EXPECT_TRUE(WaitUntil([&] { return a.Dialogs().empty(); }, 5000));
}

// Every way a user ends the list; each must reach the dialog and end the call.
TEST_F(TwoHosts, EveryCloseActionEndsTheList)
{
    const struct Case {
        const char *what;
        std::function<std::string(const DialogInfo &)> command;
    } cases[] = {
        {"Enter", [](const DialogInfo &) { return std::string("key RETURN"); }},
        {"Escape by number", [](const DialogInfo &) { return std::string("key 27"); }},
        {"click OK", [](const DialogInfo &d) { return "click " + FormatHwnd(d.FindControl(IDOK)->hwnd); }},
        {"click Cancel", [](const DialogInfo &d) { return "click " + FormatHwnd(d.FindControl(IDCANCEL)->hwnd); }},
        {"WM_CLOSE", [](const DialogInfo &d) { return "close " + FormatHwnd(d.hwnd); }},
        {"close box", [](const DialogInfo &d) { return "sysclose " + FormatHwnd(d.hwnd); }},
        {"double-click", [](const DialogInfo &d) { return "dblclick " + FormatHwnd(d.ListView()->hwnd) + " 1"; }},
        {"NM_DBLCLK", [](const DialogInfo &d) {
             return "notify-dblclk " + FormatHwnd(d.hwnd) + " " + FormatHwnd(d.ListView()->hwnd) + " 0";
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        std::optional<DialogInfo> dialog = OpenList(a);
        ASSERT_TRUE(dialog.has_value());
        ASSERT_NE(nullptr, dialog->FindControl(IDOK));
        ASSERT_NE(nullptr, dialog->FindControl(IDCANCEL));
        std::string reply = a.Command(c.command(*dialog));
        EXPECT_EQ(0u, reply.rfind("ok", 0)) << reply;
        EXPECT_TRUE(a.WaitForEvent("doprocess-leave", 5000).has_value());
        EXPECT_TRUE(a.Dialogs().empty());
    }
}

// What reaches the asked instance's requester (A) when B handles a request in each respond mode.
TEST_F(TwoHosts, RespondModeDecidesHowARequestIsAnswered)
{
    const std::string good = kPathB + '\0';
    const std::string evil = std::string("C:\\Evil\\") + '\0';
    HWND desktop = GetDesktopWindow();
    struct Case {
        const char *mode;
        bool pluginCalled;     // B calls DoProcess for the request
        bool reply;            // A receives a WM_COPYDATA
        std::string data;      // its bytes
        unsigned long long dwData;
        HWND wParam;           // its wParam
        DWORD minSendMs;       // the requester's send lasts at least this long
    } cases[] = {
        {"normal", true, true, good, 0, b.hwnd(), 0},
        {"silent", false, false, "", 0, nullptr, 0},
        {"hang:800", false, false, "", 0, nullptr, 700},
        {"hostile:oversize", false, true, std::string(999, 'A') + '\0', 0, b.hwnd(), 0},
        {"hostile:long260", false, true, std::string(260, 'L') + '\0', 0, b.hwnd(), 0},
        {"hostile:exact259", false, true, std::string(259, 'E') + '\0', 0, b.hwnd(), 0},
        {"hostile:nonul", false, true, std::string(16, 'B'), 0, b.hwnd(), 0},
        {"hostile:dwdata", false, true, evil, 1, b.hwnd(), 0},
        {"hostile:wparam", false, true, evil, 0, desktop, 0},
        {"hostile:empty", false, true, "", 0, b.hwnd(), 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.mode);
        ASSERT_TRUE(b.Ok(std::string("respond ") + c.mode));
        ASSERT_TRUE(a.Ok("activate"));  // B must not be the active window, or its plug-in would be the requester
        ASSERT_TRUE(a.Ok("log-clear") && b.Ok("log-clear"));

        DWORD sendMs = SendRequest(b.hwnd());
        EXPECT_GE(sendMs, c.minSendMs);
        std::optional<LogEvent> reply = a.WaitForEvent("copydata", c.reply ? 3000 : 300);
        ASSERT_EQ(c.reply, reply.has_value());
        if (reply) {
            EXPECT_EQ(c.wParam, reply->Hwnd("wparam"));
            EXPECT_EQ((long long)c.dwData, reply->Num("dwdata"));
            EXPECT_EQ((long long)c.data.size(), reply->Num("cb"));
            EXPECT_EQ(c.data, reply->Bytes("data"));
        }
        EXPECT_EQ(c.pluginCalled, !b.Log("doprocess-enter").empty());
        EXPECT_EQ(1u, b.Log("command").size());
    }
}

TEST_F(TwoHosts, LateModeAnswersAfterTheSendHasReturned)
{
    ASSERT_TRUE(b.Ok("respond late:400"));
    ASSERT_TRUE(a.Ok("activate"));
    DWORD sendMs = SendRequest(b.hwnd());
    long long returned = AbsMicrosNow();
    EXPECT_LT(sendMs, 350u);

    std::optional<LogEvent> reply = a.WaitForEvent("copydata", 5000);
    ASSERT_TRUE(reply);
    EXPECT_EQ(kPathB + '\0', reply->Bytes("data"));
    std::optional<LogEvent> command = b.WaitForEvent("command", 1000);
    std::optional<LogEvent> call = b.WaitForEvent("doprocess-enter", 1000);
    ASSERT_TRUE(command && call);
    EXPECT_GE(call->t - command->t, 350000);
    EXPECT_GT(call->abs, returned);
}

TEST_F(TwoHosts, ShowAndActivateChangeTheWindowState)
{
    struct Case {
        const char *show;
        int showCmd;
        bool iconic, zoomed;
    } cases[] = {
        {"min", SW_SHOWMINIMIZED, true, false},
        {"normal", SW_SHOWNORMAL, false, false},
        {"max", SW_SHOWMAXIMIZED, false, true},
        {"normal", SW_SHOWNORMAL, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.show);
        ASSERT_TRUE(a.Ok(std::string("show ") + c.show));
        WindowState s = a.State();
        EXPECT_EQ(a.hwnd(), s.hwnd);
        EXPECT_EQ(c.showCmd, s.showCmd);
        EXPECT_EQ(c.iconic, s.iconic);
        EXPECT_EQ(c.zoomed, s.zoomed);
    }

    for (Host *h : {&b, &a}) {
        std::string reply = h->Command("activate");
        ASSERT_EQ(0u, reply.rfind("ok", 0)) << reply;
        WindowState s = h->State();
        SCOPED_TRACE(reply);
        EXPECT_EQ(h->hwnd(), s.foreground);
        EXPECT_EQ(h->hwnd(), s.active);
    }
    EXPECT_GT(a.State().activationSeq, b.State().activationSeq);
}

TEST_F(TwoHosts, BusyWhileTheUiThreadIsBlocked)
{
    ASSERT_TRUE(a.Ok("hang 6500"));
    DWORD start = GetTickCount();
    EXPECT_EQ("busy", a.Command("state"));
    EXPECT_GE(GetTickCount() - start, 4500u);
    EXPECT_TRUE(a.Ok("ready")) << "answered by the pipe thread";
    EXPECT_TRUE(WaitUntil([&] { return a.Ok("state"); }, 8000));
}

TEST_F(TwoHosts, QuitEndsTheHost)
{
    HWND hwnd = b.hwnd();
    EXPECT_EQ(0u, b.Quit());
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(0u, b.Command("ready", 500).rfind("error", 0));
}

// Three instances: B orders the others by activation, unless the request names its sender.
TEST(HostOrder, MarkedSenderFirstElseMostRecentlyActive)
{
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    Host a, b, c;
    ASSERT_TRUE(a.Start(Options(dir, kPathA))) << a.error();
    ASSERT_TRUE(b.Start(Options(dir, kPathB))) << b.error();
    ASSERT_TRUE(c.Start(Options(dir, kPathC))) << c.error();
    ASSERT_TRUE(a.Ok("activate") && c.Ok("activate"));
    EXPECT_GT(c.State().activationSeq, a.State().activationSeq);

    struct Case {
        const char *what;
        HWND marked;
        std::vector<HWND> expected;
        Host *answered;
    } cases[] = {
        {"unmarked", nullptr, {c.hwnd(), a.hwnd(), b.hwnd()}, &c},
        {"marked A", a.hwnd(), {a.hwnd(), c.hwnd(), b.hwnd()}, &a},
        {"marked C", c.hwnd(), {c.hwnd(), a.hwnd(), b.hwnd()}, &c},
        {"marked non-instance", GetDesktopWindow(), {c.hwnd(), a.hwnd(), b.hwnd()}, &c},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.what);
        ASSERT_TRUE(a.Ok("log-clear") && b.Ok("log-clear") && c.Ok("log-clear"));
        SendRequest(b.hwnd(), k.marked);
        std::optional<LogEvent> call = b.WaitForEvent("doprocess-enter", 3000);
        ASSERT_TRUE(call);
        EXPECT_EQ(WindowList(k.expected), call->Get("windows"));
        EXPECT_TRUE(k.answered->WaitForEvent("copydata", 3000).has_value());
    }
}

// Texts of the items of top-level popup `top` in a "menu" reply ("" for a separator).
std::vector<std::string> PopupTexts(const std::string &menuReply, int top)
{
    std::vector<std::string> texts;
    const std::string prefix = "item top=" + std::to_string(top) + " ";
    size_t at = 0;
    while ((at = menuReply.find('\n', at)) != std::string::npos) {
        std::string line = menuReply.substr(at + 1, menuReply.find('\n', at + 1) - at - 1);
        ++at;
        if (line.compare(0, prefix.size(), prefix) != 0) continue;
        size_t t = line.find(" text=") + 6;
        texts.push_back(HexDecode(line.substr(t, line.find(' ', t) - t)));
    }
    return texts;
}

// Captions of the top-level items in a "menu" reply, "!" appended to those without a popup.
std::vector<std::string> TopTexts(const std::string &menuReply)
{
    std::vector<std::string> texts;
    size_t at = 0;
    while ((at = menuReply.find("\ntop pos=", at)) != std::string::npos) {
        std::string line = menuReply.substr(at + 1, menuReply.find('\n', at + 1) - at - 1);
        ++at;
        size_t t = line.find(" text=") + 6;
        texts.push_back(HexDecode(line.substr(t, line.find(' ', t) - t)) +
                        (line.find(" popup=0") != std::string::npos ? "!" : ""));
    }
    return texts;
}

TEST(HostMenu, PluginItemIdCountsFromTheNearestSeparator)
{
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string name = kMenuName, item = "項目";
    std::string changed = name;
    changed.back() = static_cast<char>(changed.back() + 1);
    const std::string plugin = "プラグイン(&P)", file = "ファイル(&F)";
    const struct Case {
        const char *top, *menu;
        std::vector<std::string> tops;  // top-level captions, "!" marking a plain command
        int popup;                      // position of the first popup that holds the menu
        int commandId;
        std::vector<std::string> texts;
    } cases[] = {
        {"file,plugin", "x,-,P", {file, plugin}, 1, 33100, {item, "", name + "(&S)"}},
        {"file,plugin", "x,x,x,P", {file, plugin}, 1, 33103, {item, item, item, name + "(&S)"}},
        {"plugin", "x,-,x,-,x,P", {plugin}, 0, 33101, {item, "", item, "", item, name + "(&S)"}},
        {"plugin", "P3,P5,N,X,P,P", {plugin}, 0, 33104,
         {name + "(S)", name + "(&SW)", name, changed + "(&S)", name + "(&S)", name + "(&S)"}},
        {"prefix,case", "P", {"プラグイン", "プラグイン(&p)"}, 0, 33100, {name + "(&S)"}},
        {"plugin-cmd,plugin-empty,plugin-other,plugin", "x,P", {plugin + "!", plugin, plugin, plugin}, 3, 33101,
         {item, name + "(&S)"}},
        {"plugin-other", "P", {plugin}, 0, 0, {item, item}},
        {"plugin", "x", {plugin}, 0, 0, {item}},
        {"none", "P", {}, 0, 0, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.top) + " / " + c.menu);
        Host h;
        HostOptions o = Options(dir, kPathA);
        o.top = c.top;
        o.menu = c.menu;
        ASSERT_TRUE(h.Start(o)) << h.error();
        EXPECT_EQ(c.commandId, h.Info().commandId);
        std::string menu = h.Command("menu");
        EXPECT_EQ(c.tops, TopTexts(menu));
        EXPECT_EQ(c.texts, PopupTexts(menu, c.popup));
    }
}

TEST(HostStartup, BadDllOrCommandLineEndsTheHost)
{
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    struct Case {
        const char *what;
        std::string dll;
        std::vector<std::string> extra;
        DWORD exitCode;
    } cases[] = {
        {"missing DLL", dir.File("NoSuch.dll"), {}, 2},
        {"DLL without the exports", std::string(system) + "\\version.dll", {}, 2},
        {"unknown menu item", dir.dll(), {"--menu", "x,Q"}, 1},
        {"unknown option", dir.dll(), {"--frobnicate"}, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Host h;
        HostOptions o;
        o.dll = c.dll;
        o.extraArgs = c.extra;
        EXPECT_FALSE(h.Start(o, 10000));
        EXPECT_EQ(c.exitCode, h.exitCode()) << h.error();
    }
}

TEST(HostStartup, ShowAndNameOptionsSetTheWindow)
{
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const struct Case {
        const char *show;
        int showCmd;
        bool iconic, zoomed;
    } cases[] = {
        {"normal", SW_SHOWNORMAL, false, false},
        {"min", SW_SHOWMINIMIZED, true, false},
        {"max", SW_SHOWMAXIMIZED, false, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.show);
        Host h;
        HostOptions o = Options(dir, kPathA);
        o.show = c.show;
        o.name = std::string("smoke-") + c.show + "-" + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(h.Start(o)) << h.error();
        WindowState s = h.State();
        EXPECT_EQ(c.showCmd, s.showCmd);
        EXPECT_EQ(c.iconic, s.iconic);
        EXPECT_EQ(c.zoomed, s.zoomed);
        char title[128] = "";
        GetWindowTextA(h.hwnd(), title, sizeof title);
        EXPECT_EQ("PokoHost " + o.name, title);
        char cls[64] = "";
        GetClassNameA(h.hwnd(), cls, sizeof cls);
        EXPECT_STREQ("PokoStandInHost", cls);
    }
}

}  // namespace
