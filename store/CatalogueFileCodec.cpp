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
    const std::wstring units = ToUtf16Units(text);
    std::string out;
    out.reserve(units.size() * 2 + units.size() / 16);
    for (const wchar_t unit : units) {
        const auto value = static_cast<unsigned>(unit);
        PutByte(out, static_cast<unsigned char>(value & 0xFF));
        PutByte(out, static_cast<unsigned char>((value >> 8) & 0xFF));
    }
    return out;
}

bool CatalogueFileCodec::Decode(const std::string& bytes, std::wstring& text)
{
    text.clear();
    std::string data;
    data.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\x0D' && i + 1 < bytes.size() && bytes[i + 1] == '\x0A')
            continue;
        data.push_back(bytes[i]);
    }
    if (data.size() % 2 != 0)
        return false;
    text.resize(data.size() / 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto low = static_cast<unsigned char>(data[2 * i]);
        const auto high = static_cast<unsigned char>(data[2 * i + 1]);
        text[i] = static_cast<wchar_t>(low | (high << 8));
    }
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
