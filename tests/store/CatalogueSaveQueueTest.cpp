// The save queue writes on a thread of its own: one save at a time, the
// newest snapshot winning, and at the end whatever still waits is written by
// the caller, unless the writer is stuck.
#include "catalogue/QuorvallisCommands.h"
#include "store/CatalogueFile.h"
#include "store/CatalogueSaveQueue.h"
#include "tests/store/StoreTestSupport.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Holds the first write until released, so that snapshots queue up behind it.
class GatedStore : public MemoryFileStore {
public:
    bool WriteDurably(const std::wstring& path, const std::string& bytes) override
    {
        std::unique_lock<std::mutex> lock(mutex_);
        ++writes_;
        held_ = true;
        changed_.notify_all();
        changed_.wait(lock, [&] { return open_; });
        return MemoryFileStore::WriteDurably(path, bytes);
    }
    void WaitUntilHeld()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return held_; });
    }
    void Open()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    int writes()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return writes_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool held_ = false;
    bool open_ = false;
    int writes_ = 0;
};

// A catalogue whose first key tells the snapshots apart.
std::unique_ptr<const QuorvallisCommands> Snapshot(unsigned key)
{
    QuorvallisCommands catalogue;
    catalogue.firstControlKey = key;
    return catalogue.StoredSnapshot();
}

unsigned StoredKey(MemoryFileStore& files)
{
    QuorvallisCommands stored;
    EXPECT_EQ(Load(L"Preferences.data", stored, files).outcome, LoadOutcome::Loaded);
    return stored.firstControlKey;
}

}  // namespace

TEST(CatalogueSaveQueue, TheNewestWaitingSnapshotWinsAndFinishWritesWhatStillWaits)
{
    GatedStore files;
    std::mutex heard;
    std::vector<bool> outcomes;
    CatalogueSaveQueue queue(files, L"Preferences.data", [&](const CatalogueSaveQueue::Outcome& outcome) {
        std::lock_guard<std::mutex> lock(heard);
        outcomes.push_back(outcome.saved);
    });
    queue.Submit(Snapshot(1));
    files.WaitUntilHeld();
    queue.Submit(Snapshot(2));
    queue.Submit(Snapshot(3));
    files.Open();
    ASSERT_TRUE(queue.WaitUntilIdle(10s));
    EXPECT_EQ(files.writes(), 2) << "the snapshot replaced while waiting was written";
    EXPECT_EQ(queue.SavesWritten(), 2);
    EXPECT_EQ(StoredKey(files), 3u);

    // Handed in right before the end: written, by the writer or by Finish.
    queue.Submit(Snapshot(4));
    std::wstring error;
    EXPECT_TRUE(queue.Finish(10s, &error)) << std::string(error.begin(), error.end());
    EXPECT_EQ(StoredKey(files), 4u);
    queue.Submit(Snapshot(5));
    EXPECT_EQ(StoredKey(files), 4u) << "written after the end";
    EXPECT_EQ(queue.SavesWritten(), 3);
    std::lock_guard<std::mutex> lock(heard);
    EXPECT_EQ(outcomes.size() >= 2 ? std::vector<bool>(outcomes.size(), true) : std::vector<bool>{}, outcomes);
}

TEST(CatalogueSaveQueue, FailuresAndAStuckWriterAreReportedByFinish)
{
    MemoryFileStore failing;
    failing.failAt = MemoryFileStore::Step::ReplaceWith;
    std::wstring told;
    {
        CatalogueSaveQueue queue(failing, L"Preferences.data", [&](const CatalogueSaveQueue::Outcome& outcome) {
            if (!outcome.saved)
                told = outcome.error;
        });
        queue.Submit(Snapshot(1));
        ASSERT_TRUE(queue.WaitUntilIdle(10s));
        EXPECT_NE(told.find(L"could not be replaced"), std::wstring::npos);
        std::wstring error;
        EXPECT_FALSE(queue.Finish(10s, &error));
        EXPECT_NE(error.find(L"could not be replaced"), std::wstring::npos) << "the last failure is not forgotten";
    }

    GatedStore stuck;
    {
        CatalogueSaveQueue queue(stuck, L"Preferences.data", nullptr);
        queue.Submit(Snapshot(1));
        stuck.WaitUntilHeld();
        queue.Submit(Snapshot(2));
        std::wstring error;
        EXPECT_FALSE(queue.Finish(50ms, &error));
        EXPECT_EQ(error, L"the previous save did not finish in time");
        EXPECT_EQ(stuck.writes(), 1) << "written beside the stuck writer";
        stuck.Open();
        ASSERT_TRUE(queue.WaitUntilIdle(10s));
    }
    EXPECT_EQ(stuck.writes(), 1) << "the stuck writer went on after the end";
}
