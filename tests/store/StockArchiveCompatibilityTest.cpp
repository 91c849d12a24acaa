// Files written by the archive library's own collection and pointer code
// (its newer library version, with item versions) are read, and files we
// write are read by it. The stock side works on mirror types with the same
// class traits.

#include "store/CatalogueText.h"

#include "StoreTestSupport.h"

#include <boost/archive/text_wiarchive.hpp>
#include <boost/archive/text_woarchive.hpp>
#include <boost/serialization/shared_ptr.hpp>
#include <boost/serialization/string.hpp>
#include <boost/serialization/vector.hpp>

#include <gtest/gtest.h>

#include <sstream>

namespace stock {

struct Step {
    virtual ~Step() = default;
    int id = 0, type = 0, pauseMs = -1;
    unsigned virtualKey = 0, modifiers = 0;
    std::wstring text;
    std::vector<std::wstring> extraStrings;
    template <class A>
    void serialize(A& ar, unsigned)
    {
        ar& id& type& pauseMs& virtualKey& modifiers& text& extraStrings;
    }
};

struct Command {
    virtual ~Command() = default;
    int lastStepId = 0, id = 0;
    std::wstring name, notes;
    int groupId = 0, iconIndex = 0;
    std::wstring shortcut;
    int kind = 0;
    std::vector<boost::shared_ptr<Step>> steps;
    int timesExecuted = 0;
    template <class A>
    void serialize(A& ar, unsigned)
    {
        ar& lastStepId& id& name& notes& groupId& iconIndex& shortcut& kind& steps& timesExecuted;
    }
};

struct Group {
    virtual ~Group() = default;
    int id = 0, iconIndex = 0;
    std::wstring name;
    std::vector<int> commandIds;
    std::vector<boost::shared_ptr<Group>> subgroups;
    template <class A>
    void serialize(A& ar, unsigned)
    {
        ar& id& iconIndex& name& commandIds& subgroups;
    }
};

struct Catalogue {
    virtual ~Catalogue() = default;
    int reserved = 0, lastId = 0;
    std::vector<boost::shared_ptr<Command>> allCommands;
    std::vector<boost::shared_ptr<Group>> groups;
    bool enableOnStart = false, autoStart = false;
    unsigned firstControlKey = 0, secondControlKey = 0;
    int lastSelectedGroupId = 0;
    bool shownOnce = false;
    template <class A>
    void serialize(A& ar, unsigned version)
    {
        ar& reserved& lastId& allCommands& groups& enableOnStart& autoStart& firstControlKey& secondControlKey&
            lastSelectedGroupId;
        if (version >= 2)
            ar& shownOnce;
    }
};

} // namespace stock

BOOST_CLASS_VERSION(stock::Catalogue, 2)
BOOST_CLASS_VERSION(stock::Command, 1)
BOOST_CLASS_VERSION(stock::Step, 1)
BOOST_CLASS_VERSION(stock::Group, 1)
BOOST_CLASS_IMPLEMENTATION(std::vector<int>, boost::serialization::object_serializable)

namespace {

boost::shared_ptr<stock::Group> ToStock(const CommandGroup& g)
{
    auto s = boost::make_shared<stock::Group>();
    s->id = g.id;
    s->iconIndex = g.iconIndex;
    s->name = g.name;
    s->commandIds = g.commandIds;
    for (const GroupPtr& child : g.subgroups)
        s->subgroups.push_back(ToStock(*child));
    return s;
}

GroupPtr FromStock(const stock::Group& s)
{
    GroupPtr g(new CommandGroup(s.id, s.iconIndex, s.name));
    g->commandIds = s.commandIds;
    for (const auto& child : s.subgroups)
        g->subgroups.push_back(FromStock(*child));
    return g;
}

stock::Catalogue ToStock(const QuorvallisCommands& c)
{
    stock::Catalogue s;
    s.reserved = c.reserved;
    s.lastId = c.lastId;
    for (const CommandPtr& command : c.allCommands) {
        auto m = boost::make_shared<stock::Command>();
        m->lastStepId = command->lastStepId;
        m->id = command->id;
        m->name = command->name;
        m->notes = command->notes;
        m->groupId = command->groupId;
        m->iconIndex = command->iconIndex;
        m->shortcut = command->shortcut;
        m->kind = static_cast<int>(command->kind);
        m->timesExecuted = command->timesExecuted;
        for (const StepPtr& step : command->steps) {
            auto t = boost::make_shared<stock::Step>();
            t->id = step->id;
            t->type = static_cast<int>(step->type);
            t->pauseMs = step->pauseMs;
            t->virtualKey = step->virtualKey;
            t->modifiers = step->modifiers;
            t->text = step->text;
            t->extraStrings = step->extraStrings;
            m->steps.push_back(t);
        }
        s.allCommands.push_back(m);
    }
    for (const GroupPtr& group : c.groups)
        s.groups.push_back(ToStock(*group));
    s.enableOnStart = c.enableOnStart;
    s.autoStart = c.autoStart;
    s.firstControlKey = c.firstControlKey;
    s.secondControlKey = c.secondControlKey;
    s.lastSelectedGroupId = c.lastSelectedGroupId;
    s.shownOnce = c.shownOnce;
    return s;
}

void FromStock(const stock::Catalogue& s, QuorvallisCommands& c)
{
    c.reserved = s.reserved;
    c.lastId = s.lastId;
    std::vector<CommandPtr> commands;
    for (const auto& m : s.allCommands) {
        CommandPtr command(new QuorvallisCommand(m->id, m->name, m->notes, m->iconIndex, m->groupId, m->shortcut));
        command->lastStepId = m->lastStepId;
        command->kind = static_cast<CommandKind>(m->kind);
        command->timesExecuted = m->timesExecuted;
        for (const auto& t : m->steps) {
            StepPtr step(new QuorvallisScriptStep(t->id));
            step->type = static_cast<StepType>(t->type);
            step->pauseMs = t->pauseMs;
            step->virtualKey = t->virtualKey;
            step->modifiers = t->modifiers;
            step->text = t->text;
            step->extraStrings = t->extraStrings;
            command->steps.push_back(step);
        }
        commands.push_back(command);
    }
    c.LoadCommands(std::move(commands));
    c.groups.clear();
    for (const auto& g : s.groups)
        c.groups.push_back(FromStock(*g));
    c.enableOnStart = s.enableOnStart;
    c.autoStart = s.autoStart;
    c.firstControlKey = s.firstControlKey;
    c.secondControlKey = s.secondControlKey;
    c.lastSelectedGroupId = s.lastSelectedGroupId;
    c.shownOnce = s.shownOnce;
}

} // namespace

TEST(StockArchiveCompatibility, FileOfTheLibrarysOwnNewerVersionIsRead)
{
    QuorvallisCommands source;
    FillRichCatalogue(source);
    std::wostringstream stream;
    {
        boost::archive::text_woarchive archive(stream, boost::archive::no_codecvt);
        const stock::Catalogue mirror = ToStock(source);
        archive << mirror;
    }
    ASSERT_EQ(stream.str().rfind(L"22 serialization::archive 3 ", 0), std::wstring::npos)
        << "the library writes its own version";

    QuorvallisCommands target;
    std::wstring error;
    ASSERT_TRUE(CatalogueText::Read(stream.str(), target, error)) << std::string(error.begin(), error.end());
    ExpectSameCatalogue(source, target);
}

TEST(StockArchiveCompatibility, OurFilesAreReadByTheLibrarysOwnReader)
{
    QuorvallisCommands source;
    FillRichCatalogue(source);
    std::wistringstream stream(CatalogueText::Write(source));
    stock::Catalogue mirror;
    {
        boost::archive::text_wiarchive archive(stream, boost::archive::no_codecvt);
        archive >> mirror;
    }
    QuorvallisCommands target;
    FromStock(mirror, target);
    ExpectSameCatalogue(source, target);
}
