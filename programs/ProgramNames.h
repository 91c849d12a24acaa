#pragma once

#include <string>

// Which files of the Start menu are programs, and under what name.
namespace ProgramNames {

// The program's name for a shortcut's file name: the name without its
// ".lnk" or ".url" (any case), dots before it kept ("Node.js.lnk" is
// "Node.js"). Empty for any other file, and for a shortcut that is left out
// by its name: uninstallers ("Uninstall …", "… Uninstall", "… Uninstaller")
// and documentation ("… Help", "… Readme", "… Read Me").
std::wstring NameOfShortcut(const std::wstring& fileName);

// True for a target that is documentation rather than a program: a help
// file or a text (".chm", ".hlp", ".txt"), arguments after it allowed.
bool IsDocumentTarget(const std::wstring& target);

// Equal for two targets (or keys) that name the same thing: case and
// surrounding quotes do not count.
std::wstring Folded(const std::wstring& text);

} // namespace ProgramNames
