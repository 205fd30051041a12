// The settings dialog: two check boxes for the two flags of State. OK writes
// State; the changes take effect at the next invocation.
#include "settings.h"
#include "../plugin/globals.h"
#include "../resources/resource_ids.h"

void SettingsToCheckboxes(HWND dialog)
{
    CheckDlgButton(dialog, IDC_SHOW_FOLDER_NAME,
                   (g_Settings.State & STATE_SHOW_FOLDER_NAME) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_SWITCH_WITHOUT_LIST,
                   (g_Settings.State & STATE_SWITCH_WITHOUT_LIST) ? BST_CHECKED : BST_UNCHECKED);
}

// Bits other than the two flags are carried along unchanged.
void CheckboxesToSettings(HWND dialog)
{
    if (IsDlgButtonChecked(dialog, IDC_SHOW_FOLDER_NAME) == BST_CHECKED)
        g_Settings.State |= STATE_SHOW_FOLDER_NAME;
    else
        g_Settings.State &= ~STATE_SHOW_FOLDER_NAME;
    if (IsDlgButtonChecked(dialog, IDC_SWITCH_WITHOUT_LIST) == BST_CHECKED)
        g_Settings.State |= STATE_SWITCH_WITHOUT_LIST;
    else
        g_Settings.State &= ~STATE_SWITCH_WITHOUT_LIST;
    SaveState();
}

INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        SettingsToCheckboxes(dialog);
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) != 0)
            return TRUE;
        switch (LOWORD(wParam)) {
        case IDOK:
            CheckboxesToSettings(dialog);
            EndDialog(dialog, IDOK);
            break;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            break;
        }
        return TRUE;
    }
    return FALSE;
}
