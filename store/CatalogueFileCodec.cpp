#include "store/CatalogueFileCodec.h"

namespace {

char* PutByte(char* out, unsigned char byte)
{
    if (byte == 0x0A)
        *out++ = static_cast<char>(0x0D);
    *out++ = static_cast<char>(byte);
    return out;
}

char* PutUnit(char* out, unsigned value)
{
    out = PutByte(out, static_cast<unsigned char>(value & 0xFF));
    return PutByte(out, static_cast<unsigned char>((value >> 8) & 0xFF));
}

// The next data byte, or -1 at the end: a 0x0D directly before a 0x0A is
// skipped.
int NextByte(const unsigned char*& at, const unsigned char* end)
{
    if (at == end)
        return -1;
    if (*at == 0x0D && end - at > 1 && at[1] == 0x0A)
        ++at;
    return *at++;
}

} // namespace

std::string CatalogueFileCodec::Encode(const std::wstring& text)
{
    std::string out;
    AppendEncoded(text.data(), text.size(), out);
    return out;
}

void CatalogueFileCodec::AppendEncoded(const wchar_t* units, std::size_t count, std::string& out)
{
#ifdef _WIN32
    // Here wchar_t is the UTF-16 unit and its bytes in memory are the
    // file's bytes (little-endian), but for the 0x0D before a 0x0A byte:
    // runs of units without a 0x0A byte go out whole.
    while (count > 0) {
        std::size_t run = 0;
        while (run < count && (units[run] & 0xFF) != 0x0A && (units[run] >> 8) != 0x0A)
            ++run;
        out.append(reinterpret_cast<const char*>(units), run * 2);
        if (run == count)
            return;
        char pair[4];
        out.append(pair, static_cast<std::size_t>(PutUnit(pair, static_cast<unsigned>(units[run])) - pair));
        units += run + 1;
        count -= run + 1;
    }
#else
    // Encoded piece by piece into room for the worst case (every byte 0x0A,
    // every character a surrogate pair), so that out only ever grows by
    // what is written.
    constexpr std::size_t kPiece = 1024;
    char piece[kPiece * 8];
    while (count > 0) {
        const std::size_t now = count < kPiece ? count : kPiece;
        char* at = piece;
        for (std::size_t i = 0; i < now; ++i) {
            const auto value = static_cast<unsigned long>(units[i]);
            if ((value & 0xFF) != 0x0A && (value >> 8) != 0x0A && (value >> 16) == 0) {
                // Most units: their two bytes as they are.
                at[0] = static_cast<char>(value & 0xFF);
                at[1] = static_cast<char>(value >> 8);
                at += 2;
            } else if ((value >> 16) == 0) {
                at = PutUnit(at, static_cast<unsigned>(value));
            } else {
                for (const wchar_t unit : ToUtf16Units(std::wstring(1, units[i])))
                    at = PutUnit(at, static_cast<unsigned>(unit));
            }
        }
        out.append(piece, static_cast<std::size_t>(at - piece));
        units += now;
        count -= now;
    }
#endif
}

bool CatalogueFileCodec::Decode(const std::string& bytes, std::wstring& text)
{
    text.clear();
    if (!HasWholeUnits(bytes))
        return false;
    text.resize(bytes.size() / 2);
    const char* at = bytes.data();
    text.resize(DecodeSome(at, at + bytes.size(), text.empty() ? nullptr : &text[0], text.size()));
    return true;
}

std::size_t CatalogueFileCodec::DecodeSome(const char*& from, const char* end, wchar_t* out, std::size_t room)
{
    const auto* at = reinterpret_cast<const unsigned char*>(from);
    const auto* const last = reinterpret_cast<const unsigned char*>(end);
    wchar_t* const first = out;
    wchar_t* const full = out + room;
    while (out < full) {
        // Most pairs hold no 0x0D and are both data.
        while (out < full && last - at >= 2 && at[0] != 0x0D && at[1] != 0x0D) {
            *out++ = static_cast<wchar_t>(at[0] | (at[1] << 8));
            at += 2;
        }
        if (out == full)
            break;
        const unsigned char* const before = at;
        const int low = NextByte(at, last);
        const int high = NextByte(at, last);
        if (high < 0) {
            at = before;
            break;
        }
        *out++ = static_cast<wchar_t>(low | (high << 8));
    }
    from = reinterpret_cast<const char*>(at);
    return static_cast<std::size_t>(out - first);
}

bool CatalogueFileCodec::HasWholeUnits(const std::string& bytes)
{
    std::size_t dropped = 0;
    for (std::size_t at = bytes.find('\x0D'); at != std::string::npos; at = bytes.find('\x0D', at + 1)) {
        if (at + 1 < bytes.size() && bytes[at + 1] == '\x0A')
            ++dropped;
    }
    return (bytes.size() - dropped) % 2 == 0;
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
