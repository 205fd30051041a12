// A reply comes from another process, so its bytes are untrusted: only the
// dataSize bytes that Windows copied over may be read, and a text that does not
// end within them, or does not fit the reply buffer, is refused rather than cut
// (a cut folder would name another folder).
#include "reply_copy.h"

bool CopyReplyText(char *dest, unsigned destSize, const void *data, unsigned long dataSize)
{
    if (!data || destSize == 0)
        return false;
    const char *text = static_cast<const char *>(data);
    unsigned long limit = dataSize < destSize ? dataSize : destSize;
    unsigned long length = 0;
    while (length < limit && text[length] != 0)
        length++;
    if (length == limit)        // no NUL within the data, or the text does not fit
        return false;
    for (unsigned long i = 0; i <= length; i++)
        dest[i] = text[i];
    return true;
}
