#include "platform/win32/PipeBytes.h"

bool ReadPipeExactly(HANDLE pipe, std::uint8_t* data, DWORD size)
{
    while (size > 0) {
        DWORD read = 0;
        if (!ReadFile(pipe, data, size, &read, nullptr) || read == 0)
            return false;
        data += read;
        size -= read;
    }
    return true;
}

bool WritePipeExactly(HANDLE pipe, const std::uint8_t* data, DWORD size)
{
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(pipe, data, size, &written, nullptr) || written == 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}
