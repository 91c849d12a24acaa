#include "store/CatalogueOutArchive.h"

#include "store/CatalogueFileCodec.h"

#include <boost/archive/archive_exception.hpp>
#include <boost/archive/detail/archive_serializer_map.hpp>
#include <boost/archive/impl/archive_serializer_map.ipp>
#include <boost/archive/impl/basic_text_oarchive.ipp>
#include <boost/archive/impl/text_woarchive_impl.ipp>

namespace boost {
namespace archive {
template class detail::archive_serializer_map<CatalogueOutArchive>;
template class basic_text_oarchive<CatalogueOutArchive>;
template class text_woarchive_impl<CatalogueOutArchive>;
} // namespace archive
} // namespace boost

CatalogueOutArchive::CatalogueOutArchive(std::wostream& stream)
    : Base(stream, boost::archive::no_header | boost::archive::no_codecvt)
{
    const std::string signature(boost::archive::BOOST_ARCHIVE_SIGNATURE());
    *this << signature;
    const boost::serialization::library_version_type version(LibraryVersion);
    *this << version;
}

void CatalogueOutArchive::WriteDigits(unsigned long long magnitude, bool negative)
{
    wchar_t digits[24];
    wchar_t* first = digits + 24;
    do {
        *--first = static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative)
        *--first = L'-';
    // A few characters: one by one into the buffer costs less than a call
    // to write them as a run.
    std::wstreambuf& buffer = *os.rdbuf();
    for (; first != digits + 24; ++first) {
        if (buffer.sputc(*first) == std::wstreambuf::traits_type::eof())
            throw boost::archive::archive_exception(boost::archive::archive_exception::output_stream_error);
    }
}

void CatalogueOutArchive::WriteUnits(const wchar_t* units, std::size_t count)
{
    const auto wanted = static_cast<std::streamsize>(count);
    if (os.rdbuf()->sputn(units, wanted) != wanted)
        throw boost::archive::archive_exception(boost::archive::archive_exception::output_stream_error);
}

void CatalogueOutArchive::save(const std::wstring& text)
{
    if (!CatalogueFileCodec::IsUtf16Units(text)) {
        save(CatalogueFileCodec::ToUtf16Units(text));
        return;
    }
    save(text.size());
    this->newtoken();
    WriteUnits(text.data(), text.size());
}

void CatalogueOutArchive::save(const std::string& text)
{
    save(text.size());
    this->newtoken();
    for (const char c : text)
        put(static_cast<wchar_t>(static_cast<unsigned char>(c)));
}
