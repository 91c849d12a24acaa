#include "programs/ProgramFinder.h"

#include "platform/IFolderWatch.h"
#include "programs/ProgramList.h"
#include "programs/ProgramScan.h"

#include <algorithm>
#include <system_error>

ProgramFinder::ProgramFinder(std::vector<std::wstring> roots, IFolderListing& listing, IShortcutReader& reader,
                             IFolderWatch& watch, ProgramList& list, std::function<void()> threadStart,
                             std::function<void()> threadEnd)
    : roots_(std::move(roots)),
      listing_(listing),
      reader_(reader),
      watch_(watch),
      list_(list),
      threadStart_(std::move(threadStart)),
      threadEnd_(std::move(threadEnd))
{
}

ProgramFinder::~ProgramFinder()
{
    Stop();
}

bool ProgramFinder::Start()
{
    return Rescan();
}

void ProgramFinder::Poll()
{
    if (stopping_)
        return;
    if (watch_.Wait(0) == IFolderWatch::Wake::Changed) {
        // Changes come in bursts (an installer): scan once they stop.
        changed_ = true;
        return;
    }
    if (changed_) {
        changed_ = false;
        Rescan();
    }
}

bool ProgramFinder::Rescan()
{
    const std::lock_guard<std::mutex> lock(guard_);
    if (stopping_)
        return false;
    if (running_) {
        again_ = true;
        return true;
    }
    if (thread_.joinable())
        thread_.join(); // ended already
    running_ = true;
    try {
        thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        running_ = false;
        return false;
    }
    return true;
}

void ProgramFinder::Stop()
{
    stopping_ = true;
    watch_.Stop();
    std::thread ending;
    {
        const std::lock_guard<std::mutex> lock(guard_);
        ending = std::move(thread_);
    }
    if (ending.joinable())
        ending.join();
}

void ProgramFinder::ScanOnce(bool first)
{
    std::vector<Program> programs = ProgramScan::Scan(roots_, listing_);
    if (first) {
        // Found by name at once; the files are read after.
        list_.Publish(programs);
    }
    ProgramScan::Refine(programs, known_, reader_, &stopping_);
    if (stopping_)
        return;
    const bool iconsDue =
        std::any_of(programs.begin(), programs.end(), [](const Program& program) { return !program.iconRead; });
    if (iconsDue) {
        // Without their new icons for a moment rather than waiting for them.
        list_.Publish(programs);
        ProgramScan::TakeIcons(programs, reader_, &stopping_);
        if (stopping_)
            return;
    }
    known_ = programs;
    list_.Publish(std::move(programs));
    ++scans_;
}

void ProgramFinder::Run()
{
    if (threadStart_)
        threadStart_();
    for (;;) {
        const bool first = first_;
        first_ = false;
        ScanOnce(first);
        const std::lock_guard<std::mutex> lock(guard_);
        if (!again_ || stopping_) {
            running_ = false;
            break;
        }
        again_ = false;
    }
    if (threadEnd_)
        threadEnd_();
}
