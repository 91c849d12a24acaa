#pragma once

#include "platform/IPluginRunner.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The messages between the launcher and its plugin helper over their pipe
// pair. Each is a 32-bit length, then that many bytes: the call's id, its
// kind, its fields. Numbers are little-endian; texts are a count of UTF-16
// units followed by the units. A message that does not read exactly is
// refused whole, so that nothing the other side wrote can do more than fail
// a call.
namespace PluginHostMessages {

enum class Kind : std::uint8_t { Examine = 1, Perform = 2, Examined = 3, Performed = 4 };

// Longer messages are refused before they are read: far beyond 1200 arguments
// of 1200 characters.
constexpr std::uint32_t kMaxBody = 4u << 20;

struct Message {
    std::uint32_t id = 0;
    Kind kind = Kind::Examine;
    // Examine and Perform.
    std::wstring libraryPath;
    // Perform.
    int argumentCount = 0;
    std::vector<std::wstring> arguments;
    // Examined.
    PluginExamination examination;
    // Performed.
    bool succeeded = false;
};

// The whole message, length first.
std::vector<std::uint8_t> Encode(const Message& message);
// Reads a body (without its length); false when it is not exactly one
// message of a known kind.
bool Decode(const std::uint8_t* body, std::size_t size, Message& message);
// The body length a frame starts with.
std::uint32_t BodyLength(const std::uint8_t header[4]);

} // namespace PluginHostMessages
