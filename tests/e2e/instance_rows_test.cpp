// The rows of the list: every other instance asked in array order, the caller
// last, with folders, window states and the first row selected.
#include "bench.h"
#include <algorithm>

namespace poko {
namespace {

class InstanceRows : public Bench {};

// Caller X (D:\Data\, maximised), Y (C:\Work\Photos\, normal, answers), Z
// (minimised, does not answer): rows Y, Z, X in both display modes.
TEST_F(InstanceRows, ThreeInstancesInBothDisplayModes)
{
    struct Mode { int state; std::vector<std::string> paths; };
    const Mode modes[] = {
        { 0, { "C:\\Work\\Photos\\", kQueryFailed, "D:\\Data\\" } },
        { 2, { "Photos", "パスの取得に失敗しました", "Data" } },
    };
    for (const Mode &mode : modes) {
        SCOPED_TRACE(testing::Message() << "State=" << mode.state);
        HostOptions maximised;
        maximised.show = "max";
        Host &y = Start("C:\\Work\\Photos\\");
        Host &z = Start("E:\\Z\\", Responding("silent"));
        Host &x = Start("D:\\Data\\", maximised);
        WriteSettings(x, "[Behavior]\r\nState=" + std::to_string(mode.state) + "\r\n");
        ActivateInOrder({ &z, &y });
        Do(z, "show min");

        DialogInfo list = ChooseAndWait(x);
        EXPECT_EQ(mode.paths, ColumnTexts(list, 0));
        EXPECT_EQ((std::vector<std::string>{ "通常", "最小化", "最大化" }), ColumnTexts(list, 1));
        ASSERT_NE(nullptr, list.ListView());
        ASSERT_EQ(3u, ListOf(list).rows.size());
        EXPECT_EQ(3u, ListOf(list).rows[0].state & 3) << "row 0 selected and focused";
        EXPECT_EQ(0u, ListOf(list).rows[1].state & 3);
        EXPECT_EQ(0u, ListOf(list).rows[2].state & 3);
        EXPECT_EQ(ListOf(list).hwnd, list.focus) << "keyboard focus in the list";

        // Z's silence cost the wait before the window was shown.
        std::vector<LogEvent> waits = x.Log("wait");
        ASSERT_FALSE(waits.empty());
        EXPECT_EQ(3000, waits.back().Num("timeout"));
        EXPECT_GE((waits.back().Num("end") - waits.back().Num("start")) / 1000.0, 2900);

        // Enter at once switches to Y, the first other instance.
        ASSERT_TRUE(WaitForKeyboard(x, list));
        Do(x, "key 13");
        EXPECT_TRUE(WaitNoDialogs(x));
        EXPECT_TRUE(WaitUntil([&] { return x.State().foreground == y.hwnd(); }, 5000));
        TearDown();
    }
}

TEST_F(InstanceRows, TwoInstancesAndVirtualFolders)
{
    struct Case { const char *what; std::string asked, caller; int state; std::vector<std::string> paths; };
    const Case cases[] = {
        { "asked instance in a virtual folder", "", "C:\\", 0, { "仮想フォルダ", "C:\\" } },
        { "caller in a virtual folder, folder-name mode", "C:\\", "", 2, { "C:", "仮想フォルダ" } },
        { "both virtual, folder-name mode", "", "", 2, { "仮想フォルダ", "仮想フォルダ" } },
        { "Shift-JIS folders", "C:\\ソフト\\", "D:\\表\\資料\\", 0, { "C:\\ソフト\\", "D:\\表\\資料\\" } },
        { "Shift-JIS folder names", "C:\\ソフト\\", "D:\\資料\\表\\", 2, { "ソフト", "表" } },
        { "drive root and UNC share", "C:\\", "\\\\server\\share\\", 2, { "C:", "share" } },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Host &asked = Start(c.asked);
        Host &caller = Start(c.caller);
        WriteSettings(caller, "[Behavior]\r\nState=" + std::to_string(c.state) + "\r\n");
        DialogInfo list = ChooseAndWait(caller);
        EXPECT_EQ(c.paths, ColumnTexts(list, 0));
        EXPECT_EQ(std::vector<int>{ 0 }, SelectedRows(list));
        if (c.asked.empty()) {
            // An empty folder travels as its NUL alone.
            std::optional<LogEvent> reply = caller.WaitForEvent("copydata", 1000);
            ASSERT_TRUE(reply.has_value());
            EXPECT_EQ(1, reply->Num("cb"));
        }
        CloseList(caller);
        TearDown();
    }
}

// The caller's own row is never asked for: its folder comes from its record.
TEST_F(InstanceRows, CallerIsNeverAsked)
{
    Host &other = Start("C:\\Other\\");
    Host &caller = Start("C:\\Caller\\");
    ChooseAndWait(caller);
    int requestsToSelf = 0;
    for (const LogEvent &send : caller.Log("send"))
        if (send.Num("msg") == WM_COMMAND && send.Hwnd("target") == caller.hwnd())
            requestsToSelf++;
    EXPECT_EQ(0, requestsToSelf);
    EXPECT_EQ(1u, other.Log("doprocess-enter").size());
    CloseList(caller);
}

TEST_F(InstanceRows, MissingMenuEntryShowsTheErrorBoxThenAnEmptyList)
{
    Host &other = Start("C:\\Other\\");
    HostOptions noPlugin;
    noPlugin.menu = "x,-,x";
    Host &caller = Start("C:\\Caller\\", noPlugin);
    DialogInfo box = ChooseAndWait(caller, kListCaption);
    // The first visible dialog with the caption is the message box, owned by the
    // caller's main window while the list is not shown yet.
    bool hasText = false, hasHand = false;
    for (const DialogControl &control : box.controls) {
        hasText |= control.text == "エラー";
        hasHand |= control.isHandIcon;
    }
    EXPECT_TRUE(hasText);
    EXPECT_TRUE(hasHand) << "error icon";
    EXPECT_EQ(caller.hwnd(), box.owner);
    EXPECT_EQ(nullptr, box.ListView()) << "the box comes before the list is shown";
    EXPECT_TRUE(other.Log("command").empty()) << "no instance is asked";

    Do(caller, "key 13");                       // OK on the box
    std::optional<DialogInfo> list;
    ASSERT_TRUE(WaitUntil([&] {
        list = FindDialog(caller, kListCaption);
        return list && list->ListView();
    }, 10000));
    EXPECT_TRUE(ListOf(*list).rows.empty());
    Do(caller, "key 13");                       // OK on the empty list: closes, no switch
    EXPECT_TRUE(WaitNoDialogs(caller));
    EXPECT_NE(other.hwnd(), caller.State().foreground);
    std::vector<std::string> lines = SettingsLines(caller);
    EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), "[Window]")) << "layout saved";
}

}  // namespace
}  // namespace poko
