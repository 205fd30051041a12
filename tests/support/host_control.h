// Test-side control of the stand-in host: starts instances of standin_host.exe,
// talks to each over its control pipe \\.\pipe\pokohost.NAME and parses the
// replies (event log, dialogs, window state) into plain structs.
//
//   TempDir dir;                       // fresh folder holding a copy of PokoSw.dll
//   Host a, b;
//   HostOptions o; o.dll = dir.dll(); o.name = "a"; o.pathHex = HexEncode("C:\\A\\");
//   ASSERT_TRUE(a.Start(o)) << a.error();
//   a.Command("choose");
//   WaitUntil([&] { return !a.Dialogs().empty(); }, 5000);
#ifndef POKO_TESTS_HOST_CONTROL_H
#define POKO_TESTS_HOST_CONTROL_H

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace poko {

// How one host instance is started; empty fields are left to the host's defaults.
struct HostOptions {
    std::string name;     // pipe and title suffix; a unique one is made when empty
    std::string hostExe;  // empty: HostExePath()
    std::string dll;      // empty: PluginDllPath()
    std::string pathHex;  // current folder as hex bytes (Shift-JIS), e.g. HexEncode("C:\\")
    std::string show;     // normal | min | max
    std::string menu;     // plug-in popup layout, e.g. "x,-,P"
    std::string top;      // menu bar layout, e.g. "file,plugin"
    std::string respond;  // normal | silent | hang:MS | late:MS | hostile:KIND
    bool noListView = false;
    bool markSenders = false;
    std::vector<std::string> extraArgs;
};

// One line of a host's event log: "t=<us> abs=<us> <event> key=value ...".
struct LogEvent {
    std::string event;
    std::map<std::string, std::string> values;
    long long t = 0;    // microseconds since that host started
    long long abs = 0;  // microseconds of system time, comparable across processes

    bool Has(const std::string &key) const { return values.count(key) != 0; }
    std::string Get(const std::string &key) const;      // "" when absent
    long long Num(const std::string &key) const;        // decimal or 0x hex; 0 when absent
    HWND Hwnd(const std::string &key) const;
    std::string Bytes(const std::string &key) const;    // a hex value decoded
};

struct ListColumn {
    int index = 0, width = 0, order = 0, format = 0;
    std::string text;  // Shift-JIS bytes
};

struct ListRow {
    int index = 0;
    unsigned state = 0;              // LVIS_SELECTED | LVIS_FOCUSED bits
    std::vector<std::string> texts;  // one per column, Shift-JIS bytes
    bool selected() const { return (state & 2) != 0; }
    bool focused() const { return (state & 1) != 0; }
};

struct DialogControl {
    HWND hwnd = nullptr;
    int id = 0;
    std::string className;
    std::string text;  // Shift-JIS bytes
    DWORD style = 0, exStyle = 0;
    RECT rect = {};    // in the dialog's client coordinates
    bool visible = false, enabled = false;
    int check = -1;               // buttons: BM_GETCHECK; -1 otherwise
    HICON icon = nullptr;         // SS_ICON statics
    bool isHandIcon = false;      // that icon is the system's IDI_HAND
    DWORD listExStyle = 0;        // SysListView32: LVM_GETEXTENDEDLISTVIEWSTYLE
    std::vector<ListColumn> columns;
    std::vector<ListRow> rows;

    bool IsListView() const { return className == "SysListView32"; }
    int width() const { return rect.right - rect.left; }
    int height() const { return rect.bottom - rect.top; }
};

struct DialogInfo {
    HWND hwnd = nullptr, owner = nullptr, focus = nullptr;
    std::string caption;  // Shift-JIS bytes
    DWORD style = 0, exStyle = 0;
    bool visible = false, enabled = false;
    RECT rect = {};       // screen coordinates
    int clientWidth = 0, clientHeight = 0;
    std::vector<DialogControl> controls;

    const DialogControl *FindControl(int id) const;
    const DialogControl *FindClass(const std::string &className) const;
    const DialogControl *ListView() const { return FindClass("SysListView32"); }
    int width() const { return rect.right - rect.left; }
    int height() const { return rect.bottom - rect.top; }
};

struct WindowState {
    HWND hwnd = nullptr;
    int showCmd = 0;  // GetWindowPlacement
    bool iconic = false, zoomed = false, visible = false, enabled = false;
    HWND foreground = nullptr;  // GetForegroundWindow
    HWND active = nullptr;      // the UI thread's active window
    HWND focus = nullptr;       // the UI thread's focus window
    long long activationSeq = 0;
    RECT rect = {};
    std::string respond;
    bool ownWndProc = false;  // the main window runs the host's own procedure (no subclass left)
};

struct PluginInfo {
    int result = 0;
    unsigned version = 0;
    std::string info, notice;  // bytes the plug-in wrote, up to its last byte that is not 0xCC
    std::string menuName;      // what the host took as the menu name
    int commandId = 0;         // the plug-in's id in the host's menu, 0 when there is none
};

class Host {
public:
    Host() = default;
    ~Host();
    Host(const Host &) = delete;
    Host &operator=(const Host &) = delete;

    // Starts the host and waits until its pipe answers "ready". False on failure, see error().
    bool Start(const HostOptions &options, DWORD timeoutMs = 30000);
    // Sends one request line and returns the whole reply; "error ..." when the
    // pipe cannot be reached or the reply does not come in time.
    std::string Command(const std::string &line, DWORD timeoutMs = 0);
    bool Ok(const std::string &line, DWORD timeoutMs = 0) { return Command(line, timeoutMs).compare(0, 2, "ok") == 0; }
    // "quit", then waits for the process and terminates it if it hangs. Returns the exit code.
    DWORD Quit(DWORD timeoutMs = 10000);

    std::vector<LogEvent> Log();
    std::vector<LogEvent> Log(const std::string &event);  // only that event
    // Polls the log until an event of that name satisfies pred; pumps messages meanwhile.
    std::optional<LogEvent> WaitForEvent(const std::string &event, DWORD timeoutMs,
                                         const std::function<bool(const LogEvent &)> &pred = {});
    std::vector<DialogInfo> Dialogs();
    std::optional<DialogInfo> WaitForDialog(DWORD timeoutMs);  // first visible dialog
    WindowState State();
    PluginInfo Info();

    HWND hwnd() const { return hwnd_; }
    DWORD pid() const { return pid_; }
    HANDLE process() const { return process_; }
    const std::string &name() const { return name_; }
    const std::string &error() const { return error_; }
    // Exit code once the process has ended (STILL_ACTIVE before).
    DWORD exitCode() const { return exitCode_; }
    bool Running() const;
    // Default timeout of Command (15 s; the 32-bit run under emulation wants more).
    void SetCommandTimeout(DWORD ms) { commandTimeoutMs_ = ms; }

private:
    void Close();
    std::string name_, pipeName_, error_;
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    DWORD exitCode_ = STILL_ACTIVE;
    HWND hwnd_ = nullptr;
    DWORD commandTimeoutMs_ = 15000;
};

// A fresh folder under %TEMP% holding a copy of the plug-in DLL; removed again,
// with everything the plug-in wrote there, when the object goes.
class TempDir {
public:
    explicit TempDir(const std::string &dllSource = std::string(), const std::string &dllName = "PokoSw.dll");
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    bool ok() const { return ok_; }
    const std::string &path() const { return path_; }  // with a trailing backslash
    std::string dll() const { return path_ + dllName_; }
    std::string File(const std::string &name) const { return path_ + name; }

private:
    std::string path_, dllName_;
    bool ok_ = false;
};

// Folder of the running test program, with a trailing backslash.
std::string TestProgramFolder();
// POKO_HOST_EXE when set, else standin_host.exe beside the test program.
std::string HostExePath();
// POKO_DLL when set, else PokoSw.dll in folder (default: the test program's folder).
std::string PluginDllPath(const std::string &folder = std::string());

std::string HexEncode(const std::string &bytes);
std::string HexDecode(const std::string &hex);  // stops at the first bad digit pair
std::string FormatHwnd(HWND hwnd);              // 0x%llX, as the host writes them
HWND ParseHwnd(const std::string &text);
long long AbsMicrosNow();                       // the clock of the hosts' "abs" values

// Calls predicate until it is true or timeoutMs has passed, pumping this
// thread's messages in between. Returns the last result.
bool WaitUntil(const std::function<bool()> &predicate, DWORD timeoutMs, DWORD pollMs = 20);
// Pumps messages for ms milliseconds.
void PumpFor(DWORD ms);

}  // namespace poko

#endif
