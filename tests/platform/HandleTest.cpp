#include "platform/UniqueHandle.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#ifndef _WIN32
#include "platform/File.h"
#include "platform/PathResolver.h"
#include "support/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <new>
#endif

namespace {

std::vector<int*> s_apClosed;
void CloseFake(int* p) {
    s_apClosed.push_back(p);
}
using CFakeHandle = CUniqueHandle<int*, &CloseFake>;

class UniqueHandleTest : public ::testing::Test {
protected:
    void SetUp() override { s_apClosed.clear(); }
    int m_nFirst = 0;
    int m_nSecond = 0;
};

TEST_F(UniqueHandleTest, ClosesOnceHoweverItIsHandedOn) {
    {
        CFakeHandle h(&m_nFirst);
        CFakeHandle moved(std::move(h));
        EXPECT_FALSE(h);
        CFakeHandle assigned;
        assigned = std::move(moved);
        EXPECT_FALSE(moved);
        EXPECT_EQ(assigned.get(), &m_nFirst);
        EXPECT_TRUE(s_apClosed.empty());
    }
    EXPECT_EQ(s_apClosed, std::vector<int*>{&m_nFirst});
}

TEST_F(UniqueHandleTest, ReplacingClosesTheOldOneAndReleasingClosesNothing) {
    {
        CFakeHandle h(&m_nFirst);
        h.reset(&m_nSecond);
        EXPECT_EQ(s_apClosed, std::vector<int*>{&m_nFirst});
        h = CFakeHandle(&m_nFirst);
        EXPECT_EQ(s_apClosed, (std::vector<int*>{&m_nFirst, &m_nSecond}));
        EXPECT_EQ(h.release(), &m_nFirst);
        EXPECT_FALSE(h);
    }
    EXPECT_EQ(s_apClosed.size(), 2u);
}

TEST_F(UniqueHandleTest, NoHandleIsNeverClosed) {
    {
        CFakeHandle none;
        CFakeHandle null(nullptr);
        EXPECT_FALSE(none);
        EXPECT_FALSE(null);
        none.reset();
    }
    EXPECT_TRUE(s_apClosed.empty());
}

#ifndef _WIN32

// Fails the allocation a test arms, as a program out of memory would; none otherwise.
int s_nAllocationsBeforeFailure = -1;

std::size_t OpenDescriptors() {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

// Runs the action with its first allocation failing, then its second, and so on until it gets
// through.
void FailEachAllocation(const std::function<void()>& action) {
    for (int n = 0;; ++n) {
        bool bFailed = false;
        s_nAllocationsBeforeFailure = n;
        try {
            action();
        } catch (const std::bad_alloc&) {
            bFailed = true;
        }
        s_nAllocationsBeforeFailure = -1;
        if (!bFailed)
            return;
    }
}

using FolderListingTest = CTempFolderTest;

TEST_F(FolderListingTest, ListingsAreClosedWhenMemoryRunsOut) {
    // Names too long to be kept inside a string object, so that copying one allocates.
    for (const char* pszName :
         {"first-file-with-a-long-name.txt", "second-file-with-a-long-name.txt",
          "third-file-with-a-long-name.txt"})
        support::WriteBytes(pszName, "x");
    const std::size_t nBefore = OpenDescriptors();

    FailEachAllocation([] { (void)ResolvePath("SECOND-FILE-WITH-A-LONG-NAME.TXT"); });
    FailEachAllocation([] {
        const CFolderListingScope listings;
        (void)ResolvePath("SECOND-FILE-WITH-A-LONG-NAME.TXT");
    });
    FailEachAllocation([] { (void)FindFiles("*.TXT"); });

    EXPECT_EQ(OpenDescriptors(), nBefore);
}

#endif

} // namespace

#ifndef _WIN32

void* operator new(std::size_t nSize) {
    if (s_nAllocationsBeforeFailure == 0)
        throw std::bad_alloc();
    if (s_nAllocationsBeforeFailure > 0)
        --s_nAllocationsBeforeFailure;
    if (void* p = std::malloc(nSize == 0 ? 1 : nSize))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

#endif
