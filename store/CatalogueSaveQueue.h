#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

class IFileStore;
class QuorvallisCommands;

// Writes catalogue snapshots to the file on a thread of its own (started by
// the first snapshot), one save at a time, so that the thread answering the
// keyboard hook never waits for the disk. A snapshot handed in while a save
// runs waits; a newer one replaces it, since it holds every change the older
// one did.
class CatalogueSaveQueue {
public:
    struct Outcome {
        bool saved = false;
        std::wstring error; // what went wrong, when not saved
    };
    // Told the outcome of each save, on the writer thread.
    using Listener = std::function<void(const Outcome&)>;

    // The file store is used by one thread at a time: the writer, or the
    // caller of Finish once the writer has stopped. A writer left running
    // at exit shares it until it ends.
    CatalogueSaveQueue(std::shared_ptr<IFileStore> files, std::wstring path, Listener listener);
    // Finishes as Finish does, with kExitWait.
    ~CatalogueSaveQueue();
    CatalogueSaveQueue(const CatalogueSaveQueue&) = delete;
    CatalogueSaveQueue& operator=(const CatalogueSaveQueue&) = delete;

    // Hands in the newest snapshot; returns at once. Ignored after Finish.
    void Submit(std::unique_ptr<const QuorvallisCommands> snapshot);

    // Stops the writer: waits up to `wait` for the save under way, then
    // writes on this thread the snapshot that is still waiting, if any. True
    // when everything handed in is in the file; false with the reason when
    // the last write failed or the writer did not finish in time (it is then
    // left to end with the process and changes no file from then on, unless
    // it was replacing the file already: see FileMayStillChange).
    bool Finish(std::chrono::milliseconds wait, std::wstring* error = nullptr);
    // After a Finish that timed out: true when the writer left behind was
    // replacing the file, which may then still receive its snapshot.
    bool FileMayStillChange() const { return fileMayStillChange_; }

    // Waits up to `wait` until nothing is waiting or being written.
    bool WaitUntilIdle(std::chrono::milliseconds wait) const;
    // How many saves were written so far, successful or not.
    int SavesWritten() const;

    static constexpr std::chrono::milliseconds kExitWait{10000};

private:
    struct Shared;
    static void WriterLoop(std::shared_ptr<Shared> shared);

    std::shared_ptr<Shared> shared_;
    bool finished_ = false;
    bool fileMayStillChange_ = false;
};
