#pragma once

#include <string>

class IFileStore;
class QuorvallisCommands;
struct LoadResult;

// The catalogue's load at start-up and what the user is told of it: a file
// that could not be read (where it was kept, where the saves go instead),
// or records that shared an id. Told once the window is up, so that the
// start itself goes on.
class StartupLoad {
public:
    StartupLoad(IFileStore& files, std::wstring storePath);

    // Loads "Preferences.data" into `catalogue`; true when there is a
    // problem to tell (TakeReport).
    bool Run(QuorvallisCommands& catalogue);

    const std::wstring& storePath() const { return storePath_; }
    // Where saves go: storePath(), unless that file could not be read.
    const std::wstring& savePath() const { return savePath_; }
    // The problem to tell, once; empty afterwards or when there is none.
    std::wstring TakeReport();

    // What the user is told of a load of `storePath`; empty when all is well.
    static std::wstring ReportOf(const LoadResult& loaded, const std::wstring& storePath);

private:
    IFileStore& files_;
    std::wstring storePath_;
    std::wstring savePath_;
    std::wstring report_;
};
