#include "programs/ProgramList.h"

#include "programs/ProgramNames.h"
#include "programs/ProgramUsage.h"

ProgramList::ProgramList(ProgramUsage& usage)
    : usage_(usage),
      current_(std::make_shared<const std::vector<Program>>())
{
}

ProgramList::Snapshot ProgramList::Current() const
{
    const std::lock_guard<std::mutex> lock(guard_);
    return current_;
}

void ProgramList::Swap(Snapshot next)
{
    current_ = std::move(next);
    ++generation_;
}

void ProgramList::Publish(std::vector<Program> programs)
{
    for (Program& program : programs)
        program.timesStarted = usage_.TimesStarted(program.key);
    auto next = std::make_shared<const std::vector<Program>>(std::move(programs));
    const std::lock_guard<std::mutex> lock(guard_);
    Swap(std::move(next));
}

int ProgramList::CountStart(const std::wstring& key)
{
    const std::lock_guard<std::mutex> lock(guard_);
    const int count = usage_.CountStart(key);
    auto next = std::make_shared<std::vector<Program>>(*current_);
    const std::wstring folded = ProgramNames::Folded(key);
    for (Program& program : *next)
        if (ProgramNames::Folded(program.key) == folded)
            program.timesStarted = count;
    Swap(std::move(next));
    return count;
}
