#include "platform/win32/Win32Options.h"

#include "platform/win32/UniqueHandle.h"

#include <windows.h>

const wchar_t* const Win32Options::Key = L"Software\\Quorvallis";

std::uint32_t Win32Options::Number(const std::wstring& name, std::uint32_t fallback) const
{
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Key, 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS)
        return fallback;
    UniqueRegKey key(raw);
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    // A value of another type or size (written by hand) counts as none.
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return fallback;
    return value;
}

bool Win32Options::SetNumber(const std::wstring& name, std::uint32_t value)
{
    HKEY raw = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, Key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr) != ERROR_SUCCESS)
        return false;
    UniqueRegKey key(raw);
    const DWORD data = value;
    return RegSetValueExW(key.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data)) ==
           ERROR_SUCCESS;
}
