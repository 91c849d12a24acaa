// The save queue writes on a thread of its own: one save at a time, the
// newest snapshot winning, and at the end whatever still waits is written by
// the caller, unless the writer is stuck.
#include "platform/GuardedCall.h"
#include "store/CatalogueFile.h"
#include "store/CatalogueSaveQueue.h"
#include "tests/store/StoreTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Holds every write (or every replacement) until opened, so that snapshots
// queue up behind the first.
class GatedStore : public MemoryFileStore {
public:
    explicit GatedStore(bool gateReplace = false) : gateReplace_(gateReplace) {}
    bool WriteDurably(const std::wstring& path, const std::string& bytes) override
    {
        std::unique_lock<std::mutex> lock(mutex_);
        ++writes;
        Hold(lock, !gateReplace_);
        return MemoryFileStore::WriteDurably(path, bytes);
    }
    bool ReplaceWith(const std::wstring& from, const std::wstring& to) override
    {
        std::unique_lock<std::mutex> lock(mutex_);
        Hold(lock, gateReplace_);
        return MemoryFileStore::ReplaceWith(from, to);
    }
    // Until `count` calls are held or were.
    void WaitForWrites(int count)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return held_ >= count; });
    }
    void Open()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    int writes = 0; // read once the writer is idle

private:
    void Hold(std::unique_lock<std::mutex>& lock, bool gated)
    {
        if (!gated)
            return;
        ++held_;
        changed_.notify_all();
        changed_.wait(lock, [&] { return open_; });
    }

    const bool gateReplace_;
    int held_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
};

// Snapshots told apart by their first key.
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

} // namespace

TEST(CatalogueSaveQueue, TheNewestWaitingSnapshotWinsAndFinishWritesWhatStillWaits)
{
    auto files = std::make_shared<GatedStore>();
    int heard = 0;
    CatalogueSaveQueue queue(files, L"Preferences.data",
                             [&](const CatalogueSaveQueue::Outcome& outcome) { heard += outcome.saved ? 1 : 100; });
    queue.Submit(Snapshot(1));
    files->WaitForWrites(1);
    queue.Submit(Snapshot(2));
    queue.Submit(Snapshot(3));
    files->Open();
    ASSERT_TRUE(queue.WaitUntilIdle(10s));
    EXPECT_EQ(files->writes, 2) << "the snapshot replaced while waiting was written";
    EXPECT_EQ(heard, 2);
    EXPECT_EQ(StoredKey(*files), 3u);

    // Handed in right before the end: written, by the writer or by Finish.
    queue.Submit(Snapshot(4));
    EXPECT_TRUE(queue.Finish(10s));
    EXPECT_EQ(StoredKey(*files), 4u);
    queue.Submit(Snapshot(5));
    EXPECT_EQ(queue.SavesWritten(), 3) << "written after the end";
}

TEST(CatalogueSaveQueue, FailuresAndAStuckWriterAreReportedByFinish)
{
    auto failing = std::make_shared<MemoryFileStore>();
    failing->failAt = MemoryFileStore::Step::ReplaceWith;
    std::wstring told, error;
    CatalogueSaveQueue queue(failing, L"Preferences.data",
                             [&](const CatalogueSaveQueue::Outcome& outcome) { told = outcome.error; });
    queue.Submit(Snapshot(1));
    ASSERT_TRUE(queue.WaitUntilIdle(10s));
    EXPECT_NE(told.find(L"could not be replaced"), std::wstring::npos);
    EXPECT_FALSE(queue.Finish(10s, &error));
    EXPECT_EQ(error, told) << "the last failure is forgotten";

    // Stuck writing: once Finish has given up, the writer that gets on
    // leaves the file as it was (the user is told so). Stuck replacing: the
    // file may still change, and Finish says so.
    for (const bool inReplacement : {false, true}) {
        MemoryFileStore before;
        ASSERT_TRUE(Save(L"Preferences.data", *Snapshot(9), before));
        auto stuck = std::make_shared<GatedStore>(inReplacement);
        stuck->files = before.files;
        CatalogueSaveQueue gated(stuck, L"Preferences.data", nullptr);
        gated.Submit(Snapshot(1));
        stuck->WaitForWrites(1);
        gated.Submit(Snapshot(2));
        EXPECT_FALSE(gated.Finish(50ms, &error));
        EXPECT_EQ(error, L"the previous save did not finish in time");
        EXPECT_EQ(gated.FileMayStillChange(), inReplacement);
        stuck->Open();
        ASSERT_TRUE(gated.WaitUntilIdle(10s));
        EXPECT_EQ(stuck->writes, 1) << "written beside or after the stuck writer";
        EXPECT_EQ(StoredKey(*stuck), inReplacement ? 1u : 9u);
    }
}

namespace {

// Throws from its first writes, as a failing allocation deep in a save would.
class ThrowingStore : public MemoryFileStore {
public:
    bool WriteDurably(const std::wstring& path, const std::string& bytes) override
    {
        if (throws-- > 0)
            throw std::runtime_error("no room");
        return MemoryFileStore::WriteDurably(path, bytes);
    }
    std::atomic<int> throws{2};
};

std::vector<std::string> reports;

} // namespace

TEST(CatalogueSaveQueue, ASaveThatThrowsFailsAloneIsToldOnceAndTheWriterGoesOn)
{
    SetEscapeReportSink([](const char* line) { reports.push_back(line); });
    auto files = std::make_shared<ThrowingStore>();
    std::vector<std::wstring> told;
    CatalogueSaveQueue queue(files, L"Preferences.data", [&](const CatalogueSaveQueue::Outcome& outcome) {
        told.push_back(outcome.saved ? L"saved" : outcome.error);
    });
    const int caughtBefore = EscapedExceptionCount();
    for (unsigned key = 1; key <= 3; ++key) {
        queue.Submit(Snapshot(key));
        ASSERT_TRUE(queue.WaitUntilIdle(10s));
    }
    SetEscapeReportSink(nullptr);
    EXPECT_EQ(told, (std::vector<std::wstring>{L"the catalogue could not be written",
                                               L"the catalogue could not be written", L"saved"}));
    EXPECT_EQ(EscapedExceptionCount() - caughtBefore, 2);
    ASSERT_EQ(reports.size(), 1u) << "the second throw at the same place is told again";
    EXPECT_NE(reports[0].find("no room"), std::string::npos) << reports[0];
    EXPECT_EQ(StoredKey(*files), 3u);
}
