// Any Shift-JIS-ish text of up to 259 bytes: the folder name stays within its
// buffer and equals the segment found by a second, plainer reading of the text
// as a list of characters.
#include <stdint.h>
#include <string.h>
#include <stdlib.h>
#include <string>
#include <vector>
#include <windows.h>
#include "listwindow/folder_name.h"

// The text cut into characters (one or two bytes each); the name is the last
// segment between separators, the one before a final separator.
static std::string ExpectedName(const std::string &text)
{
    std::vector<std::string> segments(1);
    bool endsInSeparator = false;
    for (size_t i = 0; i < text.size();) {
        size_t width = (IsDBCSLeadByte(static_cast<BYTE>(text[i])) && i + 1 < text.size()) ? 2 : 1;
        std::string ch = text.substr(i, width);
        i += width;
        endsInSeparator = (ch == "\\");
        if (endsInSeparator)
            segments.emplace_back();
        else
            segments.back() += ch;
    }
    if (!endsInSeparator)
        return segments.back();
    const std::string &beforeSeparator = segments[segments.size() - 2];
    return beforeSeparator.empty() ? "\\" : beforeSeparator;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 259)
        size = 259;
    char *text = static_cast<char *>(malloc(size + 1));
    memcpy(text, data, size);
    text[size] = 0;
    std::string source(text);
    if (source.empty()) {
        free(text);
        return 0;
    }

    char *out = static_cast<char *>(malloc(260));
    ExtractFolderName(text, out, 260);
    if (ExpectedName(source) != out)
        abort();

    // A small buffer is never overrun and holds the start of the name.
    char *small = static_cast<char *>(malloc(4));
    ExtractFolderName(text, small, 4);
    if (std::string(out).substr(0, 3) != small)
        abort();
    free(small);
    free(out);
    free(text);
    return 0;
}
