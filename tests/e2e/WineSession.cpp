#include "WineSession.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {
WineSession* current = nullptr;
}

WineSession::WineSession(std::string windowsBuild, std::string sourceDir)
    : windowsBuild_(std::move(windowsBuild)),
      sourceDir_(std::move(sourceDir))
{
    current = this;
}

WineSession::~WineSession()
{
    Stop();
    if (current == this)
        current = nullptr;
}

WineSession& WineSession::Current()
{
    return *current;
}

std::string WineSession::ArtefactsDir() const
{
    return windowsBuild_ + "/test-artefacts";
}

std::map<std::string, std::string> WineSession::Environment() const
{
    return {
        {"DISPLAY", display_}, {"WINEPREFIX", windowsBuild_ + "/" + prefix_}, {"WINEARCH", "win64"},
        // Tells scripts/wine-run.sh the tree of a program named without a path ("reg").
        {"QUORVALLIS_WINE_BUILD", windowsBuild_},
        {"WINEDEBUG", "-all"}, {"WINEDLLOVERRIDES", "mscoree,mshtml="},
    };
}

bool WineSession::StartXvfb()
{
    // Xvfb picks a free display itself and writes its number to the pipe.
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    xvfb_ = ProcessRunner::Start(
        {"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"}, {},
        ArtefactsDir() + "/xvfb.log");
    close(fds[1]);
    std::string number;
    pollfd reader{fds[0], POLLIN, 0};
    while (xvfb_ > 0 && poll(&reader, 1, 10000) > 0) {
        char c = 0;
        if (read(fds[0], &c, 1) != 1 || c == '\n')
            break;
        number += c;
    }
    close(fds[0]);
    if (number.empty())
        return false;
    display_ = ":" + number;
    return true;
}

bool WineSession::Start()
{
    std::filesystem::create_directories(ArtefactsDir());
    // A test put on the second desktop of scripts/test.sh (quorvallis_gui_desktop)
    // uses its display and prefix; the script keeps that prefix's services up.
    const char* desktop = std::getenv("QUORVALLIS_DESKTOP");
    const char* second = std::getenv("QUORVALLIS_GUI_DISPLAY");
    if (desktop && std::string(desktop) == "gui" && second && *second) {
        display_ = second;
        prefix_ = "wineprefix-gui";
        return true;
    }
    if (const char* provided = std::getenv("QUORVALLIS_TEST_DISPLAY"); provided && *provided)
        display_ = provided;
    else if (!StartXvfb())
        return false;
    // scripts/test.sh keeps the prefix's services up for the whole run.
    if (const char* running = std::getenv("QUORVALLIS_WINE_SESSION"); running && *running)
        return true;

    // Boots the prefix when it is new and starts the waiting process that
    // keeps Wine's services up (and out of ctest's output pipe).
    auto started =
        ProcessRunner::Run({sourceDir_ + "/scripts/wine-session.sh", "start", windowsBuild_}, Environment(), 120000);
    if (started.exitCode != 0)
        return false;
    idle_ = static_cast<pid_t>(std::atol(started.output.c_str()));
    return idle_ > 0;
}

void WineSession::Stop()
{
    // The session's waiting process is not our child (the script started
    // it); end it by id like everything else we started.
    if (idle_ > 0) {
        kill(idle_, SIGTERM);
        idle_ = -1;
    }
    ProcessRunner::Stop(xvfb_);
    xvfb_ = -1;
}

pid_t WineSession::StartWine(const std::vector<std::string>& programAndArgs, const std::string& logPath) const
{
    std::vector<std::string> argv{sourceDir_ + "/scripts/wine-run.sh"};
    argv.insert(argv.end(), programAndArgs.begin(), programAndArgs.end());
    return ProcessRunner::Start(argv, Environment(), logPath);
}

ProcessRunner::Result WineSession::RunWine(const std::vector<std::string>& programAndArgs, int timeoutMs) const
{
    std::vector<std::string> argv{sourceDir_ + "/scripts/wine-run.sh"};
    argv.insert(argv.end(), programAndArgs.begin(), programAndArgs.end());
    return ProcessRunner::Run(argv, Environment(), timeoutMs);
}

ProcessRunner::Result WineSession::Xdotool(const std::vector<std::string>& args) const
{
    std::vector<std::string> argv{"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    return ProcessRunner::Run(argv, Environment(), 15000);
}

std::string WineSession::WaitForWindow(const std::string& title, int timeoutMs) const
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        auto found = Xdotool({"search", "--onlyvisible", "--name", "^" + title + "$"});
        if (found.exitCode == 0 && !found.output.empty())
            return found.output.substr(0, found.output.find('\n'));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } while (std::chrono::steady_clock::now() < deadline);
    return {};
}

bool WineSession::Screenshot(const std::string& name) const
{
    const auto shot =
        ProcessRunner::Run({"import", "-window", "root", ArtefactsDir() + "/" + name + ".png"}, Environment(), 30000);
    return shot.exitCode == 0;
}
