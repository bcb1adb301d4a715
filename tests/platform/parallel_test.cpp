#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

#include "platform/parallel.h"

using zelvar::forEachIndex;

TEST(Parallel, EveryIndexIsDoneOnceWhateverTheThreadsAndBatches) {
    struct Case {
        std::size_t n;
        unsigned threads;
        std::size_t batch;
    };
    for (const Case c : {Case{0, 4, 8}, {1, 4, 8}, {1000, 1, 1}, {1000, 3, 7}, {257, 2, 256}, {5000, 8, 0}}) {
        std::vector<std::atomic<int>> done(c.n);
        forEachIndex(c.n, c.threads, c.batch, [&](std::size_t i) { ++done[i]; });
        for (std::size_t i = 0; i < c.n; ++i)
            ASSERT_EQ(done[i].load(), 1) << "n " << c.n << ", threads " << c.threads << ", index " << i;
    }
}

// A worker's exception reaches the caller, and only once every worker has stopped.
TEST(Parallel, AWorkersExceptionIsThrownToTheCallerAfterEveryThreadStopped) {
    std::atomic<int> running{0};
    const auto body = [&](std::size_t i) {
        ++running;
        if (i == 3000) {
            --running;
            throw std::runtime_error("row 3000");
        }
        --running;
    };
    try {
        forEachIndex(10000, 4, 16, body);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "row 3000");
    }
    EXPECT_EQ(running.load(), 0);
}
