// Loading the plug-in DLL and reading what GetFunctionInfo reports. The two
// buffers and the version start out filled with 0xCC, so the "info" command can
// show exactly how many bytes the plug-in wrote.
#include "host.h"

#include <string.h>

DoProcessProc g_pfnDoProcess;
std::string g_menuName;

enum { INFO_BUFFER_SIZE = 512 };

static int s_infoResult;                            // GetFunctionInfo's result
static unsigned short s_version;                    // the version it stored
static unsigned char s_infoText[INFO_BUFFER_SIZE];  // first buffer as the plug-in left it
static unsigned char s_notice[INFO_BUFFER_SIZE];    // second buffer as the plug-in left it

// Bytes up to and including the last one that is not the 0xCC filler.
static size_t WrittenLength(const unsigned char *buffer)
{
    size_t n = INFO_BUFFER_SIZE;
    while (n > 0 && buffer[n - 1] == 0xCC) --n;
    return n;
}

HMODULE g_pluginModule;

bool LoadPlugin(const std::string &path, std::string *error)
{
    HMODULE module = LoadLibraryA(path.c_str());
    g_pluginModule = module;
    if (!module) {
        *error = Format("cannot load %s (error %lu)", path.c_str(), (unsigned long)GetLastError());
        return false;
    }
    GetFunctionInfoProc getInfo =
        reinterpret_cast<GetFunctionInfoProc>(reinterpret_cast<void *>(GetProcAddress(module, "GetFunctionInfo")));
    g_pfnDoProcess =
        reinterpret_cast<DoProcessProc>(reinterpret_cast<void *>(GetProcAddress(module, "DoProcess")));
    if (!getInfo || !g_pfnDoProcess) {
        *error = Format("%s does not export %s", path.c_str(), getInfo ? "DoProcess" : "GetFunctionInfo");
        return false;
    }

    // The wrappers go in before the plug-in runs any code of its own beyond DllMain.
    std::string hooks = InstallImportHooks(module);

    memset(s_infoText, 0xCC, sizeof s_infoText);
    memset(s_notice, 0xCC, sizeof s_notice);
    s_version = 0xCCCC;
    s_infoResult = getInfo(reinterpret_cast<char *>(s_infoText), reinterpret_cast<char *>(s_notice), &s_version);

    // The menu name is what follows the first line feed, up to the terminating NUL.
    const char *text = reinterpret_cast<const char *>(s_infoText);
    size_t textLength = strnlen(text, INFO_BUFFER_SIZE);
    const char *lineFeed = static_cast<const char *>(memchr(text, '\n', textLength));
    g_menuName = lineFeed ? std::string(lineFeed + 1, text + textLength) : std::string();

    LogEvent("loaded", "dll=%s module=%s info-result=%d version=%u menu-name=%s %s",
             HexBytes(path.data(), path.size()).c_str(), FormatHwnd(reinterpret_cast<HWND>(module)).c_str(),
             s_infoResult, (unsigned)s_version, HexBytes(g_menuName.data(), g_menuName.size()).c_str(),
             hooks.c_str());
    return true;
}

std::string PluginInfoReply()
{
    size_t infoCount = WrittenLength(s_infoText), noticeCount = WrittenLength(s_notice);
    return Format("ok result=%d version=%u info-count=%zu info=%s notice-count=%zu notice=%s "
                  "menu-name=%s command-id=%d",
                  s_infoResult, (unsigned)s_version, infoCount, HexBytes(s_infoText, infoCount).c_str(),
                  noticeCount, HexBytes(s_notice, noticeCount).c_str(),
                  HexBytes(g_menuName.data(), g_menuName.size()).c_str(), g_pluginCommandId);
}
