// The instance list dialog and its rows.
#ifndef POKOSW_INSTANCE_LIST_H
#define POKOSW_INSTANCE_LIST_H

#include <windows.h>
#include <commctrl.h>

// Dialog procedure of the list dialog (template IDD_INSTANCE_LIST).
INT_PTR CALLBACK InstanceListDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void SetupColumns();
void LayoutInstanceList(HWND dialog);
void ActivateSelectedAndClose(HWND dialog);
void CloseInstanceList(HWND dialog);

// Upper-left corner that centres a window of width by height in the work area;
// each half is truncated toward zero on its own.
POINT CentredOrigin(const RECT *workArea, int width, int height);

// Rows: one per instance, the caller last.
void FillInstanceList();
void AddPathRow(LVITEMA *item, const char *text);
void SetStateCell(LVITEMA *item, HWND window);

#endif
