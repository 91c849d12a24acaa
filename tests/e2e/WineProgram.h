#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// One Windows program started under Wine by a test; stopped by process id
// when the test is done with it.
class WineProgram {
public:
    // A new, empty folder under the test artefacts holding copies of the given
    // files of the Windows build tree (a program is tested the way a user
    // installs it: from a folder of its own). Returns the folder.
    static std::string FreshFolder(const std::string& name, const std::vector<std::string>& buildFiles);

    explicit WineProgram(std::string exePath);
    WineProgram(const WineProgram&) = delete;
    WineProgram& operator=(const WineProgram&) = delete;
    ~WineProgram();

    bool Start(const std::vector<std::string>& args = {});
    // The program's exit code, or -1 when it still runs after the time-out.
    int WaitForExit(int timeoutMs);
    void Stop();

    pid_t pid() const { return pid_; }
    const std::string& exePath() const { return exePath_; }
    std::string LogPath() const { return exePath_ + ".log"; }

private:
    std::string exePath_;
    pid_t pid_ = -1;
    int exitCode_ = -1;
};
