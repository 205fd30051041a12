// The exchange of folders between instances: the request, the reply, and every
// way an asked instance can fail to answer.
#include "bench.h"
#include <algorithm>

namespace poko {
namespace {

class PathExchange : public Bench {
protected:
    // Plug-in requests (WM_COMMAND sends) the caller made, in order.
    static std::vector<LogEvent> Requests(Host &caller)
    {
        std::vector<LogEvent> requests;
        for (const LogEvent &send : caller.Log("send"))
            if (send.Num("msg") == WM_COMMAND)
                requests.push_back(send);
        return requests;
    }
    static double DurationMs(const LogEvent &e) { return (e.Num("end") - e.Num("start")) / 1000.0; }
    // Longest wait of the caller on the reply event.
    static double LongestWaitMs(Host &caller)
    {
        double longest = 0;
        for (const LogEvent &wait : caller.Log("wait"))
            longest = std::max(longest, DurationMs(wait));
        return longest;
    }
    // Time from the first request to the list becoming visible.
    static double FillMs(Host &caller)
    {
        std::vector<LogEvent> requests = Requests(caller);
        std::optional<LogEvent> shown = caller.WaitForEvent("dialog-shown", 1000);
        if (requests.empty() || !shown)
            return -1;
        return (shown->abs - requests.front().Num("start-abs")) / 1000.0;
    }
};

// An answering instance: its folder in the row, the request carries the id
// the asked host gave the plug-in, and no time is spent waiting.
TEST_F(PathExchange, AnsweringInstanceIsTakenAtOnce)
{
    HostOptions layout;
    layout.menu = "x,-,x,P,-,x";                // the plug-in's item is 33101 in every instance
    Host &asked = Start("C:\\Work\\Photos\\", layout);
    Host &caller = Start("D:\\", layout);
    DialogInfo list = ChooseAndWait(caller);
    EXPECT_EQ("C:\\Work\\Photos\\", ColumnTexts(list, 0).at(0));

    std::vector<LogEvent> requests = Requests(caller);
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ(asked.hwnd(), requests[0].Hwnd("target"));
    EXPECT_EQ(33101, requests[0].Num("wparam")) << "command id, high word 0";
    EXPECT_EQ(0, requests[0].Num("lparam"));
    std::optional<LogEvent> command = asked.WaitForEvent("command", 1000);
    ASSERT_TRUE(command.has_value());
    EXPECT_EQ(33101, command->Num("id"));
    EXPECT_EQ(1, command->Num("external"));
    EXPECT_LT(LongestWaitMs(caller), 1000);
    EXPECT_LT(FillMs(caller), 2000);

    // The reply went on to the caller's own window procedure too, and the
    // responder's send got that procedure's result back.
    std::optional<LogEvent> copy = caller.WaitForEvent("copydata", 1000);
    ASSERT_TRUE(copy.has_value());
    EXPECT_EQ(asked.hwnd(), copy->Hwnd("wparam"));
    EXPECT_EQ(0, copy->Num("dwdata"));
    EXPECT_EQ(16, copy->Num("cb"));
    EXPECT_EQ("C:\\Work\\Photos\\" + std::string(1, '\0'), copy->Bytes("data"));
    bool replied = false;
    for (const LogEvent &send : asked.Log("send"))
        if (send.Num("msg") == WM_COPYDATA) {
            replied = true;
            EXPECT_EQ(caller.hwnd(), send.Hwnd("target"));
            EXPECT_EQ(asked.hwnd(), send.Hwnd("wparam"));
            EXPECT_EQ(0x5A5A, send.Num("reply"));
        }
    EXPECT_TRUE(replied);
    EXPECT_TRUE(asked.Dialogs().empty()) << "the responder shows nothing";
    CloseList(caller);
}

// A silent instance keeps the default text after the full wait; the next one is
// asked with a fresh default text, so an earlier answer never carries over.
TEST_F(PathExchange, SilentInstanceCostsTheWaitAndLeavesNoTrace)
{
    Host &answers = Start("C:\\First\\");
    Host &quiet = Start("C:\\Quiet\\", Responding("silent"));
    Host &caller = Start("D:\\");
    ActivateInOrder({ &quiet, &answers });
    DialogInfo list = ChooseAndWait(caller);
    EXPECT_EQ((std::vector<std::string>{ "C:\\First\\", kQueryFailed, "D:\\" }), ColumnTexts(list, 0));
    double waited = LongestWaitMs(caller);
    EXPECT_GE(waited, 2900);
    EXPECT_LT(waited, 4500);
    CloseList(caller);
}

// A reply that comes after the wait is not taken for the next instance, and
// after the queries it reaches only the host's own procedure.
TEST_F(PathExchange, LateReplyIsNotTakenForTheNextInstance)
{
    Host &slow = Start("C:\\Slow\\", Responding("late:300"));
    Host &next = Start("C:\\Next\\");
    Host &slowLast = Start("C:\\SlowLast\\", Responding("late:300"));
    Host &caller = Start("D:\\");
    ActivateInOrder({ &slowLast, &next, &slow });
    DialogInfo list = ChooseAndWait(caller);
    EXPECT_EQ((std::vector<std::string>{ kQueryFailed, "C:\\Next\\", kQueryFailed, "D:\\" }), ColumnTexts(list, 0));

    // Both late replies did reach the caller's window, the first during the
    // query of the next instance, the second once the list was open.
    EXPECT_TRUE(WaitUntil([&] { return caller.Log("copydata").size() == 3; }, 5000));
    std::vector<HWND> senders;
    for (const LogEvent &copy : caller.Log("copydata"))
        senders.push_back(copy.Hwnd("wparam"));
    EXPECT_EQ((std::vector<HWND>{ slow.hwnd(), next.hwnd(), slowLast.hwnd() }), senders);
    std::optional<DialogInfo> still = FindDialog(caller, kListCaption);
    ASSERT_TRUE(still.has_value());
    EXPECT_EQ(ColumnTexts(list, 0), ColumnTexts(*still, 0)) << "rows never change";
    CloseList(caller);
}

// An instance whose thread does not take the request costs at most the wait in
// all, and the instances after it are still asked and answered.
TEST_F(PathExchange, HungInstanceIsBounded)
{
    Host &stuck = Start("C:\\Hung\\", Responding("hang:8000"));
    Host &after = Start("C:\\After\\");
    Host &caller = Start("D:\\");
    ActivateInOrder({ &after, &stuck });
    DialogInfo list = ChooseAndWait(caller);
    EXPECT_EQ((std::vector<std::string>{ kQueryFailed, "C:\\After\\", "D:\\" }), ColumnTexts(list, 0));
    std::vector<LogEvent> requests = Requests(caller);
    ASSERT_EQ(2u, requests.size());
    EXPECT_LT(DurationMs(requests[0]), 4000);
    double fill = FillMs(caller);
    EXPECT_GE(fill, 2900);
    EXPECT_LT(fill, 5000) << "no further wait once the send's limit has run out";
    CloseList(caller);
}

// Replies no good responder sends: refused or not taken, never copied past
// what was received, and the caller survives them.
TEST_F(PathExchange, HostileRepliesAreRefused)
{
    struct Case { const char *kind; std::string row; bool waits; };
    const Case cases[] = {
        { "oversize", kQueryFailed, false },
        { "long260", kQueryFailed, false },
        { "nonul", kQueryFailed, false },
        { "empty", kQueryFailed, false },
        { "exact259", std::string(259, 'E'), false },
        { "dwdata", kQueryFailed, true },       // not a reply at all: the wait runs out
        { "wparam", kQueryFailed, true },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.kind);
        Host &evil = Start("C:\\Evil\\", Responding(std::string("hostile:") + c.kind));
        Host &caller = Start("D:\\");
        DialogInfo list = ChooseAndWait(caller);
        EXPECT_EQ(c.row, ColumnTexts(list, 0).at(0));
        EXPECT_EQ(c.waits, LongestWaitMs(caller) >= 2900);
        EXPECT_TRUE(caller.Running());
        EXPECT_FALSE(evil.Log("hostile").empty());
        CloseList(caller);
        TearDown();
    }
}

// When the event cannot be had (its name is taken by another kind of object), a
// reply that comes during the send is still taken.
TEST_F(PathExchange, WithoutTheEventRepliesAreStillTaken)
{
    HANDLE squatter = CreateMutexA(nullptr, FALSE, "PokoNaviPluginGetPathEvent");
    ASSERT_NE(nullptr, squatter);
    Host &answers = Start("C:\\Answers\\");
    Host &quiet = Start("C:\\Quiet\\", Responding("silent"));
    Host &caller = Start("D:\\");
    ActivateInOrder({ &quiet, &answers });
    DialogInfo list = ChooseAndWait(caller);
    EXPECT_EQ((std::vector<std::string>{ "C:\\Answers\\", kQueryFailed, "D:\\" }), ColumnTexts(list, 0));
    CloseList(caller);
    CloseHandle(squatter);
}

// Three instances choose the plug-in at the same moment: each one's queries
// reach the others while those are querying too. No deadlock, every reply taken.
TEST_F(PathExchange, ThreeInstancesQueryingEachOtherAtOnce)
{
    HostOptions marked;
    marked.markSenders = true;
    Host &a = Start("C:\\A\\", marked);
    Host &b = Start("C:\\B\\", marked);
    Host &c = Start("C:\\C\\", marked);
    Host *hosts[3] = { &a, &b, &c };
    const std::string folders[3] = { "C:\\A\\", "C:\\B\\", "C:\\C\\" };
    for (Host *host : hosts)
        Do(*host, "choose");
    for (int i = 0; i < 3; i++) {
        SCOPED_TRACE(hosts[i]->name());
        std::optional<DialogInfo> list;
        ASSERT_TRUE(WaitUntil([&] { return (list = FindDialog(*hosts[i], kListCaption)).has_value(); }, 20000));
        std::vector<std::string> rows = ColumnTexts(*list, 0);
        ASSERT_EQ(3u, rows.size());
        EXPECT_EQ(folders[i], rows[2]) << "own row last";
        for (int j = 0; j < 3; j++)
            EXPECT_NE(rows.end(), std::find(rows.begin(), rows.end(), folders[j])) << folders[j];
        EXPECT_EQ(rows.end(), std::find(rows.begin(), rows.end(), kQueryFailed));
    }
    // The queries did overlap: some instance was asked while its own call was open.
    int nested = 0;
    for (Host *host : hosts)
        for (const LogEvent &enter : host->Log("doprocess-enter"))
            nested += enter.Num("depth") > 1;
    EXPECT_GT(nested, 0);
    for (Host *host : hosts)
        CloseList(*host);
}

}  // namespace
}  // namespace poko
