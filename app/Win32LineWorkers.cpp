#include "app/Win32LineWorkers.h"

#include "catalogue/QuorvallisCommands.h"
#include "exec/CommandDispatcher.h"
#include "exec/HeldKeys.h"
#include "exec/HeldKeysOutput.h"
#include "exec/KeystrokePlayer.h"
#include "platform/GuardedCall.h"
#include "platform/StopSignal.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32CommandNotifier.h"
#include "platform/win32/Win32KeyboardOutput.h"
#include "platform/win32/Win32StepPlatform.h"

#include <windows.h>
#include <objbase.h>
#include <process.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>

// The lines still running, the signal that asks them to stop and the keys
// they hold.
struct Win32LineWorkers::Running {
    StopSignal stop;
    HeldKeys held;
    std::mutex mutex;
    std::condition_variable ended;
    int count = 0;

    // False once a stop was asked for: no line starts after it.
    bool Enter()
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (stop.Requested())
            return false;
        ++count;
        return true;
    }
    void Leave()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            --count;
        }
        ended.notify_all();
    }
};

namespace {

// Owned by the worker thread from the moment it starts.
struct HandOverBlock {
    boost::shared_ptr<QuorvallisCommands> catalogue;
    Win32LineWorkers::PlayerFactory players;
    std::shared_ptr<Win32LineWorkers::Running> running;
    wchar_t line[Win32LineWorkers::kLineBufferSize];
};

// The shell may hand an "open" to extensions that need COM on the calling thread.
class ComApartment {
public:
    ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)))
    {
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment()
    {
        if (initialised_)
            CoUninitialize();
    }

private:
    bool initialised_;
};

} // namespace

Win32LineWorkers::Win32LineWorkers(boost::shared_ptr<QuorvallisCommands> catalogue)
    : Win32LineWorkers(std::move(catalogue), [](IKeyboardOutput& keyboard, StopSignal& stop) {
          return std::make_unique<KeystrokePlayer>(keyboard, &stop);
      })
{
}

Win32LineWorkers::Win32LineWorkers(boost::shared_ptr<QuorvallisCommands> catalogue, PlayerFactory players)
    : catalogue_(std::move(catalogue)),
      players_(std::move(players)),
      running_(std::make_shared<Running>())
{
}

bool Win32LineWorkers::StopRunningLines(unsigned waitMs)
{
    running_->stop.Request();
    bool ended = false;
    {
        std::unique_lock<std::mutex> lock(running_->mutex);
        ended =
            running_->ended.wait_for(lock, std::chrono::milliseconds(waitMs), [this] { return running_->count == 0; });
    }
    Win32KeyboardOutput output;
    running_->held.ReleaseAll(output);
    return ended;
}

bool Win32LineWorkers::Start(const std::wstring& line)
{
    if (!catalogue_ || !players_)
        return false;
    // Called from the typing state machine's window procedure: nothing may
    // be thrown from here, and a line that cannot start is dropped whole.
    std::unique_ptr<HandOverBlock> block;
    try {
        block.reset(new HandOverBlock{catalogue_, players_, running_, {}});
    } catch (...) {
        return false;
    }
    if (!running_->Enter())
        return false;
    const std::size_t length = std::min(line.size(), kLineBufferSize - 1);
    std::copy_n(line.data(), length, block->line);
    block->line[length] = L'\0';

    const uintptr_t thread = _beginthreadex(nullptr, kStackReservation, &Win32LineWorkers::RunLine, block.get(),
                                            STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == 0) {
        running_->Leave();
        return false;
    }
    block.release(); // the thread owns it now
    // Detached: nobody waits for a line.
    UniqueKernelHandle(reinterpret_cast<HANDLE>(thread)).reset();
    return true;
}

unsigned __stdcall Win32LineWorkers::RunLine(void* handOver)
{
    std::unique_ptr<HandOverBlock> block(static_cast<HandOverBlock*>(handOver));
    // Nothing may escape the thread: a failure just ends the run.
    GuardedRun("a typed line's worker thread", [&] {
        const std::wstring line(block->line);
        const ComApartment com;
        Win32StepPlatform platform;
        // The keystroke texts and the "Send key" steps share one keyboard:
        // its waits end when the lines are asked to stop, and the keys it
        // holds can be let go of at exit.
        Win32KeyboardOutput systemKeyboard(&block->running->stop);
        HeldKeysOutput keyboard(systemKeyboard, block->running->held);
        Win32CommandNotifier notifier;
        const std::unique_ptr<IKeystrokePlayer> player = block->players(keyboard, block->running->stop);
        if (player)
            CommandDispatcher(platform, keyboard, *player, notifier).RunTypedLine(*block->catalogue, line);
    });
    block->running->Leave();
    return 0;
}
