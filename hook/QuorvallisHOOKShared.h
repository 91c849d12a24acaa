#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>

// The hook library's section "Shared": one copy for every process that maps
// the library, the launcher included. The hook handle and the target window
// come first, as always; 64-bit fields give the section one layout whatever
// handle width a process has.
//
// Each key sent to the window carries a sequence number in the upper half of
// lParam (the lower half holds the keystroke flags). Its slot tells the two
// sides apart in time: the window takes a key before acting on it, the hook
// gives up on one it waited for too long, and whichever comes first wins.
// A key the hook gave up on has already reached the application, so the
// window leaves it alone when it finally gets to it.
struct QuorvallisHookShared {
    static constexpr unsigned kSlots = 64;
    // Slot states, in the upper half of a slot; the sequence is the lower.
    static constexpr std::uint64_t kWaiting = 1, kTaken = 2, kAbandoned = 3, kPassed = 4, kSwallowed = 5;

    volatile std::uint64_t hookHandle;
    volatile std::uint64_t targetWindow;
    volatile LONG lastSequence;
    volatile LONG64 slots[kSlots];

    static LONG64 Slot(std::uint32_t sequence, std::uint64_t state)
    {
        return static_cast<LONG64>((state << 32) | sequence);
    }
    volatile LONG64& SlotOf(std::uint32_t sequence) { return slots[sequence % kSlots]; }
};

// The sequence number a WM_KEYHOOK carries; 0 for a key that came some other
// way (nobody waits on it).
inline std::uint32_t KeyHookSequence(LPARAM lParam)
{
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(lParam) >> 32);
}

// Window side: true when the window may act on the key, false when the hook
// has already let it through.
inline bool TakeHookKey(QuorvallisHookShared* shared, std::uint32_t sequence)
{
    if (!shared || sequence == 0)
        return true;
    const LONG64 waiting = QuorvallisHookShared::Slot(sequence, QuorvallisHookShared::kWaiting);
    return InterlockedCompareExchange64(&shared->SlotOf(sequence),
                                        QuorvallisHookShared::Slot(sequence, QuorvallisHookShared::kTaken),
                                        waiting) == waiting;
}

// Window side: the answer to a key it took, for a hook whose wait ran out
// while the window was deciding.
inline void AnswerHookKey(QuorvallisHookShared* shared, std::uint32_t sequence, bool pass)
{
    if (!shared || sequence == 0)
        return;
    const auto state = pass ? QuorvallisHookShared::kPassed : QuorvallisHookShared::kSwallowed;
    InterlockedCompareExchange64(&shared->SlotOf(sequence), QuorvallisHookShared::Slot(sequence, state),
                                 QuorvallisHookShared::Slot(sequence, QuorvallisHookShared::kTaken));
}

// The launcher's view of the section, found by name in the mapped library.
inline QuorvallisHookShared* FindHookShared(HMODULE library)
{
    if (!library)
        return nullptr;
    auto* base = reinterpret_cast<BYTE*>(library);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        if (std::memcmp(section->Name, "Shared\0", 7) == 0 && section->Misc.VirtualSize >= sizeof(QuorvallisHookShared))
            return reinterpret_cast<QuorvallisHookShared*>(base + section->VirtualAddress);
    }
    return nullptr;
}
