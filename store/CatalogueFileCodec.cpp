#include "store/CatalogueFileCodec.h"

namespace {

void PutByte(std::string& out, unsigned char byte)
{
    if (byte == 0x0A)
        out.push_back(static_cast<char>(0x0D));
    out.push_back(static_cast<char>(byte));
}

}  // namespace

std::string CatalogueFileCodec::Encode(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size() * 2 + text.size() / 16);
    AppendEncoded(text.data(), text.size(), out);
    return out;
}

void CatalogueFileCodec::AppendEncoded(const wchar_t* units, std::size_t count, std::string& out)
{
    const auto putUnit = [&out](unsigned value) {
        PutByte(out, static_cast<unsigned char>(value & 0xFF));
        PutByte(out, static_cast<unsigned char>((value >> 8) & 0xFF));
    };
    for (std::size_t i = 0; i < count; ++i) {
        const auto value = static_cast<unsigned long>(units[i]);
        if ((value >> 16) == 0) {
            putUnit(static_cast<unsigned>(value));
        } else {
            for (const wchar_t unit : ToUtf16Units(std::wstring(1, units[i])))
                putUnit(static_cast<unsigned>(unit));
        }
    }
}

bool CatalogueFileCodec::Decode(const std::string& bytes, std::wstring& text)
{
    text.clear();
    // One pass: pair the bytes that remain once every 0x0D directly before
    // a 0x0A is dropped.
    text.resize(bytes.size() / 2);
    std::size_t units = 0;
    int low = -1;
    const std::size_t size = bytes.size();
    for (std::size_t i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == 0x0D && i + 1 < size && bytes[i + 1] == '\x0A')
            continue;
        if (low < 0) {
            low = byte;
        } else {
            text[units++] = static_cast<wchar_t>(static_cast<unsigned>(low) | (static_cast<unsigned>(byte) << 8));
            low = -1;
        }
    }
    if (low >= 0) {
        text.clear();
        return false;
    }
    text.resize(units);
    return true;
}

bool CatalogueFileCodec::IsUtf16Units(const std::wstring& text)
{
    if constexpr (sizeof(wchar_t) > 2) {
        for (const wchar_t c : text) {
            if ((static_cast<unsigned long>(c) >> 16) != 0)
                return false;
        }
    }
    return true;
}

std::wstring CatalogueFileCodec::ToUtf16Units(const std::wstring& text)
{
    if (IsUtf16Units(text))
        return text;
    std::wstring units;
    units.reserve(text.size() + 8);
    for (const wchar_t c : text) {
        auto value = static_cast<unsigned long>(c);
        if (value <= 0xFFFF) {
            units.push_back(c);
        } else if (value <= 0x10FFFF) {
            value -= 0x10000;
            units.push_back(static_cast<wchar_t>(0xD800 + (value >> 10)));
            units.push_back(static_cast<wchar_t>(0xDC00 + (value & 0x3FF)));
        } else {
            units.push_back(static_cast<wchar_t>(0xFFFD));
        }
    }
    return units;
}
