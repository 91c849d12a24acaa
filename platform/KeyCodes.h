#pragma once

// Virtual-key codes the portable core names, with the values the system's
// VK_* constants have. The core includes no Windows header, so it spells
// the keys it needs here; Windows-side files use the VK_* names.
namespace KeyCode {

constexpr unsigned Cancel = 0x03; // Break
constexpr unsigned Backspace = 0x08;
constexpr unsigned Tab = 0x09;
constexpr unsigned Clear = 0x0C;
constexpr unsigned Enter = 0x0D;
constexpr unsigned Shift = 0x10;
constexpr unsigned Control = 0x11;
constexpr unsigned Alt = 0x12;
constexpr unsigned CapsLock = 0x14;
constexpr unsigned Escape = 0x1B;
constexpr unsigned Space = 0x20;
constexpr unsigned PageUp = 0x21;
constexpr unsigned PageDown = 0x22;
constexpr unsigned End = 0x23;
constexpr unsigned Home = 0x24;
constexpr unsigned Left = 0x25;
constexpr unsigned Up = 0x26;
constexpr unsigned Right = 0x27;
constexpr unsigned Down = 0x28;
constexpr unsigned Print = 0x2A;
constexpr unsigned Snapshot = 0x2C;
constexpr unsigned Insert = 0x2D;
constexpr unsigned Delete = 0x2E;
constexpr unsigned Help = 0x2F;
constexpr unsigned LeftWindows = 0x5B;
constexpr unsigned RightWindows = 0x5C;
constexpr unsigned Apps = 0x5D;
constexpr unsigned Numpad0 = 0x60; // Numpad1 to Numpad9 follow in order
constexpr unsigned Multiply = 0x6A;
constexpr unsigned Add = 0x6B;
constexpr unsigned Separator = 0x6C;
constexpr unsigned Subtract = 0x6D;
constexpr unsigned Decimal = 0x6E;
constexpr unsigned Divide = 0x6F;
constexpr unsigned F1 = 0x70; // F2 to F24 follow in order
constexpr unsigned NumLock = 0x90;
constexpr unsigned ScrollLock = 0x91;

constexpr unsigned Numpad(unsigned digit)
{
    return Numpad0 + digit;
}
constexpr unsigned F(unsigned number)
{
    return F1 + number - 1;
}

} // namespace KeyCode
