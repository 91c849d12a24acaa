#include "store/CatalogueInArchive.h"

#include <boost/archive/archive_exception.hpp>
#include <boost/archive/detail/archive_serializer_map.hpp>
#include <boost/archive/impl/archive_serializer_map.ipp>
#include <boost/archive/impl/basic_text_iarchive.ipp>
#include <boost/archive/impl/text_wiarchive_impl.ipp>

#include <iterator>
#include <stdexcept>

namespace boost {
namespace archive {
template class detail::archive_serializer_map<CatalogueInArchive>;
template class basic_text_iarchive<CatalogueInArchive>;
template class text_wiarchive_impl<CatalogueInArchive>;
} // namespace archive
} // namespace boost

namespace {

// The catalogue uses far fewer classes than this; a larger id is damage.
constexpr int kMaxClassId = 64;

[[noreturn]] void Fail(const char* what)
{
    throw std::runtime_error(what);
}

} // namespace

CatalogueInArchive::CatalogueInArchive(std::wistream& stream, const TextLeft* textLeft)
    : Base(stream, boost::archive::no_header | boost::archive::no_codecvt),
      textLeft_(textLeft)
{
    init();
}

CatalogueInArchive::~CatalogueInArchive()
{
    // Records whose reading broke off, or that no pointer took over.
    for (Record& record : records_) {
        if (record.state != State::Owned)
            record.destroy(const_cast<void*>(record.address));
    }
}

std::size_t CatalogueInArchive::Remaining() const
{
    if (textLeft_ != nullptr)
        return textLeft_->UnitsLeft();
    const std::streamsize left = is.rdbuf()->in_avail();
    return left > 0 ? static_cast<std::size_t>(left) : 0;
}

std::size_t CatalogueInArchive::Room() const
{
    const std::size_t left = Remaining();
    return left > expected_ ? left - expected_ : 0;
}

void CatalogueInArchive::ExpectElements(std::size_t count, std::size_t minimumCharacters)
{
    if (count > (Room() + 1) / minimumCharacters)
        Fail("a count runs past the end of the file");
    expected_ += count * minimumCharacters;
}

void CatalogueInArchive::EnterGroup()
{
    if (++groupDepth_ > MaxGroupDepth)
        Fail("groups are nested too deeply");
}

void CatalogueInArchive::RecordFinished(const void* record)
{
    for (auto at = inProgress_.rbegin(); at != inProgress_.rend(); ++at) {
        if (records_[*at].address == record) {
            records_[*at].state = State::Finished;
            lastFinished_ = *at;
            inProgress_.erase(std::next(at).base());
            return;
        }
    }
}

CatalogueInArchive::Record& CatalogueInArchive::FindFinished(const void* record, const std::type_info& type)
{
    Record* found = nullptr;
    if (lastFinished_ < records_.size() && records_[lastFinished_].address == record) {
        found = &records_[lastFinished_];
    } else {
        for (std::size_t i = byAddress_.size(); i < records_.size(); ++i)
            byAddress_.emplace(records_[i].address, i);
        const auto at = byAddress_.find(record);
        if (at != byAddress_.end())
            found = &records_[at->second];
    }
    if (found == nullptr || *found->type != type)
        Fail("a reference names a record of another kind");
    if (found->state == State::InProgress)
        Fail("a record refers to itself");
    return *found;
}

void CatalogueInArchive::BadToken()
{
    throw boost::archive::archive_exception(boost::archive::archive_exception::input_stream_error);
}

unsigned long long CatalogueInArchive::ReadMagnitude(bool& negative)
{
    using Traits = std::wstreambuf::traits_type;
    std::wstreambuf& text = *is.rdbuf();
    Traits::int_type c = text.sgetc();
    while (c == L' ' || (c >= L'\t' && c <= L'\r'))
        c = text.snextc();
    negative = c == L'-';
    if (c == L'-' || c == L'+')
        c = text.snextc();
    if (c < L'0' || c > L'9')
        BadToken();
    constexpr unsigned long long kMaximum = std::numeric_limits<unsigned long long>::max();
    unsigned long long magnitude = 0;
    do {
        const unsigned digit = static_cast<unsigned>(c - L'0');
        if (magnitude > (kMaximum - digit) / 10)
            BadToken();
        magnitude = magnitude * 10 + digit;
        c = text.snextc();
    } while (c >= L'0' && c <= L'9');
    return magnitude;
}

void CatalogueInArchive::load(std::wstring& text)
{
    std::size_t size = 0;
    load(size);
    is.rdbuf()->sbumpc(); // the separating space
    if (size > Room())
        Fail("a string runs past the end of the file");
    text.resize(size);
    if (size > 0 &&
        is.rdbuf()->sgetn(&text[0], static_cast<std::streamsize>(size)) != static_cast<std::streamsize>(size))
        Fail("a string runs past the end of the file");
}

void CatalogueInArchive::load(std::string& text)
{
    std::wstring wide;
    load(wide);
    text.assign(wide.size(), '\0');
    for (std::size_t i = 0; i < wide.size(); ++i)
        text[i] = wide[i] < 0x80 ? static_cast<char>(wide[i]) : '\0';
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
