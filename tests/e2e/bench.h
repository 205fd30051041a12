// Fixture of the end-to-end tests: stand-in host instances under Wine, each with
// its own folder holding its own copy of the plug-in (and so its own settings
// file), driven over their control pipes.
#ifndef POKO_TESTS_BENCH_H
#define POKO_TESTS_BENCH_H

#include <gtest/gtest.h>
#include <windows.h>
#include <memory>
#include <string>
#include <vector>
#include "host_control.h"

namespace poko {

// Texts as the plug-in shows them (the tests are compiled to Shift-JIS too).
extern const char kListCaption[];
extern const char kSettingsCaption[];
extern const char kQueryFailed[];       // "パスの取得に失敗しました\"

// Window show states of GetWindowPlacement.
enum { SHOW_NORMAL = 1, SHOW_MINIMIZED = 2, SHOW_MAXIMIZED = 3 };

// Options of a host that answers requests in that mode (see the host's "respond").
inline HostOptions Responding(const std::string &mode)
{
    HostOptions options;
    options.respond = mode;
    return options;
}

struct Instance {
    std::unique_ptr<TempDir> dir;
    std::unique_ptr<Host> host;
    Host *operator->() { return host.get(); }
    Host &operator*() { return *host; }
};

class Bench : public testing::Test {
protected:
    void TearDown() override;

    // Starts one host in a fresh folder of its own; fails the test when it cannot.
    // folder is its current folder as bytes; the options' dll and pathHex are filled in.
    Host &Start(const std::string &folder, HostOptions options = HostOptions());
    TempDir &DirOf(Host &host);

    // Writes or reads the settings file of a host's folder (lines without line ends).
    void WriteSettings(Host &host, const std::string &content);
    std::vector<std::string> SettingsLines(Host &host);
    bool SettingsExist(Host &host);

    // Chooses the plug-in in host and waits for its visible dialog with that caption.
    DialogInfo ChooseAndWait(Host &host, const char *caption = kListCaption, DWORD timeoutMs = 20000);
    // Waits until host shows no dialog of the plug-in any more.
    bool WaitNoDialogs(Host &host, DWORD timeoutMs = 10000);
    // The visible dialog of host with that caption, if any.
    std::optional<DialogInfo> FindDialog(Host &host, const char *caption);

    // Makes the hosts active one after the other, so that each later one is more
    // recently active than the earlier ones.
    void ActivateInOrder(std::initializer_list<Host *> hosts);

    // Closes host's list dialog with a close request, as from outside.
    void CloseList(Host &host);
    // Waits until the dialog is active with a focus control, so keys reach it.
    bool WaitForKeyboard(Host &host, const DialogInfo &dialog);

    std::vector<Instance> instances_;
};

// The dialog's list control; a failure (and an empty control) when there is none.
const DialogControl &ListOf(const DialogInfo &dialog);
// The handle of the dialog's control with that id, as the host commands take
// it; a failure when there is none.
std::string ControlHwnd(const DialogInfo &dialog, int id);
// Column 0 (or 1) texts of the list's rows.
std::vector<std::string> ColumnTexts(const DialogInfo &dialog, int column);
// Index of the list's selected rows.
std::vector<int> SelectedRows(const DialogInfo &dialog);
// Sends one command and expects "ok".
void Do(Host &host, const std::string &line);

}  // namespace poko

#endif
