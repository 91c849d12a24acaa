#pragma once

#include <boost/archive/text_woarchive.hpp>

#include <ostream>
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

protected:
    using Base::save;
    void save(const std::wstring& text);
};
