// Requester role: reads the settings, then opens the settings dialog (one
// instance), switches straight to entry 0, or opens the instance list.
#include "globals.h"
#include "dispatch.h"
#include "../listwindow/instance_list.h"
#include "../settings/settings.h"
#include "../resources/resource_ids.h"

void RunSwitcher()
{
    ResetSettings();
    LoadSettings();

    HostCallInfo *info = g_pHostInfo;
    if (info->InstanceCount == 1) {
        DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_SETTINGS), info->MainWindow,
                        SettingsDlgProc, 0);
    } else if (g_Settings.State & STATE_SWITCH_WITHOUT_LIST) {
        ActivateInstance(info->InstanceWindows[0]);
    } else {
        DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_INSTANCE_LIST), info->MainWindow,
                        InstanceListDlgProc, 0);
    }
}

void ActivateInstance(HWND instanceWindow)
{
    if (!IsWindow(instanceWindow))
        return;
    if (IsIconic(instanceWindow))
        ShowWindow(instanceWindow, SW_RESTORE);
    else
        SetForegroundWindow(instanceWindow);
}
