// The settings file POKOSW.INI beside the plug-in, and the settings dialog.
#ifndef POKOSW_SETTINGS_H
#define POKOSW_SETTINGS_H

#include <windows.h>

// All eight fields 0, then Version = PLUGIN_VERSION.
void ResetSettings();
// Finds the file; creates it on first use, otherwise reads seven fields.
void LoadSettings();
// The directory of the loaded module moduleName (of the process's executable
// when no such module is loaded) followed by fileName. out is "" when the result
// would not fit outSize bytes.
void BuildSettingsPath(const char *moduleName, const char *fileName, char *out, int outSize);
// The directory part of path (double-byte aware) followed by fileName; false and
// out "" when that does not fit outSize bytes.
bool ComposeSettingsPath(const char *path, const char *fileName, char *out, int outSize);
void SaveState();
void SaveListLayout(HWND listDialog);

// Dialog procedure of the settings dialog (template IDD_SETTINGS).
INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void SettingsToCheckboxes(HWND dialog);
void CheckboxesToSettings(HWND dialog);

#endif
