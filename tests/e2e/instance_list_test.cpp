// The list window: its template, size and centring, the pixel layout of its
// controls, and every way out of it.
#include "bench.h"
#include <algorithm>
#include <commctrl.h>

namespace poko {
namespace {

class InstanceList : public Bench {
protected:
    static RECT WorkArea()
    {
        RECT work;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        return work;
    }
    static const DialogControl &Control(const DialogInfo &dialog, int id)
    {
        const DialogControl *control = dialog.FindControl(id);
        EXPECT_NE(nullptr, control) << "control " << id;
        static DialogControl none;
        return control ? *control : none;
    }
    std::optional<DialogInfo> Refresh(Host &host) { return FindDialog(host, kListCaption); }
    // Outer size is what a user drags; the client size follows from the frame.
    DialogInfo ResizeClient(Host &host, const DialogInfo &dialog, int width, int height)
    {
        int frameWidth = dialog.width() - dialog.clientWidth;
        int frameHeight = dialog.height() - dialog.clientHeight;
        Do(host, "resize " + FormatHwnd(dialog.hwnd) + " " + std::to_string(width + frameWidth) + " " +
                     std::to_string(height + frameHeight));
        std::optional<DialogInfo> now;
        WaitUntil([&] { return (now = Refresh(host)) && now->clientWidth == width && now->clientHeight == height; },
                  5000);
        EXPECT_TRUE(now.has_value());
        return now ? *now : dialog;
    }
};

TEST_F(InstanceList, FirstOpeningUsesTheTemplateCentredWithDefaultColumns)
{
    Host &other = Start("C:\\Other\\");
    Host &caller = Start("D:\\");
    (void)other;
    DialogInfo list = ChooseAndWait(caller);

    EXPECT_EQ(0x80C40040u, list.style & 0x80C40040u);
    EXPECT_EQ(0u, list.style & (WS_SYSMENU | DS_MODALFRAME)) << "no system menu, no close box";
    EXPECT_EQ(caller.hwnd(), list.owner);
    RECT work = WorkArea();
    EXPECT_EQ((work.left + work.right) / 2 - list.width() / 2, list.rect.left);
    EXPECT_EQ((work.top + work.bottom) / 2 - list.height() / 2, list.rect.top);

    const DialogControl &view = Control(list, 1000);
    EXPECT_EQ(0x30u, view.listExStyle) << "full-row select and header drag-and-drop, nothing else";
    ASSERT_EQ(2u, view.columns.size());
    EXPECT_EQ("パス", view.columns[0].text);
    EXPECT_EQ(356, view.columns[0].width);
    EXPECT_EQ(0, view.columns[0].order);
    EXPECT_EQ("状態", view.columns[1].text);
    EXPECT_EQ(50, view.columns[1].width);
    EXPECT_EQ(1, view.columns[1].order);
    EXPECT_EQ(LVCFMT_LEFT, view.columns[0].format & LVCFMT_JUSTIFYMASK);
    EXPECT_EQ("OK", Control(list, IDOK).text);
    EXPECT_EQ("ｷｬﾝｾﾙ", Control(list, IDCANCEL).text);
    EXPECT_EQ("設定", Control(list, 1001).text);
    CloseList(caller);
}

TEST_F(InstanceList, ControlsArePlacedInPixelsForTheClientSize)
{
    Host &other = Start("C:\\Other\\");
    Host &caller = Start("D:\\");
    (void)other;
    DialogInfo list = ChooseAndWait(caller);

    // The first layout, before any resizing: list over all but the bottom strip.
    EXPECT_EQ(list.clientWidth, Control(list, 1000).width());
    EXPECT_EQ(list.clientHeight - 25, Control(list, 1000).height());

    struct Case { int width, height; RECT listRect; int buttonY; int x[3]; };
    const Case cases[] = {
        { 500, 300, { 0, 0, 500, 275 }, 279, { 127, 210, 293 } },
        { 501, 300, { 0, 0, 501, 275 }, 279, { 127, 210, 293 } },
        { 200, 100, { 0, 0, 200, 75 }, 79, { -23, 60, 143 } },     // no minimum size
        { 640, 480, { 0, 0, 640, 455 }, 459, { 197, 280, 363 } },
    };
    const int buttons[3] = { IDOK, IDCANCEL, 1001 };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        list = ResizeClient(caller, list, c.width, c.height);
        const DialogControl &view = Control(list, 1000);
        EXPECT_EQ(c.listRect.left, view.rect.left);
        EXPECT_EQ(c.listRect.top, view.rect.top);
        EXPECT_EQ(c.listRect.right, view.rect.right);
        EXPECT_EQ(c.listRect.bottom, view.rect.bottom);
        for (int i = 0; i < 3; i++) {
            const DialogControl &button = Control(list, buttons[i]);
            EXPECT_EQ(c.x[i], button.rect.left) << "button " << buttons[i];
            EXPECT_EQ(c.buttonY, button.rect.top) << "button " << buttons[i];
            EXPECT_EQ(80, button.width());
            EXPECT_EQ(20, button.height());
        }
    }
    CloseList(caller);
}

// OK, Enter and a double-click switch to the selected row's instance; Cancel,
// Escape and a close request do not. Every way out saves the layout.
TEST_F(InstanceList, EveryWayOutSavesTheLayout)
{
    struct Way { const char *what; bool switches; };
    const Way ways[] = {
        { "ok button", true }, { "enter", true }, { "double-click", true }, { "ok on minimised target", true },
        { "cancel button", false }, { "escape", false }, { "close request", false },
    };
    for (const Way &way : ways) {
        SCOPED_TRACE(way.what);
        bool minimised = std::string(way.what) == "ok on minimised target";
        Host &target = Start("C:\\Target\\");
        Host &caller = Start("D:\\");
        if (minimised)
            Do(target, "show min");
        DialogInfo list = ChooseAndWait(caller);
        const std::string dialog = FormatHwnd(list.hwnd);
        const std::string what = way.what;
        if (what == "ok button" || what == "ok on minimised target")
            Do(caller, "click " + ControlHwnd(list, IDOK));
        else if (what == "cancel button")
            Do(caller, "click " + ControlHwnd(list, IDCANCEL));
        else if (what == "double-click")
            Do(caller, "dblclick " + FormatHwnd(ListOf(list).hwnd) + " 0");
        else if (what == "close request")
            Do(caller, "close " + dialog);
        else {
            ASSERT_TRUE(WaitForKeyboard(caller, list));
            Do(caller, what == "enter" ? "key 13" : "key 27");
        }
        ASSERT_TRUE(WaitNoDialogs(caller));

        if (minimised) {
            EXPECT_TRUE(WaitUntil([&] { return target.State().showCmd == SHOW_NORMAL; }, 5000)) << "restored";
        } else if (way.switches) {
            EXPECT_TRUE(WaitUntil([&] { return target.State().foreground == target.hwnd(); }, 5000));
        } else {
            PumpFor(300);
            EXPECT_NE(target.hwnd(), target.State().foreground);
        }
        std::vector<std::string> lines = SettingsLines(caller);
        std::vector<std::string> expected = {
            "[Behavior]", "Version=200", "State=0", "[Window]", "Width=" + std::to_string(list.width()),
            "Height=" + std::to_string(list.height()), "[Column0]", "Width=356", "Order=0", "[Column1]",
            "Width=50", "Order=1",
        };
        EXPECT_EQ(expected, lines);
        TearDown();
    }
}

// A double-click acts on the row selected when the notification arrives, not on
// the row under the pointer; with none selected the list closes without a switch.
TEST_F(InstanceList, DoubleClickActsOnTheSelectedRow)
{
    Host &first = Start("C:\\First\\");
    Host &second = Start("C:\\Second\\");
    Host &caller = Start("D:\\");
    ActivateInOrder({ &second, &first });
    DialogInfo list = ChooseAndWait(caller);
    ASSERT_EQ((std::vector<int>{ 0 }), SelectedRows(list));
    Do(caller, "notify-dblclk " + FormatHwnd(list.hwnd) + " " + FormatHwnd(ListOf(list).hwnd) + " 1");
    ASSERT_TRUE(WaitNoDialogs(caller));
    EXPECT_TRUE(WaitUntil([&] { return first.State().foreground == first.hwnd(); }, 5000));
    EXPECT_NE(second.hwnd(), second.State().foreground);
    TearDown();

    Host &only = Start("C:\\Only\\");
    Host &caller2 = Start("D:\\");
    list = ChooseAndWait(caller2);
    Do(caller2, "select -1");
    Do(caller2, "notify-dblclk " + FormatHwnd(list.hwnd) + " " + FormatHwnd(ListOf(list).hwnd) + " 0");
    ASSERT_TRUE(WaitNoDialogs(caller2));
    PumpFor(300);
    EXPECT_NE(only.hwnd(), only.State().foreground);
    EXPECT_EQ("[Window]", SettingsLines(caller2).at(3)) << "layout saved all the same";
}

// The list is a modal window over the caller: the caller is disabled while it is open.
TEST_F(InstanceList, ListIsModalOverTheCaller)
{
    Host &other = Start("C:\\Other\\");
    Host &caller = Start("D:\\");
    (void)other;
    ChooseAndWait(caller);
    EXPECT_FALSE(caller.State().enabled);
    CloseList(caller);
    EXPECT_TRUE(caller.State().enabled);
}

}  // namespace
}  // namespace poko
