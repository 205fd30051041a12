// The contract between the host file manager and this plug-in: the record the
// host passes to DoProcess, the menu numbering the plug-in relies on, and the
// two exports. Shared by the plug-in and by the stand-in host used in tests.
#ifndef POKOSW_HOST_CONTRACT_H
#define POKOSW_HOST_CONTRACT_H

#include <windows.h>
#include <stddef.h>

// Passed by pointer to DoProcess. Owned by the host, valid and unchanged until
// that call returns; the plug-in only reads it, and only during the call.
// In the 32-bit product every field is 32 bits wide (offsets 0, 4, 12, 16, 20).
struct HostCallInfo {
    HWND MainWindow;        // in:  main window of the calling instance
    DWORD Reserved[2];      // in:  host's own fields, never read by the plug-in
    HWND *InstanceWindows;  // in:  InstanceCount main windows: the others first, the caller last;
                            //      in a call caused by another instance's request entry 0 is the requester
    int InstanceCount;      // in:  running instances, the caller included; at least 1
    const char *CurrentPath;// in:  caller's folder, NUL-terminated Shift-JIS, at most 259 bytes;
                            //      a file-system folder ends with '\', a virtual folder is ""
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(HostCallInfo, MainWindow) == 0, "MainWindow at offset 0");
static_assert(offsetof(HostCallInfo, Reserved) == 4, "two host fields at offset 4");
static_assert(offsetof(HostCallInfo, InstanceWindows) == 12, "InstanceWindows at offset 12");
static_assert(offsetof(HostCallInfo, InstanceCount) == 16, "InstanceCount at offset 16");
static_assert(offsetof(HostCallInfo, CurrentPath) == 20, "CurrentPath at offset 20");
static_assert(sizeof(HostCallInfo) == 24, "record of 24 bytes");
#endif

// Command id of the first item of a group in the host's plug-in popup; an item's id
// is this plus its position after the nearest separator above it.
enum { PLUGIN_COMMAND_BASE = 33100 };

// Version reported to the host, and the default of the settings "Version" key.
enum { PLUGIN_VERSION = 200 };

// The exports, standard calling convention, plain names (ordinals 1 and 2).
extern "C" {
typedef int (WINAPI *GetFunctionInfoProc)(char *info, char *notice, unsigned short *version);
typedef int (WINAPI *DoProcessProc)(HostCallInfo *info);
}

#endif
