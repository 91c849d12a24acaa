#pragma once

// How the catalogue and its records map onto the wide text archive: class
// traits and field order. Only store/CatalogueText.cpp includes this; it
// instantiates the functions for the two archives of the catalogue file.

#include "catalogue/CommandGroup.h"
#include "catalogue/QuorvallisCommand.h"
#include "catalogue/QuorvallisCommands.h"
#include "catalogue/QuorvallisScriptStep.h"
#include "store/CatalogueTypeInfo.h"

#include <boost/archive/archive_exception.hpp>
#include <boost/serialization/collection_size_type.hpp>
#include <boost/serialization/item_version_type.hpp>
#include <boost/serialization/level.hpp>
#include <boost/serialization/library_version_type.hpp>
#include <boost/serialization/tracking.hpp>
#include <boost/serialization/type_info_implementation.hpp>
#include <boost/serialization/version.hpp>

#include <new>
#include <string>
#include <vector>

// Class versions and tracking, as files have always carried them: the
// catalogue is version 2 (shownOnce came with it), records are version 1 and
// tracked, shared pointers version 1 and never tracked, lists of pointers and
// of strings version 0 with class information, lists of int bare.
BOOST_CLASS_VERSION(QuorvallisCommands, 2)
BOOST_CLASS_VERSION(QuorvallisCommand, 1)
BOOST_CLASS_VERSION(QuorvallisScriptStep, 1)
BOOST_CLASS_VERSION(CommandGroup, 1)
BOOST_CLASS_TRACKING(QuorvallisCommand, boost::serialization::track_always)
BOOST_CLASS_TRACKING(QuorvallisScriptStep, boost::serialization::track_always)
BOOST_CLASS_TRACKING(CommandGroup, boost::serialization::track_always)
BOOST_CLASS_VERSION(CommandPtr, 1)
BOOST_CLASS_VERSION(StepPtr, 1)
BOOST_CLASS_VERSION(GroupPtr, 1)
BOOST_CLASS_TRACKING(CommandPtr, boost::serialization::track_never)
BOOST_CLASS_TRACKING(StepPtr, boost::serialization::track_never)
BOOST_CLASS_TRACKING(GroupPtr, boost::serialization::track_never)
BOOST_CLASS_IMPLEMENTATION(std::vector<int>, boost::serialization::object_serializable)

// The catalogue's own types are described to the archive cheaply (see
// CatalogueTypeInfo); the standard ones keep the library's description.
BOOST_CLASS_TYPE_INFO(QuorvallisCommands, CatalogueTypeInfo<QuorvallisCommands>)
BOOST_CLASS_TYPE_INFO(QuorvallisCommand, CatalogueTypeInfo<QuorvallisCommand>)
BOOST_CLASS_TYPE_INFO(QuorvallisScriptStep, CatalogueTypeInfo<QuorvallisScriptStep>)
BOOST_CLASS_TYPE_INFO(CommandGroup, CatalogueTypeInfo<CommandGroup>)
BOOST_CLASS_TYPE_INFO(CommandPtr, CatalogueTypeInfo<CommandPtr>)
BOOST_CLASS_TYPE_INFO(StepPtr, CatalogueTypeInfo<StepPtr>)
BOOST_CLASS_TYPE_INFO(GroupPtr, CatalogueTypeInfo<GroupPtr>)
BOOST_CLASS_TYPE_INFO(std::vector<CommandPtr>, CatalogueTypeInfo<std::vector<CommandPtr>>)
BOOST_CLASS_TYPE_INFO(std::vector<StepPtr>, CatalogueTypeInfo<std::vector<StepPtr>>)
BOOST_CLASS_TYPE_INFO(std::vector<GroupPtr>, CatalogueTypeInfo<std::vector<GroupPtr>>)

namespace catalogue_serialization {

template <class Archive>
constexpr bool IsLoading = Archive::is_loading::value;

[[noreturn]] inline void UnsupportedVersion()
{
    throw boost::archive::archive_exception(boost::archive::archive_exception::unsupported_class_version);
}

// A class version newer than this program knows is refused: its fields
// could not be read correctly.
template <class Archive>
void CheckVersion(unsigned int version, unsigned int newest)
{
    if constexpr (IsLoading<Archive>) {
        if (version > newest)
            UnsupportedVersion();
    }
}

// Count, then (only in files of a library version above 3) the item version,
// then the elements. Written without the item version: the layout of 3.
template <class Archive, class T>
void SerializeList(Archive& ar, std::vector<T>& list, unsigned int version, std::size_t minimumCharactersPerElement)
{
    CheckVersion<Archive>(version, 0);
    if constexpr (IsLoading<Archive>) {
        boost::serialization::collection_size_type count;
        ar >> count;
        if (ar.get_library_version() > boost::serialization::library_version_type(3)) {
            boost::serialization::item_version_type itemVersion(0);
            ar >> itemVersion;
        }
        ar.ExpectElements(count, minimumCharactersPerElement);
        list.clear();
        list.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            ar.ElementStarted(minimumCharactersPerElement);
            T element{};
            ar >> element;
            list.push_back(std::move(element));
        }
    } else {
        const boost::serialization::collection_size_type count(list.size());
        ar << count;
        for (const T& element : list)
            ar << element;
    }
}

template <class Archive, class T>
void SerializeShared(Archive& ar, boost::shared_ptr<T>& pointer, unsigned int version)
{
    if constexpr (IsLoading<Archive>) {
        // Version 0 was an older pointer layout that no file of ours holds.
        if (version != 1)
            UnsupportedVersion();
        T* record = nullptr;
        ar >> record;
        pointer = ar.Adopt(record);
    } else {
        const T* record = pointer.get();
        ar << record;
    }
}

template <class Archive, class Enum>
void SerializeEnumAsInt(Archive& ar, Enum& value)
{
    int number = static_cast<int>(value);
    ar& number;
    value = static_cast<Enum>(number);
}

template <class Archive>
void FinishRecord(Archive& ar, const void* record)
{
    if constexpr (IsLoading<Archive>)
        ar.RecordFinished(record);
    else {
        (void)ar;
        (void)record;
    }
}

// The shortest a list element can be in the text, separator included.
constexpr std::size_t kMinimumElement = 2;

} // namespace catalogue_serialization

// Records are created by the archive; registering them at construction lets
// the archive delete those whose reading breaks off.
template <class Archive>
void load_construct_data(Archive& ar, QuorvallisScriptStep* where, const unsigned int)
{
    ::new (where) QuorvallisScriptStep();
    ar.RecordStarted(where);
}

template <class Archive>
void load_construct_data(Archive& ar, QuorvallisCommand* where, const unsigned int)
{
    ::new (where) QuorvallisCommand();
    ar.RecordStarted(where);
}

template <class Archive>
void load_construct_data(Archive& ar, CommandGroup* where, const unsigned int)
{
    ::new (where) CommandGroup();
    ar.RecordStarted(where);
}

template <class Archive>
void serialize(Archive& ar, std::vector<int>& list, const unsigned int version)
{
    catalogue_serialization::SerializeList(ar, list, version, catalogue_serialization::kMinimumElement);
}

template <class Archive>
void serialize(Archive& ar, std::vector<std::wstring>& list, const unsigned int version)
{
    catalogue_serialization::SerializeList(ar, list, version, catalogue_serialization::kMinimumElement);
}

template <class Archive>
void serialize(Archive& ar, std::vector<StepPtr>& list, const unsigned int version)
{
    catalogue_serialization::SerializeList(ar, list, version, catalogue_serialization::kMinimumElement);
}

template <class Archive>
void serialize(Archive& ar, std::vector<CommandPtr>& list, const unsigned int version)
{
    catalogue_serialization::SerializeList(ar, list, version, catalogue_serialization::kMinimumElement);
}

template <class Archive>
void serialize(Archive& ar, std::vector<GroupPtr>& list, const unsigned int version)
{
    catalogue_serialization::SerializeList(ar, list, version, catalogue_serialization::kMinimumElement);
}

template <class Archive>
void serialize(Archive& ar, StepPtr& pointer, const unsigned int version)
{
    catalogue_serialization::SerializeShared(ar, pointer, version);
}

template <class Archive>
void serialize(Archive& ar, CommandPtr& pointer, const unsigned int version)
{
    catalogue_serialization::SerializeShared(ar, pointer, version);
}

template <class Archive>
void serialize(Archive& ar, GroupPtr& pointer, const unsigned int version)
{
    catalogue_serialization::SerializeShared(ar, pointer, version);
}

template <class Archive>
void serialize(Archive& ar, QuorvallisScriptStep& step, const unsigned int version)
{
    catalogue_serialization::CheckVersion<Archive>(version, 1);
    ar& step.id;
    catalogue_serialization::SerializeEnumAsInt(ar, step.type);
    ar& step.pauseMs;
    ar& step.virtualKey;
    ar& step.modifiers;
    ar& step.text;
    ar& step.extraStrings;
    catalogue_serialization::FinishRecord(ar, &step);
}

template <class Archive>
void serialize(Archive& ar, QuorvallisCommand& command, const unsigned int version)
{
    catalogue_serialization::CheckVersion<Archive>(version, 1);
    ar& command.lastStepId;
    ar& command.id;
    ar& command.name;
    ar& command.notes;
    ar& command.groupId;
    ar& command.iconIndex;
    if constexpr (catalogue_serialization::IsLoading<Archive>) {
        std::wstring shortcut;
        ar& shortcut;
        command.shortcut = std::move(shortcut);
    } else {
        ar << command.shortcut.str();
    }
    catalogue_serialization::SerializeEnumAsInt(ar, command.kind);
    ar& command.steps;
    // Written from a snapshot while workers may raise the count: read once,
    // never written back.
    int timesExecuted = command.timesExecuted;
    ar& timesExecuted;
    if constexpr (catalogue_serialization::IsLoading<Archive>)
        command.timesExecuted = timesExecuted;
    catalogue_serialization::FinishRecord(ar, &command);
}

template <class Archive>
void serialize(Archive& ar, CommandGroup& group, const unsigned int version)
{
    catalogue_serialization::CheckVersion<Archive>(version, 1);
    if constexpr (catalogue_serialization::IsLoading<Archive>)
        ar.EnterGroup();
    ar& group.id;
    ar& group.iconIndex;
    ar& group.name;
    ar& group.commandIds;
    ar& group.subgroups;
    if constexpr (catalogue_serialization::IsLoading<Archive>)
        ar.LeaveGroup();
    catalogue_serialization::FinishRecord(ar, &group);
}

template <class Archive>
void serialize(Archive& ar, QuorvallisCommands& catalogue, const unsigned int version)
{
    catalogue_serialization::CheckVersion<Archive>(version, 2);
    ar& catalogue.reserved;
    ar& catalogue.lastId;
    // The list goes into the catalogue whole, through the operation that
    // keeps its indexes in step.
    if constexpr (catalogue_serialization::IsLoading<Archive>) {
        std::vector<CommandPtr> commands;
        ar& commands;
        catalogue.LoadCommands(std::move(commands));
    } else {
        ar << catalogue.allCommands.items();
    }
    ar& catalogue.groups;
    ar& catalogue.enableOnStart;
    ar& catalogue.autoStart;
    ar& catalogue.firstControlKey;
    ar& catalogue.secondControlKey;
    ar& catalogue.lastSelectedGroupId;
    // Files of class version 1 end here; shownOnce stays false.
    if (version >= 2)
        ar& catalogue.shownOnce;
}
