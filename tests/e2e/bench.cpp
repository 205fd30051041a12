#include "bench.h"
#include <fstream>
#include <sstream>

namespace poko {

const char kListCaption[] = "ポコナビ一覧";
const char kSettingsCaption[] = "ポコナビ一覧の設定";
const char kQueryFailed[] = "パスの取得に失敗しました\\";

void Bench::TearDown()
{
    for (Instance &instance : instances_)
        instance.host->Quit();
    instances_.clear();
}

Host &Bench::Start(const std::string &folder, HostOptions options)
{
    Instance instance;
    instance.dir.reset(new TempDir());
    instance.host.reset(new Host());
    EXPECT_TRUE(instance.dir->ok());
    if (options.dll.empty())
        options.dll = instance.dir->dll();
    if (folder.empty())
        options.extraArgs.insert(options.extraArgs.begin(), { "--path", "" });   // a virtual folder
    else
        options.pathHex = HexEncode(folder);
    if (!instance.host->Start(options, 60000))
        ADD_FAILURE() << "host did not start: " << instance.host->error();
    instances_.push_back(std::move(instance));
    return *instances_.back().host;
}

TempDir &Bench::DirOf(Host &host)
{
    for (Instance &instance : instances_)
        if (instance.host.get() == &host)
            return *instance.dir;
    throw std::runtime_error("not a host of this test");
}

void Bench::WriteSettings(Host &host, const std::string &content)
{
    std::ofstream out(DirOf(host).File("POKOSW.INI"), std::ios::binary);
    out << content;
}

std::vector<std::string> Bench::SettingsLines(Host &host)
{
    std::ifstream in(DirOf(host).File("POKOSW.INI"), std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool Bench::SettingsExist(Host &host)
{
    return GetFileAttributesA(DirOf(host).File("POKOSW.INI").c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<DialogInfo> Bench::FindDialog(Host &host, const char *caption)
{
    for (const DialogInfo &d : host.Dialogs())
        if (d.visible && d.caption == caption)
            return d;
    return std::nullopt;
}

DialogInfo Bench::ChooseAndWait(Host &host, const char *caption, DWORD timeoutMs)
{
    Do(host, "choose");
    std::optional<DialogInfo> found;
    WaitUntil([&] { return (found = FindDialog(host, caption)).has_value(); }, timeoutMs, 50);
    if (!found) {
        ADD_FAILURE() << "no dialog \"" << caption << "\" in " << host.name();
        return DialogInfo();
    }
    return *found;
}

bool Bench::WaitNoDialogs(Host &host, DWORD timeoutMs)
{
    return WaitUntil([&] {
        for (const DialogInfo &d : host.Dialogs())
            if (d.visible)
                return false;
        return true;
    }, timeoutMs, 50);
}

void Bench::ActivateInOrder(std::initializer_list<Host *> hosts)
{
    // The order of activation is what the hosts order their instances by; under
    // Wine without a window manager the foreground may move on again at once, so
    // only the recorded order is checked.
    long long previous = -1;
    for (Host *host : hosts) {
        host->Command("activate");
        long long seq = host->State().activationSeq;
        EXPECT_GT(seq, previous) << host->name() << " was not activated after the one before";
        previous = seq;
    }
}

void Bench::CloseList(Host &host)
{
    if (std::optional<DialogInfo> list = FindDialog(host, kListCaption))
        Do(host, "close " + FormatHwnd(list->hwnd));
    EXPECT_TRUE(WaitNoDialogs(host)) << host.name();
}

bool Bench::WaitForKeyboard(Host &host, const DialogInfo &dialog)
{
    return WaitUntil([&] {
        WindowState state = host.State();
        return state.active == dialog.hwnd && state.focus != nullptr;
    }, 5000);
}

const DialogControl &ListOf(const DialogInfo &dialog)
{
    static const DialogControl none;
    const DialogControl *list = dialog.ListView();
    if (!list)
        ADD_FAILURE() << "the dialog has no list control";
    return list ? *list : none;
}

std::string ControlHwnd(const DialogInfo &dialog, int id)
{
    const DialogControl *control = dialog.FindControl(id);
    if (!control)
        ADD_FAILURE() << "the dialog has no control " << id;
    return FormatHwnd(control ? control->hwnd : nullptr);
}

std::vector<std::string> ColumnTexts(const DialogInfo &dialog, int column)
{
    std::vector<std::string> texts;
    if (const DialogControl *list = dialog.ListView())
        for (const ListRow &row : list->rows)
            texts.push_back(column < static_cast<int>(row.texts.size()) ? row.texts[column] : "<none>");
    return texts;
}

std::vector<int> SelectedRows(const DialogInfo &dialog)
{
    std::vector<int> rows;
    if (const DialogControl *list = dialog.ListView())
        for (const ListRow &row : list->rows)
            if (row.selected())
                rows.push_back(row.index);
    return rows;
}

void Do(Host &host, const std::string &line)
{
    std::string reply = host.Command(line);
    EXPECT_EQ(0u, reply.compare(0, 2, "ok")) << host.name() << ": " << line << " -> " << reply;
}

}  // namespace poko
