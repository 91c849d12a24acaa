#pragma once

#include "catalogue/QuorvallisCommands.h"

#include <boost/archive/text_wiarchive.hpp>
#include <boost/shared_ptr.hpp>

#include <cstddef>
#include <istream>
#include <unordered_map>
#include <string>
#include <typeinfo>

// The wide text archive that reads the catalogue, hardened for files that
// come from outside: every count and string length is checked against what
// is left of the text before anything is allocated, class ids are checked
// before the archive indexes with them, groups nest at most MaxGroupDepth
// deep, and a record may refer back only to a finished record of its own
// class (so a damaged file can neither make a cycle nor pass one record off
// as another). Records read but not adopted by a shared pointer when reading
// stops are deleted with the archive.
class CatalogueInArchive : public boost::archive::text_wiarchive_impl<CatalogueInArchive> {
    using Base = boost::archive::text_wiarchive_impl<CatalogueInArchive>;
    friend class boost::archive::detail::interface_iarchive<CatalogueInArchive>;
    friend class boost::archive::basic_text_iarchive<CatalogueInArchive>;
    friend class boost::archive::load_access;

public:
    static constexpr int MaxGroupDepth = QuorvallisCommands::kMaxGroupDepth;

    // Reads the header; throws boost::archive::archive_exception when the
    // signature or the library version is wrong.
    explicit CatalogueInArchive(std::wistream& is);
    ~CatalogueInArchive() override;

    // Throws when count elements of at least minimumCharacters each cannot
    // be in the rest of the text.
    void CheckCount(std::size_t count, std::size_t minimumCharacters) const;

    void EnterGroup();
    void LeaveGroup() { --groupDepth_; }

    template <class T>
    void RecordStarted(T* record)
    {
        records_[record] = Record{&typeid(T), State::InProgress, {}, [](void* p) { delete static_cast<T*>(p); }};
    }
    void RecordFinished(const void* record);
    // The shared pointer for a record the archive has just handed out.
    template <class T>
    boost::shared_ptr<T> Adopt(T* record)
    {
        if (record == nullptr)
            return {};
        Record& entry = FindFinished(record, typeid(T));
        if (entry.state == State::Owned)
            return boost::static_pointer_cast<T>(entry.owner);
        boost::shared_ptr<T> owner(record);
        entry.owner = owner;
        entry.state = State::Owned;
        return owner;
    }

protected:
    using Base::load;
    void load(std::wstring& text);
    void load(std::string& text);
    using Base::load_override;
    void load_override(boost::archive::class_id_type& id);

private:
    enum class State { InProgress, Finished, Owned };
    struct Record {
        const std::type_info* type = nullptr;
        State state = State::InProgress;
        boost::shared_ptr<void> owner;
        void (*destroy)(void*) = nullptr;
    };

    Record& FindFinished(const void* record, const std::type_info& type);
    std::size_t Remaining() const;

    std::unordered_map<const void*, Record> records_;
    int groupDepth_ = 0;
};
