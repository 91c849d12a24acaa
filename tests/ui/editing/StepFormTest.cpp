// The step editor's rules: what OK makes of each type, the key and pause
// texts, the type list with plugin actions, the "Or choose:" entries.
#include "ui/editing/KeyText.h"
#include "ui/editing/PauseText.h"
#include "ui/editing/StepForm.h"
#include "ui/editing/StepTypeTable.h"
#include "platform/IKeyNames.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

// Key names as an English layout gives them.
class FakeKeyNames : public IKeyNames {
public:
    std::wstring KeyName(unsigned virtualKey, bool extended) const override
    {
        static const std::map<std::pair<unsigned, bool>, std::wstring> names = {
            {{0x11, false}, L"Ctrl"},     {{0x12, false}, L"Alt"},     {{0x10, false}, L"Shift"},
            {{0x2E, true}, L"Delete"},    {{0x2E, false}, L"Num Del"}, {{0x41, false}, L"A"},
            {{0x70, false}, L"F1"},       {{0x0D, false}, L"Enter"},   {{0x1B, false}, L"Esc"},
            {{0x0D, true}, L"Num Enter"},
        };
        auto found = names.find({virtualKey, extended});
        return found == names.end() ? std::wstring() : found->second;
    }
};

struct KeyCase {
    unsigned virtualKey;
    unsigned modifiers;
    const wchar_t* text;
};

TEST(KeyText, ModifiersInTheOrderCtrlAltShiftThenTheKey)
{
    const KeyCase cases[] = {
        {0x2E, KeyText::kControl | KeyText::kAlt | KeyText::kExtended, L"Ctrl+Alt+Delete"},
        {0x2E, KeyText::kControl | KeyText::kAlt, L"Ctrl+Alt+Num Del"},
        {0x41, KeyText::kShift | KeyText::kAlt | KeyText::kControl, L"Ctrl+Alt+Shift+A"},
        {0x41, KeyText::kShift, L"Shift+A"},
        {0x70, 0, L"F1"},
    };
    FakeKeyNames names;
    for (const KeyCase& c : cases)
        EXPECT_EQ(KeyText::For(c.virtualKey, c.modifiers, names), c.text) << c.text;
}

TEST(PauseText, OnlyPausesTheExecutorRunsAreRead)
{
    const struct {
        const wchar_t* typed;
        bool read;
        int milliseconds;
    } cases[] = {
        {L"250", true, 250},
        {L"1", true, 1},
        {L"100000", true, 100000},
        {L"0250", true, 250},
        {L"0", false, 0},
        {L"100001", false, 0},
        {L"", false, 0},
        {L"12a", false, 0},
        {L" 5", false, 0},
        {L"-5", false, 0},
        {L"99999999999999999999999", false, 0},
    };
    for (const auto& c : cases) {
        int milliseconds = -7;
        EXPECT_EQ(PauseText::Read(c.typed, &milliseconds), c.read) << c.typed;
        EXPECT_EQ(milliseconds, c.read ? c.milliseconds : -7) << c.typed;
    }
    EXPECT_EQ(PauseText::For(L"0250"), L"Pause 0250 ms");
}

std::vector<PluginPtr> Plugins(const std::vector<std::wstring>& names)
{
    std::vector<PluginPtr> plugins;
    for (const auto& name : names) {
        plugins.emplace_back(new QuorvallisPlugin(nullptr, L"C:\\Plugins\\p.dll"));
        plugins.back()->actionName = name;
    }
    return plugins;
}

TEST(StepTypeTable, TypeListHoldsTheBuiltInTypesThenEveryPluginActionWhole)
{
    const std::wstring longName(250, L'x');
    const auto choices = StepTypeTable::StepChoices(Plugins({L"Say hello", longName}));
    const std::vector<std::tuple<std::wstring, int, StepType>> expected = {
        {L"Open web site", 5, StepType::OpenWebPage}, {L"Execute", 6, StepType::OpenExecutable},
        {L"Echo string", 7, StepType::EchoString},    {L"Pause (ms)", 8, StepType::Pause},
        {L"Send key", 9, StepType::SendKey},          {L"Say hello", 19, StepType::PluginAction},
        {longName, 19, StepType::PluginAction},
    };
    ASSERT_EQ(choices.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(choices[i].label, std::get<0>(expected[i]));
        EXPECT_EQ(choices[i].image, std::get<1>(expected[i]));
        EXPECT_EQ(choices[i].type, std::get<2>(expected[i]));
    }

    QuorvallisScriptStep step(3);
    step.type = StepType::PluginAction;
    step.text = longName;
    EXPECT_EQ(StepTypeTable::IndexFor(choices, step), 6);
    step.text = L"Gone action";
    EXPECT_EQ(StepTypeTable::IndexFor(choices, step), -1);
    step.type = StepType::SendKey;
    EXPECT_EQ(StepTypeTable::IndexFor(choices, step), 4);

    EXPECT_EQ(StepTypeTable::ListLabel(StepType::OpenWebPage), L"Open web page");
    EXPECT_EQ(StepTypeTable::ListLabel(StepType::PluginAction), L"Custom");
    EXPECT_EQ(StepTypeTable::ListLabel(static_cast<StepType>(7)), L"");
    EXPECT_EQ(StepTypeTable::Image(static_cast<StepType>(0)), -1);
}

// One press of OK in the step editor.
struct OkCase {
    const char* name;
    int choice; // index into the type list below; -1 none selected
    const wchar_t* value;
    int quickKey;
    unsigned hotKey;
    const wchar_t* message; // empty: accepted
    // The step afterwards.
    StepType type;
    const wchar_t* text;
    unsigned virtualKey;
    unsigned modifiers;
    int pauseMs;
};

class StepEditorOk : public ::testing::TestWithParam<OkCase> {};

// The step being edited: a stored Ctrl+Enter.
QuorvallisScriptStep StoredStep()
{
    QuorvallisScriptStep step(5);
    step.type = StepType::SendKey;
    step.text = L"Ctrl+Enter";
    step.virtualKey = 0x0D;
    step.modifiers = KeyText::kControl;
    return step;
}

TEST_P(StepEditorOk, GivesTheStepOrTheMessage)
{
    const OkCase& c = GetParam();
    const auto choices = StepTypeTable::StepChoices(Plugins({L"Say hello"}));
    StepFormInput input;
    input.choice = c.choice >= 0 ? &choices[static_cast<size_t>(c.choice)] : nullptr;
    input.value = c.value;
    input.quickKey = c.quickKey;
    input.hotKey = c.hotKey;
    QuorvallisScriptStep step = StoredStep();
    FakeKeyNames names;
    EXPECT_EQ(StepForm::Apply(input, names, &step), c.message);
    EXPECT_EQ(step.id, 5);
    EXPECT_EQ(step.type, c.type);
    EXPECT_EQ(step.text, c.text);
    EXPECT_EQ(step.virtualKey, c.virtualKey);
    EXPECT_EQ(step.modifiers, c.modifiers);
    EXPECT_EQ(step.pauseMs, c.pauseMs);
}

constexpr auto kWeb = StepType::OpenWebPage;
constexpr auto kKey = StepType::SendKey;
constexpr auto kPause = StepType::Pause;
constexpr unsigned kCtrl = KeyText::kControl;

const OkCase kOkCases[] = {
    {"WebAddress", 0, L"http://a", -1, 0, L"", kWeb, L"http://a", 0x0D, kCtrl, -1},
    {"Program", 1, L"\"C:\\a b\\x.exe\" -q", -1, 0, L"", StepType::OpenExecutable, L"\"C:\\a b\\x.exe\" -q", 0x0D,
     kCtrl, -1},
    {"String", 2, L"hi\r\nthere", -1, 0, L"", StepType::EchoString, L"hi\r\nthere", 0x0D, kCtrl, -1},
    {"NoWebAddress", 0, L"", -1, 0, L"Please, specify the web address.", kKey, L"Ctrl+Enter", 0x0D, kCtrl, -1},
    {"NoProgram", 1, L"", -1, 0, L"Please, specify the executable path.", kKey, L"Ctrl+Enter", 0x0D, kCtrl, -1},
    {"NoString", 2, L"", -1, 0, L"Please, specify the string.", kKey, L"Ctrl+Enter", 0x0D, kCtrl, -1},
    {"Pause", 3, L"250", -1, 0, L"", kPause, L"Pause 250 ms", 0x0D, kCtrl, 250},
    {"NoPause", 3, L"", -1, 0, L"Please, specify the pause time.", kKey, L"Ctrl+Enter", 0x0D, kCtrl, -1},
    {"PauseZero", 3, L"0", -1, 0, L"Please, specify a pause time from 1 to 100000 ms.", kKey, L"Ctrl+Enter", 0x0D,
     kCtrl, -1},
    {"PauseTooLong", 3, L"100001", -1, 0, L"Please, specify a pause time from 1 to 100000 ms.", kKey, L"Ctrl+Enter",
     0x0D, kCtrl, -1},
    {"HotKey", 4, L"", -1, 0x0E2E, L"", kKey, L"Ctrl+Alt+Delete", 0x2E, 0x0E, -1},
    {"ChosenKeyWinsOverTheHotKey", 4, L"", 0x1B, 0x0E2E, L"", kKey, L"Esc", 0x1B, 0, -1},
    {"NoKey", 4, L"", -1, 0x0600, L"Please, specify the key.", kKey, L"Ctrl+Enter", 0x0D, kCtrl, -1},
    {"Plugin", 5, L"", -1, 0, L"", StepType::PluginAction, L"Say hello", 0x0D, kCtrl, -1},
    {"NoTypeKeepsTheStep", -1, L"typed", -1, 0x0241, L"", kKey, L"Ctrl+Enter", 0x0D, kCtrl, -1},
};

INSTANTIATE_TEST_SUITE_P(Table, StepEditorOk, ::testing::ValuesIn(kOkCases),
                         [](const ::testing::TestParamInfo<OkCase>& row) { return row.param.name; });

TEST(StepForm, StoredKeysShowAsTheyAre)
{
    const auto& keys = StepForm::QuickKeys();
    ASSERT_EQ(keys.size(), 5u);
    const std::vector<std::pair<std::wstring, int>> expected = {
        {L"None", -1}, {L"Enter", 13}, {L"Esc", 27}, {L"Space", 32}, {L"TAB", 9}};
    for (size_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(std::make_pair(std::wstring(keys[i].label), keys[i].virtualKey), expected[i]);

    const struct {
        unsigned virtualKey;
        unsigned modifiers;
        int quickKey;
        unsigned hotKey;
    } cases[] = {
        {0x0D, 0, 1, 0x000D},     // Enter: the list shows it
        {0x0D, kCtrl, 0, 0x020D}, // Ctrl+Enter stays a hot key, not a plain Enter
        {0x20, 0, 3, 0x0020},
        {0x2E, 0x0E, 0, 0x0E2E},
        {0xFFFF, 0xFFFF, 0, 0}, // a step that never had a key
        {0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        QuorvallisScriptStep step(1);
        step.type = StepType::SendKey;
        step.virtualKey = c.virtualKey;
        step.modifiers = c.modifiers;
        EXPECT_EQ(StepForm::QuickKeyIndexFor(step), c.quickKey) << c.virtualKey;
        EXPECT_EQ(StepForm::HotKeyFor(step), c.hotKey) << c.virtualKey;
    }
}

} // namespace
