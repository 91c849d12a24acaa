#include "platform/win32/Win32FileStore.h"

#include "platform/win32/UniqueHandle.h"

#include <windows.h>

#include <algorithm>

namespace {

std::wstring SystemMessage(DWORD code)
{
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length > 0 ? std::wstring(buffer, length) : L"error " + std::to_wstring(code);
    if (buffer != nullptr)
        LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    return text;
}

} // namespace

bool Win32FileStore::Failed(const wchar_t* what)
{
    const DWORD code = GetLastError();
    lastError_ = std::wstring(what) + L": " + SystemMessage(code);
    return false;
}

IFileStore::ReadResult Win32FileStore::ReadAll(const std::wstring& path, std::string& bytes)
{
    bytes.clear();
    UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
            return ReadResult::Missing;
        Failed(L"opening the file");
        return ReadResult::Failed;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) {
        Failed(L"reading the file size");
        return ReadResult::Failed;
    }
    // A catalogue file of a gigabyte is not one.
    if (size.QuadPart > (1LL << 30)) {
        lastError_ = L"the file is too large";
        return ReadResult::Failed;
    }
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        if (!ReadFile(file.get(), &bytes[done], chunk, &read, nullptr)) {
            Failed(L"reading the file");
            return ReadResult::Failed;
        }
        if (read == 0)
            break;
        done += read;
    }
    bytes.resize(done);
    return ReadResult::Read;
}

bool Win32FileStore::WriteDurably(const std::wstring& path, const std::string& bytes)
{
    UniqueKernelHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return Failed(L"creating the file");
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return Failed(L"writing the file");
        done += written;
    }
    if (!FlushFileBuffers(file.get()))
        return Failed(L"flushing the file");
    if (!CloseHandle(file.release()))
        return Failed(L"closing the file");
    return true;
}

bool Win32FileStore::CopyOver(const std::wstring& from, const std::wstring& to)
{
    return CopyFileW(from.c_str(), to.c_str(), FALSE) ? true : Failed(L"copying the file");
}

bool Win32FileStore::ReplaceWith(const std::wstring& from, const std::wstring& to)
{
    if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return Failed(L"replacing the file");
    return true;
}

bool Win32FileStore::MoveAside(const std::wstring& from, const std::wstring& to)
{
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) ? true : Failed(L"moving the file");
}

bool Win32FileStore::Remove(const std::wstring& path)
{
    return DeleteFileW(path.c_str()) ? true : Failed(L"removing the file");
}

bool Win32FileStore::Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
