// A reply text from another process: only the bytes received may be read.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "exchange/reply_copy.h"

namespace {

// Places bytes at the very end of a readable page followed by an inaccessible
// one, so a read past the received data faults instead of passing silently.
class GuardedBytes {
public:
    explicit GuardedBytes(const std::string &bytes)
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        page_ = info.dwPageSize;
        base_ = static_cast<char *>(VirtualAlloc(0, page_ * 2, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old;
        VirtualProtect(base_ + page_, page_, PAGE_NOACCESS, &old);
        data_ = base_ + page_ - bytes.size();
        memcpy(data_, bytes.data(), bytes.size());
    }
    ~GuardedBytes() { VirtualFree(base_, 0, MEM_RELEASE); }
    const void *data() const { return data_; }

private:
    char *base_;
    char *data_;
    size_t page_;
};

TEST(ReplyCopy, AcceptsWholeTextsAndRefusesTheRest)
{
    struct Case {
        const char *what;
        std::string bytes;      // exactly what was received
        bool accepted;
        std::string text;       // the buffer afterwards
    };
    const std::string kept = "kept";
    const Case cases[] = {
        { "folder with its NUL", std::string("C:\\Work\\\0", 9), true, "C:\\Work\\" },
        { "empty text of a virtual folder", std::string("\0", 1), true, "" },
        { "Shift-JIS folder", std::string("C:\\ソフト\\\0", 11), true, "C:\\ソフト\\" },
        { "259 bytes just fit", std::string(259, 'E') + '\0', true, std::string(259, 'E') },
        { "NUL before the end of the data", std::string("AB\0garbage", 10), true, "AB" },
        { "260 bytes do not fit", std::string(260, 'L') + '\0', false, kept },
        { "999 bytes do not fit", std::string(999, 'A') + '\0', false, kept },
        { "no NUL within the data", std::string(16, 'B'), false, kept },
        { "no data at all", std::string(), false, kept },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        GuardedBytes received(c.bytes);
        char dest[260];
        strcpy(dest, kept.c_str());
        EXPECT_EQ(c.accepted, CopyReplyText(dest, sizeof dest, received.data(), c.bytes.size()));
        EXPECT_EQ(c.text, dest);
    }
}

TEST(ReplyCopy, NullDataIsRefused)
{
    char dest[260] = "kept";
    EXPECT_FALSE(CopyReplyText(dest, sizeof dest, nullptr, 100));
    EXPECT_STREQ("kept", dest);
}

}  // namespace
