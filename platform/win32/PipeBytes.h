#pragma once

#include <windows.h>

#include <cstdint>

// Whole messages over a pipe: a read or write of a pipe may move fewer bytes
// than asked, so both loop until all are moved. False when the pipe broke
// (the other side ended) before that.
bool ReadPipeExactly(HANDLE pipe, std::uint8_t* data, DWORD size);
bool WritePipeExactly(HANDLE pipe, const std::uint8_t* data, DWORD size);
