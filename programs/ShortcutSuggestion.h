#pragma once

#include <functional>
#include <string>

// The shortcut offered for a command made from a program: the initials of a
// name of several words ("Visual Studio Code" -> "vsc"), else the name's
// first word, in lower case, letters and digits only, at most eight; a
// number is added until `taken` says it is free ("vsc2", "vsc3"...).
std::wstring SuggestShortcut(const std::wstring& programName, const std::function<bool(const std::wstring&)>& taken);
