// POKOSW.INI: two flags and the list window's layout, one profile call per key.
// Every instance that loads the same DLL file shares the file; for each key the
// last write wins. When no usable path can be formed the plug-in runs on its
// defaults and writes nothing.
#include "settings.h"
#include "../plugin/globals.h"
#include "../listwindow/instance_list.h"

static const char SETTINGS_MODULE[] = "POKOSW.DLL";
static const char SETTINGS_FILE[] = "POKOSW.INI";

// Formats into a buffer that holds any 32-bit value, so a hand-edited value is
// written back whole.
static void WriteNumber(const char *section, const char *key, int value)
{
    char text[12];
    wsprintfA(text, "%d", value);
    WritePrivateProfileStringA(section, key, text, g_szSettingsPath);
}

static int ReadNumber(const char *section, const char *key)
{
    return static_cast<int>(GetPrivateProfileIntA(section, key, 0, g_szSettingsPath));
}

void ResetSettings()
{
    g_Settings.Version = 0;
    g_Settings.State = 0;
    g_Settings.WindowWidth = 0;
    g_Settings.WindowHeight = 0;
    g_Settings.Column0Width = 0;
    g_Settings.Column0Order = 0;
    g_Settings.Column1Width = 0;
    g_Settings.Column1Order = 0;
    g_Settings.Version = PLUGIN_VERSION;
}

void LoadSettings()
{
    BuildSettingsPath(SETTINGS_MODULE, SETTINGS_FILE, g_szSettingsPath, sizeof g_szSettingsPath);
    if (g_szSettingsPath[0] == 0)
        return;
    if (GetFileAttributesA(g_szSettingsPath) == INVALID_FILE_ATTRIBUTES) {
        // First use: the file gets the version, then the flags; nothing is read.
        WriteNumber("Behavior", "Version", g_Settings.Version);
        SaveState();
        return;
    }
    g_Settings.State = ReadNumber("Behavior", "State");
    g_Settings.WindowWidth = ReadNumber("Window", "Width");
    g_Settings.WindowHeight = ReadNumber("Window", "Height");
    g_Settings.Column0Width = ReadNumber("Column0", "Width");
    g_Settings.Column0Order = ReadNumber("Column0", "Order");
    g_Settings.Column1Width = ReadNumber("Column1", "Width");
    g_Settings.Column1Order = ReadNumber("Column1", "Order");
}

void SaveState()
{
    if (g_szSettingsPath[0] == 0)
        return;
    WriteNumber("Behavior", "State", g_Settings.State);
}

void SaveListLayout(HWND listDialog)
{
    if (g_szSettingsPath[0] == 0)
        return;
    RECT window;
    GetWindowRect(listDialog, &window);
    WriteNumber("Window", "Width", window.right - window.left);
    WriteNumber("Window", "Height", window.bottom - window.top);

    static const char *const sections[2] = { "Column0", "Column1" };
    LVCOLUMNA column;
    column.mask = LVCF_WIDTH | LVCF_ORDER;
    for (int i = 0; i < 2; i++) {
        column.cx = 0;
        column.iOrder = 0;
        SendMessageA(g_hwndList, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
        WriteNumber(sections[i], "Width", column.cx);
        WriteNumber(sections[i], "Order", column.iOrder);
    }
}
