// Where the settings file lives: beside the DLL, found by its own file name.
#include "settings.h"
#include "../plugin/globals.h"

bool ComposeSettingsPath(const char *path, const char *fileName, char *out, int outSize)
{
    // Drive and directory up to the last '\' or '/'. The path is in the ANSI code
    // page, so a lead byte and the byte after it are one character: the second
    // byte 0x5C of 表 is not a separator.
    int directoryEnd = (path[0] && path[1] == ':') ? 2 : 0;
    for (int i = directoryEnd; path[i]; ) {
        if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && path[i + 1]) {
            i += 2;
            continue;
        }
        if (path[i] == '\\' || path[i] == '/')
            directoryEnd = i + 1;
        i++;
    }
    int nameLength = lstrlenA(fileName);
    if (outSize <= 0)
        return false;
    if (directoryEnd + nameLength + 1 > outSize) {
        out[0] = 0;         // a cut path would name another file
        return false;
    }
    for (int i = 0; i < directoryEnd; i++)
        out[i] = path[i];
    lstrcpyA(out + directoryEnd, fileName);
    return true;
}

void BuildSettingsPath(const char *moduleName, const char *fileName, char *out, int outSize)
{
    // With no module of that name (the DLL was renamed) the handle is 0 and the
    // path is the host executable's.
    char modulePath[PATH_BUFFER_SIZE];
    DWORD length = GetModuleFileNameA(GetModuleHandleA(moduleName), modulePath, sizeof modulePath);
    if (length == 0 || length >= sizeof modulePath) {
        if (outSize > 0)
            out[0] = 0;     // the path did not fit and was cut
        return;
    }
    ComposeSettingsPath(modulePath, fileName, out, outSize);
}
