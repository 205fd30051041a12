// Walks the host's menu bar by position. The host numbers the items of its
// plug-in popup in groups: 33100 plus the position after the nearest separator
// above, so the plug-in's id follows from where its item stands.
#include "command_lookup.h"
#include "../plugin/host_contract.h"
#include "../resources/texts.h"

enum {
    MENU_TEXT_SIZE = 64,    // every menu text is read into a buffer of this size
    MENU_SUFFIX_LENGTH = 4  // the host adds exactly this many bytes after the menu name
};

// The popup of the first top-level item whose whole text is the plug-in menu's
// caption; later items with the same caption are not searched.
static HMENU FindPluginPopup(HMENU menuBar)
{
    char text[MENU_TEXT_SIZE];
    int count = GetMenuItemCount(menuBar);
    for (int p = 0; p < count; p++) {
        text[0] = 0;
        GetMenuStringA(menuBar, p, text, MENU_TEXT_SIZE, MF_BYPOSITION);
        if (lstrcmpA(text, TEXT_PLUGIN_MENU) == 0)
            return GetSubMenu(menuBar, p);
    }
    return 0;
}

int FindPluginCommandId(HWND mainWindow)
{
    HMENU menuBar = GetMenu(mainWindow);
    if (!menuBar)
        return 0;
    HMENU popup = FindPluginPopup(menuBar);
    if (!popup)
        return 0;

    char text[MENU_TEXT_SIZE];
    int nameLength = lstrlenA(TEXT_MENU_NAME);
    int groupStart = 0;
    int count = GetMenuItemCount(popup);
    for (int q = 0; q < count; q++) {
        text[0] = 0;
        GetMenuStringA(popup, q, text, MENU_TEXT_SIZE, MF_BYPOSITION);
        if (text[0] == 0) {             // a separator: a new group begins after it
            groupStart = q + 1;
            continue;
        }
        if (lstrlenA(text) - MENU_SUFFIX_LENGTH != nameLength)
            continue;
        text[nameLength] = 0;           // the suffix bytes are the host's and are not compared
        if (lstrcmpA(text, TEXT_MENU_NAME) == 0)
            return PLUGIN_COMMAND_BASE + q - groupStart;
    }
    return 0;
}
