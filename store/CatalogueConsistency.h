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

    // For a catalogue read from a file that passed Check, before anything
    // else holds its records: every command, group or step whose id an
    // earlier one of its kind has (groups depth first, as lookups find them;
    // steps within their command) gets a fresh id, and lastId and each
    // lastStepId are raised past the ids in use, so that edits reach the
    // record they mean. Returns how many records got a fresh id.
    static int RenumberDuplicates(QuorvallisCommands& catalogue);
};
