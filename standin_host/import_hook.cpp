// Wrappers around the plug-in's imports of SendMessageA, SendMessageTimeoutA
// (USER32) and WaitForSingleObject (KERNEL32), put into the plug-in DLL's import
// address table. They log every call with its arguments as the plug-in gave
// them, the result and the start and end times.
//
// Under --mark-senders the send wrappers also tell the asked instance who is
// asking: no Win32 call lets a window learn which process sent it a message, so
// with several requesters at once the asked host could not put the right one at
// entry 0. The wrapper passes the sender's main window in lParam of the plug-in
// command (which the plug-in sends as 0), and the receiving host puts that
// window first. Only the plug-in's own calls go through the wrappers; the host's
// calls reach USER32 directly.
#include "host.h"

#include <string.h>

typedef LRESULT(WINAPI *SendMessageAProc)(HWND, UINT, WPARAM, LPARAM);
typedef LRESULT(WINAPI *SendMessageTimeoutAProc)(HWND, UINT, WPARAM, LPARAM, UINT, UINT, PDWORD_PTR);
typedef DWORD(WINAPI *WaitForSingleObjectProc)(HANDLE, DWORD);

static SendMessageAProc s_realSendMessageA;            // what the plug-in's import pointed at
static SendMessageTimeoutAProc s_realSendMessageTimeoutA;
static WaitForSingleObjectProc s_realWaitForSingleObject;

// lParam to pass on for a send of the plug-in: the sender's own main window for
// the plug-in's command to another instance under --mark-senders, else as given.
static LPARAM MarkedLParam(HWND target, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!g_options.markSenders || msg != WM_COMMAND || g_pluginCommandId == 0) return lParam;
    if (LOWORD(wParam) != g_pluginCommandId || target == g_hwndMain || !IsInstanceWindow(target)) return lParam;
    return reinterpret_cast<LPARAM>(g_hwndMain);
}

// For WM_COPYDATA, what the plug-in is sending: " dwdata= cb= data=".
static std::string CopyDataFields(UINT msg, LPARAM lParam)
{
    if (msg != WM_COPYDATA || !lParam) return std::string();
    const COPYDATASTRUCT *cds = reinterpret_cast<const COPYDATASTRUCT *>(lParam);
    DWORD shown = cds->cbData < 1024 ? cds->cbData : 1024;
    return Format(" dwdata=%llu cb=%lu data=%s", (unsigned long long)cds->dwData, (unsigned long)cds->cbData,
                  cds->lpData ? HexBytes(cds->lpData, shown).c_str() : "");
}

// Sends to the plug-in's own dialogs and controls (list-view messages, mostly)
// are passed straight on: only what crosses to another process is logged, and
// logging every row's messages would weigh on the time the benchmark measures.
static bool CrossesProcesses(HWND target)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(target, &pid);
    return pid != GetCurrentProcessId();
}

static LRESULT WINAPI HookedSendMessageA(HWND target, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!CrossesProcesses(target))
        return s_realSendMessageA(target, msg, wParam, lParam);
    LPARAM passed = MarkedLParam(target, msg, wParam, lParam);
    std::string data = CopyDataFields(msg, lParam);
    long long start = NowMicros(), startAbs = AbsMicros();
    LogEvent("send-begin", "api=SendMessageA target=%s msg=0x%X wparam=%s lparam=%s",
             FormatHwnd(target).c_str(), msg, FormatHwnd(reinterpret_cast<HWND>(wParam)).c_str(),
             FormatHwnd(reinterpret_cast<HWND>(lParam)).c_str());
    LRESULT result = s_realSendMessageA(target, msg, wParam, passed);
    long long end = NowMicros(), endAbs = AbsMicros();
    // "reply" is what the target's procedure returned, the same field for both send functions.
    LogEvent("send", "api=SendMessageA target=%s msg=0x%X wparam=%s lparam=%s passed-lparam=%s result=%s reply=%s "
             "start=%lld end=%lld start-abs=%lld end-abs=%lld%s",
             FormatHwnd(target).c_str(), msg, FormatHwnd(reinterpret_cast<HWND>(wParam)).c_str(),
             FormatHwnd(reinterpret_cast<HWND>(lParam)).c_str(), FormatHwnd(reinterpret_cast<HWND>(passed)).c_str(),
             FormatHwnd(reinterpret_cast<HWND>(result)).c_str(), FormatHwnd(reinterpret_cast<HWND>(result)).c_str(),
             start, end, startAbs, endAbs, data.c_str());
    return result;
}

static LRESULT WINAPI HookedSendMessageTimeoutA(HWND target, UINT msg, WPARAM wParam, LPARAM lParam, UINT flags,
                                               UINT timeout, PDWORD_PTR messageResult)
{
    LPARAM passed = MarkedLParam(target, msg, wParam, lParam);
    std::string data = CopyDataFields(msg, lParam);
    long long start = NowMicros(), startAbs = AbsMicros();
    LogEvent("send-begin", "api=SendMessageTimeoutA target=%s msg=0x%X wparam=%s lparam=%s timeout=%u",
             FormatHwnd(target).c_str(), msg, FormatHwnd(reinterpret_cast<HWND>(wParam)).c_str(),
             FormatHwnd(reinterpret_cast<HWND>(lParam)).c_str(), timeout);
    DWORD_PTR ownResult = 0;
    LRESULT result = s_realSendMessageTimeoutA(target, msg, wParam, passed, flags, timeout, &ownResult);
    DWORD error = GetLastError();
    if (messageResult) *messageResult = ownResult;
    long long end = NowMicros(), endAbs = AbsMicros();
    LogEvent("send", "api=SendMessageTimeoutA target=%s msg=0x%X wparam=%s lparam=%s passed-lparam=%s flags=0x%X "
             "timeout=%u result=%s reply=%s error=%lu start=%lld end=%lld start-abs=%lld end-abs=%lld%s",
             FormatHwnd(target).c_str(), msg, FormatHwnd(reinterpret_cast<HWND>(wParam)).c_str(),
             FormatHwnd(reinterpret_cast<HWND>(lParam)).c_str(), FormatHwnd(reinterpret_cast<HWND>(passed)).c_str(),
             flags, timeout, FormatHwnd(reinterpret_cast<HWND>(result)).c_str(),
             FormatHwnd(reinterpret_cast<HWND>(ownResult)).c_str(), (unsigned long)error, start, end, startAbs,
             endAbs, data.c_str());
    SetLastError(error);
    return result;
}

static DWORD WINAPI HookedWaitForSingleObject(HANDLE handle, DWORD timeout)
{
    long long start = NowMicros(), startAbs = AbsMicros();
    DWORD result = s_realWaitForSingleObject(handle, timeout);
    DWORD error = GetLastError();
    long long end = NowMicros(), endAbs = AbsMicros();
    LogEvent("wait", "handle=%s timeout=%lu result=0x%lX start=%lld end=%lld start-abs=%lld end-abs=%lld",
             FormatHwnd(reinterpret_cast<HWND>(handle)).c_str(), (unsigned long)timeout, (unsigned long)result,
             start, end, startAbs, endAbs);
    SetLastError(error);
    return result;
}

// Replaces every import of dllName!function in module's import address table.
// An entry is recognised by its name where the import name table is present,
// else by the address the loader put there. Returns how many entries changed.
static int PatchImport(HMODULE module, const char *dllName, const char *function, void *replacement,
                       void **original)
{
    BYTE *base = reinterpret_cast<BYTE *>(module);
    const IMAGE_DOS_HEADER *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
    const IMAGE_NT_HEADERS *nt = reinterpret_cast<const IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY &dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress) return 0;

    void *resolved = reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA(dllName), function));
    int patched = 0;
    for (const IMAGE_IMPORT_DESCRIPTOR *imp = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR *>(base + dir.VirtualAddress);
         imp->Name; ++imp) {
        if (lstrcmpiA(reinterpret_cast<const char *>(base + imp->Name), dllName) != 0) continue;
        IMAGE_THUNK_DATA *iat = reinterpret_cast<IMAGE_THUNK_DATA *>(base + imp->FirstThunk);
        const IMAGE_THUNK_DATA *names =
            imp->OriginalFirstThunk ? reinterpret_cast<const IMAGE_THUNK_DATA *>(base + imp->OriginalFirstThunk) : nullptr;
        for (size_t i = 0; iat[i].u1.Function; ++i) {
            bool match;
            if (names && !IMAGE_SNAP_BY_ORDINAL(names[i].u1.Ordinal)) {
                const IMAGE_IMPORT_BY_NAME *byName =
                    reinterpret_cast<const IMAGE_IMPORT_BY_NAME *>(base + names[i].u1.AddressOfData);
                match = strcmp(reinterpret_cast<const char *>(byName->Name), function) == 0;
            } else {
                match = resolved && reinterpret_cast<void *>(iat[i].u1.Function) == resolved;
            }
            if (!match) continue;
            void **slot = reinterpret_cast<void **>(&iat[i].u1.Function);
            DWORD oldProtect;
            if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &oldProtect)) continue;
            if (!*original) *original = *slot;
            *slot = replacement;
            VirtualProtect(slot, sizeof *slot, oldProtect, &oldProtect);
            ++patched;
        }
    }
    return patched;
}

std::string InstallImportHooks(HMODULE module)
{
    void *sendOriginal = nullptr, *timeoutOriginal = nullptr, *waitOriginal = nullptr;
    int sends = PatchImport(module, "user32.dll", "SendMessageA", reinterpret_cast<void *>(HookedSendMessageA),
                            &sendOriginal);
    int timeouts = PatchImport(module, "user32.dll", "SendMessageTimeoutA",
                               reinterpret_cast<void *>(HookedSendMessageTimeoutA), &timeoutOriginal);
    int waits = PatchImport(module, "kernel32.dll", "WaitForSingleObject",
                            reinterpret_cast<void *>(HookedWaitForSingleObject), &waitOriginal);
    // The host's own pointers are the fallback, so a wrapper always has somewhere to go.
    s_realSendMessageA = sendOriginal ? reinterpret_cast<SendMessageAProc>(sendOriginal) : SendMessageA;
    s_realSendMessageTimeoutA =
        timeoutOriginal ? reinterpret_cast<SendMessageTimeoutAProc>(timeoutOriginal) : SendMessageTimeoutA;
    s_realWaitForSingleObject =
        waitOriginal ? reinterpret_cast<WaitForSingleObjectProc>(waitOriginal) : WaitForSingleObject;
    return Format("hooked-SendMessageA=%d hooked-SendMessageTimeoutA=%d hooked-WaitForSingleObject=%d", sends,
                  timeouts, waits);
}
