// Where POKOSW.INI goes for a given module path.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "settings/settings.h"

namespace {

TEST(SettingsPath, DirectoryOfTheModuleThenTheFileName)
{
    ASSERT_EQ(932u, GetACP());
    struct Case { const char *path; const char *expected; };
    const Case cases[] = {
        { "C:\\Program Files\\Poko\\Plugins\\PokoSw.dll", "C:\\Program Files\\Poko\\Plugins\\POKOSW.INI" },
        { "C:\\PokoSw.dll", "C:\\POKOSW.INI" },
        { "C:/Poko/PokoSw.dll", "C:/Poko/POKOSW.INI" },
        { "C:\\Poko/Plugins\\PokoSw.dll", "C:\\Poko/Plugins\\POKOSW.INI" },
        { "\\\\server\\share\\PokoSw.dll", "\\\\server\\share\\POKOSW.INI" },
        { "C:PokoSw.dll", "C:POKOSW.INI" },
        { "PokoSw.dll", "POKOSW.INI" },
        // 表 is 95 5C: its second byte is no separator, in a folder or in the file name.
        { "C:\\表\\PokoSw.dll", "C:\\表\\POKOSW.INI" },
        { "C:\\Poko\\表.exe", "C:\\Poko\\POKOSW.INI" },
        { "C:\\ソフト\\表計算\\host.exe", "C:\\ソフト\\表計算\\POKOSW.INI" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        char out[260];
        EXPECT_TRUE(ComposeSettingsPath(c.path, "POKOSW.INI", out, sizeof out));
        EXPECT_EQ(std::string(c.expected), out);
    }
}

TEST(SettingsPath, PathThatDoesNotFitIsNotCut)
{
    // Directory part plus "POKOSW.INI" needs exactly 259 characters: fits.
    std::string directory = "C:\\" + std::string(245, 'd') + "\\";
    std::string fits = directory + "a.exe";
    char out[260];
    ASSERT_EQ(249u, directory.size());
    EXPECT_TRUE(ComposeSettingsPath(fits.c_str(), "POKOSW.INI", out, sizeof out));
    EXPECT_EQ(directory + "POKOSW.INI", out);

    // One more byte and the whole path is refused, never cut.
    std::string tooLong = "C:\\" + std::string(246, 'd') + "\\a.exe";
    memset(out, 'x', sizeof out);
    EXPECT_FALSE(ComposeSettingsPath(tooLong.c_str(), "POKOSW.INI", out, sizeof out));
    EXPECT_STREQ("", out);
}

TEST(SettingsPath, ModuleNotLoadedFallsBackToTheExecutable)
{
    char exe[MAX_PATH];
    GetModuleFileNameA(0, exe, sizeof exe);
    char expected[MAX_PATH];
    ASSERT_TRUE(ComposeSettingsPath(exe, "POKOSW.INI", expected, sizeof expected));

    char out[260];
    BuildSettingsPath("NO_SUCH_MODULE.DLL", "POKOSW.INI", out, sizeof out);
    EXPECT_STREQ(expected, out);
    // The module lookup ignores letter case: kernel32 is found as KERNEL32.DLL.
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    BuildSettingsPath("KERNEL32.DLL", "POKOSW.INI", out, sizeof out);
    EXPECT_EQ(0, lstrcmpiA((std::string(system) + "\\POKOSW.INI").c_str(), out));
}

}  // namespace
