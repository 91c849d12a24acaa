#include "capture/KeyOrderModifiers.h"

#include "platform/KeyCodes.h"

namespace {

constexpr std::uint32_t kPreviouslyDown = 1u << 30;
constexpr std::uint32_t kReleased = 1u << 31;
// The hook reports both Shift keys as Shift; the scan code tells them apart.
constexpr unsigned kRightShiftScanCode = 0x36;

}  // namespace

void KeyOrderModifiers::OnKeyEvent(unsigned virtualKey, std::uint32_t flags)
{
    const bool released = (flags & kReleased) != 0;
    if (virtualKey == KeyCode::Shift) {
        const bool right = ((flags >> 16) & 0xFF) == kRightShiftScanCode;
        (right ? rightShift_ : leftShift_) = !released;
    } else if (virtualKey == KeyCode::CapsLock && !released && !(flags & kPreviouslyDown)) {
        // Each fresh press toggles; holding it down does not.
        capsLockOn_ = !capsLockOn_;
    }
}
