// The control pipe \\.\pipe\pokohost.NAME, served by a thread of its own in
// message mode: one request line in, one reply out, then the next client.
//
// Everything that touches windows runs on the UI thread. The pipe thread posts
// the request to the message-only control window; modal dialog loops (the
// plug-in's dialogs, message boxes) dispatch posted messages to every window of
// the thread, so this works while a dialog is open. When the UI thread does not
// take the request within 5 s (blocked in a send or a wait) the reply is "busy"
// and the request is withdrawn, so it never runs late. A few commands need no
// window and are answered here: ready, log, log-clear, info, respond, quit-hard.
#include "host.h"

#include <vector>

enum { UI_WAIT_MS = 5000, PIPE_BUFFER = 1 << 16 };

// One request handed to the UI thread. Whoever sees it last frees it: the pipe
// thread once it has the reply, the UI thread when the pipe thread gave up.
struct ControlRequest {
    enum { Pending, Running, Withdrawn };
    std::string line;
    std::string reply;
    volatile LONG state = Pending;
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ~ControlRequest() { CloseHandle(done); }
};

static HANDLE s_pipe = INVALID_HANDLE_VALUE;  // the one pipe instance, created at start-up
static HANDLE s_quitReplied;                  // set once the reply to "quit" has been written

bool CreateControlPipe(std::string *error)
{
    std::string name = "\\\\.\\pipe\\pokohost." + g_options.name;
    s_pipe = CreateNamedPipeA(name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_FIRST_PIPE_INSTANCE,
                              PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1, PIPE_BUFFER, PIPE_BUFFER,
                              0, nullptr);
    if (s_pipe == INVALID_HANDLE_VALUE) {
        *error = Format("cannot create %s (error %lu): is another host of that name running?", name.c_str(),
                        (unsigned long)GetLastError());
        return false;
    }
    s_quitReplied = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    return true;
}

static std::string FirstWord(const std::string &line)
{
    return line.substr(0, line.find(' '));
}

// Runs on the UI thread, from the control window's procedure.
void RunControlRequest(LPARAM param)
{
    ControlRequest *request = reinterpret_cast<ControlRequest *>(param);
    if (InterlockedCompareExchange(&request->state, ControlRequest::Running, ControlRequest::Pending) !=
        ControlRequest::Pending) {
        delete request;  // withdrawn after the 5 s: the client already got "busy"
        return;
    }
    ActionResult result = RunUserAction(request->line);
    request->reply = result.reply;
    SetEvent(request->done);  // from here on the request belongs to the pipe thread
    if (result.sleepAfterMs) Sleep(result.sleepAfterMs);
    if (result.quitAfter) PostQuitMessage(0);
}

static std::string RunOnUiThread(const std::string &line)
{
    ControlRequest *request = new ControlRequest;
    request->line = line;
    if (!PostMessageA(g_hwndControl, WM_HOST_CONTROL, 0, reinterpret_cast<LPARAM>(request))) {
        delete request;
        return "error cannot post to the UI thread";
    }
    if (WaitForSingleObject(request->done, UI_WAIT_MS) != WAIT_OBJECT_0 &&
        InterlockedCompareExchange(&request->state, ControlRequest::Withdrawn, ControlRequest::Pending) ==
            ControlRequest::Pending) {
        LogEvent("control-busy", "command=%s", FirstWord(line).c_str());
        return "busy";
    }
    // Taken by the UI thread: the reply follows once the command has run.
    WaitForSingleObject(request->done, INFINITE);
    std::string reply = request->reply;
    delete request;
    return reply;
}

// Commands the pipe thread answers itself; everything else goes to the UI thread.
static std::string HandleLine(const std::string &line, bool *exitAfter)
{
    std::string word = FirstWord(line);
    std::string rest = line.size() > word.size() ? line.substr(word.size() + 1) : std::string();
    if (word == "ready")
        return Format("ok hwnd=%s pid=%lu name=%s", FormatHwnd(g_hwndMain).c_str(),
                      (unsigned long)GetCurrentProcessId(), g_options.name.c_str());
    if (word == "log") return LogSnapshot();
    if (word == "log-clear") {
        LogClear();
        return "ok";
    }
    if (word == "info") return PluginInfoReply();
    if (word == "respond") {
        RespondMode mode;
        if (!ParseRespondMode(rest, &mode)) return "error bad respond mode";
        SetRespondMode(mode);
        LogEvent("respond", "mode=%s", FormatRespondMode(mode).c_str());
        return "ok mode=" + FormatRespondMode(mode);
    }
    if (word == "quit-hard") {
        *exitAfter = true;
        return "ok";
    }
    return RunOnUiThread(line);
}

static bool ReadRequest(std::string *line)
{
    std::vector<char> buffer(4096);
    line->clear();
    for (;;) {
        DWORD got = 0;
        BOOL ok = ReadFile(s_pipe, buffer.data(), (DWORD)buffer.size(), &got, nullptr);
        line->append(buffer.data(), got);
        if (ok) break;
        if (GetLastError() != ERROR_MORE_DATA) return false;
    }
    while (!line->empty() && (line->back() == '\n' || line->back() == '\r')) line->pop_back();
    return true;
}

static DWORD WINAPI PipeThread(void *)
{
    for (;;) {
        if (!ConnectNamedPipe(s_pipe, nullptr) && GetLastError() != ERROR_PIPE_CONNECTED) {
            Sleep(10);
            continue;
        }
        std::string line;
        if (ReadRequest(&line)) {
            bool exitAfter = false;
            std::string reply = HandleLine(line, &exitAfter);
            DWORD written;
            WriteFile(s_pipe, reply.data(), (DWORD)reply.size(), &written, nullptr);
            FlushFileBuffers(s_pipe);  // returns once the client has read the reply
            if (exitAfter) {
                LogEvent("quit-hard");
                ExitProcess(3);
            }
            if (line == "quit" && reply.compare(0, 2, "ok") == 0) SetEvent(s_quitReplied);
        }
        DisconnectNamedPipe(s_pipe);
    }
    return 0;
}

void StartControlPipeThread()
{
    CloseHandle(CreateThread(nullptr, 0, PipeThread, nullptr, 0, nullptr));
}

void WaitForQuitReply(DWORD timeoutMs)
{
    WaitForSingleObject(s_quitReplied, timeoutMs);
}
