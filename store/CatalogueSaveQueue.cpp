#include "store/CatalogueSaveQueue.h"

#include "catalogue/QuorvallisCommands.h"
#include "platform/GuardedCall.h"
#include "store/AbandonableFileStore.h"
#include "store/CatalogueFile.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

// What the writer shares with the queue, the file store too; held by both,
// so that a writer left behind at exit never uses what is gone.
struct CatalogueSaveQueue::Shared {
    Shared(std::shared_ptr<IFileStore> fileStore, std::wstring filePath, Listener onSaved)
        : files(std::move(fileStore)),
          path(std::move(filePath)),
          listener(std::move(onSaved))
    {
    }

    Outcome Write(const QuorvallisCommands& snapshot)
    {
        Outcome outcome;
        outcome.saved = Save(path, snapshot, files, &outcome.error);
        return outcome;
    }

    AbandonableFileStore files;
    const std::wstring path;
    const Listener listener;

    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::unique_ptr<const QuorvallisCommands> pending;
    std::vector<std::unique_ptr<const QuorvallisCommands>> replaced;
    bool writing = false;
    bool stopping = false;
    int written = 0;
    Outcome last{true, {}};
    std::thread writer;
};

CatalogueSaveQueue::CatalogueSaveQueue(std::shared_ptr<IFileStore> files, std::wstring path, Listener listener)
    : shared_(std::make_shared<Shared>(std::move(files), std::move(path), std::move(listener)))
{
    // The writer starts with the first save: until then its thread would
    // only hold memory (under Wine, a megabyte of stack).
}

CatalogueSaveQueue::~CatalogueSaveQueue()
{
    Finish(kExitWait);
}

void CatalogueSaveQueue::WriterLoop(std::shared_ptr<Shared> shared)
{
    std::unique_lock<std::mutex> lock(shared->mutex);
    for (;;) {
        shared->changed.wait(lock, [&] { return shared->stopping || shared->pending; });
        // What is still waiting at a stop is written by Finish.
        if (shared->stopping)
            return;
        std::unique_ptr<const QuorvallisCommands> snapshot = std::move(shared->pending);
        std::vector<std::unique_ptr<const QuorvallisCommands>> replaced = std::move(shared->replaced);
        shared->replaced.clear();
        shared->writing = true;
        lock.unlock();
        // Snapshots, and the last references to removed records, are
        // released here, not on the thread that hands them in.
        // What a save throws is reported and the save counts as failed; the
        // writer stays for the next one.
        Outcome outcome{false, L"the catalogue could not be written"};
        GuardedRun("the catalogue's writer thread", [&] {
            replaced.clear();
            outcome = shared->Write(*snapshot);
            snapshot.reset();
        });
        GuardedRun("the catalogue's save listener", [&] {
            if (shared->listener)
                shared->listener(outcome);
        });
        lock.lock();
        shared->last = std::move(outcome);
        ++shared->written;
        shared->writing = false;
        shared->changed.notify_all();
    }
}

void CatalogueSaveQueue::Submit(std::unique_ptr<const QuorvallisCommands> snapshot)
{
    if (!snapshot)
        return;
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        if (shared_->stopping)
            return;
        // The snapshot it replaces is released by the writer: dropping the
        // references to every record takes a while on a large catalogue.
        if (shared_->pending)
            shared_->replaced.push_back(std::move(shared_->pending));
        shared_->pending = std::move(snapshot);
        if (!shared_->writer.joinable()) {
            try {
                shared_->writer = std::thread(&CatalogueSaveQueue::WriterLoop, shared_);
            } catch (const std::system_error&) {
                // No thread to be had now: the snapshot waits for the next
                // save, which tries again, or for Finish, which writes it.
            }
        }
    }
    shared_->changed.notify_all();
}

bool CatalogueSaveQueue::Finish(std::chrono::milliseconds wait, std::wstring* error)
{
    const auto fail = [&](const std::wstring& why) {
        if (error)
            *error = why;
        return false;
    };
    if (finished_)
        return fail(L"the saves were finished already");
    finished_ = true;

    std::unique_ptr<const QuorvallisCommands> pending;
    Outcome last;
    {
        std::unique_lock<std::mutex> lock(shared_->mutex);
        shared_->stopping = true;
        shared_->changed.notify_all();
        if (!shared_->changed.wait_for(lock, wait, [&] { return !shared_->writing; })) {
            shared_->pending.reset();
            lock.unlock();
            // Still writing: it keeps its share of the state and ends with the
            // process; it changes no file any more, and what waits behind it
            // is not written.
            fileMayStillChange_ = !shared_->files.Abandon();
            shared_->writer.detach();
            return fail(L"the previous save did not finish in time");
        }
        pending = std::move(shared_->pending);
        last = shared_->last;
    }
    if (shared_->writer.joinable())
        shared_->writer.join();
    if (pending) {
        last = shared_->Write(*pending);
        std::lock_guard<std::mutex> lock(shared_->mutex);
        ++shared_->written;
        shared_->last = last;
    }
    if (!last.saved)
        return fail(last.error);
    return true;
}

bool CatalogueSaveQueue::WaitUntilIdle(std::chrono::milliseconds wait) const
{
    std::unique_lock<std::mutex> lock(shared_->mutex);
    return shared_->changed.wait_for(lock, wait, [&] { return !shared_->writing && !shared_->pending; });
}

int CatalogueSaveQueue::SavesWritten() const
{
    std::lock_guard<std::mutex> lock(shared_->mutex);
    return shared_->written;
}
