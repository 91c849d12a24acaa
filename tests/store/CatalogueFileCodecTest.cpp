#include "store/CatalogueFileCodec.h"

#include <gtest/gtest.h>

namespace {

struct CodecCase {
    const char* what;
    std::wstring text;
    std::string bytes;
};

std::string B(std::initializer_list<int> values)
{
    std::string bytes;
    for (const int v : values)
        bytes.push_back(static_cast<char>(v));
    return bytes;
}

} // namespace

TEST(CatalogueFileCodec, EncodesAndDecodesEveryCase)
{
    const CodecCase cases[] = {
        {"plain ASCII", L"Ab", B({'A', 0, 'b', 0})},
        {"line feed gets a 0x0D", L"\n", B({0x0D, 0x0A, 0x00})},
        {"0x0A as the high byte", std::wstring(1, wchar_t(0x0A41)), B({0x41, 0x0D, 0x0A})},
        {"U+010A", std::wstring(1, wchar_t(0x010A)), B({0x0D, 0x0A, 0x01})},
        {"U+0A0A gets two", std::wstring(1, wchar_t(0x0A0A)), B({0x0D, 0x0A, 0x0D, 0x0A})},
        {"a real 0x0D before 0x0A (U+0A0D)", std::wstring(1, wchar_t(0x0A0D)), B({0x0D, 0x0D, 0x0A})},
        {"U+0D0A", std::wstring(1, wchar_t(0x0D0A)), B({0x0D, 0x0A, 0x0D})},
        {"carriage return alone stays", L"\r", B({0x0D, 0x00})},
        {"U+041A holds 0x1A", std::wstring(1, wchar_t(0x041A)) + L"z", B({0x1A, 0x04, 'z', 0})},
        {"0x1A character", std::wstring(1, wchar_t(0x1A)), B({0x1A, 0x00})},
        {"surrogate pair", std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}, B({0x3D, 0xD8, 0x00, 0xDE})},
        {"empty", L"", ""},
    };
    for (const CodecCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CatalogueFileCodec::Encode(c.text), c.bytes);
        std::wstring decoded;
        ASSERT_TRUE(CatalogueFileCodec::Decode(c.bytes, decoded));
        EXPECT_EQ(decoded, c.text);
    }
}

TEST(CatalogueFileCodec, ReadsLenientlyWhatNoWriterWouldWrite)
{
    std::wstring text;
    // A bare 0x0A without its 0x0D is still data.
    ASSERT_TRUE(CatalogueFileCodec::Decode(B({0x0A, 0x00}), text));
    EXPECT_EQ(text, L"\n");
    // A 0x0D at the very end is data.
    ASSERT_TRUE(CatalogueFileCodec::Decode(B({'a', 0x0D}), text));
    EXPECT_EQ(text, std::wstring(1, wchar_t(0x0D61)));
}

TEST(CatalogueFileCodec, RefusesAnOddByteCount)
{
    std::wstring text = L"old";
    EXPECT_FALSE(CatalogueFileCodec::Decode(B({'a', 0, 'b'}), text));
    EXPECT_TRUE(text.empty());
    // The dropped 0x0D does not count.
    EXPECT_TRUE(CatalogueFileCodec::Decode(B({0x0D, 0x0A, 0x00}), text));
}

TEST(CatalogueFileCodec, SplitsCodePointsAboveFfffWhereWcharIsWide)
{
    if (sizeof(wchar_t) == 2)
        GTEST_SKIP() << "wchar_t holds UTF-16 units already";
    const std::wstring wide(1, static_cast<wchar_t>(0x1F600));
    EXPECT_EQ(CatalogueFileCodec::ToUtf16Units(wide), (std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}));
    EXPECT_EQ(CatalogueFileCodec::Encode(wide), B({0x3D, 0xD8, 0x00, 0xDE}));
}

TEST(CatalogueFileCodec, LongTextsAreTheirPiecesOneAfterAnother)
{
    // Texts longer than the codec's working pieces, with the characters
    // that take an extra byte or a 0x0D at every place around the seams.
    const CodecCase special = {"U+0A0D then a line feed", std::wstring{wchar_t(0x0A0D), L'\n'},
                               B({0x0D, 0x0D, 0x0A, 0x0D, 0x0A, 0x00})};
    for (std::size_t padding = 1018; padding <= 1030; ++padding) {
        SCOPED_TRACE(padding);
        std::wstring text(padding, L'x');
        std::string bytes;
        for (std::size_t i = 0; i < padding; ++i)
            bytes += B({'x', 0});
        for (int repeat = 0; repeat < 3; ++repeat) {
            text += special.text + std::wstring(padding, L'x');
            bytes += special.bytes;
            for (std::size_t i = 0; i < padding; ++i)
                bytes += B({'x', 0});
        }
        EXPECT_EQ(CatalogueFileCodec::Encode(text), bytes);
        std::wstring decoded;
        ASSERT_TRUE(CatalogueFileCodec::Decode(bytes, decoded));
        EXPECT_EQ(decoded, text);
    }
}
