#include <workers/worker_pool.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace ondula {
namespace {

struct Chunk {
    int begin;
    int end;
    std::thread::id thread;
};

std::vector<Chunk> Chunks(int count, int grain)
{
    std::mutex mutex;
    std::vector<Chunk> chunks;
    ParallelFor(count, grain, [&](int begin, int end) {
        const std::lock_guard lock(mutex);
        chunks.push_back({begin, end, std::this_thread::get_id()});
    });
    return chunks;
}

class WorkerPool : public testing::Test {
protected:
    void TearDown() override
    {
        SetWorkerCount(static_cast<int>(std::thread::hardware_concurrency()));
    }
};

TEST_F(WorkerPool, DefaultsToTheMachinesCoresAndNeverBelowOne)
{
    EXPECT_EQ(WorkerCount(), static_cast<int>(std::thread::hardware_concurrency()));
    SetWorkerCount(0);
    EXPECT_EQ(WorkerCount(), 1);
    SetWorkerCount(3);
    EXPECT_EQ(WorkerCount(), 3);
}

TEST_F(WorkerPool, CoversEveryIndexOnceInChunksOfAtLeastTheGrain)
{
    struct Case {
        int workers, count, grain;
        bool inline_;
    };
    for (const Case c :
         {Case{4, 0, 1, true}, Case{4, 7, 4, true}, Case{4, 8, 4, false}, Case{4, 1000, 1, false},
          Case{4, 1001, 100, false}, Case{1, 1000, 1, true}, Case{3, 10, 0, false}}) {
        SetWorkerCount(c.workers);
        std::vector<int> hits(c.count, 0);
        const std::vector<Chunk> chunks = Chunks(c.count, c.grain);
        for (const Chunk& k : chunks) {
            EXPECT_GE(k.end - k.begin, c.grain);
            for (int i = k.begin; i < k.end; ++i)
                ++hits[i];
        }
        EXPECT_EQ(hits, std::vector<int>(c.count, 1)) << c.workers << " " << c.count;
        if (c.inline_ && c.count > 0) {
            ASSERT_EQ(chunks.size(), 1u);
            EXPECT_EQ(chunks[0].thread, std::this_thread::get_id());
        } else if (c.count > 0) {
            EXPECT_GT(chunks.size(), 1u);
        }
    }
}

TEST_F(WorkerPool, UsesSeveralThreadsAndRunsNestedLoopsInline)
{
    SetWorkerCount(4);
    std::mutex mutex;
    std::vector<std::thread::id> outer;
    std::atomic<int> started = 0;
    std::atomic<bool> nestedOnOwnThread = true;
    // Two chunks, each waiting for the other to start: a second thread must run one.
    ParallelFor(2, 1, [&](int, int) {
        const auto self = std::this_thread::get_id();
        ParallelFor(100, 1, [&](int begin, int end) {
            if (std::this_thread::get_id() != self || begin != 0 || end != 100)
                nestedOnOwnThread = false;
        });
        ++started;
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (started < 2 && std::chrono::steady_clock::now() < give_up)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const std::lock_guard lock(mutex);
        outer.push_back(self);
    });
    ASSERT_EQ(outer.size(), 2u);
    EXPECT_NE(outer[0], outer[1]);
    EXPECT_TRUE(nestedOnOwnThread);
}

TEST_F(WorkerPool, RethrowsAChunksExceptionAfterEveryChunkFinished)
{
    SetWorkerCount(4);
    std::atomic<int> done = 0;
    EXPECT_THROW(ParallelFor(16, 1,
                             [&](int begin, int end) {
                                 done += end - begin;
                                 if (begin == 0)
                                     throw std::runtime_error("chunk");
                             }),
                 std::runtime_error);
    EXPECT_EQ(done.load(), 16);
    EXPECT_GT(Chunks(10, 1).size(), 1u);
}

} // namespace
} // namespace ondula
