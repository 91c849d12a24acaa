// QuorvallisPluginHost.exe: runs the plugins' code for the launcher, so that
// a plugin that faults, ends its process or hangs takes only this helper
// with it. The launcher starts it with the two pipe ends it inherits on the
// command line, sends a request per call and reads the answers; each call
// runs on a thread of its own here, as the lines that ask for them run at
// the same time. When the launcher's end closes, the helper ends at once,
// whatever its threads are doing.
#include "platform/PluginHostMessages.h"
#include "platform/win32/PipeBytes.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32PluginLibraries.h"
#include "plugins/InProcessPluginRunner.h"

#include <windows.h>
#include <objbase.h>

#include <boost/make_shared.hpp>

#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>

using PluginHostMessages::Kind;
using PluginHostMessages::Message;

namespace {

// Ends the process without running anything of it: a thread stuck in a
// plugin, or holding the loader's lock, must not keep it alive.
[[noreturn]] void EndNow(UINT code)
{
    TerminateProcess(GetCurrentProcess(), code);
    ExitProcess(code);
}

// A fault nobody handled ends the helper quietly: no crash dialog, no
// debugger. The launcher sees its pipe close and fails the call.
LONG WINAPI EndOnFault(EXCEPTION_POINTERS*)
{
    EndNow(3);
}


// Sends the answers; calls finish on several threads.
class AnswerPipe {
public:
    explicit AnswerPipe(HANDLE pipe) : pipe_(pipe) {}

    void Send(const Message& answer)
    {
        const std::vector<std::uint8_t> bytes = PluginHostMessages::Encode(answer);
        const std::lock_guard<std::mutex> lock(mutex_);
        if (!WritePipeExactly(pipe_.get(), bytes.data(), static_cast<DWORD>(bytes.size())))
            EndNow(0); // the launcher is gone
    }

private:
    UniqueKernelHandle pipe_;
    std::mutex mutex_;
};

// Threads that run calls: one more is started whenever a call comes and
// none is free, so that a call that hangs never holds up the others. They
// are kept for the next calls.
class CallThreads {
public:
    CallThreads(IPluginRunner& runner, AnswerPipe& answers) : runner_(runner), answers_(answers) {}

    void Run(Message request)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        queue_.push_back(std::move(request));
        if (idle_ == 0) {
            ++idle_;
            try {
                std::thread([this] { Serve(); }).detach();
            } catch (...) {
                EndNow(4);
            }
        }
        lock.unlock();
        ready_.notify_one();
    }

private:
    void Serve()
    {
        // Plugins have always been called on threads with a single-threaded apartment.
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        try {
            for (;;) {
                std::unique_lock<std::mutex> lock(mutex_);
                ready_.wait(lock, [this] { return !queue_.empty(); });
                Message request = std::move(queue_.front());
                queue_.pop_front();
                --idle_;
                lock.unlock();

                answers_.Send(Answer(request));

                lock.lock();
                ++idle_;
            }
        } catch (...) {
            // A call that cannot be answered must not leave the launcher waiting.
            EndNow(4);
        }
    }

    Message Answer(const Message& request)
    {
        Message answer;
        answer.id = request.id;
        if (request.kind == Kind::Examine) {
            answer.kind = Kind::Examined;
            answer.examination = runner_.Examine(request.libraryPath);
        } else {
            answer.kind = Kind::Performed;
            answer.succeeded = runner_.Perform(request.libraryPath, request.argumentCount, request.arguments).succeeded;
        }
        return answer;
    }

    IPluginRunner& runner_;
    AnswerPipe& answers_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Message> queue_;
    int idle_ = 0;
};

HANDLE HandleFromArgument(const wchar_t* text)
{
    wchar_t* end = nullptr;
    const unsigned long long value = std::wcstoull(text, &end, 10);
    if (end == text || *end != L'\0' || value == 0)
        return nullptr;
    return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(value));
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(&EndOnFault);

    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments || count != 3)
        return 2;
    HANDLE requestsIn = HandleFromArgument(arguments[1]);
    HANDLE answersOut = HandleFromArgument(arguments[2]);
    LocalFree(arguments);
    if (!requestsIn || !answersOut)
        return 2;
    // Programs a plugin starts must not hold the launcher's pipe open.
    SetHandleInformation(requestsIn, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(answersOut, HANDLE_FLAG_INHERIT, 0);

    const UniqueKernelHandle requests(requestsIn);
    AnswerPipe answers(answersOut);
    InProcessPluginRunner runner(boost::make_shared<Win32PluginLibraries>());
    CallThreads calls(runner, answers);

    std::vector<std::uint8_t> body;
    for (;;) {
        std::uint8_t header[4];
        if (!ReadPipeExactly(requests.get(), header, sizeof(header)))
            break;
        const std::uint32_t length = PluginHostMessages::BodyLength(header);
        if (length > PluginHostMessages::kMaxBody)
            break;
        body.resize(length);
        Message request;
        if (!ReadPipeExactly(requests.get(), body.data(), length) ||
            !PluginHostMessages::Decode(body.data(), body.size(), request) ||
            (request.kind != Kind::Examine && request.kind != Kind::Perform))
            break;
        try {
            calls.Run(std::move(request));
        } catch (...) {
            break;
        }
    }
    // The launcher closed its end (or sent what does not read).
    EndNow(0);
}
