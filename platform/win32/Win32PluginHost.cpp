#include "platform/win32/Win32PluginHost.h"

#include "platform/win32/DetachedThread.h"
#include "platform/win32/PipeBytes.h"
#include "platform/win32/UniqueHandle.h"

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <optional>
#include <utility>

using PluginHostMessages::Kind;
using PluginHostMessages::Message;

namespace {

// Why a helper ended, as its calls see it.
enum class EndReason { Running, Broke, Garbled, Stopped };

} // namespace

// One running helper: its process, our ends of the pipes, the calls waiting
// for it. Shared by the callers and by the thread that reads its answers.
struct Win32PluginHost::Session {
    UniqueKernelHandle process;
    UniqueKernelHandle toHost;
    UniqueKernelHandle fromHost;
    DWORD processId = 0;

    std::mutex writing;
    std::mutex mutex;
    std::condition_variable answered;
    std::map<std::uint32_t, std::optional<Message>> waiting;
    std::uint32_t nextId = 1;
    EndReason ended = EndReason::Running;

    // The first reason counts; the helper goes at once, whatever it runs.
    void End(EndReason reason)
    {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            if (ended == EndReason::Running)
                ended = reason;
        }
        answered.notify_all();
        TerminateProcess(process.get(), 1);
    }

    // On a thread of its own; nothing may escape from it.
    void ReadAnswers()
    {
        EndReason reason = EndReason::Broke;
        try {
            ReadUntilEnd(reason);
        } catch (...) {
            reason = EndReason::Garbled;
        }
        End(reason);
    }

    void ReadUntilEnd(EndReason& reason)
    {
        std::vector<std::uint8_t> body;
        for (;;) {
            std::uint8_t header[4];
            if (!ReadPipeExactly(fromHost.get(), header, sizeof(header)))
                break;
            const std::uint32_t length = PluginHostMessages::BodyLength(header);
            Message answer;
            bool read = length <= PluginHostMessages::kMaxBody;
            if (read) {
                body.resize(length);
                if (!ReadPipeExactly(fromHost.get(), body.data(), length))
                    break;
                read = PluginHostMessages::Decode(body.data(), body.size(), answer);
            }
            {
                const std::lock_guard<std::mutex> lock(mutex);
                const auto call = waiting.find(answer.id);
                // An answer nobody asked for, or twice, means the stream
                // cannot be trusted any more.
                read = read && call != waiting.end() && !call->second;
                if (read)
                    call->second = std::move(answer);
            }
            if (!read) {
                reason = EndReason::Garbled;
                return;
            }
            answered.notify_all();
        }
    }
};

namespace {

// The reader keeps its message on the heap.
constexpr unsigned kReaderStackReservation = 0x10000;


} // namespace

Win32PluginHost::Win32PluginHost(std::wstring hostProgram, unsigned callLimitMs)
    : hostProgram_(std::move(hostProgram)),
      callLimitMs_(callLimitMs)
{
}

Win32PluginHost::~Win32PluginHost()
{
    Shutdown();
}

void Win32PluginHost::Shutdown()
{
    std::shared_ptr<Session> session;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        shutDown_ = true;
        session.swap(session_);
    }
    if (session)
        session->End(EndReason::Stopped);
}

unsigned long Win32PluginHost::HelperProcessId()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!session_)
        return 0;
    const std::lock_guard<std::mutex> sessionLock(session_->mutex);
    return session_->ended == EndReason::Running ? session_->processId : 0;
}

std::shared_ptr<Win32PluginHost::Session> Win32PluginHost::CurrentSession()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    if (shutDown_)
        return nullptr;
    if (session_) {
        const std::lock_guard<std::mutex> sessionLock(session_->mutex);
        if (session_->ended == EndReason::Running)
            return session_;
    }
    session_.reset();

    // Our ends stay ours; only the helper's ends are inherited, and only by it.
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), nullptr, FALSE};
    HANDLE hostIn = nullptr, toHost = nullptr, fromHost = nullptr, hostOut = nullptr;
    if (!CreatePipe(&hostIn, &toHost, &attributes, 0))
        return nullptr;
    UniqueKernelHandle hostInOwned(hostIn), toHostOwned(toHost);
    if (!CreatePipe(&fromHost, &hostOut, &attributes, 0))
        return nullptr;
    UniqueKernelHandle fromHostOwned(fromHost), hostOutOwned(hostOut);
    if (!SetHandleInformation(hostIn, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT) ||
        !SetHandleInformation(hostOut, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT))
        return nullptr;

    std::wstring commandLine = L"\"" + hostProgram_ + L"\" " +
                               std::to_wstring(reinterpret_cast<std::uintptr_t>(hostIn)) + L" " +
                               std::to_wstring(reinterpret_cast<std::uintptr_t>(hostOut));

    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof(startup);
    startup.StartupInfo.dwFlags = STARTF_FORCEOFFFEEDBACK;
    DWORD flags = CREATE_NO_WINDOW;
    // Where the system can, the helper inherits these two handles and no
    // other handle a thread made inheritable meanwhile.
    HANDLE inherited[2] = {hostIn, hostOut};
    SIZE_T listSize = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &listSize);
    std::vector<std::uint8_t> list(listSize);
    auto* attributeList = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(list.data());
    const bool listMade = listSize > 0 && InitializeProcThreadAttributeList(attributeList, 1, 0, &listSize);
    if (listMade && UpdateProcThreadAttribute(attributeList, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                              sizeof(inherited), nullptr, nullptr)) {
        startup.lpAttributeList = attributeList;
        flags |= EXTENDED_STARTUPINFO_PRESENT;
    }
    PROCESS_INFORMATION created{};
    BOOL started = CreateProcessW(hostProgram_.c_str(), &commandLine[0], nullptr, nullptr, TRUE, flags, nullptr,
                                  nullptr, &startup.StartupInfo, &created);
    if (!started && (flags & EXTENDED_STARTUPINFO_PRESENT)) {
        // A system that refuses the list still starts it with the plain inheritance.
        startup.StartupInfo.cb = sizeof(startup.StartupInfo);
        started = CreateProcessW(hostProgram_.c_str(), &commandLine[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                 nullptr, nullptr, &startup.StartupInfo, &created);
    }
    if (listMade)
        DeleteProcThreadAttributeList(attributeList);
    if (!started)
        return nullptr;
    UniqueKernelHandle(created.hThread).reset();

    auto session = std::make_shared<Session>();
    session->process.reset(created.hProcess);
    session->processId = created.dwProcessId;
    session->toHost = std::move(toHostOwned);
    session->fromHost = std::move(fromHostOwned);
    // The helper's ends close here: once it ends, our reads end.
    hostInOwned.reset();
    hostOutOwned.reset();
    // The reader owns a reference to the session until the helper is gone.
    if (!StartDetachedThread("the plugin helper's reader thread", kReaderStackReservation,
                             [session] { session->ReadAnswers(); })) {
        session->End(EndReason::Stopped);
        return nullptr;
    }
    session_ = session;
    return session;
}

bool Win32PluginHost::Call(Message& request, Kind expected, Message& answer, PluginCodeEnd& end)
{
    end = PluginCodeEnd::Returned;
    try {
        const std::shared_ptr<Session> session = CurrentSession();
        if (!session)
            return false;
        {
            const std::lock_guard<std::mutex> lock(session->mutex);
            request.id = session->nextId++;
            session->waiting[request.id];
        }
        const std::vector<std::uint8_t> bytes = PluginHostMessages::Encode(request);
        bool sent = false;
        {
            const std::lock_guard<std::mutex> lock(session->writing);
            sent = WritePipeExactly(session->toHost.get(), bytes.data(), static_cast<DWORD>(bytes.size()));
        }

        std::unique_lock<std::mutex> lock(session->mutex);
        const auto waited = [&] {
            return session->waiting[request.id].has_value() || session->ended != EndReason::Running;
        };
        const bool inTime = sent && session->answered.wait_for(lock, std::chrono::milliseconds(callLimitMs_), waited);
        std::optional<Message> got = std::move(session->waiting[request.id]);
        session->waiting.erase(request.id);
        const EndReason reason = session->ended;
        lock.unlock();

        if (got) {
            answer = std::move(*got);
            return answer.kind == expected;
        }
        if (!sent) {
            // A helper that cannot be written to is of no use to the calls after.
            session->End(EndReason::Garbled);
            return false;
        }
        if (!inTime) {
            // The plugin did not return: it goes with its helper.
            session->End(EndReason::Broke);
            end = PluginCodeEnd::Broke;
            return false;
        }
        if (reason == EndReason::Broke)
            end = PluginCodeEnd::Broke;
        return false;
    } catch (...) {
        return false;
    }
}

PluginExamination Win32PluginHost::Examine(const std::wstring& fullPath)
{
    Message request;
    request.kind = Kind::Examine;
    request.libraryPath = fullPath;
    Message answer;
    PluginExamination examination;
    if (Call(request, Kind::Examined, answer, examination.end))
        examination = answer.examination;
    return examination;
}

PluginActionResult Win32PluginHost::Perform(const std::wstring& fullPath, int argumentCount,
                                            const std::vector<std::wstring>& arguments)
{
    PluginActionResult result;
    if (argumentCount > 0 && arguments.size() < static_cast<std::size_t>(argumentCount))
        return result;
    Message request;
    request.kind = Kind::Perform;
    request.libraryPath = fullPath;
    request.argumentCount = argumentCount;
    if (argumentCount > 0)
        request.arguments.assign(arguments.begin(), arguments.begin() + argumentCount);
    Message answer;
    if (Call(request, Kind::Performed, answer, result.end))
        result.succeeded = answer.succeeded;
    return result;
}
