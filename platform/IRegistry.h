#pragma once

#include <string>

// The auto-start values under the Run keys of the machine and of the user
// ("SOFTWARE\Microsoft\Windows\CurrentVersion\Run").
class IRegistry {
public:
    enum class Root { LocalMachine, CurrentUser };
    enum class Query { Present, Absent, Failed };

    virtual ~IRegistry() = default;

    // Writes a REG_SZ value, replacing one of that name. False when the key
    // cannot be opened for writing or the write fails.
    virtual bool SetRunValue(Root root, const std::wstring& name, const std::wstring& data) = 0;
    virtual Query QueryRunValue(Root root, const std::wstring& name, std::wstring& data) = 0;
    // True when the value is gone afterwards (also when it never existed).
    virtual bool DeleteRunValue(Root root, const std::wstring& name) = 0;
};
