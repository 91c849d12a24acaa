#pragma once

#include "platform/IPluginRunner.h"
#include "platform/PluginHostMessages.h"

#include <memory>
#include <mutex>
#include <string>

// Runs plugin code in the helper program (QuorvallisPluginHost.exe beside the
// launcher), so that a plugin that faults, ends its process or hangs takes
// only the helper with it. The helper is started at the first call and kept
// for the next ones; it talks to the launcher through an anonymous pipe pair
// that only the two hold, and ends itself when the launcher's end closes.
// Calls from several threads run at once, each on a thread of the helper.
//
// A call whose helper ends before it answered, or which does not answer
// within the limit (the helper is then ended), ends as Broke; every other
// call in that helper fails with it, and the next call starts a fresh
// helper. A message from the helper that does not read is a failed call
// and ends that helper too. Nothing here throws.
class Win32PluginHost : public IPluginRunner {
public:
    Win32PluginHost(std::wstring hostProgram, unsigned callLimitMs);
    ~Win32PluginHost() override;
    Win32PluginHost(const Win32PluginHost&) = delete;
    Win32PluginHost& operator=(const Win32PluginHost&) = delete;

    PluginExamination Examine(const std::wstring& fullPath) override;
    PluginActionResult Perform(const std::wstring& fullPath, int argumentCount,
                               const std::vector<std::wstring>& arguments) override;

    // Ends the helper without waiting for the calls in it, which fail; no
    // helper starts after.
    void Shutdown();
    // The helper's process id, 0 when none runs (for tests and benchmarks).
    unsigned long HelperProcessId();

    struct Session;

private:
    // Sends the request and waits for its answer of the kind expected.
    // False with `end` Broke when the helper broke or the call timed out;
    // false with `end` Returned when the call could not be made or its
    // answer did not read.
    bool Call(PluginHostMessages::Message& request, PluginHostMessages::Kind expected,
              PluginHostMessages::Message& answer, PluginCodeEnd& end);
    std::shared_ptr<Session> CurrentSession();

    std::wstring hostProgram_;
    unsigned callLimitMs_;
    std::mutex mutex_;
    std::shared_ptr<Session> session_;
    bool shutDown_ = false;
};
