#include "platform/PluginHostMessages.h"

namespace PluginHostMessages {
namespace {

class Writer {
public:
    void Number(std::uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    }
    void Byte(std::uint8_t value) { bytes.push_back(value); }
    // One UTF-16 unit per character, as wchar_t holds them on both platforms.
    void Text(const std::wstring& text)
    {
        Number(static_cast<std::uint32_t>(text.size()));
        for (wchar_t c : text) {
            const auto unit = static_cast<std::uint16_t>(c);
            bytes.push_back(static_cast<std::uint8_t>(unit));
            bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
        }
    }

    std::vector<std::uint8_t> bytes;
};

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), left_(size) {}

    bool Number(std::uint32_t& value)
    {
        if (left_ < 4)
            return false;
        value = BodyLength(data_);
        Skip(4);
        return true;
    }
    bool Signed(int& value)
    {
        std::uint32_t raw = 0;
        if (!Number(raw))
            return false;
        value = static_cast<int>(static_cast<std::int32_t>(raw));
        return true;
    }
    bool Byte(std::uint8_t& value)
    {
        if (left_ < 1)
            return false;
        value = *data_;
        Skip(1);
        return true;
    }
    bool Flag(bool& value)
    {
        std::uint8_t raw = 0;
        if (!Byte(raw) || raw > 1)
            return false;
        value = raw == 1;
        return true;
    }
    bool Text(std::wstring& text)
    {
        std::uint32_t count = 0;
        if (!Number(count) || left_ / 2 < count)
            return false;
        text.resize(count);
        for (std::uint32_t i = 0; i < count; ++i)
            text[i] = static_cast<wchar_t>(data_[2 * i] | (data_[2 * i + 1] << 8));
        Skip(2 * static_cast<std::size_t>(count));
        return true;
    }
    bool AtEnd() const { return left_ == 0; }

private:
    void Skip(std::size_t count)
    {
        data_ += count;
        left_ -= count;
    }

    const std::uint8_t* data_;
    std::size_t left_;
};

} // namespace

std::uint32_t BodyLength(const std::uint8_t header[4])
{
    return static_cast<std::uint32_t>(header[0]) | (static_cast<std::uint32_t>(header[1]) << 8) |
           (static_cast<std::uint32_t>(header[2]) << 16) | (static_cast<std::uint32_t>(header[3]) << 24);
}

std::vector<std::uint8_t> Encode(const Message& message)
{
    Writer body;
    body.Number(message.id);
    body.Byte(static_cast<std::uint8_t>(message.kind));
    switch (message.kind) {
    case Kind::Examine: body.Text(message.libraryPath); break;
    case Kind::Perform:
        body.Text(message.libraryPath);
        body.Number(static_cast<std::uint32_t>(message.argumentCount));
        body.Number(static_cast<std::uint32_t>(message.arguments.size()));
        for (const auto& argument : message.arguments)
            body.Text(argument);
        break;
    case Kind::Examined:
        body.Byte(message.examination.accepted ? 1 : 0);
        body.Text(message.examination.actionName);
        body.Text(message.examination.actionDescription);
        body.Number(static_cast<std::uint32_t>(message.examination.argumentCount));
        break;
    case Kind::Performed: body.Byte(message.succeeded ? 1 : 0); break;
    }
    Writer frame;
    frame.Number(static_cast<std::uint32_t>(body.bytes.size()));
    frame.bytes.insert(frame.bytes.end(), body.bytes.begin(), body.bytes.end());
    return frame.bytes;
}

bool Decode(const std::uint8_t* body, std::size_t size, Message& message)
{
    Reader in(body, size);
    std::uint8_t kind = 0;
    if (!in.Number(message.id) || !in.Byte(kind))
        return false;
    bool read = false;
    switch (static_cast<Kind>(kind)) {
    case Kind::Examine: read = in.Text(message.libraryPath); break;
    case Kind::Perform: {
        std::uint32_t count = 0;
        read = in.Text(message.libraryPath) && in.Signed(message.argumentCount) && in.Number(count);
        // Each argument takes at least its 4-byte length.
        if (!read || count > size / 4)
            return false;
        message.arguments.resize(count);
        for (auto& argument : message.arguments)
            read = read && in.Text(argument);
        break;
    }
    case Kind::Examined:
        read = in.Flag(message.examination.accepted) && in.Text(message.examination.actionName) &&
               in.Text(message.examination.actionDescription) && in.Signed(message.examination.argumentCount);
        break;
    case Kind::Performed: read = in.Flag(message.succeeded); break;
    default: return false;
    }
    message.kind = static_cast<Kind>(kind);
    return read && in.AtEnd();
}

} // namespace PluginHostMessages
