#include "programs/ProgramScan.h"

#include "platform/IFolderListing.h"
#include "platform/IShortcutReader.h"
#include "programs/ProgramNames.h"

#include <unordered_map>
#include <unordered_set>

namespace {

void ScanFolder(const std::wstring& folder, const std::wstring& keyPrefix, int depth, IFolderListing& listing,
                std::unordered_set<std::wstring>& seenKeys, std::vector<Program>& programs)
{
    std::vector<IFolderListing::Entry> entries;
    if (!listing.List(folder, entries))
        return;
    for (const IFolderListing::Entry& entry : entries) {
        if (entry.isFolder) {
            if (depth < ProgramScan::kMaxDepth)
                ScanFolder(folder + L'\\' + entry.name, keyPrefix + entry.name + L'\\', depth + 1, listing, seenKeys,
                           programs);
            continue;
        }
        std::wstring name = ProgramNames::NameOfShortcut(entry.name);
        if (name.empty())
            continue;
        std::wstring key = keyPrefix + entry.name;
        if (!seenKeys.insert(ProgramNames::Folded(key)).second)
            continue;
        Program program;
        program.name = std::move(name);
        program.path = folder + L'\\' + entry.name;
        program.key = std::move(key);
        program.writeTime = entry.writeTime;
        programs.push_back(std::move(program));
    }
}

} // namespace

namespace ProgramScan {

std::vector<Program> Scan(const std::vector<std::wstring>& roots, IFolderListing& listing)
{
    std::vector<Program> programs;
    std::unordered_set<std::wstring> seenKeys;
    for (const std::wstring& root : roots)
        if (!root.empty())
            ScanFolder(root, std::wstring(), 0, listing, seenKeys, programs);
    return programs;
}

void Refine(std::vector<Program>& programs, const std::vector<Program>& known, IShortcutReader& reader,
            const std::atomic<bool>* stopping)
{
    std::unordered_map<std::wstring, const Program*> byPath;
    for (const Program& program : known)
        if (program.targetRead)
            byPath.emplace(program.path, &program);

    std::vector<Program> kept;
    kept.reserve(programs.size());
    std::unordered_set<std::wstring> targets;
    for (Program& program : programs) {
        if (stopping != nullptr && *stopping)
            return;
        if (!program.targetRead) {
            const auto earlier = byPath.find(program.path);
            if (earlier != byPath.end() && earlier->second->writeTime == program.writeTime) {
                program.target = earlier->second->target;
                program.icon = earlier->second->icon;
                program.iconRead = earlier->second->iconRead;
            } else if (!reader.Target(program.path, program.target)) {
                // A shortcut that cannot be read is still shown: the shell
                // may well open it.
                program.target.clear();
            }
            program.targetRead = true;
        }
        if (ProgramNames::IsDocumentTarget(program.target))
            continue;
        if (!program.target.empty() && !targets.insert(ProgramNames::Folded(program.target)).second)
            continue;
        kept.push_back(std::move(program));
    }
    programs = std::move(kept);
}

void TakeIcons(std::vector<Program>& programs, IShortcutReader& reader, const std::atomic<bool>* stopping)
{
    for (Program& program : programs) {
        if (stopping != nullptr && *stopping)
            return;
        if (program.iconRead)
            continue;
        program.icon = reader.CacheIcon(program.path);
        program.iconRead = true;
    }
}

} // namespace ProgramScan
