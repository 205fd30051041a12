// The 32-bit product DLL in 32-bit stand-in hosts under the emulated 32-bit
// Wine. A 32-bit process takes about a minute to start here, so one scenario
// shares its three hosts: loading, the exchange with an answering and a silent
// instance, the rows, a switch, the settings file and the settings dialog.
#include "bench.h"
#include <algorithm>
#include <thread>

namespace poko {
namespace {

const DWORD kSlow = 240000;     // start-up and commands under emulation

class Product32 : public Bench {
protected:
    // Starts all hosts at once: their start-ups overlap.
    void StartAll(const std::vector<std::pair<std::string, HostOptions>> &wanted)
    {
        for (size_t i = 0; i < wanted.size(); i++) {
            Instance instance;
            instance.dir.reset(new TempDir());
            instance.host.reset(new Host());
            instance.host->SetCommandTimeout(60000);
            instances_.push_back(std::move(instance));
        }
        std::vector<std::thread> starters;
        std::vector<std::string> errors(wanted.size());
        for (size_t i = 0; i < wanted.size(); i++)
            starters.emplace_back([&, i] {
                HostOptions options = wanted[i].second;
                options.dll = instances_[i].dir->dll();
                options.pathHex = HexEncode(wanted[i].first);
                if (!instances_[i].host->Start(options, kSlow))
                    errors[i] = instances_[i].host->error();
            });
        for (std::thread &starter : starters)
            starter.join();
        for (const std::string &error : errors)
            ASSERT_EQ("", error);
    }
};

TEST_F(Product32, MainPathOfEverySubsystem)
{
    HostOptions maximised;
    maximised.show = "max";
    StartAll({ { "C:\\Work\\Photos\\", HostOptions() }, { "E:\\Z\\", Responding("silent") }, { "D:\\Data\\", maximised } });
    Host &y = *instances_[0].host, &z = *instances_[1].host, &x = *instances_[2].host;

    // Loading: the information the host reads.
    PluginInfo info = x.Info();
    EXPECT_EQ(3, info.result);
    EXPECT_EQ(200u, info.version);
    EXPECT_EQ("起動している「ポコナビ」の一覧を表示してタスクを切り替えます。\nポコナビ一覧" + std::string(1, '\0'),
              info.info);
    EXPECT_EQ(24u, info.notice.size());
    EXPECT_EQ("ポコナビ一覧", info.menuName);

    // The exchange and the rows: Y answers, Z is silent, X is the caller.
    ActivateInOrder({ &z, &y });
    Do(z, "show min");
    DialogInfo list = ChooseAndWait(x, kListCaption, kSlow);
    EXPECT_EQ((std::vector<std::string>{ "C:\\Work\\Photos\\", kQueryFailed, "D:\\Data\\" }), ColumnTexts(list, 0));
    EXPECT_EQ((std::vector<std::string>{ "通常", "最小化", "最大化" }), ColumnTexts(list, 1));
    EXPECT_EQ(std::vector<int>{ 0 }, SelectedRows(list));
    double waited = 0;
    for (const LogEvent &wait : x.Log("wait"))
        waited = std::max(waited, (wait.Num("end") - wait.Num("start")) / 1000.0);
    EXPECT_GE(waited, 2900);
    EXPECT_LT(waited, 6000);

    // The switch, and the layout written on the way out.
    Do(x, "click " + ControlHwnd(list, IDOK));
    ASSERT_TRUE(WaitNoDialogs(x, kSlow));
    EXPECT_TRUE(WaitUntil([&] { return y.State().foreground == y.hwnd(); }, 30000));
    std::vector<std::string> expected = {
        "[Behavior]", "Version=200", "State=0", "[Window]", "Width=" + std::to_string(list.width()),
        "Height=" + std::to_string(list.height()), "[Column0]", "Width=356", "Order=0", "[Column1]",
        "Width=50", "Order=1",
    };
    EXPECT_EQ(expected, SettingsLines(x));

    // The file read back, and the settings dialog from the list.
    Do(x, "respond normal");
    Do(z, "respond normal");
    DialogInfo again = ChooseAndWait(x, kListCaption, kSlow);
    EXPECT_EQ(list.width(), again.width());
    EXPECT_EQ(list.height(), again.height());
    Do(x, "click " + ControlHwnd(again, 1001));
    std::optional<DialogInfo> settings;
    ASSERT_TRUE(WaitUntil([&] { return (settings = FindDialog(x, kSettingsCaption)).has_value(); }, 60000));
    Do(x, "check " + ControlHwnd(*settings, 1002) + " 1");
    Do(x, "click " + ControlHwnd(*settings, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return !FindDialog(x, kSettingsCaption); }, 60000));
    CloseList(x);
    EXPECT_EQ("State=2", SettingsLines(x).at(2));

    DialogInfo names = ChooseAndWait(x, kListCaption, kSlow);
    EXPECT_EQ((std::vector<std::string>{ "Photos", "Z", "Data" }), ColumnTexts(names, 0));
    CloseList(x);
}

}  // namespace
}  // namespace poko
