#pragma once

#include "platform/IOptions.h"

// Options as REG_DWORD values under the current user's key for the program
// ("Software\Quorvallis"). Each call opens the key and closes it again.
class Win32Options : public IOptions {
public:
    std::uint32_t Number(const std::wstring& name, std::uint32_t fallback) const override;
    bool SetNumber(const std::wstring& name, std::uint32_t value) override;

    static const wchar_t* const Key;
};
