#include "store/CatalogueText.h"

#include "store/CatalogueInArchive.h"
#include "store/CatalogueFileCodec.h"
#include "store/CatalogueOutArchive.h"
#include "store/CatalogueSerialization.h"

#include "catalogue/QuorvallisCommands.h"

#include <algorithm>
#include <exception>
#include <new>
#include <streambuf>

namespace {

std::wstring Widen(const char* text)
{
    std::wstring wide;
    for (; *text != '\0'; ++text)
        wide.push_back(static_cast<unsigned char>(*text));
    return wide;
}

// Encodes the archive's text into bytes as it is written.
class EncodingBuffer : public std::wstreambuf {
public:
    explicit EncodingBuffer(std::string& bytes) : bytes_(bytes) { setp(buffer_, buffer_ + kSize); }
    ~EncodingBuffer() override { Flush(); }

protected:
    int_type overflow(int_type c) override
    {
        Flush();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override
    {
        Flush();
        return 0;
    }
    std::streamsize xsputn(const wchar_t* text, std::streamsize count) override
    {
        for (std::streamsize left = count; left > 0;) {
            if (pptr() == epptr())
                Flush();
            const std::streamsize now = std::min<std::streamsize>(left, epptr() - pptr());
            traits_type::copy(pptr(), text, static_cast<std::size_t>(now));
            pbump(static_cast<int>(now));
            text += now;
            left -= now;
        }
        return count;
    }

private:
    void Flush()
    {
        CatalogueFileCodec::AppendEncoded(pbase(), static_cast<std::size_t>(pptr() - pbase()), bytes_);
        setp(buffer_, buffer_ + kSize);
    }

    static constexpr std::size_t kSize = 1 << 14;
    std::string& bytes_;
    wchar_t buffer_[kSize];
};

// Reads text in place, without the copy a string stream makes.
class TextBuffer : public std::wstreambuf {
public:
    explicit TextBuffer(const std::wstring& text)
    {
        wchar_t* begin = const_cast<wchar_t*>(text.data());
        setg(begin, begin, begin + text.size());
    }
};

// Room for the bytes of a catalogue at once: its strings and a few dozen
// characters of numbers and separators around each record, two bytes each.
// Growing a buffer of megabytes step by step costs more than the walk.
std::size_t EstimatedBytes(const QuorvallisCommands& catalogue)
{
    std::size_t units = 512;
    for (const CommandPtr& command : catalogue.allCommands) {
        if (!command)
            continue;
        units += 56 + command->name.size() + command->notes.size() + command->shortcut.size();
        for (const StepPtr& step : command->steps) {
            if (!step)
                continue;
            units += 32 + step->text.size();
            for (const std::wstring& extra : step->extraStrings)
                units += 8 + extra.size();
        }
    }
    return units * 2 + units / 8;
}

// Decodes the file's bytes piece by piece as the archive reads them, so that
// the whole text is never held a second time.
class DecodingBuffer : public std::wstreambuf, public CatalogueInArchive::TextLeft {
public:
    explicit DecodingBuffer(const std::string& bytes) : at_(bytes.data()), end_(bytes.data() + bytes.size()) {}

    std::size_t UnitsLeft() const override
    {
        // At most: an inserted 0x0D still among the bytes counts as half a unit.
        return static_cast<std::size_t>(egptr() - gptr()) + static_cast<std::size_t>(end_ - at_) / 2;
    }

protected:
    int_type underflow() override
    {
        if (gptr() == egptr() && !Refill())
            return traits_type::eof();
        return traits_type::to_int_type(*gptr());
    }
    // Where wint_t is 16 bits, WEOF is U+FFFF: the library's own versions
    // of these take a U+FFFF at the start of a piece for the end of the
    // text. Here every unit reads as itself, and only a refill that finds
    // no more bytes ends it.
    int_type uflow() override
    {
        if (gptr() == egptr() && !Refill())
            return traits_type::eof();
        const wchar_t unit = *gptr();
        gbump(1);
        return traits_type::to_int_type(unit);
    }
    std::streamsize xsgetn(wchar_t* out, std::streamsize count) override
    {
        std::streamsize done = 0;
        while (done < count && (gptr() != egptr() || Refill())) {
            const std::streamsize now = std::min<std::streamsize>(count - done, egptr() - gptr());
            traits_type::copy(out + done, gptr(), static_cast<std::size_t>(now));
            gbump(static_cast<int>(now));
            done += now;
        }
        return done;
    }

private:
    bool Refill()
    {
        const std::size_t decoded = CatalogueFileCodec::DecodeSome(at_, end_, buffer_, kSize);
        setg(buffer_, buffer_, buffer_ + decoded);
        return decoded != 0;
    }

    static constexpr std::size_t kSize = 1 << 14;
    const char* at_;
    const char* const end_;
    wchar_t buffer_[kSize];
};

template <class Reading>
bool Guarded(Reading reading, std::wstring& error)
{
    try {
        reading();
    } catch (const boost::archive::archive_exception& e) {
        error = Widen(e.what());
        return false;
    } catch (const std::bad_alloc&) {
        error = L"out of memory";
        return false;
    } catch (const std::exception& e) {
        error = Widen(e.what());
        return false;
    } catch (...) {
        error = L"unexpected error";
        return false;
    }
    return true;
}

bool ReadFrom(std::wistream& stream, const CatalogueInArchive::TextLeft* textLeft, QuorvallisCommands& into,
              std::wstring& error)
{
    return Guarded(
        [&] {
            CatalogueInArchive archive(stream, textLeft);
            archive >> into;
        },
        error);
}

} // namespace

std::wstring CatalogueText::Write(const QuorvallisCommands& catalogue)
{
    // Through the bytes: a wide string stream drops a U+FFFF that meets its
    // full buffer where WEOF is U+FFFF.
    std::wstring text;
    CatalogueFileCodec::Decode(WriteBytes(catalogue), text);
    return text;
}

bool CatalogueText::Read(const std::wstring& text, QuorvallisCommands& into, std::wstring& error)
{
    TextBuffer buffer(text);
    std::wistream stream(&buffer);
    return ReadFrom(stream, nullptr, into, error);
}

std::string CatalogueText::WriteBytes(const QuorvallisCommands& catalogue)
{
    std::string bytes;
    {
        const auto lock = catalogue.Lock();
        bytes.reserve(EstimatedBytes(catalogue));
        EncodingBuffer buffer(bytes);
        std::wostream stream(&buffer);
        CatalogueOutArchive archive(stream);
        archive << catalogue;
    }
    return bytes;
}

bool CatalogueText::ReadBytes(const std::string& bytes, QuorvallisCommands& into, std::wstring& error)
{
    if (!CatalogueFileCodec::HasWholeUnits(bytes)) {
        error = L"the file has an odd number of bytes";
        return false;
    }
    DecodingBuffer buffer(bytes);
    std::wistream stream(&buffer);
    return ReadFrom(stream, &buffer, into, error);
}
