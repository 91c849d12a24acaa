#pragma once

#include <string>
#include <vector>

// The Start menu's "Programs" folders: the current user's, then all users'.
// A folder that does not exist (yet) is still named, so that it can be
// watched for; one the system cannot name is left out.
std::vector<std::wstring> StartMenuProgramFolders();
