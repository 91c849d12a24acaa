// Key codes to characters, and the length bound of the typed line.
#include "FakeKeyboard.h"
#include "capture/KeyOrderModifiers.h"
#include "capture/TypedLine.h"
#include "platform/WindowMessages.h"

#include <gtest/gtest.h>

namespace {

struct CharacterCase {
    unsigned vk;
    bool shift;
    bool capsLock;
    wchar_t expected;
};

class TypedLineCharacters : public ::testing::TestWithParam<CharacterCase> {};

TEST_P(TypedLineCharacters, KeyGivesCharacter)
{
    const auto& c = GetParam();
    FakeKeyboard keyboard;
    keyboard.shift = c.shift;
    keyboard.capsLock = c.capsLock;
    EXPECT_EQ(TypedLine::CharacterFor(c.vk, keyboard), c.expected)
        << "vk " << c.vk << " shift " << c.shift << " caps " << c.capsLock;
}

INSTANTIATE_TEST_SUITE_P(Table, TypedLineCharacters,
                         ::testing::Values(
                             // Letters: lower case unless exactly one of Shift and Caps Lock.
                             CharacterCase{'A', false, false, L'a'}, CharacterCase{'Z', false, false, L'z'},
                             CharacterCase{'A', true, false, L'A'}, CharacterCase{'A', false, true, L'A'},
                             CharacterCase{'Q', true, true, L'q'},
                             // The only shifted punctuation: ';' -> ':' and '\'' -> '"', with Shift only.
                             CharacterCase{0xBA, false, false, L';'}, CharacterCase{0xBA, true, false, L':'},
                             CharacterCase{0xBA, false, true, L';'}, CharacterCase{0xDE, false, false, L'\''},
                             CharacterCase{0xDE, true, false, L'"'}, CharacterCase{0xDE, true, true, L'"'},
                             // Everything else unshifted whatever the modifiers.
                             CharacterCase{'1', true, false, L'1'}, CharacterCase{'9', true, true, L'9'},
                             CharacterCase{0xBF, true, false, L'/'}, CharacterCase{' ', true, false, L' '},
                             CharacterCase{0x6A, false, false, L'*'},
                             // Keys without a character.
                             CharacterCase{0x70, false, false, 0}, // F1
                             CharacterCase{0x25, true, false, 0},  // left arrow
                             CharacterCase{17, false, false, 0}));

TEST(TypedLine, BackspaceRemovesTheLastCharacterAndNothingOnAnEmptyLine)
{
    FakeKeyboard keyboard;
    TypedLine line;
    EXPECT_FALSE(line.TypeKey(KeyCode::Backspace, keyboard));
    EXPECT_EQ(line.Text(), L"");
    line.TypeKey('G', keyboard);
    line.TypeKey('O', keyboard);
    EXPECT_TRUE(line.TypeKey(KeyCode::Backspace, keyboard));
    EXPECT_EQ(line.Text(), L"g");
    line.TypeKey(KeyCode::Backspace, keyboard);
    line.TypeKey(KeyCode::Backspace, keyboard);
    EXPECT_EQ(line.Text(), L"");
}

TEST(TypedLine, KeysWithoutACharacterLeaveTheTextAlone)
{
    FakeKeyboard keyboard;
    TypedLine line;
    line.TypeKey('X', keyboard);
    EXPECT_FALSE(line.TypeKey(0x70, keyboard));
    EXPECT_FALSE(line.TypeKey(16, keyboard));
    EXPECT_EQ(line.Text(), L"x");
}

// A mapping outside one UTF-16 unit is no character (wchar_t is 32-bit on Linux).
TEST(TypedLine, CharactersBeyondOneUtf16UnitAreRefused)
{
    struct WideKeyboard : FakeKeyboard {
        unsigned CharacterOfKey(unsigned) const override { return 0x1F600; }
    } keyboard;
    TypedLine line;
    EXPECT_FALSE(line.TypeKey('A', keyboard));
    EXPECT_TRUE(line.Text().empty());
}

TEST(TypedLine, RefusesCharactersPastTheHandOverLimitButStillDeletes)
{
    FakeKeyboard keyboard;
    TypedLine line;
    for (std::size_t i = 0; i < TypedLine::kMaxLength; ++i)
        ASSERT_TRUE(line.TypeKey('A' + i % 26, keyboard));
    EXPECT_EQ(line.Text().size(), 1199u);
    EXPECT_FALSE(line.TypeKey('B', keyboard));
    EXPECT_FALSE(line.TypeKey(' ', keyboard));
    EXPECT_EQ(line.Text().size(), 1199u);
    EXPECT_TRUE(line.TypeKey(KeyCode::Backspace, keyboard));
    EXPECT_TRUE(line.TypeKey('B', keyboard));
    EXPECT_EQ(line.Text().back(), L'b');
    EXPECT_EQ(line.Text().size(), 1199u);
}

} // namespace

// Shift and Caps Lock as the reported keys left them, in their order: the
// state for a key is the one its predecessors made, whatever the system's
// state is by the time the launcher handles it.
TEST(KeyOrderModifiers, FollowTheReportedKeysInOrder)
{
    constexpr std::uint32_t kLeftPress = 0x002A0001, kLeftRelease = 0xC02A0001;
    constexpr std::uint32_t kRightPress = 0x00360001, kRightRelease = 0xC0360001;
    constexpr std::uint32_t kCapsPress = 0x003A0001, kCapsRepeat = 0x403A0001, kCapsRelease = 0xC03A0001;
    struct Step {
        unsigned vk;
        std::uint32_t flags;
        bool shift;
        bool caps;
    };
    const Step steps[] = {
        {16, kLeftPress, true, false},
        {16, kLeftPress | (1u << 30), true, false},
        {16, kRightPress, true, false},
        {16, kLeftRelease, true, false},
        {16, kRightRelease, false, false},
        {20, kCapsPress, false, true},
        {20, kCapsRepeat, false, true},
        {20, kCapsRelease, false, true},
        {'A', 0x001E0001, false, true},
        {20, kCapsPress, false, false},
        {20, kCapsRelease, false, false},
        // A key that carries its application's Caps Lock follows it, whatever
        // presses the launcher counted; one without it keeps the last state.
        {'A', 0x001E0001 | kKeyHookCapsLockKnown | kKeyHookCapsLockOn, false, true},
        {'A', 0x001E0001, false, true},
        {'B', 0x00300001 | kKeyHookCapsLockKnown, false, false},
    };
    KeyOrderModifiers modifiers;
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        modifiers.OnKeyEvent(steps[i].vk, steps[i].flags);
        EXPECT_EQ(modifiers.ShiftDown(), steps[i].shift) << "after step " << i;
        EXPECT_EQ(modifiers.CapsLockOn(), steps[i].caps) << "after step " << i;
    }
    EXPECT_TRUE(KeyOrderModifiers(true).CapsLockOn());
}
