#pragma once

#include <boost/assert.hpp>
#include <boost/serialization/access.hpp>
#include <boost/serialization/extended_type_info.hpp>
#include <boost/serialization/factory.hpp>
#include <boost/serialization/singleton.hpp>

#include <cstdarg>
#include <functional>
#include <type_traits>
#include <typeinfo>

// The archive's description of a catalogue type. The stock description
// orders types by comparing their mangled names with strcmp, which the
// archive does several times for every record it writes or reads, and
// looks the true type of every record up in a table ordered the same way.
// The catalogue's types are known to this one program and never exported
// by name, so each is told apart by the address of its one description.
// Nothing of it reaches the file: only exported types write a name.
template <class T>
class CatalogueTypeInfo : public boost::serialization::extended_type_info,
                          public boost::serialization::singleton<CatalogueTypeInfo<T>> {
public:
    // Any number that no other description system of the library uses.
    static constexpr unsigned kSystem = 0x5156;

    CatalogueTypeInfo() : extended_type_info(kSystem, nullptr) {}

    // Records are never written through a pointer to a base class, so the
    // record is its own most derived type; anything else is refused as an
    // unregistered class.
    const extended_type_info* get_derived_extended_type_info(const T& record) const
    {
        return typeid(record) == typeid(T) ? this : nullptr;
    }

    const char* get_debug_info() const override { return typeid(T).name(); }

    void* construct(unsigned int count, ...) const override
    {
        using Plain = std::remove_const_t<T>;
        std::va_list arguments;
        va_start(arguments, count);
        void* made = nullptr;
        switch (count) {
        case 0: made = boost::serialization::factory<Plain, 0>(arguments); break;
        case 1: made = boost::serialization::factory<Plain, 1>(arguments); break;
        case 2: made = boost::serialization::factory<Plain, 2>(arguments); break;
        case 3: made = boost::serialization::factory<Plain, 3>(arguments); break;
        case 4: made = boost::serialization::factory<Plain, 4>(arguments); break;
        default: BOOST_ASSERT(false);
        }
        va_end(arguments);
        return made;
    }

    void destroy(const void* const p) const override
    {
        boost::serialization::access::destroy(static_cast<const T*>(p));
    }

private:
    // Only descriptions of this system are compared here (the library
    // orders different systems by their number first).
    bool is_less_than(const extended_type_info& other) const override { return std::less<const void*>()(this, &other); }
    bool is_equal(const extended_type_info& other) const override { return this == &other; }
};
