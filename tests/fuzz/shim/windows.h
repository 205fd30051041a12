// Just enough of the Windows API for the native fuzz builds of the byte
// routines: the lead-byte test of code page 932, which the systems served run.
#ifndef POKOSW_FUZZ_SHIM_WINDOWS_H
#define POKOSW_FUZZ_SHIM_WINDOWS_H

typedef unsigned char BYTE;
typedef int BOOL;

static inline BOOL IsDBCSLeadByte(BYTE c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

#endif
