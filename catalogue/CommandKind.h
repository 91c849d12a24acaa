#pragma once

// What kind of command a record is. Stored as an int; a record read from a
// file may hold any value, which the main window shows as an empty cell.
enum class CommandKind : int {
    Regular = 1,
    Script = 2,
};
