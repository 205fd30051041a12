// Any bytes as a received reply: the copy reads only the received bytes, never
// writes past the reply buffer, and takes a text exactly when it ends within the
// data and fits.
#include <stdint.h>
#include <string.h>
#include <stdlib.h>
#include "exchange/reply_copy.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A heap copy of exactly size bytes, so AddressSanitizer sees any read past it.
    char *received = static_cast<char *>(malloc(size ? size : 1));
    memcpy(received, data, size);
    char *dest = static_cast<char *>(malloc(260));
    memset(dest, 0x7F, 260);

    bool accepted = CopyReplyText(dest, 260, size ? received : nullptr, size);

    const void *nul = size ? memchr(received, 0, size < 260 ? size : 260) : nullptr;
    if (accepted != (nul != nullptr))
        abort();
    if (accepted && strcmp(dest, received) != 0)
        abort();
    if (!accepted && dest[0] != 0x7F)
        abort();
    free(dest);
    free(received);
    return 0;
}
