#include "platform/win32/Win32ShortcutReader.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cwctype>

namespace {

bool EndsWithUrl(const std::wstring& path)
{
    if (path.size() < 4)
        return false;
    std::wstring end = path.substr(path.size() - 4);
    for (wchar_t& c : end)
        c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
    return end == L".url";
}

// Releases a COM interface at the end of its scope.
template <typename T>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef()
    {
        if (pointer_)
            pointer_->Release();
    }
    T** out() { return &pointer_; }
    T* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

private:
    T* pointer_ = nullptr;
};

} // namespace

void Win32ShortcutReader::JoinCom()
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}

void Win32ShortcutReader::LeaveCom()
{
    CoUninitialize();
}

bool Win32ShortcutReader::Target(const std::wstring& shortcutPath, std::wstring& target)
{
    target.clear();
    if (EndsWithUrl(shortcutPath)) {
        wchar_t url[2048] = {};
        GetPrivateProfileStringW(L"InternetShortcut", L"URL", L"", url, 2048, shortcutPath.c_str());
        target = url;
        return !target.empty();
    }
    ComRef<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(link.out()))))
        return false;
    ComRef<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.out()))) ||
        FAILED(file->Load(shortcutPath.c_str(), STGM_READ)))
        return false;
    // As written in the file: no search for a target that moved.
    wchar_t path[MAX_PATH] = {};
    if (link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH) != S_OK || path[0] == L'\0')
        return false;
    wchar_t arguments[1024] = {};
    link->GetArguments(arguments, 1024);
    // Quoted when it holds blanks, so that the path ends where it ends.
    target = std::wstring(path).find(L' ') == std::wstring::npos ? std::wstring(path) : L"\"" + std::wstring(path) + L"\"";
    if (arguments[0] != L'\0')
        target += std::wstring(L" ") + arguments;
    return true;
}

int Win32ShortcutReader::CacheIcon(const std::wstring& shortcutPath)
{
    SHFILEINFOW info{};
    if (!SHGetFileInfoW(shortcutPath.c_str(), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON) || !info.hIcon)
        return -1;
    const UniqueIcon icon(info.hIcon);
    const std::lock_guard<std::mutex> lock(iconsGuard_);
    // Made with the first icon, on the finder's thread: nothing of it is
    // paid for while the program starts.
    if (!icons_)
        icons_.reset(ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                      ILC_COLOR32 | ILC_MASK, 64, 64));
    return icons_ ? ImageList_ReplaceIcon(icons_.get(), -1, icon.get()) : -1;
}

bool Win32ShortcutReader::DrawIcon(int index, HDC dc, int x, int y, int size) const
{
    UniqueIcon icon;
    {
        const std::lock_guard<std::mutex> lock(iconsGuard_);
        if (index < 0 || !icons_ || index >= ImageList_GetImageCount(icons_.get()))
            return false;
        icon.reset(ImageList_GetIcon(icons_.get(), index, ILD_NORMAL));
    }
    // Through an icon, so that the picture is scaled to the list's pixels.
    return icon && DrawIconEx(dc, x, y, icon.get(), size, size, 0, nullptr, DI_NORMAL);
}

bool Win32ShortcutReader::Open(const std::wstring& shortcutPath, const std::wstring& arguments)
{
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof(execute);
    execute.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    execute.lpVerb = L"open";
    execute.lpFile = shortcutPath.c_str();
    execute.lpParameters = arguments.empty() ? nullptr : arguments.c_str();
    execute.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&execute) != FALSE;
}
