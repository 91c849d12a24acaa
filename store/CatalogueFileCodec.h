#pragma once

#include <cstddef>
#include <string>

// The byte level of the catalogue file. The archive text is UTF-16LE without
// a byte-order mark, and files have always been written through a text-mode
// C runtime stream: every byte 0x0A, whichever character it belongs to, is
// preceded by an inserted byte 0x0D. Reading drops such a 0x0D again; every
// other byte, 0x1A included, is data.
//
// Text is held one UTF-16 unit per wchar_t on every platform.
class CatalogueFileCodec {
public:
    static std::string Encode(const std::wstring& text);
    // Appends the bytes of count units to out (for writers that stream).
    static void AppendEncoded(const wchar_t* units, std::size_t count, std::string& out);
    // False when the bytes cannot be UTF-16 text (an odd count once the
    // inserted 0x0D bytes are gone); text is then left empty.
    static bool Decode(const std::string& bytes, std::wstring& text);
    // Decodes from `at` (advanced past what was used) into at most `room`
    // units of out; returns how many. A last byte without its pair is left.
    static std::size_t DecodeSome(const char*& at, const char* end, wchar_t* out, std::size_t room);
    // Whether the bytes are whole units once the inserted 0x0D bytes are
    // gone, without decoding them.
    static bool HasWholeUnits(const std::string& bytes);
    // Where wchar_t is wider than 16 bits, a code point above U+FFFF is split
    // into its surrogate pair so that lengths are counted as on Windows.
    static std::wstring ToUtf16Units(const std::wstring& text);
    static bool IsUtf16Units(const std::wstring& text);
};
