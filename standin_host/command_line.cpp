// Command line of the stand-in host. Every option but --dll is optional:
//   --dll PATH  --name NAME  --path-hex HEX | --path TEXT  --show normal|min|max
//   --menu LAYOUT  --top LAYOUT  --no-listview  --respond MODE  --mark-senders  --quiet
//   --ghost  --log-file PATH
#include "host.h"

#include <stdlib.h>

HostOptions g_options;

bool ParseRespondMode(const std::string &text, RespondMode *mode)
{
    RespondMode parsed;
    size_t colon = text.find(':');
    std::string kind = text.substr(0, colon);
    std::string arg = colon == std::string::npos ? "" : text.substr(colon + 1);
    if (kind == "normal" && colon == std::string::npos) {
        parsed.kind = RespondMode::Normal;
    } else if (kind == "silent" && colon == std::string::npos) {
        parsed.kind = RespondMode::Silent;
    } else if (kind == "askback" && colon == std::string::npos) {
        parsed.kind = RespondMode::AskBack;
    } else if (kind == "hang" || kind == "late") {
        long long ms;
        if (!ParseInt(arg, &ms) || ms < 0 || ms > 600000) return false;
        parsed.kind = kind == "hang" ? RespondMode::Hang : RespondMode::Late;
        parsed.ms = (DWORD)ms;
    } else if (kind == "hostile") {
        static const char *const kinds[] = {"oversize", "long260", "exact259", "nonul",
                                            "dwdata", "wparam", "empty"};
        bool known = false;
        for (const char *k : kinds) known = known || arg == k;
        if (!known) return false;
        parsed.kind = RespondMode::Hostile;
        parsed.hostile = arg;
    } else {
        return false;
    }
    *mode = parsed;
    return true;
}

std::string FormatRespondMode(const RespondMode &mode)
{
    switch (mode.kind) {
    case RespondMode::Normal: return "normal";
    case RespondMode::Silent: return "silent";
    case RespondMode::Hang: return Format("hang:%lu", (unsigned long)mode.ms);
    case RespondMode::Late: return Format("late:%lu", (unsigned long)mode.ms);
    case RespondMode::Hostile: return "hostile:" + mode.hostile;
    case RespondMode::AskBack: return "askback";
    }
    return "?";
}

static bool ParseShow(const std::string &text, int *showCmd)
{
    // A host started minimised does not take the activation from the others.
    if (text == "normal") *showCmd = SW_SHOWNORMAL;
    else if (text == "min") *showCmd = SW_SHOWMINNOACTIVE;
    else if (text == "max") *showCmd = SW_SHOWMAXIMIZED;
    else return false;
    return true;
}

static bool IsPrintableAscii(const std::string &text)
{
    for (unsigned char c : text)
        if (c < 0x20 || c > 0x7E) return false;
    return true;
}

bool ParseCommandLine(int argc, char **argv, HostOptions *options, std::string *error)
{
    HostOptions parsed;
    bool haveDll = false;
    for (int i = 1; i < argc; ++i) {
        std::string opt = argv[i];
        bool takesValue = opt == "--dll" || opt == "--name" || opt == "--path-hex" ||
                          opt == "--path" || opt == "--show" || opt == "--menu" ||
                          opt == "--top" || opt == "--respond" || opt == "--log-file";
        if (opt == "--no-listview") { parsed.noListView = true; continue; }
        if (opt == "--mark-senders") { parsed.markSenders = true; continue; }
        if (opt == "--quiet") { parsed.quiet = true; continue; }
        if (opt == "--ghost") { parsed.ghost = true; continue; }
        if (!takesValue) { *error = "unknown option " + opt; return false; }
        if (i + 1 >= argc) { *error = opt + " needs a value"; return false; }
        std::string value = argv[++i];
        if (opt == "--dll") {
            parsed.dllPath = value;
            haveDll = true;
        } else if (opt == "--name") {
            if (value.empty() || !IsPrintableAscii(value) || value.find('\\') != std::string::npos) {
                *error = "--name must be printable ASCII without a backslash";
                return false;
            }
            parsed.name = value;
        } else if (opt == "--path-hex") {
            if (!HexToBytes(value, &parsed.path) || parsed.path.find('\0') != std::string::npos) {
                *error = "--path-hex needs an even number of hex digits and no 00 byte";
                return false;
            }
        } else if (opt == "--path") {
            parsed.path = value;
        } else if (opt == "--show") {
            if (!ParseShow(value, &parsed.showCmd)) { *error = "--show normal|min|max"; return false; }
        } else if (opt == "--menu") {
            parsed.menuLayout = value;
        } else if (opt == "--top") {
            parsed.topLayout = value;
        } else if (opt == "--respond") {
            if (!ParseRespondMode(value, &parsed.respond)) { *error = "bad --respond " + value; return false; }
        } else if (opt == "--log-file") {
            parsed.logFile = value;
        }
    }
    if (!haveDll) { *error = "--dll PATH is required"; return false; }
    if (parsed.path.size() > HOST_MAX_PATH_BYTES) { *error = "the folder text is too long"; return false; }
    if (parsed.name.empty()) parsed.name = Format("host%lu", (unsigned long)GetCurrentProcessId());
    *options = parsed;
    return true;
}
