#pragma once

#include "platform/IRegistry.h"

// The Run keys through the Win32 registry API. Each call opens the key with
// just the access it needs and closes it again.
class Win32Registry : public IRegistry {
public:
    bool SetRunValue(Root root, const std::wstring& name, const std::wstring& data) override;
    Query QueryRunValue(Root root, const std::wstring& name, std::wstring& data) override;
    bool DeleteRunValue(Root root, const std::wstring& name) override;

    static const wchar_t* const RunKey;
};
