// Loading a file while the address space is capped below what its lines need: the
// user is told, and the buffer keeps its text.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <fstream>

#include "RecordingView.h"
#include "tests/support/TempDir.h"
#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/core/MessageBox.h"
#include "zorkit/platform/core/Resources.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ZORKIT_SANITIZED_BUILD 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define ZORKIT_SANITIZED_BUILD 1
#endif
#endif

namespace {

// The process's current virtual size in bytes.
rlim_t VirtualSize()
{
    std::ifstream statm("/proc/self/statm");
    rlim_t pages = 0;
    statm >> pages;
    return pages * rlim_t(sysconf(_SC_PAGESIZE));
}

class AddressSpaceCap {
public:
    explicit AddressSpaceCap(rlim_t headroom)
    {
        getrlimit(RLIMIT_AS, &m_saved);
        rlimit cap = m_saved;
        cap.rlim_cur = VirtualSize() + headroom;
        setrlimit(RLIMIT_AS, &cap);
    }
    ~AddressSpaceCap() { setrlimit(RLIMIT_AS, &m_saved); }

private:
    rlimit m_saved{};
};

TEST(TextBufMemory, ALackOfMemoryIsShownAndKeepsTheText)
{
#ifdef ZORKIT_SANITIZED_BUILD
    GTEST_SKIP() << "sanitizers reserve address space beyond any cap";
#endif
    if (!zorkit::FindStringResource(102))
        zorkit::RegisterStringResource(102, zorkit::GbkFromUtf8("内存溢出！").c_str());
    TempDir dir;
    std::string line(78, 'm');
    std::string text;
    for (int i = 0; i < 400000; ++i)
        text += line + "\r\n";
    std::string file = dir.Write("big.txt", text);

    RecordingView view;
    CTextBuf buffer;
    buffer.InsertLine("kept");
    buffer.AddView(&view);
    zorkit::ClearRecordedMessageBoxes();
    zorkit::SetMessageBoxEcho(false);
    BOOL loaded;
    {
        AddressSpaceCap cap(8 << 20);
        loaded = buffer.LoadFromFile(file.c_str());
    }
    zorkit::SetMessageBoxEcho(true);
    EXPECT_FALSE(loaded) << "40 MB of lines cannot fit in 8 MB";
    EXPECT_EQ(LinesOf(buffer), (Lines{"kept"}));
    EXPECT_TRUE(view.m_updates.empty());
    auto boxes = zorkit::RecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, zorkit::GbkFromUtf8("内存溢出！"));
}

}
