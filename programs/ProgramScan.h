#pragma once

#include "programs/Program.h"

#include <atomic>
#include <string>
#include <vector>

class IFolderListing;
class IShortcutReader;

// Finding the programs under the Start menu folders, in two passes: the scan
// reads folder listings only, so that thousands of shortcuts are listed in
// a moment; the refinement opens the shortcut files, to drop documentation
// and duplicates and to take their icons.
namespace ProgramScan {

// Folders nest at most this deep under a Start menu folder.
constexpr int kMaxDepth = 8;

// The programs under each root folder (the user's first), subfolders
// included, by the name rules of ProgramNames; a shortcut at the same place
// under a later root is the same program and shows once. Paths are joined
// with backslashes. Targets are not read.
std::vector<Program> Scan(const std::vector<std::wstring>& roots, IFolderListing& listing);

// Reads the target of each program that has none yet: taken from `known`
// (an earlier refinement, with its icon) when the shortcut did not change
// since, else from the reader. Then drops documentation targets and, of
// programs with the same target, all but the first. Stops early (the list
// then incomplete) once *stopping is set.
void Refine(std::vector<Program>& programs, const std::vector<Program>& known, IShortcutReader& reader,
            const std::atomic<bool>* stopping = nullptr);

// Extracts the icon of each program that has none yet: the slowest part
// (under Wine some milliseconds a shortcut), hence after the refinement.
void TakeIcons(std::vector<Program>& programs, IShortcutReader& reader, const std::atomic<bool>* stopping = nullptr);

} // namespace ProgramScan
