// The plug-in's command id from the host's menu, for real menus built here.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "exchange/command_lookup.h"

namespace {

const char kPluginMenu[] = "プラグイン(&P)";
const char kName[] = "ポコナビ一覧";

// One top-level item: its caption and, unless it is a plain command, its popup.
struct TopItem {
    std::string caption;
    bool popup;
    std::vector<std::string> items;  // "" is a separator
};

// A top-level window of this thread whose menu bar is built from the items.
class MenuWindow {
public:
    explicit MenuWindow(const std::vector<TopItem> *bar)
    {
        window_ = CreateWindowA("STATIC", "menu test", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, 0, 0, 0, 0);
        if (!bar)
            return;
        HMENU menu = CreateMenu();
        UINT nextId = 40000;
        for (const TopItem &top : *bar) {
            if (!top.popup) {
                AppendMenuA(menu, MF_STRING, nextId++, top.caption.c_str());
                continue;
            }
            HMENU popup = CreatePopupMenu();
            for (const std::string &text : top.items) {
                if (text.empty())
                    AppendMenuA(popup, MF_SEPARATOR, 0, 0);
                else
                    AppendMenuA(popup, MF_STRING, nextId++, text.c_str());
            }
            AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), top.caption.c_str());
        }
        SetMenu(window_, menu);
    }
    ~MenuWindow() { DestroyWindow(window_); }
    HWND hwnd() const { return window_; }

private:
    HWND window_;
};

std::string Plugin(const char *suffix = "(&S)") { return std::string(kName) + suffix; }

struct LookupCase {
    const char *what;
    std::vector<TopItem> bar;
    int expected;
};

TEST(CommandLookup, IdFollowsThePositionWithinItsGroup)
{
    const std::string other = "項目";
    const std::string sep;
    const std::vector<LookupCase> cases = {
        { "command, separator, plug-in", { { kPluginMenu, true, { other, sep, Plugin() } } }, 33100 },
        { "no separator, plug-in at 3", { { kPluginMenu, true, { other, other, other, Plugin() } } }, 33103 },
        { "second after the later of two separators",
          { { kPluginMenu, true, { other, sep, other, other, sep, other, Plugin() } } }, 33101 },
        { "separator after the item changes nothing",
          { { kPluginMenu, true, { other, Plugin(), sep, other } } }, 33101 },
        { "plug-in first of all", { { kPluginMenu, true, { Plugin(), other } } }, 33100 },
        { "any four suffix bytes", { { kPluginMenu, true, { other, Plugin("\x81\x40zz") } } }, 33101 },
        { "lowest of two matching items wins",
          { { kPluginMenu, true, { other, Plugin("(&A)"), Plugin("(&B)") } } }, 33101 },
        { "plug-in popup after another top-level popup",
          { { "ファイル(&F)", true, { other } }, { kPluginMenu, true, { sep, Plugin() } } }, 33100 },
        { "name followed by 3 bytes", { { kPluginMenu, true, { other, Plugin("(&S") } } }, 0 },
        { "name followed by 5 bytes", { { kPluginMenu, true, { other, Plugin("(&S)x") } } }, 0 },
        { "name alone", { { kPluginMenu, true, { other, kName } } }, 0 },
        { "name differs in one byte",
          { { kPluginMenu, true, { other, std::string("ポコナビ一欄") + "(&S)" } } }, 0 },
        { "caption only a prefix", { { "プラグイン", true, { Plugin() } } }, 0 },
        { "caption with a lower-case p", { { "プラグイン(&p)", true, { Plugin() } } }, 0 },
        { "caption with a character added", { { "プラグイン(&P)x", true, { Plugin() } } }, 0 },
        { "plug-in only under the second matching caption",
          { { kPluginMenu, true, { other } }, { kPluginMenu, true, { Plugin() } } }, 0 },
        { "caption is a plain command", { { kPluginMenu, false, {} } }, 0 },
        { "empty popup", { { kPluginMenu, true, {} } }, 0 },
        { "popup of separators only", { { kPluginMenu, true, { sep, sep } } }, 0 },
        { "no plug-in caption at all", { { "ファイル(&F)", true, { Plugin() } } }, 0 },
        { "menu bar without items", {}, 0 },
    };
    for (const LookupCase &c : cases) {
        SCOPED_TRACE(c.what);
        MenuWindow window(&c.bar);
        EXPECT_EQ(c.expected, FindPluginCommandId(window.hwnd()));
    }
}

TEST(CommandLookup, WindowWithoutMenuBarGivesZero)
{
    MenuWindow window(nullptr);
    ASSERT_EQ(nullptr, GetMenu(window.hwnd()));
    EXPECT_EQ(0, FindPluginCommandId(window.hwnd()));
    EXPECT_EQ(0, FindPluginCommandId(nullptr));
}

TEST(CommandLookup, TheMenuIsNotChanged)
{
    std::vector<TopItem> bar = { { kPluginMenu, true, { "項目", "", Plugin() } } };
    MenuWindow window(&bar);
    HMENU popup = GetSubMenu(GetMenu(window.hwnd()), 0);
    ASSERT_EQ(33100, FindPluginCommandId(window.hwnd()));
    char text[64];
    GetMenuStringA(popup, 2, text, sizeof text, MF_BYPOSITION);
    EXPECT_EQ(Plugin(), text);
    EXPECT_EQ(3, GetMenuItemCount(popup));
}

}  // namespace
