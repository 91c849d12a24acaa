#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

// Starts Linux processes for the end-to-end tests (Xvfb, Wine, xdotool,
// ImageMagick) and stops exactly the ones it started, by process id.
class ProcessRunner {
public:
    struct Result {
        int exitCode = -1;  // -1: did not end in time (it was killed) or could not start
        std::string output; // standard output and error together
    };

    // Starts a process with standard input from /dev/null and its output into
    // logPath (or /dev/null), in a process group of its own. Returns its id,
    // or -1 when it could not be started.
    static pid_t Start(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                       const std::string& logPath = {});

    // Waits for a started process; -1 when it is still running after the time-out.
    static int Wait(pid_t pid, int timeoutMs);

    // Ends a started process and its group: TERM, then KILL when it lingers.
    static void Stop(pid_t pid);

    // Runs a command to the end and captures its output.
    static Result Run(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                      int timeoutMs = 30000);
};
