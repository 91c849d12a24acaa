#include "platform/win32/Win32Registry.h"

#include "platform/win32/UniqueHandle.h"

#include <windows.h>

#include <vector>

const wchar_t* const Win32Registry::RunKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

namespace {

HKEY RootKey(IRegistry::Root root)
{
    return root == IRegistry::Root::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// The key, or none with the reason in status.
UniqueRegKey OpenRunKey(IRegistry::Root root, REGSAM access, LONG& status)
{
    HKEY key = nullptr;
    status = RegOpenKeyExW(RootKey(root), Win32Registry::RunKey, 0, access, &key);
    if (status != ERROR_SUCCESS)
        return UniqueRegKey();
    return UniqueRegKey(key);
}

} // namespace

bool Win32Registry::SetRunValue(Root root, const std::wstring& name, const std::wstring& data)
{
    HKEY raw = nullptr;
    // The user's Run key need not exist yet; the machine's always does.
    const LONG opened = root == Root::CurrentUser
                            ? RegCreateKeyExW(HKEY_CURRENT_USER, RunKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_QUERY_VALUE,
                                              nullptr, &raw, nullptr)
                            : RegOpenKeyExW(HKEY_LOCAL_MACHINE, RunKey, 0, KEY_SET_VALUE | KEY_QUERY_VALUE, &raw);
    if (opened != ERROR_SUCCESS)
        return false;
    UniqueRegKey key(raw);
    const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()), bytes) ==
           ERROR_SUCCESS;
}

IRegistry::Query Win32Registry::QueryRunValue(Root root, const std::wstring& name, std::wstring& data)
{
    data.clear();
    LONG status = ERROR_SUCCESS;
    UniqueRegKey key = OpenRunKey(root, KEY_QUERY_VALUE, status);
    // Only a key that is not there holds no value; a key that could not be
    // opened (no access) may well hold one.
    if (!key)
        return status == ERROR_FILE_NOT_FOUND ? Query::Absent : Query::Failed;
    DWORD type = 0;
    DWORD size = 0;
    status = RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size);
    if (status == ERROR_FILE_NOT_FOUND)
        return Query::Absent;
    if (status != ERROR_SUCCESS)
        return Query::Failed;
    // The value may change between the two calls, and REG_SZ data need not
    // end with a NUL: read into a buffer with room to spare.
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 2, L'\0');
    size = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    status = RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (status == ERROR_FILE_NOT_FOUND)
        return Query::Absent;
    if (status != ERROR_SUCCESS)
        return Query::Failed;
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        data.assign(buffer.data(), size / sizeof(wchar_t));
        while (!data.empty() && data.back() == L'\0')
            data.pop_back();
    }
    return Query::Present;
}

bool Win32Registry::DeleteRunValue(Root root, const std::wstring& name)
{
    LONG status = ERROR_SUCCESS;
    UniqueRegKey key = OpenRunKey(root, KEY_SET_VALUE | KEY_QUERY_VALUE, status);
    if (!key) {
        std::wstring ignored;
        return QueryRunValue(root, name, ignored) == Query::Absent;
    }
    status = RegDeleteValueW(key.get(), name.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}
