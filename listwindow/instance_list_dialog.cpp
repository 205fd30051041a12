// The modal, resizable list of instances. Its controls are placed in pixels for
// the current client size; the template's rectangles give only the first size.
#include "instance_list.h"
#include "../plugin/globals.h"
#include "../plugin/dispatch.h"
#include "../settings/settings.h"
#include "../resources/resource_ids.h"
#include "../resources/texts.h"

enum {
    DEFAULT_PATH_WIDTH = 356,
    DEFAULT_STATE_WIDTH = 50,
    BUTTON_STRIP_HEIGHT = 25,   // client strip below the list
    BUTTON_WIDTH = 80,
    BUTTON_HEIGHT = 20,
    BUTTON_TOP_FROM_BOTTOM = 21,
    BUTTON_PITCH = 83,          // 80 wide with 3-pixel gaps
    BUTTON_GROUP_HALF = 123     // the group of three, 246 wide, is centred
};

// The record of the call that opened the list. Row i stands for entry i of its
// InstanceWindows, also after a nested call has come and gone; the record stays
// valid while the dialog is open, since the dialog ends inside that call.
static HostCallInfo *ListRecord(HWND dialog)
{
    return reinterpret_cast<HostCallInfo *>(GetWindowLongPtrA(dialog, DWLP_USER));
}

POINT CentredOrigin(const RECT *workArea, int width, int height)
{
    POINT origin;
    origin.x = (workArea->left + workArea->right) / 2 - width / 2;
    origin.y = (workArea->top + workArea->bottom) / 2 - height / 2;
    return origin;
}

void SetupColumns()
{
    int pathWidth = DEFAULT_PATH_WIDTH, pathOrder = 0;
    int stateWidth = DEFAULT_STATE_WIDTH, stateOrder = 1;
    if (g_Settings.WindowWidth != 0) {
        pathWidth = g_Settings.Column0Width;
        pathOrder = g_Settings.Column0Order;
        stateWidth = g_Settings.Column1Width;
        stateOrder = g_Settings.Column1Order;
    }
    // A zero mask replaces the whole extended style.
    SendMessageA(g_hwndList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);

    LVCOLUMNA column;
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_ORDER;
    column.fmt = LVCFMT_LEFT;
    column.cx = pathWidth;
    column.pszText = const_cast<char *>(TEXT_COLUMN_PATH);
    column.iOrder = pathOrder;
    SendMessageA(g_hwndList, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    column.cx = stateWidth;
    column.pszText = const_cast<char *>(TEXT_COLUMN_STATE);
    column.iOrder = stateOrder;
    SendMessageA(g_hwndList, LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));
}

void LayoutInstanceList(HWND dialog)
{
    RECT client;
    GetClientRect(dialog, &client);
    MoveWindow(GetDlgItem(dialog, IDC_INSTANCE_LIST), 0, 0, client.right,
               client.bottom - BUTTON_STRIP_HEIGHT, TRUE);
    int half = client.right / 2;
    int y = client.bottom - BUTTON_TOP_FROM_BOTTOM;
    static const int buttons[3] = { IDOK, IDCANCEL, IDC_SETTINGS_BUTTON };
    for (int i = 0; i < 3; i++)
        MoveWindow(GetDlgItem(dialog, buttons[i]), half - BUTTON_GROUP_HALF + i * BUTTON_PITCH, y,
                   BUTTON_WIDTH, BUTTON_HEIGHT, TRUE);
}

void ActivateSelectedAndClose(HWND dialog)
{
    int index = static_cast<int>(SendMessageA(g_hwndList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                              LVNI_SELECTED));
    HostCallInfo *record = ListRecord(dialog);
    if (index >= 0 && record && index < record->InstanceCount)
        ActivateInstance(record->InstanceWindows[index]);
    CloseInstanceList(dialog);
}

void CloseInstanceList(HWND dialog)
{
    SaveListLayout(dialog);
    EndDialog(dialog, IDOK);
}

// Everything is asked and filled before the dialog is shown: the template has no
// WS_VISIBLE, so the modal dialog becomes visible only after this returns.
static void InitInstanceList(HWND dialog)
{
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(g_pHostInfo));
    g_hwndList = GetDlgItem(dialog, IDC_INSTANCE_LIST);
    // The list is not shown yet: it need not lay itself out again for every
    // column, row and move until it is complete and in place.
    SendMessageA(g_hwndList, WM_SETREDRAW, FALSE, 0);
    SetupColumns();
    FillInstanceList();

    int width, height;
    if (g_Settings.WindowWidth != 0) {
        width = g_Settings.WindowWidth;
        height = g_Settings.WindowHeight;
    } else {
        RECT window;
        GetWindowRect(dialog, &window);
        width = window.right - window.left;
        height = window.bottom - window.top;
    }
    RECT workArea;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    POINT origin = CentredOrigin(&workArea, width, height);
    MoveWindow(dialog, origin.x, origin.y, width, height, TRUE);
    LayoutInstanceList(dialog);
    SendMessageA(g_hwndList, WM_SETREDRAW, TRUE, 0);
}

INT_PTR CALLBACK InstanceListDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitInstanceList(dialog);
        return TRUE;
    case WM_SIZE:
        LayoutInstanceList(dialog);
        return TRUE;
    case WM_NOTIFY:
        // A double-click acts on the selected row, whichever row was clicked.
        if (reinterpret_cast<const NMHDR *>(lParam)->code == static_cast<UINT>(NM_DBLCLK))
            ActivateSelectedAndClose(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            ActivateSelectedAndClose(dialog);
            break;
        case IDCANCEL:
            CloseInstanceList(dialog);
            break;
        case IDC_SETTINGS_BUTTON:
            DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_SETTINGS), dialog, SettingsDlgProc, 0);
            break;
        }
        return TRUE;
    }
    return FALSE;
}
