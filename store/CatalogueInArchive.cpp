#include "store/CatalogueInArchive.h"

#include <boost/archive/detail/archive_serializer_map.hpp>
#include <boost/archive/impl/archive_serializer_map.ipp>
#include <boost/archive/impl/basic_text_iarchive.ipp>
#include <boost/archive/impl/text_wiarchive_impl.ipp>

#include <stdexcept>

namespace boost {
namespace archive {
template class detail::archive_serializer_map<CatalogueInArchive>;
template class basic_text_iarchive<CatalogueInArchive>;
template class text_wiarchive_impl<CatalogueInArchive>;
}  // namespace archive
}  // namespace boost

namespace {

// The catalogue uses far fewer classes than this; a larger id is damage.
constexpr int kMaxClassId = 64;

[[noreturn]] void Fail(const char* what)
{
    throw std::runtime_error(what);
}

}  // namespace

CatalogueInArchive::CatalogueInArchive(std::wistream& is)
    : Base(is, boost::archive::no_header | boost::archive::no_codecvt)
{
    // A record takes a few dozen characters at the least.
    records_.reserve(Remaining() / 32);
    init();
}

CatalogueInArchive::~CatalogueInArchive()
{
    // Records whose reading broke off, or that no pointer took over.
    for (auto& [address, record] : records_) {
        if (record.state != State::Owned)
            record.destroy(const_cast<void*>(address));
    }
    records_.clear();
}

std::size_t CatalogueInArchive::Remaining() const
{
    const std::streamsize left = is.rdbuf()->in_avail();
    return left > 0 ? static_cast<std::size_t>(left) : 0;
}

void CatalogueInArchive::CheckCount(std::size_t count, std::size_t minimumCharacters) const
{
    const std::size_t left = Remaining() + 1;
    if (count > left / minimumCharacters)
        Fail("a count runs past the end of the file");
}

void CatalogueInArchive::EnterGroup()
{
    if (++groupDepth_ > MaxGroupDepth)
        Fail("groups are nested too deeply");
}

void CatalogueInArchive::RecordFinished(const void* record)
{
    const auto found = records_.find(record);
    if (found != records_.end() && found->second.state == State::InProgress)
        found->second.state = State::Finished;
}

CatalogueInArchive::Record& CatalogueInArchive::FindFinished(const void* record, const std::type_info& type)
{
    const auto found = records_.find(record);
    if (found == records_.end() || *found->second.type != type)
        Fail("a reference names a record of another kind");
    if (found->second.state == State::InProgress)
        Fail("a record refers to itself");
    return found->second;
}

void CatalogueInArchive::load(std::wstring& text)
{
    std::size_t size = 0;
    *this >> size;
    is.get();  // the separating space
    if (size > Remaining())
        Fail("a string runs past the end of the file");
    text.resize(size);
    if (size > 0 && !is.read(&text[0], static_cast<std::streamsize>(size)))
        Fail("a string runs past the end of the file");
}

void CatalogueInArchive::load(std::string& text)
{
    std::size_t size = 0;
    *this >> size;
    is.get();
    if (size > Remaining())
        Fail("a string runs past the end of the file");
    text.clear();
    text.reserve(size);
    for (std::size_t i = 0; i < size; ++i) {
        const auto c = is.get();
        if (c == std::wistream::traits_type::eof())
            Fail("a string runs past the end of the file");
        text.push_back(is.narrow(static_cast<wchar_t>(c), '\0'));
    }
}

void CatalogueInArchive::load_override(boost::archive::class_id_type& id)
{
    Base::load_override(id);
    const int value = id;
    // -1 is the null pointer; the archive indexes its class table with any
    // other value unchecked.
    if (value < -1 || value > kMaxClassId)
        Fail("a class id is out of range");
}
