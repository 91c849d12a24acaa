#pragma once

#include <cstdint>
#include <string>

// The program's own per-user options, kept apart from the catalogue file so
// that the file's layout never changes with them.
class IOptions {
public:
    virtual ~IOptions() = default;

    // The stored number, or fallback when there is none or it is not a number.
    virtual std::uint32_t Number(const std::wstring& name, std::uint32_t fallback) const = 0;
    // False when the value could not be written.
    virtual bool SetNumber(const std::wstring& name, std::uint32_t value) = 0;
};
