#pragma once

// Tells when something may have changed under a set of folders, including a
// folder that does not exist yet and appears. Wait is called by one thread,
// Stop by any.
class IFolderWatch {
public:
    enum class Wake { Changed, TimedOut, Stopped };

    virtual ~IFolderWatch() = default;
    // Blocks until a change under one of the folders, Stop, or timeoutMs.
    // Once stopped it answers Stopped at once.
    virtual Wake Wait(int timeoutMs) = 0;
    virtual void Stop() = 0;
};
