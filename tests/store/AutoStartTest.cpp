#include "store/CatalogueFile.h"

#include "catalogue/QuorvallisCommands.h"
#include "platform/IRegistry.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace {

using Root = IRegistry::Root;

// Run keys in memory; each root can refuse writes or deletes.
class FakeRegistry : public IRegistry {
public:
    std::map<std::pair<Root, std::wstring>, std::wstring> values;
    bool writable[2] = {true, true};
    // False: the key cannot even be opened for reading (access denied).
    bool readable[2] = {true, true};
    int writes = 0;
    int deletes = 0;

    bool SetRunValue(Root root, const std::wstring& name, const std::wstring& data) override
    {
        if (!writable[Index(root)])
            return false;
        ++writes;
        values[{root, name}] = data;
        return true;
    }
    Query QueryRunValue(Root root, const std::wstring& name, std::wstring& data) override
    {
        if (!readable[Index(root)])
            return Query::Failed;
        const auto found = values.find({root, name});
        if (found == values.end())
            return Query::Absent;
        data = found->second;
        return Query::Present;
    }
    bool DeleteRunValue(Root root, const std::wstring& name) override
    {
        if (!readable[Index(root)])
            return false;
        if (!writable[Index(root)])
            return values.count({root, name}) == 0;
        ++deletes;
        values.erase({root, name});
        return true;
    }
    bool Has(Root root) const { return values.count({root, L"Quorvallis"}) != 0; }
    std::wstring Data(Root root) const { return values.at({root, L"Quorvallis"}); }

private:
    static int Index(Root root) { return root == Root::LocalMachine ? 0 : 1; }
};

const std::wstring kProgram = L"C:\\Program Files\\Quorvallis\\Quorvallis.exe";

} // namespace

TEST(AutoStart, WritesTheMachineValueQuotedWhenThePathHasBlanks)
{
    FakeRegistry registry;
    QuorvallisCommands catalogue;
    EXPECT_TRUE(SetAutoStart(true, catalogue, registry, kProgram));
    EXPECT_TRUE(catalogue.autoStart);
    EXPECT_EQ(registry.Data(Root::LocalMachine), L"\"" + kProgram + L"\"");
    EXPECT_FALSE(registry.Has(Root::CurrentUser));
}

TEST(AutoStart, CommandLineIsQuotedOnlyWhenNeeded)
{
    EXPECT_EQ(AutoStartCommandLine(L"C:\\Q\\Quorvallis.exe"), L"C:\\Q\\Quorvallis.exe");
    EXPECT_EQ(AutoStartCommandLine(L"C:\\My Tools\\Q.exe"), L"\"C:\\My Tools\\Q.exe\"");
    EXPECT_EQ(AutoStartCommandLine(L"C:\\Tab\there\\Q.exe"), L"\"C:\\Tab\there\\Q.exe\"");
    EXPECT_EQ(AutoStartCommandLine(L"\"C:\\My Tools\\Q.exe\""), L"\"C:\\My Tools\\Q.exe\"");
}

TEST(AutoStart, FallsBackToTheUsersKeyWithoutRightsToTheMachines)
{
    FakeRegistry registry;
    registry.writable[0] = false;
    QuorvallisCommands catalogue;
    EXPECT_TRUE(SetAutoStart(true, catalogue, registry, kProgram));
    EXPECT_TRUE(catalogue.autoStart);
    EXPECT_FALSE(registry.Has(Root::LocalMachine));
    EXPECT_EQ(registry.Data(Root::CurrentUser), L"\"" + kProgram + L"\"");
}

TEST(AutoStart, ReportsOffWhenNoKeyCanBeWritten)
{
    FakeRegistry registry;
    registry.writable[0] = registry.writable[1] = false;
    QuorvallisCommands catalogue;
    catalogue.autoStart = true;
    EXPECT_FALSE(SetAutoStart(true, catalogue, registry, kProgram));
    EXPECT_FALSE(catalogue.autoStart);
    EXPECT_TRUE(registry.values.empty());

    // Without a program path there is nothing to write either.
    FakeRegistry open;
    EXPECT_FALSE(SetAutoStart(true, catalogue, open, L""));
    EXPECT_TRUE(open.values.empty());
}

TEST(AutoStart, MachineValueReplacesAnEarlierUserValue)
{
    FakeRegistry registry;
    registry.values[{Root::CurrentUser, L"Quorvallis"}] = L"old";
    QuorvallisCommands catalogue;
    EXPECT_TRUE(SetAutoStart(true, catalogue, registry, L"C:\\Q\\Quorvallis.exe"));
    EXPECT_EQ(registry.Data(Root::LocalMachine), L"C:\\Q\\Quorvallis.exe");
    EXPECT_FALSE(registry.Has(Root::CurrentUser));
}

TEST(AutoStart, ClearingRemovesTheValueFromBothKeys)
{
    FakeRegistry registry;
    registry.values[{Root::LocalMachine, L"Quorvallis"}] = L"a";
    registry.values[{Root::CurrentUser, L"Quorvallis"}] = L"b";
    registry.values[{Root::LocalMachine, L"Other"}] = L"c";
    QuorvallisCommands catalogue;
    catalogue.autoStart = true;
    EXPECT_FALSE(SetAutoStart(false, catalogue, registry, kProgram));
    EXPECT_FALSE(catalogue.autoStart);
    EXPECT_EQ(registry.values.size(), 1u);
    EXPECT_TRUE(registry.values.count({Root::LocalMachine, L"Other"}));
}

TEST(AutoStart, ClearingWithoutAValueChangesNothing)
{
    FakeRegistry registry;
    QuorvallisCommands catalogue;
    EXPECT_FALSE(SetAutoStart(false, catalogue, registry, kProgram));
    EXPECT_EQ(registry.writes + registry.deletes, 0);
}

TEST(AutoStart, MachineValueThatCannotBeDeletedStaysInForce)
{
    FakeRegistry registry;
    registry.values[{Root::LocalMachine, L"Quorvallis"}] = L"a";
    registry.writable[0] = false;
    QuorvallisCommands catalogue;
    catalogue.autoStart = true;
    EXPECT_TRUE(SetAutoStart(false, catalogue, registry, kProgram));
    EXPECT_TRUE(catalogue.autoStart);
}

// A Run key that cannot be opened is no proof that the value is gone: the
// box stays set rather than report a clearing that did not happen.
TEST(AutoStart, ClearingAKeyThatCannotBeOpenedStaysInForce)
{
    FakeRegistry registry;
    registry.values[{Root::LocalMachine, L"Quorvallis"}] = L"a";
    registry.readable[0] = false;
    registry.writable[0] = false;
    QuorvallisCommands catalogue;
    catalogue.autoStart = true;
    EXPECT_TRUE(SetAutoStart(false, catalogue, registry, kProgram));
    EXPECT_TRUE(catalogue.autoStart);
    EXPECT_TRUE(registry.Has(Root::LocalMachine));

    // Where it can be deleted after all, it is gone and the box is cleared.
    registry.writable[0] = true;
    registry.readable[0] = true;
    EXPECT_FALSE(SetAutoStart(false, catalogue, registry, kProgram));
    EXPECT_FALSE(registry.Has(Root::LocalMachine));
}
