#include "capture/KeyOrderModifiers.h"

#include "platform/KeyCodes.h"
#include "platform/WindowMessages.h"

namespace {

constexpr std::uint32_t kPreviouslyDown = 1u << 30;
constexpr std::uint32_t kReleased = 1u << 31;
// The hook reports both Shift keys as Shift; the scan code tells them apart.
constexpr unsigned kRightShiftScanCode = 0x36;

} // namespace

void KeyOrderModifiers::OnKeyEvent(unsigned virtualKey, std::uint32_t flags)
{
    const bool released = (flags & kReleased) != 0;
    if (virtualKey == KeyCode::Shift) {
        const bool right = ((flags >> 16) & 0xFF) == kRightShiftScanCode;
        (right ? rightShift_ : leftShift_) = !released;
    } else if (virtualKey == KeyCode::CapsLock) {
        // Each fresh press toggles; holding it down does not. Only a key
        // that came without the application's state relies on this.
        if (!released && !(flags & kPreviouslyDown))
            capsLockOn_ = !capsLockOn_;
    } else if (flags & kKeyHookCapsLockKnown) {
        // The application's own state wins over the count of presses, which
        // misses those made while the launcher was not listening.
        capsLockOn_ = (flags & kKeyHookCapsLockOn) != 0;
    }
}
