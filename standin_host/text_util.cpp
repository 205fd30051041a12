// Small text helpers of the control protocol: hex bytes, window handles in
// 0x%llX form, numbers, printf into a std::string.
#include "host.h"

#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

std::string HexBytes(const void *data, size_t size)
{
    static const char digits[] = "0123456789abcdef";
    const unsigned char *p = static_cast<const unsigned char *>(data);
    std::string out;
    out.reserve(size * 2);
    for (size_t i = 0; i < size; ++i) {
        out += digits[p[i] >> 4];
        out += digits[p[i] & 15];
    }
    return out;
}

static int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool HexToBytes(const std::string &hex, std::string *bytes)
{
    if (hex.size() % 2) return false;
    std::string out;
    for (size_t i = 0; i < hex.size(); i += 2) {
        int hi = HexDigit(hex[i]), lo = HexDigit(hex[i + 1]);
        if (hi < 0 || lo < 0) return false;
        out += static_cast<char>(hi * 16 + lo);
    }
    *bytes = out;
    return true;
}

std::string FormatHwnd(HWND hwnd)
{
    return Format("0x%llX", (unsigned long long)(uintptr_t)hwnd);
}

bool ParseHwnd(const std::string &text, HWND *hwnd)
{
    if (text.empty()) return false;
    char *end = nullptr;
    unsigned long long value = strtoull(text.c_str(), &end, 0);
    if (*end) return false;
    *hwnd = reinterpret_cast<HWND>((uintptr_t)value);
    return true;
}

bool ParseInt(const std::string &text, long long *value)
{
    if (text.empty()) return false;
    char *end = nullptr;
    long long v = strtoll(text.c_str(), &end, 0);
    if (*end) return false;
    *value = v;
    return true;
}

std::string Format(const char *fmt, ...)
{
    char small[512];
    va_list args;
    va_start(args, fmt);
    int n = vsnprintf(small, sizeof small, fmt, args);
    va_end(args);
    if (n < 0) return std::string();
    if ((size_t)n < sizeof small) return std::string(small, n);
    std::string big(n + 1, '\0');
    va_start(args, fmt);
    vsnprintf(&big[0], big.size(), fmt, args);
    va_end(args);
    big.resize(n);
    return big;
}
