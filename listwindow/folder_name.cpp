// Folder-name mode of the rows: C:\Work\Photos\ shows as Photos.
#include "folder_name.h"

void ExtractFolderName(const char *text, char *out, int outSize)
{
    if (outSize <= 0)
        return;
    // Separators are single bytes; a double-byte character is stepped over whole,
    // so the 0x5C second byte of ソ or 表 stays part of its character.
    int lastSeparator = -1;
    int separatorBefore = -1;
    int length = 0;
    while (text[length]) {
        if (IsDBCSLeadByte(static_cast<BYTE>(text[length])) && text[length + 1]) {
            length += 2;
            continue;
        }
        if (text[length] == '\\') {
            separatorBefore = lastSeparator;
            lastSeparator = length;
        }
        length++;
    }

    int start, end;
    if (length > 0 && lastSeparator == length - 1) {
        start = separatorBefore + 1;
        end = lastSeparator;
        if (start == end)
            end++;              // an empty segment shows as the backslash itself
    } else {
        start = lastSeparator + 1;
        end = length;
    }
    int count = end - start;
    if (count > outSize - 1)
        count = outSize - 1;
    for (int i = 0; i < count; i++)
        out[i] = text[start + i];
    out[count] = 0;
}
