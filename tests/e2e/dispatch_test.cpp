// The choice between the requester and responder roles, the three ways of the
// requester call, and calls of the plug-in nested in an open one.
#include "bench.h"
#include <algorithm>

namespace poko {
namespace {

class Dispatch : public Bench {
protected:
    static int DialogsShown(Host &host) { return static_cast<int>(host.Log("dialog-shown").size()); }
    static std::vector<LogEvent> Replies(Host &from)
    {
        std::vector<LogEvent> replies;
        for (const LogEvent &send : from.Log("send"))
            if (send.Num("msg") == WM_COPYDATA)
                replies.push_back(send);
        return replies;
    }
    static void ExpectEveryCallReturnedOne(Host &host)
    {
        std::vector<LogEvent> leaves = host.Log("doprocess-leave");
        EXPECT_FALSE(leaves.empty());
        for (const LogEvent &leave : leaves)
            EXPECT_EQ(1, leave.Num("result"));
    }
};

// With one instance the settings dialog opens, never the list or a switch,
// whatever the flags hold; the file is read (or created) first.
TEST_F(Dispatch, OneInstanceOpensTheSettingsDialogOnly)
{
    for (const char *state : { "", "0", "1", "3" }) {
        SCOPED_TRACE(testing::Message() << "State=" << state);
        Host &only = Start("C:\\");
        if (*state)
            WriteSettings(only, std::string("[Behavior]\r\nState=") + state + "\r\n");
        DialogInfo settings = ChooseAndWait(only, kSettingsCaption);
        EXPECT_EQ(only.hwnd(), settings.owner);
        EXPECT_FALSE(FindDialog(only, kListCaption).has_value());
        EXPECT_TRUE(SettingsExist(only));
        Do(only, "click " + ControlHwnd(settings, IDCANCEL));
        EXPECT_TRUE(WaitNoDialogs(only));
        EXPECT_EQ(1, DialogsShown(only));
        ExpectEveryCallReturnedOne(only);
        TearDown();
    }
}

// SwitchWithoutList: no window of the plug-in; entry 0 restored when
// minimised, brought to the front otherwise, left alone when it is gone.
TEST_F(Dispatch, SwitchWithoutListGoesStraightToEntryZero)
{
    struct Case { const char *what; bool minimised; bool ghost; };
    const Case cases[] = {
        { "normal target comes to the front", false, false },
        { "minimised target is restored", true, false },
        { "entry 0 is no longer a window", false, true },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Host &target = Start("C:\\Target\\");
        HostOptions callerOptions;
        if (c.ghost)
            callerOptions.extraArgs.push_back("--ghost");
        Host &caller = Start("D:\\", callerOptions);
        WriteSettings(caller, "[Behavior]\r\nState=1\r\n");
        if (c.minimised)
            Do(target, "show min");
        Do(caller, "choose");
        ASSERT_TRUE(caller.WaitForEvent("doprocess-leave", 10000).has_value());
        if (c.ghost) {
            PumpFor(300);
            EXPECT_NE(target.hwnd(), target.State().foreground);
        } else if (c.minimised) {
            EXPECT_TRUE(WaitUntil([&] { return target.State().showCmd == SHOW_NORMAL; }, 5000));
        } else {
            EXPECT_TRUE(WaitUntil([&] { return target.State().foreground == target.hwnd(); }, 5000));
        }
        EXPECT_EQ(0, DialogsShown(caller));
        EXPECT_TRUE(target.Log("command").empty()) << "nobody is asked";
        ExpectEveryCallReturnedOne(caller);
        TearDown();
    }
}

// A call made while another window of the caller's thread is active is taken
// as another instance's request: it replies to entry 0 and shows nothing.
TEST_F(Dispatch, CallWhileAnotherWindowIsActiveAnswersAsResponder)
{
    Host &entry0 = Start("C:\\Entry0\\");
    Host &caller = Start("D:\\Caller\\");
    Do(caller, "choose-inactive");
    std::optional<LogEvent> reply = entry0.WaitForEvent("copydata", 10000);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(caller.hwnd(), reply->Hwnd("wparam"));
    EXPECT_EQ("D:\\Caller\\" + std::string(1, '\0'), reply->Bytes("data"));
    ASSERT_TRUE(caller.WaitForEvent("doprocess-leave", 5000).has_value());
    EXPECT_EQ(0, DialogsShown(caller));
    EXPECT_FALSE(SettingsExist(caller)) << "the responder reads no settings";
    ExpectEveryCallReturnedOne(caller);
}

// An asked instance asks back while the caller's queries are under way and its
// main window is still the active one: the nested call answers as a responder
// and begins no queries; the outer call goes on with its own record and puts
// the host's window procedure back.
TEST_F(Dispatch, NestedRequestDuringTheQueriesIsAnswered)
{
    Host &asker = Start("C:\\AsksBack\\", Responding("askback"));
    Host &third = Start("C:\\Third\\");
    Host &caller = Start("D:\\Caller\\");
    ActivateInOrder({ &third, &asker });
    DialogInfo list = ChooseAndWait(caller);
    EXPECT_EQ((std::vector<std::string>{ "C:\\AsksBack\\", "C:\\Third\\", "D:\\Caller\\" }), ColumnTexts(list, 0));

    std::vector<LogEvent> enters = caller.Log("doprocess-enter");
    ASSERT_EQ(2u, enters.size());
    EXPECT_EQ(2, enters[1].Num("depth"));
    std::optional<LogEvent> answer = asker.WaitForEvent("copydata", 3000);
    ASSERT_TRUE(answer.has_value()) << "the nested call answered the one who asked";
    EXPECT_EQ(caller.hwnd(), answer->Hwnd("wparam"));
    EXPECT_EQ("D:\\Caller\\" + std::string(1, '\0'), answer->Bytes("data"));
    int requests = 0;
    for (const LogEvent &send : caller.Log("send"))
        requests += send.Num("msg") == WM_COMMAND;
    EXPECT_EQ(2, requests) << "the nested call began no queries";
    EXPECT_EQ(1, DialogsShown(caller));

    // OK switches to row 0 of the outer call's record.
    Do(caller, "click " + ControlHwnd(list, IDOK));
    ASSERT_TRUE(WaitNoDialogs(caller));
    EXPECT_TRUE(WaitUntil([&] { return asker.State().foreground == asker.hwnd(); }, 5000));
    EXPECT_NE(std::string::npos, caller.Command("state").find(" own-wndproc=1"))
        << "the host's own window procedure is back";
    ExpectEveryCallReturnedOne(caller);
}

// A request that arrives while the list is open is answered, and the list
// still maps its rows to the record of the call that opened it.
TEST_F(Dispatch, RequestWhileTheListIsOpenLeavesTheRowsWithTheirRecord)
{
    Host &other = Start("C:\\Other\\");
    Host &caller = Start("D:\\Caller\\");
    DialogInfo list = ChooseAndWait(caller);
    DialogInfo otherList = ChooseAndWait(other);
    EXPECT_EQ((std::vector<std::string>{ "D:\\Caller\\", "C:\\Other\\" }), ColumnTexts(otherList, 0));
    CloseList(other);
    ASSERT_EQ(2u, caller.Log("doprocess-enter").size());

    Do(caller, "click " + ControlHwnd(list, IDOK));
    ASSERT_TRUE(WaitNoDialogs(caller));
    EXPECT_TRUE(WaitUntil([&] { return other.State().foreground == other.hwnd(); }, 5000));
    EXPECT_TRUE(caller.Running());
    ExpectEveryCallReturnedOne(caller);
}

}  // namespace
}  // namespace poko
