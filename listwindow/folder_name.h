// Folder-name mode of the rows.
#ifndef POKOSW_FOLDER_NAME_H
#define POKOSW_FOLDER_NAME_H

#include <windows.h>

// The last folder name of a Shift-JIS path, into out (outSize bytes): for a text
// ending in '\' the segment before that backslash (the backslash itself when the
// segment is empty), otherwise the segment after the last backslash. A trail byte
// 0x5C of a double-byte character is not a separator.
void ExtractFolderName(const char *text, char *out, int outSize);

#endif
