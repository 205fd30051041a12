// GetFunctionInfo of the built DLL, loaded into this process as a host loads it.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdlib>
#include <string>
#include "plugin/host_contract.h"

namespace {

HMODULE LoadPlugin()
{
    const char *path = getenv("POKO_DLL");
    return LoadLibraryA(path ? path : "PokoSw.dll");
}

TEST(FunctionInfo, WritesTheFixedTextsAndVersion)
{
    HMODULE dll = LoadPlugin();
    ASSERT_NE(nullptr, dll) << "POKO_DLL=" << (getenv("POKO_DLL") ? getenv("POKO_DLL") : "");
    auto getInfo = reinterpret_cast<GetFunctionInfoProc>(GetProcAddress(dll, "GetFunctionInfo"));
    ASSERT_NE(nullptr, getInfo);
    EXPECT_EQ(reinterpret_cast<FARPROC>(getInfo), GetProcAddress(dll, MAKEINTRESOURCEA(1)));
    EXPECT_EQ(GetProcAddress(dll, "DoProcess"), GetProcAddress(dll, MAKEINTRESOURCEA(2)));

    unsigned char info[256], notice[256];
    memset(info, 0xCC, sizeof info);
    memset(notice, 0xCC, sizeof notice);
    unsigned short version = 0xCCCC;
    EXPECT_EQ(3, getInfo(reinterpret_cast<char *>(info), reinterpret_cast<char *>(notice), &version));
    EXPECT_EQ(200, version);

    const std::string firstLine = "起動している「ポコナビ」の一覧を表示してタスクを切り替えます。";
    const std::string expectedInfo = firstLine + "\nポコナビ一覧" + '\0';
    ASSERT_EQ(62u, firstLine.size());
    ASSERT_EQ(76u, expectedInfo.size());
    EXPECT_EQ(expectedInfo, std::string(reinterpret_cast<char *>(info), 76));
    EXPECT_EQ(0xCC, info[76]) << "nothing is written after the NUL";

    // The notice: one line of 23 bytes, then its NUL, nothing more.
    std::string text(reinterpret_cast<char *>(notice));
    EXPECT_EQ(23u, text.size());
    EXPECT_EQ(std::string::npos, text.find_first_of("\r\n"));
    EXPECT_EQ(0, notice[23]);
    EXPECT_EQ(0xCC, notice[24]);

    // No state: a second call writes the same.
    unsigned char again[256];
    memset(again, 0xCC, sizeof again);
    EXPECT_EQ(3, getInfo(reinterpret_cast<char *>(again), reinterpret_cast<char *>(notice), &version));
    EXPECT_EQ(0, memcmp(info, again, 77));
    FreeLibrary(dll);
}

}  // namespace
