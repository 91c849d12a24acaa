#include "WineProgram.h"

#include "ProcessRunner.h"
#include "WineSession.h"

#include <filesystem>

namespace fs = std::filesystem;

std::string WineProgram::FreshFolder(const std::string& name, const std::vector<std::string>& buildFiles)
{
    auto& session = WineSession::Current();
    const fs::path folder = fs::path(session.ArtefactsDir()) / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const auto& file : buildFiles) {
        const fs::path source = session.BuildFile(file);
        fs::copy_file(source, folder / source.filename(), fs::copy_options::overwrite_existing);
    }
    return folder.string();
}

WineProgram::WineProgram(std::string exePath) : exePath_(std::move(exePath))
{
}

WineProgram::~WineProgram()
{
    Stop();
}

bool WineProgram::Start(const std::vector<std::string>& args)
{
    std::vector<std::string> argv{exePath_};
    argv.insert(argv.end(), args.begin(), args.end());
    pid_ = WineSession::Current().StartWine(argv, LogPath());
    exitCode_ = -1;
    return pid_ > 0;
}

int WineProgram::WaitForExit(int timeoutMs)
{
    if (pid_ <= 0)
        return exitCode_;
    const int code = ProcessRunner::Wait(pid_, timeoutMs);
    if (code != -1) {
        exitCode_ = code;
        pid_ = -1;
    }
    return code;
}

void WineProgram::Stop()
{
    if (pid_ > 0)
        ProcessRunner::Stop(pid_);
    pid_ = -1;
}
