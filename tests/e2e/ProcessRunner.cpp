#include "ProcessRunner.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace {

std::vector<std::string> MergedEnvironment(const std::map<std::string, std::string>& overrides)
{
    std::map<std::string, std::string> all;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const auto eq = entry.find('=');
        if (eq != std::string::npos)
            all[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    for (const auto& [key, value] : overrides)
        all[key] = value;
    std::vector<std::string> list;
    for (const auto& [key, value] : all)
        list.push_back(key + "=" + value);
    return list;
}

std::vector<char*> Pointers(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (auto& s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

pid_t ProcessRunner::Start(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                           const std::string& logPath)
{
    std::vector<std::string> args = argv;
    std::vector<std::string> envList = MergedEnvironment(env);
    auto argp = Pointers(args);
    auto envp = Pointers(envList);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    const std::string out = logPath.empty() ? std::string("/dev/null") : logPath;
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);

    pid_t pid = -1;
    const int error = posix_spawnp(&pid, argp[0], &actions, &attributes, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return error == 0 ? pid : -1;
}

int ProcessRunner::Wait(pid_t pid, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (done < 0)
            return -1;
        if (std::chrono::steady_clock::now() >= deadline)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void ProcessRunner::Stop(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(-pid, SIGTERM);
    kill(pid, SIGTERM);
    if (Wait(pid, 3000) == -1) {
        kill(-pid, SIGKILL);
        kill(pid, SIGKILL);
        Wait(pid, 3000);
    }
}

ProcessRunner::Result ProcessRunner::Run(const std::vector<std::string>& argv,
                                         const std::map<std::string, std::string>& env, int timeoutMs)
{
    char path[] = "/tmp/qv-e2e-run-XXXXXX";
    const int fd = mkstemp(path);
    if (fd >= 0)
        close(fd);
    Result result;
    const pid_t pid = Start(argv, env, path);
    if (pid > 0) {
        result.exitCode = Wait(pid, timeoutMs);
        if (result.exitCode == -1)
            Stop(pid);
    }
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    result.output = text.str();
    std::remove(path);
    return result;
}
