// The messages between the launcher and its plugin helper: what one side
// writes the other reads back, and nothing else reads at all.
#include "platform/PluginHostMessages.h"

#include <gtest/gtest.h>

namespace {

using namespace PluginHostMessages;

std::vector<std::uint8_t> Body(const Message& message)
{
    const std::vector<std::uint8_t> frame = Encode(message);
    EXPECT_EQ(BodyLength(frame.data()), frame.size() - 4);
    return std::vector<std::uint8_t>(frame.begin() + 4, frame.end());
}

TEST(PluginHostMessages, WhatIsWrittenReadsBack)
{
    Message perform;
    perform.id = 0x01020304;
    perform.kind = Kind::Perform;
    perform.libraryPath = L"C:\\Q\\Plugins\\Grüße.dll";
    perform.argumentCount = -1;
    perform.arguments = {L"", std::wstring(1199, L'\xFFFF')};
    const auto body = Body(perform);
    Message read;
    ASSERT_TRUE(Decode(body.data(), body.size(), read));
    EXPECT_EQ(read.id, 0x01020304u);
    EXPECT_EQ(read.kind, Kind::Perform);
    EXPECT_EQ(read.libraryPath, perform.libraryPath);
    EXPECT_EQ(read.argumentCount, -1);
    EXPECT_EQ(read.arguments, perform.arguments);

    Message examined;
    examined.kind = Kind::Examined;
    examined.examination = {PluginCodeEnd::Returned, true, L"Name", L"About it", -7};
    const auto answer = Body(examined);
    ASSERT_TRUE(Decode(answer.data(), answer.size(), read));
    EXPECT_TRUE(read.examination.accepted);
    EXPECT_EQ(read.examination.actionName, L"Name");
    EXPECT_EQ(read.examination.actionDescription, L"About it");
    EXPECT_EQ(read.examination.argumentCount, -7);
}

TEST(PluginHostMessages, AnythingElseIsRefusedWhole)
{
    Message performed;
    performed.id = 9;
    performed.kind = Kind::Performed;
    performed.succeeded = true;
    const auto good = Body(performed); // 9 0 0 0 | 4 | 1
    ASSERT_EQ(good, (std::vector<std::uint8_t>{9, 0, 0, 0, 4, 1}));

    const struct {
        const char* what;
        std::vector<std::uint8_t> body;
    } cases[] = {
        {"empty", {}},
        {"no kind", {9, 0, 0, 0}},
        {"unknown kind", {9, 0, 0, 0, 7, 1}},
        {"kind zero", {9, 0, 0, 0, 0, 1}},
        {"result missing", {9, 0, 0, 0, 4}},
        {"result neither 0 nor 1", {9, 0, 0, 0, 4, 2}},
        {"a byte too many", {9, 0, 0, 0, 4, 1, 0}},
        {"text longer than the message", {9, 0, 0, 0, 1, 3, 0, 0, 0, 'a', 0}},
        {"odd text length", {9, 0, 0, 0, 1, 1, 0, 0, 0, 'a'}},
        {"huge text count", {9, 0, 0, 0, 1, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"more arguments than could fit", {9, 0, 0, 0, 2, 0, 0, 0, 0, 1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x0F}},
    };
    for (const auto& c : cases) {
        Message read;
        EXPECT_FALSE(Decode(c.body.data(), c.body.size(), read)) << c.what;
    }
}

} // namespace
