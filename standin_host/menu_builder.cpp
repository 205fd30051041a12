// The host's menu bar, built from --top and --menu. Items of the plug-in
// popup are numbered as the host contract has it: 33100 plus the position after
// the nearest separator above (from the top when there is none). Items of other
// popups, and plain top-level commands, get ids from 40000 up.
//
// --top: comma-separated top-level items, or "none":
//   file          "ファイル(&F)" popup with one ordinary item
//   plugin        "プラグイン(&P)" popup holding --menu
//   plugin-other  "プラグイン(&P)" popup of two ordinary items
//   plugin-empty  "プラグイン(&P)" popup without items
//   plugin-cmd    "プラグイン(&P)" as a plain command
//   prefix        "プラグイン" popup holding --menu
//   case          "プラグイン(&p)" popup holding --menu
// --menu: comma-separated popup items:
//   P  menu name + "(&S)" (4 bytes)   P3 menu name + "(S)"   P5 menu name + "(&SW)"
//   N  menu name alone   X  menu name with its last byte changed, + "(&S)"
//   x  an ordinary item "項目"   -  a separator
#include "host.h"

#include <vector>

static const char kPluginCaption[] = "プラグイン(&P)";
static const char kOrdinaryItem[] = "項目";

static std::vector<std::string> SplitCommas(const std::string &text)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return parts;
}

// Text of one plug-in popup item; false for an unknown code.
static bool PluginItemText(const std::string &code, std::string *text)
{
    if (code == "P") *text = g_menuName + "(&S)";
    else if (code == "P3") *text = g_menuName + "(S)";
    else if (code == "P5") *text = g_menuName + "(&SW)";
    else if (code == "N") *text = g_menuName;
    else if (code == "X") {
        std::string changed = g_menuName.empty() ? std::string("?") : g_menuName;
        changed.back() = static_cast<char>(changed.back() + 1);
        *text = changed + "(&S)";
    } else if (code == "x") *text = kOrdinaryItem;
    else return false;
    return true;
}

// The popup that --menu describes. The first "P" item's id goes to *pluginId.
static HMENU BuildPluginPopup(const std::string &layout, int *pluginId, std::string *error)
{
    HMENU popup = CreatePopupMenu();
    int groupStart = 0;
    std::vector<std::string> items = SplitCommas(layout);
    for (int position = 0; position < (int)items.size(); ++position) {
        const std::string &code = items[position];
        if (code == "-") {
            AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
            groupStart = position + 1;
            continue;
        }
        std::string text;
        if (!PluginItemText(code, &text)) {
            *error = "unknown --menu item " + code;
            DestroyMenu(popup);
            return nullptr;
        }
        int id = PLUGIN_COMMAND_BASE + position - groupStart;
        AppendMenuA(popup, MF_STRING, id, text.c_str());
        if (code == "P" && *pluginId == 0) *pluginId = id;
    }
    return popup;
}

bool BuildMenuBar(const std::string &top, const std::string &layout, HMENU *menuBar, int *pluginCommandId,
                  std::string *error)
{
    *menuBar = nullptr;
    *pluginCommandId = 0;
    if (top == "none") return true;

    HMENU bar = CreateMenu();
    int nextOtherId = 40000;
    for (const std::string &kind : SplitCommas(top)) {
        HMENU popup = nullptr;
        const char *caption = kPluginCaption;
        if (kind == "file") {
            popup = CreatePopupMenu();
            AppendMenuA(popup, MF_STRING, nextOtherId++, "閉じる(&C)");
            caption = "ファイル(&F)";
        } else if (kind == "plugin" || kind == "prefix" || kind == "case") {
            popup = BuildPluginPopup(layout, pluginCommandId, error);
            if (!popup) { DestroyMenu(bar); return false; }
            if (kind == "prefix") caption = "プラグイン";
            if (kind == "case") caption = "プラグイン(&p)";
        } else if (kind == "plugin-other") {
            popup = CreatePopupMenu();
            AppendMenuA(popup, MF_STRING, nextOtherId++, kOrdinaryItem);
            AppendMenuA(popup, MF_STRING, nextOtherId++, kOrdinaryItem);
        } else if (kind == "plugin-empty") {
            popup = CreatePopupMenu();
        } else if (kind == "plugin-cmd") {
            AppendMenuA(bar, MF_STRING, nextOtherId++, kPluginCaption);
            continue;
        } else {
            *error = "unknown --top item " + kind;
            DestroyMenu(bar);
            return false;
        }
        AppendMenuA(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), caption);
    }
    *menuBar = bar;
    return true;
}

// The "menu" command: every top-level item and every popup item, by position.
std::string DescribeMenuBar(HMENU menuBar)
{
    if (!menuBar) return "ok items=0 menu=none";
    int count = GetMenuItemCount(menuBar);
    std::string out = Format("ok items=%d", count);
    char text[256];
    for (int p = 0; p < count; ++p) {
        int n = GetMenuStringA(menuBar, p, text, sizeof text, MF_BYPOSITION);
        HMENU popup = GetSubMenu(menuBar, p);
        out += Format("\ntop pos=%d text=%s popup=%d id=%d", p, HexBytes(text, n > 0 ? n : 0).c_str(),
                      popup ? 1 : 0, popup ? -1 : (int)GetMenuItemID(menuBar, p));
        if (!popup) continue;
        int items = GetMenuItemCount(popup);
        for (int q = 0; q < items; ++q) {
            n = GetMenuStringA(popup, q, text, sizeof text, MF_BYPOSITION);
            UINT state = GetMenuState(popup, q, MF_BYPOSITION);
            out += Format("\nitem top=%d pos=%d text=%s id=%d separator=%d", p, q,
                          HexBytes(text, n > 0 ? n : 0).c_str(), (int)GetMenuItemID(popup, q),
                          (state & MF_SEPARATOR) ? 1 : 0);
        }
    }
    return out;
}
