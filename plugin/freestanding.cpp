// The DLL links no C runtime (a user's Windows may lack the one mingw would
// pick), but the compiler may still emit calls to these for structure copies
// and zero initialisation.
#include <stddef.h>

extern "C" void *memset(void *dest, int value, size_t count)
{
    unsigned char *d = static_cast<unsigned char *>(dest);
    while (count--)
        *d++ = static_cast<unsigned char>(value);
    return dest;
}

extern "C" void *memcpy(void *dest, const void *source, size_t count)
{
    unsigned char *d = static_cast<unsigned char *>(dest);
    const unsigned char *s = static_cast<const unsigned char *>(source);
    while (count--)
        *d++ = *s++;
    return dest;
}
