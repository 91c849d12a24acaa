#pragma once

#include <string>
#include <vector>

// The tokens of a typed line; the steps of one run consume it from the front.
using ArgumentList = std::vector<std::wstring>;
