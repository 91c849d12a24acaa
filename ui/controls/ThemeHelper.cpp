#include "ui/controls/ThemeHelper.h"

namespace {

template <typename Fn>
Fn Lookup(HMODULE library, const char* name)
{
    // GetProcAddress hands back a generic pointer; the signature is known by name.
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

} // namespace

ThemeHelper::ThemeHelper()
{
    Load(L"UxTheme.dll");
}

ThemeHelper::ThemeHelper(const wchar_t* libraryName)
{
    Load(libraryName);
}

ThemeHelper::~ThemeHelper()
{
    Clear();
    library_.reset();
}

void ThemeHelper::Load(const wchar_t* libraryName)
{
    library_.reset(LoadLibraryW(libraryName));
    if (!library_)
        return;
    HMODULE library = library_.get();
    openThemeData_ = Lookup<OpenThemeDataFn>(library, "OpenThemeData");
    closeThemeData_ = Lookup<CloseThemeDataFn>(library, "CloseThemeData");
    drawThemeParentBackground_ = Lookup<DrawThemeParentBackgroundFn>(library, "DrawThemeParentBackground");
    drawThemeBackground_ = Lookup<DrawThemeBackgroundFn>(library, "DrawThemeBackground");
    drawThemeText_ = Lookup<DrawThemeTextFn>(library, "DrawThemeText");
    isAppThemed_ = Lookup<IsAppThemedFn>(library, "IsAppThemed");
    isThemeActive_ = Lookup<IsThemeActiveFn>(library, "IsThemeActive");
}

void ThemeHelper::Clear()
{
    openThemeData_ = nullptr;
    closeThemeData_ = nullptr;
    drawThemeParentBackground_ = nullptr;
    drawThemeBackground_ = nullptr;
    drawThemeText_ = nullptr;
    isAppThemed_ = nullptr;
    isThemeActive_ = nullptr;
}

int ThemeHelper::FunctionCount() const
{
    return (openThemeData_ != nullptr) + (closeThemeData_ != nullptr) + (drawThemeParentBackground_ != nullptr) +
           (drawThemeBackground_ != nullptr) + (drawThemeText_ != nullptr) + (isAppThemed_ != nullptr) +
           (isThemeActive_ != nullptr);
}

bool ThemeHelper::IsAppThemed() const
{
    return isAppThemed_ && isAppThemed_();
}

bool ThemeHelper::IsThemeActive() const
{
    return isThemeActive_ && isThemeActive_();
}

HTHEME ThemeHelper::OpenThemeData(HWND window, const wchar_t* classList) const
{
    return openThemeData_ ? openThemeData_(window, classList) : nullptr;
}

void ThemeHelper::CloseThemeData(HTHEME theme) const
{
    if (closeThemeData_ && theme)
        closeThemeData_(theme);
}

bool ThemeHelper::DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect) const
{
    return drawThemeParentBackground_ && SUCCEEDED(drawThemeParentBackground_(window, dc, rect));
}

bool ThemeHelper::DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                                      const RECT* clip) const
{
    return drawThemeBackground_ && theme && SUCCEEDED(drawThemeBackground_(theme, dc, part, state, rect, clip));
}

bool ThemeHelper::DrawThemeText(HTHEME theme, HDC dc, int part, int state, const wchar_t* text, int length, DWORD flags,
                                const RECT* rect) const
{
    return drawThemeText_ && theme && SUCCEEDED(drawThemeText_(theme, dc, part, state, text, length, flags, 0, rect));
}
