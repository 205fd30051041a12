// Resource and control numbers shared by PokoSw.rc and the plug-in's code.
#ifndef POKOSW_RESOURCE_IDS_H
#define POKOSW_RESOURCE_IDS_H

// Instance list dialog: the list, OK, Cancel and the settings button.
#define IDD_INSTANCE_LIST       101
#define IDC_INSTANCE_LIST       1000
#define IDC_SETTINGS_BUTTON     1001

// Settings dialog: two check boxes, a note, OK and Cancel.
#define IDD_SETTINGS            102
#define IDC_SHOW_FOLDER_NAME    1002
#define IDC_SWITCH_WITHOUT_LIST 1003

#endif
