#pragma once

#include "catalogue/ArgumentList.h"

#include <string>

// Splits a typed line into tokens at spaces; a double quote opens or closes a
// group that may hold spaces. Quoted tokens keep their quotes, an unclosed
// quote takes the rest of the line, and nothing else (tabs included) is
// special. Token 0 is the shortcut, the rest are the arguments.
ArgumentList TokenizeLine(const std::wstring& line);
