#include "store/CatalogueText.h"

#include "store/CatalogueInArchive.h"
#include "store/CatalogueOutArchive.h"
#include "store/CatalogueSerialization.h"

#include <exception>
#include <new>
#include <sstream>

namespace {

std::wstring Widen(const char* text)
{
    std::wstring wide;
    for (; *text != '\0'; ++text)
        wide.push_back(static_cast<unsigned char>(*text));
    return wide;
}

}  // namespace

std::wstring CatalogueText::Write(const QuorvallisCommands& catalogue)
{
    std::wostringstream stream;
    {
        const auto lock = catalogue.Lock();
        CatalogueOutArchive archive(stream);
        archive << catalogue;
    }
    return stream.str();
}

bool CatalogueText::Read(const std::wstring& text, QuorvallisCommands& into, std::wstring& error)
{
    std::wistringstream stream(text);
    try {
        CatalogueInArchive archive(stream);
        archive >> into;
    } catch (const boost::archive::archive_exception& e) {
        error = Widen(e.what());
        return false;
    } catch (const std::bad_alloc&) {
        error = L"out of memory";
        return false;
    } catch (const std::exception& e) {
        error = Widen(e.what());
        return false;
    }
    return true;
}
