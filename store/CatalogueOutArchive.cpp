#include "store/CatalogueOutArchive.h"

#include "store/CatalogueFileCodec.h"

#include <boost/archive/detail/archive_serializer_map.hpp>
#include <boost/archive/impl/archive_serializer_map.ipp>
#include <boost/archive/impl/basic_text_oarchive.ipp>
#include <boost/archive/impl/text_woarchive_impl.ipp>

namespace boost {
namespace archive {
template class detail::archive_serializer_map<CatalogueOutArchive>;
template class basic_text_oarchive<CatalogueOutArchive>;
template class text_woarchive_impl<CatalogueOutArchive>;
}  // namespace archive
}  // namespace boost

CatalogueOutArchive::CatalogueOutArchive(std::wostream& os)
    : Base(os, boost::archive::no_header | boost::archive::no_codecvt)
{
    const std::string signature(boost::archive::BOOST_ARCHIVE_SIGNATURE());
    *this << signature;
    const boost::serialization::library_version_type version(LibraryVersion);
    *this << version;
}

void CatalogueOutArchive::save(const std::wstring& text)
{
    if (CatalogueFileCodec::IsUtf16Units(text))
        Base::save(text);
    else
        Base::save(CatalogueFileCodec::ToUtf16Units(text));
}
