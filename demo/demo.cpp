// The demo: three stand-in host instances with different folders and window
// states, the plug-in chosen in one of them. Headless it waits for the shell
// to take a screenshot of the list; interactive it leaves the list to the user.
//
//   demo.exe HOST_EXE DLL OUT_DIR [--interactive]
#include <windows.h>
#include <cstdio>
#include <fstream>
#include <string>
#include "host_control.h"

using namespace poko;

static bool FileExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int main(int argc, char **argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: demo HOST_EXE DLL OUT_DIR [--interactive]\n");
        return 2;
    }
    std::string hostExe = argv[1], dll = argv[2], out = argv[3];
    if (out.back() != '\\')
        out += '\\';
    bool interactive = argc > 4 && std::string(argv[4]) == "--interactive";

    struct Instance { const char *name; std::string folder; const char *show; };
    const Instance instances[] = {
        { "demo-photos", "D:\\写真\\2026年\\ソフト開発\\", "min" },     // Japanese names
        { "demo-virtual", "", "max" },                                  // a virtual folder
        { "demo-docs", "C:\\Users\\poko\\Documents\\", "normal" },      // chooses the plug-in
    };
    Host hosts[3];
    for (int i = 0; i < 3; i++) {
        HostOptions options;
        options.name = instances[i].name;
        options.hostExe = hostExe;
        options.dll = dll;
        options.show = instances[i].show;
        if (instances[i].folder.empty())
            options.extraArgs = { "--path", "" };
        else
            options.pathHex = HexEncode(instances[i].folder);
        if (!hosts[i].Start(options, 240000)) {
            fprintf(stderr, "demo: %s did not start: %s\n", instances[i].name, hosts[i].error().c_str());
            return 1;
        }
    }
    // Activation order makes the order of the list: the photos first, then the virtual folder.
    hosts[1].Command("activate");
    hosts[0].Command("activate");
    hosts[0].Command("show min");
    hosts[2].Command("choose");

    std::optional<DialogInfo> list = hosts[2].WaitForDialog(60000);
    if (!list) {
        fprintf(stderr, "demo: the list did not appear\n");
        return 1;
    }
    {
        std::ofstream rect(out + "list-rect.txt");
        rect << list->rect.left << " " << list->rect.top << " " << list->width() << " " << list->height() << "\n";
    }
    std::ofstream(out + "ready") << "ready\n";
    printf("demo: the list is shown with %zu rows\n", list->ListView() ? list->ListView()->rows.size() : 0);
    fflush(stdout);

    if (interactive) {
        WaitUntil([&] { return !hosts[2].WaitForDialog(0); }, INFINITE, 200);
        PumpFor(3000);
    } else {
        WaitUntil([&] { return FileExists(out + "done"); }, 120000, 100);
    }
    for (Host &host : hosts)
        host.Quit();
    return 0;
}
