// Time from choosing the plug-in to seeing the list, measured inside the
// caller's host process (its event log), against two floors measured in the
// same run: a bare cross-process request answered by a WM_COPYDATA, and a bare
// modal dialog from the same template with an empty list view.
//
//   benchmark.exe HOST_EXE DLL [RUNS]      prints a Markdown table
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>
#include "host_control.h"

using namespace poko;

namespace {

double Median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Phases {
    double total = -1, query = -1, rest = -1;
};

// One invocation: choose in the caller, wait for the list, read the phases
// from the caller's log, close the list.
Phases Invoke(Host &caller)
{
    Phases phases;
    caller.Command("log-clear");
    caller.Command("choose");
    std::optional<LogEvent> shown = caller.WaitForEvent("dialog-shown", 120000);
    std::vector<LogEvent> log = caller.Log();
    // The query phase is each request from its send to its reply taken (the
    // send returns once the nested reply is in), plus any wait on the event;
    // the rows added between two requests belong to the rest.
    long long chosen = -1, queries = 0;
    bool asked = false;
    for (const LogEvent &e : log) {
        // From the host's call of the plug-in: making its window active before is
        // the stand-in host's own work, done already when a user picks the menu.
        if (e.event == "doprocess-enter" && chosen < 0)
            chosen = e.abs;
        if ((e.event == "send" && e.Num("msg") == WM_COMMAND) || e.event == "wait") {
            queries += e.Num("end-abs") - e.Num("start-abs");
            asked = true;
        }
    }
    if (shown && chosen >= 0 && asked) {
        phases.total = (shown->abs - chosen) / 1000.0;
        phases.query = queries / 1000.0;
        phases.rest = phases.total - phases.query;
    }
    std::optional<DialogInfo> list = caller.WaitForDialog(10000);
    if (list)
        caller.Command("close " + FormatHwnd(list->hwnd));
    WaitUntil([&] { return !caller.WaitForDialog(0); }, 10000, 20);
    return phases;
}

double Floor(Host &caller, const std::string &command)
{
    std::string reply = caller.Command(command, 120000);
    size_t at = reply.find("us=");
    return at == std::string::npos ? -1 : std::stod(reply.substr(at + 3)) / 1000.0;
}

std::unique_ptr<Host> StartHost(const std::string &exe, const std::string &dll, const std::string &folder,
                                bool quiet)
{
    std::unique_ptr<Host> host(new Host());
    HostOptions options;
    if (quiet)
        options.extraArgs.push_back("--quiet");
    options.hostExe = exe;
    options.dll = dll;
    options.pathHex = HexEncode(folder);
    if (!host->Start(options, 60000)) {
        fprintf(stderr, "benchmark: host did not start: %s\n", host->error().c_str());
        exit(1);
    }
    return host;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: benchmark HOST_EXE DLL [RUNS]\n");
        return 2;
    }
    std::string exe = argv[1], dll = argv[2];
    int runs = argc > 3 ? atoi(argv[3]) : 15;

    printf("| N | total ms | query ms | query floor ms | query ratio | rest ms | rest floor ms | rest ratio |\n");
    printf("|---|---|---|---|---|---|---|---|\n");
    std::vector<std::unique_ptr<Host>> others;
    std::unique_ptr<Host> caller = StartHost(exe, dll, "D:\\Caller\\", false);
    for (int n : { 1, 2, 4, 8, 16 }) {
        while (static_cast<int>(others.size()) < n)
            others.push_back(StartHost(exe, dll, "C:\\Folder" + std::to_string(others.size()) + "\\", true));
        caller->Command("activate");
        std::vector<double> total, query, rest, queryFloor, restFloor;
        Invoke(*caller);                    // warm-up: pages in the DLL's code in every process
        for (int r = 0; r < runs; r++) {
            Phases p = Invoke(*caller);
            total.push_back(p.total);
            query.push_back(p.query);
            rest.push_back(p.rest);
            queryFloor.push_back(Floor(*caller, "bare-requests " + FormatHwnd(others[0]->hwnd()) + " " +
                                                    std::to_string(n)));
            restFloor.push_back(Floor(*caller, "bare-dialog"));
        }
        double q = Median(query), qf = Median(queryFloor), rs = Median(rest), rf = Median(restFloor);
        printf("| %d | %.1f | %.2f | %.2f | %.2f | %.1f | %.1f | %.2f |\n", n, Median(total), q, qf, q / qf, rs, rf,
               rs / rf);
        fflush(stdout);
    }

    // Instances that do not answer, among eight: the cost beside the prediction.
    printf("\n| among 8 others | measured query ms | predicted ms |\n|---|---|---|\n");
    struct Slow { const char *what; std::vector<std::string> modes; double predicted; };
    const Slow slows[] = {
        { "1 silent", { "silent" }, 3000 },
        { "2 silent", { "silent", "silent" }, 6000 },
        { "1 hung (bounded)", { "hang:10000" }, 3000 },
    };
    others.resize(8);
    for (const Slow &slow : slows) {
        for (size_t i = 0; i < slow.modes.size(); i++)
            others[i]->Command("respond " + slow.modes[i]);
        bool hangs = slow.modes[0].compare(0, 4, "hang") == 0;
        std::vector<double> query;
        for (int r = 0; r < 3; r++) {
            query.push_back(Invoke(*caller).query);
            if (hangs)
                PumpFor(11000);             // the hung one wakes up and handles its late request
        }
        printf("| %s | %.0f | %.0f plus the answering ones |\n", slow.what, Median(query), slow.predicted);
        for (auto &other : others)
            other->Command("respond normal");
    }
    for (auto &other : others)
        other->Quit();
    caller->Quit();
    return 0;
}
