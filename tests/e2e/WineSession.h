#pragma once

#include "ProcessRunner.h"

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

// The desktop the end-to-end tests run on: an X display (the one the test
// script provides in QUORVALLIS_TEST_DISPLAY, or an Xvfb of its own on a free
// display), the Windows build tree's Wine prefix with its services running,
// and the folder for test artefacts. Everything it starts it stops by
// process id; it never ends processes it did not start.
class WineSession {
public:
    WineSession(std::string windowsBuild, std::string sourceDir);
    WineSession(const WineSession&) = delete;
    WineSession& operator=(const WineSession&) = delete;
    ~WineSession();

    bool Start();
    void Stop();

    // The session of this test program (set up once by the test environment).
    static WineSession& Current();

    const std::string& windowsBuild() const { return windowsBuild_; }
    const std::string& display() const { return display_; }
    std::string ArtefactsDir() const;
    // Environment for Wine and X programs of this session.
    std::map<std::string, std::string> Environment() const;

    // A Windows program of the build tree, by its path below the tree.
    std::string BuildFile(const std::string& relative) const { return windowsBuild_ + "/" + relative; }

    // Starts a Windows program under Wine; its output goes to logPath.
    pid_t StartWine(const std::vector<std::string>& programAndArgs, const std::string& logPath) const;
    // Runs a Windows program under Wine to the end.
    ProcessRunner::Result RunWine(const std::vector<std::string>& programAndArgs, int timeoutMs = 30000) const;
    // Runs xdotool with the session's display.
    ProcessRunner::Result Xdotool(const std::vector<std::string>& args) const;
    // Waits until a window with exactly this title is mapped; its X id or "".
    std::string WaitForWindow(const std::string& title, int timeoutMs) const;
    // Saves the whole screen as ArtefactsDir()/name.png; false when it failed.
    bool Screenshot(const std::string& name) const;

private:
    bool StartXvfb();

    std::string windowsBuild_;
    std::string sourceDir_;
    std::string display_;
    std::string prefix_ = "wineprefix";
    pid_t xvfb_ = -1;
    pid_t idle_ = -1;
};
