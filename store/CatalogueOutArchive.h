#pragma once

#include <boost/archive/text_woarchive.hpp>

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <type_traits>
#include <string>

// The wide text archive that writes the catalogue. Files say library version
// 3 and keep its layout (the list functions write no item version), so every
// reader of the format, old or new, reads them. Strings are written as UTF-16
// units whatever the width of wchar_t.
class CatalogueOutArchive : public boost::archive::text_woarchive_impl<CatalogueOutArchive> {
    using Base = boost::archive::text_woarchive_impl<CatalogueOutArchive>;
    friend class boost::archive::detail::interface_oarchive<CatalogueOutArchive>;
    friend class boost::archive::basic_text_oarchive<CatalogueOutArchive>;
    friend class boost::archive::save_access;

public:
    static constexpr unsigned LibraryVersion = 3;

    // Writes the header.
    explicit CatalogueOutArchive(std::wostream& os);
    ~CatalogueOutArchive() override = default;

    // Every separator goes straight to the stream buffer.
    void put(wchar_t c) { os.rdbuf()->sputc(c); }
    // The separator before a token: a blank between the tokens of a line,
    // handled here without a call; the rest as the library does it.
    void newtoken()
    {
        if (this->delimiter == Base::space)
            put(L' ');
        else
            Base::newtoken();
    }

protected:
    // Numbers and strings go straight to the stream buffer: the stream's
    // inserters would build a sentry and consult the locale's facets for
    // every token, which the MinGW runtime does slowly.
    template <class T>
    void save(const T& value)
    {
        if constexpr (std::is_same_v<T, bool>) {
            this->newtoken();
            put(value ? L'1' : L'0');
        } else if constexpr (std::is_integral_v<T>) {
            this->newtoken();
            WriteNumber(value);
        } else {
            // The archive's own counters and flags: wrappers that convert to
            // their number.
            SaveWrapped<bool, int_least16_t, uint_least16_t, uint_least32_t, std::size_t>(value);
        }
    }
    void save(const std::wstring& text);
    void save(const std::string& text);

private:
    template <class Number, class... Others, class T>
    void SaveWrapped(const T& value)
    {
        if constexpr (std::is_convertible_v<T&, Number&>) {
            save(static_cast<Number>(value));
        } else {
            static_assert(sizeof...(Others) > 0, "not a number of the archive");
            SaveWrapped<Others...>(value);
        }
    }
    template <class T>
    void WriteNumber(T value)
    {
        auto magnitude = static_cast<unsigned long long>(value);
        bool negative = false;
        if constexpr (std::is_signed_v<T>) {
            negative = value < 0;
            if (negative)
                magnitude = 0 - magnitude;
        }
        WriteDigits(magnitude, negative);
    }
    void WriteDigits(unsigned long long magnitude, bool negative);
    void WriteUnits(const wchar_t* units, std::size_t count);
};
