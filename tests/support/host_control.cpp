// Test-side control of the stand-in host; see host_control.h.
#include "host_control.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

namespace poko {

namespace {

// "key=value key=value ..." after the first `skip` words; words without '=' are ignored.
std::map<std::string, std::string> ParseFields(const std::string &line, size_t skip, std::vector<std::string> *head)
{
    std::map<std::string, std::string> fields;
    size_t i = 0, word = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ') ++i;
        if (i == start) break;
        std::string token = line.substr(start, i - start);
        if (word++ < skip) {
            if (head) head->push_back(token);
            continue;
        }
        size_t eq = token.find('=');
        if (eq != std::string::npos) fields[token.substr(0, eq)] = token.substr(eq + 1);
    }
    return fields;
}

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string FirstWord(const std::string &line)
{
    return line.substr(0, line.find(' '));
}

long long Number(const std::string &text)
{
    return text.empty() ? 0 : strtoll(text.c_str(), nullptr, 0);
}

std::vector<std::string> SplitCommas(const std::string &text)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return parts;
}

RECT ParseRect(const std::string &text)
{
    RECT r = {};
    std::vector<std::string> p = SplitCommas(text);
    if (p.size() == 4) {
        r.left = (LONG)Number(p[0]);
        r.top = (LONG)Number(p[1]);
        r.right = (LONG)Number(p[2]);
        r.bottom = (LONG)Number(p[3]);
    }
    return r;
}

std::string Field(const std::map<std::string, std::string> &f, const char *key)
{
    auto it = f.find(key);
    return it == f.end() ? std::string() : it->second;
}

std::string Quote(const std::string &arg)
{
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') out.append(backslashes * 2 + 1, '\\');
        else out.append(backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

std::string Env(const char *name)
{
    char value[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

// Waits for handle (or only pumps when it is null) up to timeoutMs, handling this
// thread's messages meanwhile, so a host that sends to a window of the test
// cannot deadlock against it.
bool WaitPumping(HANDLE handle, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return handle && WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
        DWORD r = MsgWaitForMultipleObjects(handle ? 1 : 0, handle ? &handle : nullptr, FALSE, timeoutMs - elapsed,
                                            QS_ALLINPUT);
        if (handle && r == WAIT_OBJECT_0) return true;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (!handle && r == WAIT_TIMEOUT) return false;
    }
}

// One overlapped read or write on the pipe, bounded by the deadline.
bool PipeIo(HANDLE pipe, bool write, void *buffer, DWORD size, DWORD *done, DWORD deadline, bool *moreData)
{
    OVERLAPPED ov = {};
    ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    BOOL ok = write ? WriteFile(pipe, buffer, size, nullptr, &ov) : ReadFile(pipe, buffer, size, nullptr, &ov);
    DWORD err = ok ? ERROR_SUCCESS : GetLastError();
    if (!ok && err == ERROR_IO_PENDING) {
        DWORD now = GetTickCount();
        DWORD left = (LONG)(deadline - now) > 0 ? deadline - now : 0;
        if (!WaitPumping(ov.hEvent, left)) {
            CancelIo(pipe);
            GetOverlappedResult(pipe, &ov, done, TRUE);
            CloseHandle(ov.hEvent);
            return false;
        }
    } else if (!ok && err != ERROR_MORE_DATA) {
        CloseHandle(ov.hEvent);
        return false;
    }
    ok = GetOverlappedResult(pipe, &ov, done, TRUE);
    *moreData = !ok && GetLastError() == ERROR_MORE_DATA;
    CloseHandle(ov.hEvent);
    return ok || *moreData;
}

}  // namespace

std::string LogEvent::Get(const std::string &key) const
{
    auto it = values.find(key);
    return it == values.end() ? std::string() : it->second;
}

long long LogEvent::Num(const std::string &key) const { return Number(Get(key)); }
HWND LogEvent::Hwnd(const std::string &key) const { return ParseHwnd(Get(key)); }
std::string LogEvent::Bytes(const std::string &key) const { return HexDecode(Get(key)); }

const DialogControl *DialogInfo::FindControl(int id) const
{
    for (const DialogControl &c : controls)
        if (c.id == id) return &c;
    return nullptr;
}

const DialogControl *DialogInfo::FindClass(const std::string &className) const
{
    for (const DialogControl &c : controls)
        if (lstrcmpiA(c.className.c_str(), className.c_str()) == 0) return &c;
    return nullptr;
}

std::string HexEncode(const std::string &bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::string HexDecode(const std::string &hex)
{
    auto digit = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        int hi = digit(hex[i]), lo = digit(hex[i + 1]);
        if (hi < 0 || lo < 0) break;
        out += static_cast<char>(hi * 16 + lo);
    }
    return out;
}

std::string FormatHwnd(HWND hwnd)
{
    char text[32];
    snprintf(text, sizeof text, "0x%llX", (unsigned long long)(uintptr_t)hwnd);
    return text;
}

HWND ParseHwnd(const std::string &text)
{
    return reinterpret_cast<HWND>((uintptr_t)strtoull(text.c_str(), nullptr, 0));
}

long long AbsMicrosNow()
{
    FILETIME ft;
    GetSystemTimePreciseAsFileTime(&ft);
    ULARGE_INTEGER v;
    v.LowPart = ft.dwLowDateTime;
    v.HighPart = ft.dwHighDateTime;
    return (long long)(v.QuadPart / 10);
}

bool WaitUntil(const std::function<bool()> &predicate, DWORD timeoutMs, DWORD pollMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (predicate()) return true;
        if (GetTickCount() - start >= timeoutMs) return predicate();
        WaitPumping(nullptr, pollMs);
    }
}

void PumpFor(DWORD ms)
{
    WaitPumping(nullptr, ms);
}

std::string TestProgramFolder()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, n);
    size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".\\") : folder.substr(0, slash + 1);
}

std::string HostExePath()
{
    std::string env = Env("POKO_HOST_EXE");
    return env.empty() ? TestProgramFolder() + "standin_host.exe" : env;
}

std::string PluginDllPath(const std::string &folder)
{
    std::string env = Env("POKO_DLL");
    if (!env.empty()) return env;
    std::string dir = folder.empty() ? TestProgramFolder() : folder;
    if (dir.back() != '\\' && dir.back() != '/') dir += '\\';
    return dir + "PokoSw.dll";
}

// ---- Host ----

Host::~Host()
{
    if (process_) Quit();
}

bool Host::Running() const
{
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

void Host::Close()
{
    if (process_ && WaitForSingleObject(process_, 0) == WAIT_OBJECT_0) GetExitCodeProcess(process_, &exitCode_);
    if (process_) CloseHandle(process_);
    process_ = nullptr;
}

bool Host::Start(const HostOptions &options, DWORD timeoutMs)
{
    static LONG counter;
    if (process_) {
        error_ = "already started";
        return false;
    }
    name_ = options.name;
    if (name_.empty()) {
        char generated[64];
        snprintf(generated, sizeof generated, "t%lu-%ld", (unsigned long)GetCurrentProcessId(),
                 InterlockedIncrement(&counter));
        name_ = generated;
    }
    pipeName_ = "\\\\.\\pipe\\pokohost." + name_;
    std::string exe = options.hostExe.empty() ? HostExePath() : options.hostExe;
    std::string dll = options.dll.empty() ? PluginDllPath() : options.dll;

    std::string cmd = Quote(exe) + " --dll " + Quote(dll) + " --name " + Quote(name_);
    auto add = [&](const char *opt, const std::string &value) {
        if (!value.empty()) cmd += std::string(" ") + opt + " " + Quote(value);
    };
    add("--path-hex", options.pathHex);
    add("--show", options.show);
    add("--menu", options.menu);
    add("--top", options.top);
    add("--respond", options.respond);
    if (options.noListView) cmd += " --no-listview";
    if (options.markSenders) cmd += " --mark-senders";
    for (const std::string &arg : options.extraArgs) cmd += " " + Quote(arg);

    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back('\0');
    if (!CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        error_ = "CreateProcess failed for " + cmd + ": error " + std::to_string(GetLastError());
        return false;
    }
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    exitCode_ = STILL_ACTIVE;
    pid_ = pi.dwProcessId;

    DWORD start = GetTickCount();
    std::string reply;
    while (GetTickCount() - start < timeoutMs) {
        if (!Running()) {
            Close();
            error_ = "host exited with code " + std::to_string(exitCode_) + " before it was ready: " + cmd;
            return false;
        }
        reply = Command("ready", 2000);
        if (FirstWord(reply) == "ok") {
            hwnd_ = ParseHwnd(ParseFields(reply, 1, nullptr)["hwnd"]);
            return true;
        }
        PumpFor(50);
    }
    error_ = "host did not answer \"ready\" in time (last reply: " + reply + "): " + cmd;
    TerminateProcess(process_, 1);
    Close();
    return false;
}

std::string Host::Command(const std::string &line, DWORD timeoutMs)
{
    DWORD deadline = GetTickCount() + (timeoutMs ? timeoutMs : commandTimeoutMs_);
    HANDLE pipe = INVALID_HANDLE_VALUE;
    for (;;) {
        pipe = CreateFileA(pipeName_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OVERLAPPED, nullptr);
        if (pipe != INVALID_HANDLE_VALUE) break;
        DWORD err = GetLastError();
        if ((LONG)(deadline - GetTickCount()) <= 0)
            return "error cannot open " + pipeName_ + ": error " + std::to_string(err);
        if (process_ && !Running()) return "error host has exited";
        if (err == ERROR_PIPE_BUSY) WaitNamedPipeA(pipeName_.c_str(), 50);
        else PumpFor(20);
    }
    DWORD mode = PIPE_READMODE_MESSAGE;
    SetNamedPipeHandleState(pipe, &mode, nullptr, nullptr);

    std::string request = line;
    DWORD done = 0;
    bool more = false;
    if (!PipeIo(pipe, true, &request[0], (DWORD)request.size(), &done, deadline, &more)) {
        CloseHandle(pipe);
        return "error cannot send the request";
    }
    std::string reply;
    std::vector<char> buffer(1 << 16);
    do {
        done = 0;
        if (!PipeIo(pipe, false, buffer.data(), (DWORD)buffer.size(), &done, deadline, &more)) {
            CloseHandle(pipe);
            return "error no reply to \"" + line + "\" in time";
        }
        reply.append(buffer.data(), done);
    } while (more);
    CloseHandle(pipe);
    return reply;
}

DWORD Host::Quit(DWORD timeoutMs)
{
    if (!process_) return exitCode_;
    if (Running()) {
        std::string reply = Command("quit", timeoutMs);
        if (FirstWord(reply) != "ok" || !WaitPumping(process_, timeoutMs)) {
            Command("quit-hard", 3000);
            if (!WaitPumping(process_, 3000)) TerminateProcess(process_, 99);
            WaitForSingleObject(process_, 5000);
        }
    }
    Close();
    return exitCode_;
}

std::vector<LogEvent> Host::Log()
{
    std::vector<LogEvent> events;
    std::vector<std::string> lines = Lines(Command("log"));
    if (lines.empty() || FirstWord(lines[0]) != "ok") return events;
    for (size_t i = 1; i < lines.size(); ++i) {
        std::vector<std::string> head;
        LogEvent e;
        e.values = ParseFields(lines[i], 3, &head);
        if (head.size() < 3) continue;
        e.t = Number(head[0].substr(head[0].find('=') + 1));
        e.abs = Number(head[1].substr(head[1].find('=') + 1));
        e.event = head[2];
        events.push_back(e);
    }
    return events;
}

std::vector<LogEvent> Host::Log(const std::string &event)
{
    std::vector<LogEvent> matching;
    for (const LogEvent &e : Log())
        if (e.event == event) matching.push_back(e);
    return matching;
}

std::optional<LogEvent> Host::WaitForEvent(const std::string &event, DWORD timeoutMs,
                                           const std::function<bool(const LogEvent &)> &pred)
{
    std::optional<LogEvent> found;
    WaitUntil(
        [&] {
            for (const LogEvent &e : Log(event))
                if (!pred || pred(e)) {
                    found = e;
                    return true;
                }
            return false;
        },
        timeoutMs, 50);
    return found;
}

std::vector<DialogInfo> Host::Dialogs()
{
    std::vector<DialogInfo> dialogs;
    std::vector<std::string> lines = Lines(Command("dialogs"));
    if (lines.empty() || FirstWord(lines[0]) != "ok") return dialogs;
    for (size_t i = 1; i < lines.size(); ++i) {
        std::string kind = FirstWord(lines[i]);
        std::map<std::string, std::string> f = ParseFields(lines[i], 1, nullptr);
        if (kind == "dialog") {
            DialogInfo d;
            d.hwnd = ParseHwnd(Field(f, "hwnd"));
            d.owner = ParseHwnd(Field(f, "owner"));
            d.focus = ParseHwnd(Field(f, "focus"));
            d.caption = HexDecode(Field(f, "caption"));
            d.style = (DWORD)Number(Field(f, "style"));
            d.exStyle = (DWORD)Number(Field(f, "exstyle"));
            d.visible = Field(f, "visible") == "1";
            d.enabled = Field(f, "enabled") == "1";
            d.rect = ParseRect(Field(f, "rect"));
            std::vector<std::string> client = SplitCommas(Field(f, "client"));
            if (client.size() == 2) {
                d.clientWidth = (int)Number(client[0]);
                d.clientHeight = (int)Number(client[1]);
            }
            dialogs.push_back(d);
        } else if (kind == "control" && !dialogs.empty()) {
            DialogControl c;
            c.hwnd = ParseHwnd(Field(f, "hwnd"));
            c.id = (int)Number(Field(f, "id"));
            c.className = Field(f, "class");
            c.text = HexDecode(Field(f, "text"));
            c.style = (DWORD)Number(Field(f, "style"));
            c.exStyle = (DWORD)Number(Field(f, "exstyle"));
            c.rect = ParseRect(Field(f, "rect"));
            c.visible = Field(f, "visible") == "1";
            c.enabled = Field(f, "enabled") == "1";
            if (f.count("check")) c.check = (int)Number(Field(f, "check"));
            c.icon = reinterpret_cast<HICON>(ParseHwnd(Field(f, "icon")));
            c.isHandIcon = Field(f, "hand") == "1";
            c.listExStyle = (DWORD)Number(Field(f, "lvexstyle"));
            dialogs.back().controls.push_back(c);
        } else if ((kind == "column" || kind == "row") && !dialogs.empty() && !dialogs.back().controls.empty()) {
            DialogControl &list = dialogs.back().controls.back();
            if (kind == "column") {
                ListColumn col;
                col.index = (int)Number(Field(f, "index"));
                col.width = (int)Number(Field(f, "width"));
                col.order = (int)Number(Field(f, "order"));
                col.format = (int)Number(Field(f, "fmt"));
                col.text = HexDecode(Field(f, "text"));
                list.columns.push_back(col);
            } else {
                ListRow row;
                row.index = (int)Number(Field(f, "index"));
                row.state = (unsigned)Number(Field(f, "state"));
                for (const std::string &hex : SplitCommas(Field(f, "texts"))) row.texts.push_back(HexDecode(hex));
                list.rows.push_back(row);
            }
        }
    }
    return dialogs;
}

std::optional<DialogInfo> Host::WaitForDialog(DWORD timeoutMs)
{
    std::optional<DialogInfo> found;
    WaitUntil(
        [&] {
            for (const DialogInfo &d : Dialogs())
                if (d.visible) {
                    found = d;
                    return true;
                }
            return false;
        },
        timeoutMs, 50);
    return found;
}

WindowState Host::State()
{
    WindowState s;
    std::string reply = Command("state");
    if (FirstWord(reply) != "ok") return s;
    std::map<std::string, std::string> f = ParseFields(reply, 1, nullptr);
    s.hwnd = ParseHwnd(Field(f, "hwnd"));
    s.showCmd = (int)Number(Field(f, "showcmd"));
    s.iconic = Field(f, "iconic") == "1";
    s.zoomed = Field(f, "zoomed") == "1";
    s.visible = Field(f, "visible") == "1";
    s.enabled = Field(f, "enabled") == "1";
    s.foreground = ParseHwnd(Field(f, "foreground"));
    s.active = ParseHwnd(Field(f, "active"));
    s.focus = ParseHwnd(Field(f, "focus"));
    s.activationSeq = Number(Field(f, "seq"));
    s.rect = ParseRect(Field(f, "rect"));
    s.respond = Field(f, "respond");
    s.ownWndProc = Field(f, "own-wndproc") == "1";
    return s;
}

PluginInfo Host::Info()
{
    PluginInfo info;
    std::string reply = Command("info");
    if (FirstWord(reply) != "ok") return info;
    std::map<std::string, std::string> f = ParseFields(reply, 1, nullptr);
    info.result = (int)Number(Field(f, "result"));
    info.version = (unsigned)Number(Field(f, "version"));
    info.info = HexDecode(Field(f, "info"));
    info.notice = HexDecode(Field(f, "notice"));
    info.menuName = HexDecode(Field(f, "menu-name"));
    info.commandId = (int)Number(Field(f, "command-id"));
    return info;
}

// ---- TempDir ----

namespace {

void RemoveTree(const std::string &dir)
{
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((dir + "*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            std::string full = dir + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full + "\\");
            } else {
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    RemoveDirectoryA(dir.c_str());
}

}  // namespace

TempDir::TempDir(const std::string &dllSource, const std::string &dllName) : dllName_(dllName)
{
    static LONG counter;
    char temp[MAX_PATH];
    DWORD n = GetTempPathA(sizeof temp, temp);
    std::string base(temp, n);
    if (base.empty() || base.back() != '\\') base += '\\';
    for (int attempt = 0; attempt < 100 && !ok_; ++attempt) {
        char name[96];
        snprintf(name, sizeof name, "pokotest-%lu-%ld-%lu\\", (unsigned long)GetCurrentProcessId(),
                 InterlockedIncrement(&counter), (unsigned long)GetTickCount());
        path_ = base + name;
        ok_ = CreateDirectoryA(path_.c_str(), nullptr) != FALSE;
    }
    if (!ok_) return;
    std::string source = dllSource.empty() ? PluginDllPath() : dllSource;
    ok_ = CopyFileA(source.c_str(), dll().c_str(), FALSE) != FALSE;
}

TempDir::~TempDir()
{
    if (path_.empty()) return;
    // A host that has only just exited may still hold the DLL for a moment.
    WaitUntil(
        [&] {
            RemoveTree(path_);
            return GetFileAttributesA(path_.c_str()) == INVALID_FILE_ATTRIBUTES;
        },
        3000, 100);
}

}  // namespace poko
