// The settings file beside the DLL and the settings dialog.
#include "bench.h"
#include <algorithm>
#include <fstream>
#include <sstream>

namespace poko {
namespace {

class Settings : public Bench {
protected:
    static bool Contains(const std::vector<std::string> &lines, const std::string &line)
    {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    std::string RawSettings(Host &host)
    {
        std::ifstream in(DirOf(host).File("POKOSW.INI"), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static int CheckState(const DialogInfo &d, int id)
    {
        const DialogControl *box = d.FindControl(id);
        return box ? box->check : -2;
    }
};

const char kFirstUse[][16] = { "[Behavior]", "Version=200", "State=0" };

TEST_F(Settings, FirstUseCreatesTheFileWithVersionThenState)
{
    Host &only = Start("C:\\");
    ASSERT_FALSE(SettingsExist(only));
    DialogInfo settings = ChooseAndWait(only, kSettingsCaption);
    EXPECT_EQ((std::vector<std::string>(std::begin(kFirstUse), std::end(kFirstUse))), SettingsLines(only));
    Do(only, "click " + ControlHwnd(settings, IDCANCEL));
    EXPECT_TRUE(WaitNoDialogs(only));
    EXPECT_EQ(3u, SettingsLines(only).size()) << "Cancel writes nothing";
}

// The saved outer size, column widths and column order come back at the next
// opening; a column dragged in front of the other stays in front.
TEST_F(Settings, LayoutSurvivesToTheNextOpening)
{
    Host &other = Start("C:\\Other\\");
    Host &caller = Start("D:\\");
    (void)other;
    DialogInfo list = ChooseAndWait(caller);
    const std::string view = FormatHwnd(ListOf(list).hwnd);
    Do(caller, "resize " + FormatHwnd(list.hwnd) + " 420 310");
    Do(caller, "colwidth " + view + " 0 200");
    Do(caller, "colorder " + view + " 1 0");
    Do(caller, "click " + ControlHwnd(list, IDCANCEL));
    ASSERT_TRUE(WaitNoDialogs(caller));
    std::vector<std::string> expected = {
        "[Behavior]", "Version=200", "State=0", "[Window]", "Width=420", "Height=310",
        "[Column0]", "Width=200", "Order=1", "[Column1]", "Width=50", "Order=0",
    };
    EXPECT_EQ(expected, SettingsLines(caller));

    DialogInfo again = ChooseAndWait(caller);
    EXPECT_EQ(420, again.width());
    EXPECT_EQ(310, again.height());
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ((work.left + work.right) / 2 - 210, again.rect.left);
    EXPECT_EQ((work.top + work.bottom) / 2 - 155, again.rect.top);
    ASSERT_EQ(2u, ListOf(again).columns.size());
    EXPECT_EQ(200, ListOf(again).columns[0].width);
    EXPECT_EQ(1, ListOf(again).columns[0].order);
    EXPECT_EQ(50, ListOf(again).columns[1].width);
    EXPECT_EQ(0, ListOf(again).columns[1].order);
    CloseList(caller);
}

// Without a saved width the template size and the default columns hold,
// whatever the column keys say; an empty file reads as all zeros and never gets
// a "Version".
TEST_F(Settings, NoSavedWidthMeansTemplateSizeAndDefaultColumns)
{
    Host &refOther = Start("C:\\");
    Host &ref = Start("D:\\");
    (void)refOther;
    DialogInfo reference = ChooseAndWait(ref);
    CloseList(ref);
    TearDown();

    struct Case { const char *what; std::string file; };
    const Case cases[] = {
        { "width 0", "[Window]\r\nWidth=0\r\nHeight=500\r\n[Column0]\r\nWidth=10\r\nOrder=1\r\n"
                     "[Column1]\r\nWidth=20\r\nOrder=0\r\n" },
        { "no window section", "[Column0]\r\nWidth=10\r\nOrder=1\r\n[Column1]\r\nWidth=20\r\nOrder=0\r\n" },
        { "empty file", "" },
        { "not a number", "[Behavior]\r\nState=x\r\n[Window]\r\nWidth=abc\r\n" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Host &other = Start("C:\\");
        Host &caller = Start("D:\\");
        (void)other;
        WriteSettings(caller, c.file);
        DialogInfo list = ChooseAndWait(caller);
        EXPECT_EQ(reference.width(), list.width());
        EXPECT_EQ(reference.height(), list.height());
        EXPECT_EQ(356, ListOf(list).columns.at(0).width);
        EXPECT_EQ(0, ListOf(list).columns.at(0).order);
        EXPECT_EQ(50, ListOf(list).columns.at(1).width);
        EXPECT_EQ(1, ListOf(list).columns.at(1).order);
        EXPECT_EQ(c.file, RawSettings(caller)) << "loading writes nothing";
        CloseList(caller);
        EXPECT_FALSE(Contains(SettingsLines(caller), "Version=200"));
        TearDown();
    }
}

TEST_F(Settings, DeletingTheFileMakesTheNextCallAFirstUse)
{
    Host &only = Start("C:\\");
    DialogInfo settings = ChooseAndWait(only, kSettingsCaption);
    Do(only, "click " + ControlHwnd(settings, IDOK));
    ASSERT_TRUE(WaitNoDialogs(only));
    WriteSettings(only, "[Behavior]\r\nState=3\r\n");
    ASSERT_TRUE(DeleteFileA(DirOf(only).File("POKOSW.INI").c_str()));
    settings = ChooseAndWait(only, kSettingsCaption);
    EXPECT_EQ((std::vector<std::string>(std::begin(kFirstUse), std::end(kFirstUse))), SettingsLines(only));
    EXPECT_EQ(BST_UNCHECKED, CheckState(settings, 1002));
    EXPECT_EQ(BST_UNCHECKED, CheckState(settings, 1003));
    Do(only, "click " + ControlHwnd(settings, IDCANCEL));
}

TEST_F(Settings, ResponderNeitherCreatesNorChangesTheFile)
{
    Host &fresh = Start("C:\\Fresh\\");
    Host &existing = Start("C:\\Existing\\");
    const std::string content = "[Behavior]\r\nState=3\r\nodd line\r\n";
    WriteSettings(existing, content);
    Host &caller = Start("D:\\");
    DialogInfo list = ChooseAndWait(caller);
    EXPECT_EQ(3u, ListOf(list).rows.size());
    CloseList(caller);
    EXPECT_FALSE(SettingsExist(fresh));
    EXPECT_EQ(content, RawSettings(existing));
}

// A settings file that cannot be written or read (here: a folder stands where
// the file would be) leaves the plug-in on its defaults, with no error.
TEST_F(Settings, UnusableFileRunsOnDefaults)
{
    Host &other = Start("C:\\Other\\");
    Host &caller = Start("D:\\");
    (void)other;
    ASSERT_TRUE(CreateDirectoryA(DirOf(caller).File("POKOSW.INI").c_str(), nullptr));
    DialogInfo list = ChooseAndWait(caller);
    EXPECT_EQ(2u, ListOf(list).rows.size());
    EXPECT_EQ(356, ListOf(list).columns.at(0).width);
    CloseList(caller);
    EXPECT_TRUE(caller.Running());
    EXPECT_NE(0u, GetFileAttributesA(DirOf(caller).File("POKOSW.INI").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

// With the DLL under another name the file goes beside the host's executable,
// also when a double-byte character with the trail byte 0x5C is in that path.
TEST_F(Settings, RenamedDllKeepsTheFileBesideTheExecutable)
{
    struct Case { const char *folder, *exe; };
    const Case cases[] = { { "表", "standin_host.exe" }, { "host", "表.exe" } };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.folder) + "\\" + c.exe);
        TempDir dir(std::string(), "Renamed.dll");
        ASSERT_TRUE(dir.ok());
        std::string folder = dir.File(c.folder) + "\\";
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        std::string exe = folder + c.exe;
        ASSERT_TRUE(CopyFileA(HostExePath().c_str(), exe.c_str(), FALSE));
        // The file system must hand back the very bytes, or nothing is tested here.
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA(exe.c_str(), &found);
        ASSERT_NE(INVALID_HANDLE_VALUE, find);
        FindClose(find);
        ASSERT_STREQ(c.exe, found.cFileName) << "the locale does not carry Shift-JIS names";

        HostOptions options;
        options.hostExe = exe;
        options.dll = dir.dll();
        Host &only = Start("C:\\", options);
        DialogInfo settings = ChooseAndWait(only, kSettingsCaption);
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder + "POKOSW.INI").c_str()));
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(dir.File("POKOSW.INI").c_str()));
        Do(only, "click " + ControlHwnd(settings, IDCANCEL));
        EXPECT_TRUE(WaitNoDialogs(only));
        TearDown();
    }
}

// The dialog's ways out: only OK (or Enter) writes "State", and writes it even
// unchanged; bits other than the two flags are carried along.
TEST_F(Settings, DialogWritesStateOnlyOnOk)
{
    struct Case {
        const char *what;
        std::string before;     // State in the file before; "" for none
        int check1002, check1003;  // -1: leave as it is
        const char *way;
        std::string after;      // State line afterwards; "" for none
    };
    const Case cases[] = {
        { "ok unchanged", "", -1, -1, "ok", "State=0" },
        { "enter is ok", "", 1, -1, "enter", "State=2" },
        { "cancel", "", 1, 1, "cancel", "" },
        { "escape", "", 1, 1, "escape", "" },
        { "close box", "", 1, 1, "sysclose", "" },
        { "other bits survive both checked", "4", 1, 1, "ok", "State=7" },
        { "other bits survive both cleared", "4", 0, 0, "ok", "State=4" },
        { "clearing both of 7", "7", 0, 0, "ok", "State=4" },
        { "only switch without list", "0", 0, 1, "ok", "State=1" },
        { "hand-edited large value written whole", "12345678", -1, -1, "ok", "State=12345678" },
        { "smallest value written whole", "-2147483648", 1, 1, "ok", "State=-2147483645" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Host &only = Start("C:\\");
        WriteSettings(only, "[Behavior]\r\n" + (c.before.empty() ? std::string() : "State=" + c.before + "\r\n"));
        DialogInfo settings = ChooseAndWait(only, kSettingsCaption);
        int state = c.before.empty() ? 0 : static_cast<int>(std::stoll(c.before));
        EXPECT_EQ((state & 2) ? BST_CHECKED : BST_UNCHECKED, CheckState(settings, 1002));
        EXPECT_EQ((state & 1) ? BST_CHECKED : BST_UNCHECKED, CheckState(settings, 1003));
        EXPECT_EQ(ControlHwnd(settings, 1002), FormatHwnd(settings.focus)) << "focus starts in the first box";
        if (c.check1002 >= 0)
            Do(only, "check " + ControlHwnd(settings, 1002) + " " + std::to_string(c.check1002));
        if (c.check1003 >= 0)
            Do(only, "check " + ControlHwnd(settings, 1003) + " " + std::to_string(c.check1003));
        const std::string way = c.way;
        if (way == "ok")
            Do(only, "click " + ControlHwnd(settings, IDOK));
        else if (way == "cancel")
            Do(only, "click " + ControlHwnd(settings, IDCANCEL));
        else if (way == "sysclose")
            Do(only, "sysclose " + FormatHwnd(settings.hwnd));
        else {
            ASSERT_TRUE(WaitForKeyboard(only, settings));
            Do(only, way == "enter" ? "key 13" : "key 27");
        }
        ASSERT_TRUE(WaitNoDialogs(only));
        std::vector<std::string> lines = SettingsLines(only);
        std::vector<std::string> stateLines;
        for (const std::string &line : lines)
            if (line.compare(0, 6, "State=") == 0)
                stateLines.push_back(line);
        if (c.after.empty())
            EXPECT_EQ(c.before.empty() ? std::vector<std::string>() : std::vector<std::string>{ "State=" + c.before },
                      stateLines);
        else
            EXPECT_EQ(std::vector<std::string>{ c.after }, stateLines);
        TearDown();
    }
}

// Opened from the list, a changed flag leaves the open list as it is and takes
// effect at the next invocation.
TEST_F(Settings, FlagsFromTheListTakeEffectNextTime)
{
    Host &other = Start("C:\\Work\\Photos\\");
    Host &caller = Start("D:\\Data\\");
    DialogInfo list = ChooseAndWait(caller);
    Do(caller, "click " + ControlHwnd(list, 1001));
    std::optional<DialogInfo> settings;
    ASSERT_TRUE(WaitUntil([&] { return (settings = FindDialog(caller, kSettingsCaption)).has_value(); }, 5000));
    EXPECT_EQ(list.hwnd, settings->owner);
    Do(caller, "check " + ControlHwnd(*settings, 1002) + " 1");
    Do(caller, "click " + ControlHwnd(*settings, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return !FindDialog(caller, kSettingsCaption); }, 5000));
    std::optional<DialogInfo> still = FindDialog(caller, kListCaption);
    ASSERT_TRUE(still.has_value());
    EXPECT_EQ((std::vector<std::string>{ "C:\\Work\\Photos\\", "D:\\Data\\" }), ColumnTexts(*still, 0));
    CloseList(caller);

    DialogInfo next = ChooseAndWait(caller);
    EXPECT_EQ((std::vector<std::string>{ "Photos", "Data" }), ColumnTexts(next, 0));
    Do(caller, "click " + ControlHwnd(next, 1001));
    ASSERT_TRUE(WaitUntil([&] { return (settings = FindDialog(caller, kSettingsCaption)).has_value(); }, 5000));
    EXPECT_EQ(BST_CHECKED, CheckState(*settings, 1002));
    Do(caller, "check " + ControlHwnd(*settings, 1003) + " 1");
    Do(caller, "click " + ControlHwnd(*settings, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return !FindDialog(caller, kSettingsCaption); }, 5000));
    CloseList(caller);
    EXPECT_TRUE(Contains(SettingsLines(caller), "State=3"));

    // Switch without list: no window of the plug-in, straight to the other instance.
    Do(caller, "choose");
    EXPECT_TRUE(WaitUntil([&] { return other.State().foreground == other.hwnd(); }, 5000));
    EXPECT_TRUE(caller.Log("dialog-shown").size() == 4u) << "two lists and two settings dialogs, nothing more";
}

}  // namespace
}  // namespace poko
