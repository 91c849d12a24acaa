#include "platform/win32/DetachedThread.h"

#include "platform/win32/UniqueHandle.h"

#include <windows.h>
#include <process.h>

#include <memory>

namespace {

struct HandOver {
    const char* what;
    std::function<void()> work;
};

unsigned __stdcall RunHandedOver(void* raw)
{
    const std::unique_ptr<HandOver> handOver(static_cast<HandOver*>(raw));
    GuardedRun(handOver->what, handOver->work);
    return 0;
}

} // namespace

bool StartDetachedThreadOf(const char* what, unsigned stackReservation, std::function<void()> work)
{
    auto handOver = std::make_unique<HandOver>(HandOver{what, std::move(work)});
    const uintptr_t thread = _beginthreadex(nullptr, stackReservation, &RunHandedOver, handOver.get(),
                                            stackReservation ? STACK_SIZE_PARAM_IS_A_RESERVATION : 0, nullptr);
    if (thread == 0)
        return false;
    handOver.release(); // the thread owns it now
    UniqueKernelHandle(reinterpret_cast<HANDLE>(thread)).reset();
    return true;
}
