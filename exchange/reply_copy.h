// Taking a reply's text from another process.
#ifndef POKOSW_REPLY_COPY_H
#define POKOSW_REPLY_COPY_H

// Copies a received reply text into dest (destSize bytes). The text must end
// with a NUL within the dataSize bytes received and fit dest whole; otherwise
// nothing is copied and the result is false.
bool CopyReplyText(char *dest, unsigned destSize, const void *data, unsigned long dataSize);

#endif
