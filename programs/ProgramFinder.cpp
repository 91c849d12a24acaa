#include "programs/ProgramFinder.h"

#include "platform/IFolderWatch.h"
#include "programs/ProgramList.h"
#include "programs/ProgramScan.h"

#include <algorithm>
#include <system_error>

ProgramFinder::ProgramFinder(std::vector<std::wstring> roots, IFolderListing& listing, IShortcutReader& reader,
                             IFolderWatch& watch, ProgramList& list, std::function<void()> published)
    : roots_(std::move(roots)),
      listing_(listing),
      reader_(reader),
      watch_(watch),
      list_(list),
      published_(std::move(published))
{
}

ProgramFinder::~ProgramFinder()
{
    Stop();
}

bool ProgramFinder::Start(std::function<void()> threadStart, std::function<void()> threadEnd)
{
    if (thread_.joinable())
        return true;
    threadStart_ = std::move(threadStart);
    threadEnd_ = std::move(threadEnd);
    try {
        thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void ProgramFinder::Stop()
{
    stopping_ = true;
    watch_.Stop();
    if (thread_.joinable())
        thread_.join();
}

void ProgramFinder::ScanOnce(bool first)
{
    std::vector<Program> programs = ProgramScan::Scan(roots_, listing_);
    if (first) {
        // Found by name at once; the files are read after.
        list_.Publish(programs);
        if (published_)
            published_();
    }
    ProgramScan::Refine(programs, known_, reader_, &stopping_);
    if (stopping_)
        return;
    const bool iconsDue =
        std::any_of(programs.begin(), programs.end(), [](const Program& program) { return !program.iconRead; });
    if (iconsDue) {
        // Without their new icons for a moment rather than waiting for them.
        list_.Publish(programs);
        if (published_)
            published_();
        ProgramScan::TakeIcons(programs, reader_, &stopping_);
        if (stopping_)
            return;
    }
    known_ = programs;
    list_.Publish(std::move(programs));
    ++scans_;
    if (published_)
        published_();
}

void ProgramFinder::Run()
{
    if (threadStart_)
        threadStart_();
    bool first = true;
    while (!stopping_) {
        ScanOnce(first);
        first = false;
        IFolderWatch::Wake wake = watch_.Wait(-1);
        // Changes come in bursts: scan once they stop.
        while (wake == IFolderWatch::Wake::Changed)
            wake = watch_.Wait(kSettleMs);
        if (wake == IFolderWatch::Wake::Stopped)
            break;
    }
    if (threadEnd_)
        threadEnd_();
}
