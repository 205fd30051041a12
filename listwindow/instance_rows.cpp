// Fills the list: each other instance is asked for its folder in array order and
// gets its row as soon as its answer is in or the wait has ended; the caller's
// own row comes last. Row i is entry i of InstanceWindows.
#include "instance_list.h"
#include "../plugin/globals.h"
#include "../exchange/command_lookup.h"
#include "../exchange/path_exchange.h"
#include "folder_name.h"
#include "../resources/texts.h"

void FillInstanceList()
{
    // Nested calls during the queries put this call's record back when they
    // return, but the fill keeps its own pointer all the same.
    HostCallInfo *info = g_pHostInfo;

    // One record serves the whole fill; only the first insertion carries the
    // state bits, so row 0 alone is created selected and focused.
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_STATE;
    item.iItem = 0;
    item.state = LVIS_FOCUSED | LVIS_SELECTED;
    item.stateMask = LVIS_FOCUSED | LVIS_SELECTED;

    int commandId = FindPluginCommandId(info->MainWindow);
    if (commandId == 0) {
        MessageBoxA(info->MainWindow, TEXT_LOOKUP_ERROR, TEXT_MENU_NAME, MB_ICONERROR | MB_OK);
        return;
    }
    SendMessageA(g_hwndList, LVM_SETITEMCOUNT, info->InstanceCount, 0);

    BeginPathQueries(commandId);
    for (int i = 0; i < info->InstanceCount - 1; i++) {
        QueryInstancePath(info->InstanceWindows[i]);
        AddPathRow(&item, g_szReplyPath);
        SetStateCell(&item, g_hwndQueried);
        item.iItem++;
    }
    AddPathRow(&item, info->CurrentPath);
    SetStateCell(&item, info->MainWindow);
    EndPathQueries();
}

void AddPathRow(LVITEMA *item, const char *text)
{
    char folderName[PATH_BUFFER_SIZE];
    const char *cell = text;
    if (text[0] == 0) {
        cell = TEXT_VIRTUAL_FOLDER;
    } else if (g_Settings.State & STATE_SHOW_FOLDER_NAME) {
        ExtractFolderName(text, folderName, sizeof folderName);
        cell = folderName;
    }
    item->iSubItem = 0;
    item->pszText = const_cast<char *>(cell);
    SendMessageA(g_hwndList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(item));
}

void SetStateCell(LVITEMA *item, HWND window)
{
    WINDOWPLACEMENT placement;
    placement.length = sizeof placement;
    UINT showState = GetWindowPlacement(window, &placement) ? placement.showCmd : 0;

    const char *text;
    switch (showState) {
    case SW_SHOWNORMAL:
        text = TEXT_STATE_NORMAL;
        break;
    case SW_SHOWMINIMIZED:
        text = TEXT_STATE_MINIMIZED;
        break;
    case SW_SHOWMAXIMIZED:
        text = TEXT_STATE_MAXIMIZED;
        break;
    default:
        text = TEXT_STATE_UNKNOWN;
        break;
    }
    item->mask = LVIF_TEXT;
    item->iSubItem = 1;
    item->pszText = const_cast<char *>(text);
    SendMessageA(g_hwndList, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(item));
}
