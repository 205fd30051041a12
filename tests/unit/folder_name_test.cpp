// Folder-name mode: the last folder of a Shift-JIS path.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "listwindow/folder_name.h"

namespace {

TEST(FolderName, SystemRunsCodePage932)
{
    // The double-byte cases below mean nothing under another code page.
    ASSERT_EQ(932u, GetACP());
    ASSERT_TRUE(IsDBCSLeadByte(0x83));
}

TEST(FolderName, LastSegmentOfEachKindOfPath)
{
    struct Case { const char *text; const char *expected; };
    const Case cases[] = {
        { "C:\\Work\\Photos\\", "Photos" },
        { "D:\\Data\\", "Data" },
        { "C:\\", "C:" },
        { "\\\\server\\share\\", "share" },
        { "\\", "\\" },
        { "C:\\Work\\\\", "\\" },
        { "パスの取得に失敗しました\\", "パスの取得に失敗しました" },
        // Trail byte 0x5C of ソ (83 5C) and 表 (95 5C) belongs to its character.
        { "C:\\ソフト\\", "ソフト" },
        { "C:\\表\\", "表" },
        { "C:\\資料\\表\\", "表" },
        { "C:\\ソ\\", "ソ" },
        { "C:\\Work\\ソ\\", "ソ" },
        // No final backslash: the segment after the last one; none at all: the whole text.
        { "C:\\Work", "Work" },
        { "C:\\Work\\ソフト", "ソフト" },
        { "Work", "Work" },
        { "ソフト", "ソフト" },
        { "C:\\Work\\Photos\\a", "a" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        char out[260];
        memset(out, 'x', sizeof out);
        ExtractFolderName(c.text, out, sizeof out);
        EXPECT_EQ(std::string(c.expected), out);
    }
}

TEST(FolderName, LongestTextFitsAndSmallBufferIsNotOverrun)
{
    std::string longest = "C:\\" + std::string(255, 'a') + "\\";   // 259 bytes
    char out[260];
    ExtractFolderName(longest.c_str(), out, sizeof out);
    EXPECT_EQ(std::string(255, 'a'), out);

    char small[8];
    memset(small, 'x', sizeof small);
    ExtractFolderName("C:\\Work\\Photographs\\", small, 6);
    EXPECT_STREQ("Photo", small);
    EXPECT_EQ('x', small[6]);
    EXPECT_EQ('x', small[7]);
}

}  // namespace
