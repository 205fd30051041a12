// The stand-in host: a small Win32 program that plays the file manager for the
// plug-in under test. It loads the plug-in DLL, puts it into its menu, routes
// the plug-in's command to DoProcess the way the host contract describes, and
// lets a test drive it through a named control pipe. This header holds the
// process-wide state and the functions the files of the host share.
#ifndef POKO_STANDIN_HOST_H
#define POKO_STANDIN_HOST_H

#include <windows.h>
#include <string>

#include "../plugin/host_contract.h"

// Window class of every instance's main window; instances find each other by it.
#define HOST_WINDOW_CLASS "PokoStandInHost"
// Window class of the message-only window that runs control requests on the UI thread.
#define HOST_CONTROL_CLASS "PokoStandInHostControl"

// Private messages of the host's own windows.
enum {
    WM_HOST_CHOOSE = WM_APP + 1,    // main window: make the requester call (posted by "choose";
                                    // wParam 1: with another window of the thread active)
    WM_HOST_CONTROL = WM_APP + 2,   // control window: lParam is a ControlRequest* from the pipe thread
    WM_HOST_BARE_REQUEST = WM_APP + 3, // main window, from another host: answer wParam with a WM_COPYDATA
};

// Byte offset of the activation sequence number in the main window's extra bytes.
enum { ACTIVATION_SEQ_OFFSET = 0 };

// Longest folder text accepted on the command line (the contract allows 259 bytes;
// longer texts are accepted so a test can hand the plug-in one).
enum { HOST_MAX_PATH_BYTES = 1023 };

// How the host treats the plug-in's command when another process sends it.
struct RespondMode {
    enum Kind { Normal, Silent, Hang, Late, Hostile, AskBack } kind = Normal;
    DWORD ms = 0;           // Hang, Late: the delay
    std::string hostile;    // Hostile: oversize, long260, exact259, nonul, dwdata, wparam, empty
};

// Everything the command line sets.
struct HostOptions {
    std::string dllPath;
    std::string name;
    std::string path = "C:\\";     // current folder, raw Shift-JIS bytes
    int showCmd = SW_SHOWNORMAL;
    std::string menuLayout = "x,-,P";
    std::string topLayout = "file,plugin";
    bool noListView = false;
    bool markSenders = false;
    bool quiet = false;            // keep no event log (the benchmark's answering instances)
    bool ghost = false;            // requester records start with a window that no longer exists
    RespondMode respond;
    std::string logFile;           // also append every log line to this file
};

// floors.cpp: the benchmark's floors
void AnswerBareRequest(HWND sender);
std::string BareRequests(HWND target, int count);
std::string BareDialog();

// command_line.cpp
bool ParseCommandLine(int argc, char **argv, HostOptions *options, std::string *error);
bool ParseRespondMode(const std::string &text, RespondMode *mode);
std::string FormatRespondMode(const RespondMode &mode);

// text_util.cpp
std::string HexBytes(const void *data, size_t size);
bool HexToBytes(const std::string &hex, std::string *bytes);
std::string FormatHwnd(HWND hwnd);
bool ParseHwnd(const std::string &text, HWND *hwnd);
bool ParseInt(const std::string &text, long long *value);
std::string Format(const char *fmt, ...) __attribute__((format(gnu_printf, 1, 2)));

// event_log.cpp
void InitClock();
long long NowMicros();              // since host start, QueryPerformanceCounter
long long AbsMicros();              // system time in microseconds, comparable across processes
void OpenLogFile(const std::string &path);
void LogEvent(const char *event, const char *fmt = nullptr, ...) __attribute__((format(gnu_printf, 2, 3)));
std::string LogSnapshot();
void LogClear();

// plugin_module.cpp
bool LoadPlugin(const std::string &path, std::string *error);
std::string PluginInfoReply();
extern DoProcessProc g_pfnDoProcess;   // the plug-in's DoProcess
extern HMODULE g_pluginModule;         // the loaded plug-in
extern std::string g_menuName;         // the text after the first line feed of the info text

// import_hook.cpp
std::string InstallImportHooks(HMODULE module);

// menu_builder.cpp
bool BuildMenuBar(const std::string &top, const std::string &layout, HMENU *menuBar,
                  int *pluginCommandId, std::string *error);
std::string DescribeMenuBar(HMENU menuBar);

// instances.cpp
bool IsInstanceWindow(HWND hwnd);
LONG_PTR ActivationSeq(HWND hwnd);
void NoteActivation(HWND self);
int BuildInstanceArray(HWND *windows, int capacity, HWND requester);

// command_routing.cpp
void InitRouting();
bool RoutePluginCommand(WPARAM wParam, LPARAM lParam);
void MakeRequesterCall();
void MakeCallWithOtherWindowActive();
void RunLateCall(UINT_PTR timerId);
RespondMode CurrentRespondMode();
void SetRespondMode(const RespondMode &mode);

// main_window.cpp
bool CreateHostWindows(HMENU menuBar, std::string *error);
bool HasOwnWindowProc();          // the main window runs MainWndProc (no subclass left behind)
HWND OtherWindow();               // a second top-level window of the UI thread, made on first use

// control_pipe.cpp
bool CreateControlPipe(std::string *error);
void StartControlPipeThread();
void WaitForQuitReply(DWORD timeoutMs);
void RunControlRequest(LPARAM request);

// dialog_dump.cpp
std::string DescribeDialogs();
void InstallDialogWatch();

// user_actions.cpp: each handles one control command on the UI thread and returns its reply.
struct ActionResult {
    std::string reply;
    DWORD sleepAfterMs = 0;  // "hang": sleep after the reply is out
    bool quitAfter = false;  // "quit": end the message loop after the reply is out
};
ActionResult RunUserAction(const std::string &line);
std::string DescribeState();

// Process-wide state, set once at start-up.
extern HostOptions g_options;
extern HWND g_hwndMain;          // the instance's main window
extern HWND g_hwndControl;       // message-only window of the UI thread
extern DWORD g_uiThreadId;
extern int g_pluginCommandId;    // id of the first plug-in item in the menu, 0 when there is none
extern HWND g_hwndGhost;         // a destroyed window's handle, for --ghost

#endif
