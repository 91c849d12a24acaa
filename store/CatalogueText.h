#pragma once

#include <string>

class QuorvallisCommands;

// The token level of the catalogue file: the catalogue as the wide text of
// the archive, one UTF-16 unit per wchar_t.
class CatalogueText {
public:
    // Takes the catalogue's guard while it walks the lists, so that worker
    // threads raising counts see a consistent catalogue.
    static std::wstring Write(const QuorvallisCommands& catalogue);

    // Reads the whole text into a catalogue, replacing every stored field.
    // On failure the catalogue may hold part of the text: read into a
    // scratch catalogue. error says what was wrong.
    static bool Read(const std::wstring& text, QuorvallisCommands& into, std::wstring& error);

    // The same through the byte level, streaming: no second copy of the text.
    static std::string WriteBytes(const QuorvallisCommands& catalogue);
    static bool ReadBytes(const std::string& bytes, QuorvallisCommands& into, std::wstring& error);
};
