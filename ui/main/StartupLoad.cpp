#include "ui/main/StartupLoad.h"

#include "store/CatalogueFile.h"

#include <utility>

StartupLoad::StartupLoad(IFileStore& files, std::wstring storePath)
    : files_(files),
      storePath_(std::move(storePath)),
      savePath_(storePath_)
{
}

bool StartupLoad::Run(QuorvallisCommands& catalogue)
{
    const LoadResult loaded = Load(storePath_, catalogue, files_);
    savePath_ = loaded.savePath;
    report_ = ReportOf(loaded, storePath_);
    return !report_.empty();
}

std::wstring StartupLoad::TakeReport()
{
    std::wstring text = std::move(report_);
    report_.clear();
    return text;
}

std::wstring StartupLoad::ReportOf(const LoadResult& loaded, const std::wstring& storePath)
{
    if (loaded.outcome == LoadOutcome::Damaged || loaded.outcome == LoadOutcome::Unreadable) {
        std::wstring text = L"The preferences file \"" + storePath + L"\" could not be read (" + loaded.error +
                            L"). Quorvallis starts with the catalogue it had";
        if (!loaded.keptAsidePath.empty())
            text += L"; the damaged file was kept as \"" + loaded.keptAsidePath + L"\"";
        if (loaded.savePath != storePath)
            text += L". That file is left as it is; your changes are saved to \"" + loaded.savePath + L"\"";
        return text + L".";
    }
    if (loaded.renumbered > 0) {
        const std::wstring records = loaded.renumbered == 1
                                         ? L"a command, group or step"
                                         : std::to_wstring(loaded.renumbered) + L" commands, groups or steps";
        return L"The preferences file \"" + storePath + L"\" held " + records +
               L" with the id of another one. Quorvallis keeps them all and has given them new ids.";
    }
    return std::wstring();
}
