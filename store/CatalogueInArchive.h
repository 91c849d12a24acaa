#pragma once

#include "catalogue/QuorvallisCommands.h"

#include <boost/archive/text_wiarchive.hpp>
#include <boost/shared_ptr.hpp>

#include <cstddef>
#include <cstdint>
#include <istream>
#include <limits>
#include <type_traits>
#include <unordered_map>
#include <string>
#include <typeinfo>
#include <vector>

// The wide text archive that reads the catalogue, hardened for files that
// come from outside: every count and string length is checked against what
// is left of the text besides the elements that the lists being read still
// expect, before anything is allocated (so nested lists together reserve no
// more than the file can hold), class ids are checked
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

    // A stream buffer that holds only part of the text tells how much is
    // left in all, so that counts are checked against the whole rest.
    class TextLeft {
    public:
        virtual std::size_t UnitsLeft() const = 0;

    protected:
        ~TextLeft() = default;
    };

    // Reads the header; throws boost::archive::archive_exception when the
    // signature or the library version is wrong. Without textLeft, the
    // stream's buffer holds the whole text.
    explicit CatalogueInArchive(std::wistream& is, const TextLeft* textLeft = nullptr);
    ~CatalogueInArchive() override;

    // Throws when count elements of at least minimumCharacters each cannot
    // be in the rest of the text besides those still expected; otherwise
    // they are expected too, each until ElementStarted.
    void ExpectElements(std::size_t count, std::size_t minimumCharacters);
    void ElementStarted(std::size_t minimumCharacters) { expected_ -= minimumCharacters; }

    void EnterGroup();
    void LeaveGroup() { --groupDepth_; }

    template <class T>
    void RecordStarted(T* record)
    {
        inProgress_.push_back(records_.size());
        records_.push_back(
            Record{record, &typeid(T), State::InProgress, {}, [](void* p) { delete static_cast<T*>(p); }});
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
    // Numbers and strings are read straight from the stream buffer: the
    // stream's extractors would build a sentry and consult the locale's
    // facets for every token, which the MinGW runtime does slowly.
    template <class T>
    void load(T& value)
    {
        if constexpr (std::is_same_v<T, bool>) {
            const int number = ReadNumber<int>();
            if (number != 0 && number != 1)
                BadToken();
            value = number == 1;
        } else if constexpr (std::is_integral_v<T>) {
            value = ReadNumber<T>();
        } else {
            // The archive's own counters and flags: wrappers that convert to
            // a reference to their number.
            LoadWrapped<bool, int_least16_t, uint_least16_t, uint_least32_t, std::size_t>(value);
        }
    }
    template <class Number, class... Others, class T>
    void LoadWrapped(T& value)
    {
        if constexpr (std::is_convertible_v<T&, Number&>) {
            Number& number = value;
            load(number);
        } else {
            static_assert(sizeof...(Others) > 0, "not a number of the archive");
            LoadWrapped<Others...>(value);
        }
    }
    void load(std::wstring& text);
    void load(std::string& text);
    using Base::load_override;
    void load_override(boost::archive::class_id_type& id);

private:
    enum class State { InProgress, Finished, Owned };
    struct Record {
        const void* address = nullptr;
        const std::type_info* type = nullptr;
        State state = State::InProgress;
        boost::shared_ptr<void> owner;
        void (*destroy)(void*) = nullptr;
    };

    // A decimal number as the stream would extract it: blanks skipped, an
    // optional sign, the digits; a minus before an unsigned type wraps.
    template <class T>
    T ReadNumber()
    {
        bool negative = false;
        const unsigned long long magnitude = ReadMagnitude(negative);
        using Unsigned = std::make_unsigned_t<T>;
        unsigned long long limit = static_cast<Unsigned>(std::numeric_limits<T>::max());
        if (std::is_signed_v<T> && negative)
            ++limit;
        if (magnitude > limit)
            BadToken();
        const auto bits = static_cast<Unsigned>(magnitude);
        return static_cast<T>(negative ? static_cast<Unsigned>(0u - bits) : bits);
    }
    unsigned long long ReadMagnitude(bool& negative);
    [[noreturn]] static void BadToken();

    Record& FindFinished(const void* record, const std::type_info& type);
    std::size_t Remaining() const;
    // What is left of the text less what the lists being read still expect.
    std::size_t Room() const;

    // Every record in the order its reading started; the ones being read,
    // innermost last; the last one finished, which is nearly always the one
    // the archive hands out next. Records are looked up by address through
    // byAddress_, filled only when a lookup needs it.
    std::vector<Record> records_;
    std::vector<std::size_t> inProgress_;
    std::size_t lastFinished_ = 0;
    std::unordered_map<const void*, std::size_t> byAddress_;
    const TextLeft* textLeft_ = nullptr;
    // The characters that the elements not yet started of the lists being
    // read take at least.
    std::size_t expected_ = 0;
    int groupDepth_ = 0;
};
