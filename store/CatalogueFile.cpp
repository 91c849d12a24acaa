#include "store/CatalogueFile.h"

#include "catalogue/QuorvallisCommands.h"
#include "platform/IFileStore.h"
#include "platform/IRegistry.h"
#include "store/CatalogueConsistency.h"
#include "store/CatalogueText.h"
#include "store/FileReplacement.h"

#include <exception>
#include <new>

const wchar_t* const AutoStartValueName = L"Quorvallis";

namespace {

// The file that takes the saves while the catalogue file cannot be replaced:
// ".new", else ".new2", ".new3"... whichever neither exists nor has a backup,
// so that a run that could not read the catalogue never replaces what an
// earlier such run saved. The folder holds finitely many files.
std::wstring FreshSavePath(const std::wstring& path, IFileStore& files)
{
    for (unsigned long long number = 1;; ++number) {
        const std::wstring candidate = path + L".new" + (number == 1 ? std::wstring() : std::to_wstring(number));
        if (!files.Exists(candidate) && !files.Exists(candidate + L".bak"))
            return candidate;
    }
}

LoadResult Damaged(const std::wstring& path, IFileStore& files, std::wstring error)
{
    LoadResult result;
    result.outcome = LoadOutcome::Damaged;
    result.error = std::move(error);
    result.keptAsidePath = FileReplacement::KeepAside(path, files);
    // A damaged file that stayed in place is still the user's only copy.
    result.savePath = result.keptAsidePath.empty() ? FreshSavePath(path, files) : path;
    return result;
}

} // namespace

LoadResult Load(const std::wstring& path, QuorvallisCommands& catalogue, IFileStore& files)
{
    LoadResult result;
    result.savePath = path;
    std::string bytes;
    switch (files.ReadAll(path, bytes)) {
    case IFileStore::ReadResult::Missing: return result;
    case IFileStore::ReadResult::Failed:
        // Not read is not damaged: the file may well be good, so it is
        // neither moved nor replaced.
        result.outcome = LoadOutcome::Unreadable;
        result.error = L"the file could not be read: " + files.LastError();
        result.savePath = FreshSavePath(path, files);
        return result;
    case IFileStore::ReadResult::Read: break;
    }

    // Read into a scratch catalogue so that a file that breaks off part way
    // leaves the real one as it was.
    QuorvallisCommands scratch;
    std::wstring error;
    if (!CatalogueText::ReadBytes(bytes, scratch, error))
        return Damaged(path, files, error);
    if (!CatalogueConsistency::Check(scratch, error))
        return Damaged(path, files, error);
    // Records that share an id are all kept, under ids of their own.
    result.renumbered = CatalogueConsistency::RenumberDuplicates(scratch);

    catalogue.AdoptStoredFields(scratch);
    result.outcome = LoadOutcome::Loaded;
    return result;
}

bool Save(const std::wstring& path, const QuorvallisCommands& catalogue, IFileStore& files, std::wstring* error)
{
    std::wstring problem;
    const auto fail = [&](const std::wstring& why) {
        if (error != nullptr)
            *error = why;
        return false;
    };

    std::string bytes;
    {
        const auto lock = catalogue.Lock();
        // A catalogue that the next start would refuse is not written over a
        // good file.
        if (!CatalogueConsistency::Check(catalogue, problem))
            return fail(L"the catalogue is inconsistent: " + problem);
        try {
            bytes = CatalogueText::WriteBytes(catalogue);
        } catch (const std::bad_alloc&) {
            return fail(L"out of memory");
        } catch (const std::exception&) {
            return fail(L"the catalogue could not be written");
        }
    }

    if (!FileReplacement::Replace(path, bytes, files, &problem, FileReplacement::Backup::Keep))
        return fail(problem);
    return true;
}

std::wstring AutoStartCommandLine(const std::wstring& programPath)
{
    const bool quoted = programPath.size() >= 2 && programPath.front() == L'"' && programPath.back() == L'"';
    if (!quoted && programPath.find_first_of(L" \t") != std::wstring::npos)
        return L"\"" + programPath + L"\"";
    return programPath;
}

bool SetAutoStart(bool enabled, QuorvallisCommands& catalogue, IRegistry& registry, const std::wstring& programPath)
{
    using Root = IRegistry::Root;
    bool inForce = false;
    if (enabled) {
        if (!programPath.empty()) {
            const std::wstring commandLine = AutoStartCommandLine(programPath);
            if (registry.SetRunValue(Root::LocalMachine, AutoStartValueName, commandLine)) {
                inForce = true;
                // A value from an earlier start without rights would start
                // the program a second time.
                std::wstring ignored;
                if (registry.QueryRunValue(Root::CurrentUser, AutoStartValueName, ignored) == IRegistry::Query::Present)
                    registry.DeleteRunValue(Root::CurrentUser, AutoStartValueName);
            } else {
                inForce = registry.SetRunValue(Root::CurrentUser, AutoStartValueName, commandLine);
            }
        }
    } else {
        for (const Root root : {Root::LocalMachine, Root::CurrentUser}) {
            std::wstring ignored;
            if (registry.QueryRunValue(root, AutoStartValueName, ignored) == IRegistry::Query::Absent)
                continue;
            // A value that stays (no right to delete it), or one that could
            // not even be looked for, may still start the program, and the
            // box says so.
            if (!registry.DeleteRunValue(root, AutoStartValueName))
                inForce = true;
        }
    }
    const auto lock = catalogue.Lock();
    catalogue.autoStart = inForce;
    return inForce;
}
