#pragma once

#include <string>

class QuorvallisCommands;

// What a catalogue read from a file must satisfy before it is adopted, so
// that no later operation meets a null record or a command without a group.
class CatalogueConsistency {
public:
    // False with the first problem found: a null command, step or group; a
    // group that occurs twice in the tree; the same command twice in the
    // list; groups nested deeper than the file can hold; a command whose
    // groupId names no group.
    static bool Check(const QuorvallisCommands& catalogue, std::wstring& problem);
};
