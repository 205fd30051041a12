// The event log a test reads back through the control pipe. Every line is
//   t=<us since host start> abs=<us of system time> <event> key=value ...
// "t" comes from QueryPerformanceCounter, for durations within one host; "abs"
// from the precise system time, so that events of different processes can be
// put in order. Lines come from the UI thread and from the pipe thread, so the
// log is guarded by a critical section.
#include "host.h"

#include <stdarg.h>
#include <stdio.h>
#include <vector>

static LARGE_INTEGER s_clockStart;      // performance counter at host start
static LARGE_INTEGER s_clockFrequency;  // counts per second
static CRITICAL_SECTION s_logLock;      // guards s_lines and s_logFile
static std::vector<std::string> s_lines;
static HANDLE s_logFile = INVALID_HANDLE_VALUE;  // optional copy of the log on disk

void InitClock()
{
    QueryPerformanceFrequency(&s_clockFrequency);
    QueryPerformanceCounter(&s_clockStart);
    InitializeCriticalSection(&s_logLock);
}

long long NowMicros()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    long long ticks = now.QuadPart - s_clockStart.QuadPart;
    return ticks / s_clockFrequency.QuadPart * 1000000 +
           ticks % s_clockFrequency.QuadPart * 1000000 / s_clockFrequency.QuadPart;
}

long long AbsMicros()
{
    FILETIME ft;
    GetSystemTimePreciseAsFileTime(&ft);
    ULARGE_INTEGER v;
    v.LowPart = ft.dwLowDateTime;
    v.HighPart = ft.dwHighDateTime;
    return (long long)(v.QuadPart / 10);
}

void OpenLogFile(const std::string &path)
{
    s_logFile = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

void LogEvent(const char *event, const char *fmt, ...)
{
    if (g_options.quiet)
        return;
    long long t = NowMicros(), abs = AbsMicros();
    std::string line = Format("t=%lld abs=%lld %s", t, abs, event);
    if (fmt && *fmt) {
        char small[1024];
        va_list args;
        va_start(args, fmt);
        int n = vsnprintf(small, sizeof small, fmt, args);
        va_end(args);
        line += ' ';
        if (n >= 0 && (size_t)n < sizeof small) {
            line.append(small, n);
        } else if (n >= 0) {
            std::string big(n + 1, '\0');
            va_start(args, fmt);
            vsnprintf(&big[0], big.size(), fmt, args);
            va_end(args);
            line.append(big.c_str(), n);
        }
    }
    EnterCriticalSection(&s_logLock);
    s_lines.push_back(line);
    if (s_logFile != INVALID_HANDLE_VALUE) {
        std::string withNewline = line + "\n";
        DWORD written;
        WriteFile(s_logFile, withNewline.data(), (DWORD)withNewline.size(), &written, nullptr);
    }
    LeaveCriticalSection(&s_logLock);
}

std::string LogSnapshot()
{
    EnterCriticalSection(&s_logLock);
    std::string out;
    for (const std::string &line : s_lines) {
        out += line;
        out += '\n';
    }
    size_t count = s_lines.size();
    LeaveCriticalSection(&s_logLock);
    return Format("ok lines=%zu\n", count) + out;
}

void LogClear()
{
    EnterCriticalSection(&s_logLock);
    s_lines.clear();
    LeaveCriticalSection(&s_logLock);
}
