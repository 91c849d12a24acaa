#pragma once

#include <windows.h>
#include <uxtheme.h>

#include "platform/win32/UniqueHandle.h"

// Draws with the desktop's visual style when one is active. The style library
// is loaded at run time by name so that the program also runs where it is
// missing; every call then reports failure and callers draw the classic way.
class ThemeHelper {
public:
    ThemeHelper();
    // Loads another library in place of "UxTheme.dll" (tests use a name that cannot load).
    explicit ThemeHelper(const wchar_t* libraryName);
    ThemeHelper(const ThemeHelper&) = delete;
    ThemeHelper& operator=(const ThemeHelper&) = delete;
    virtual ~ThemeHelper();

    bool IsLoaded() const { return static_cast<bool>(library_); }
    // How many of the seven functions were found.
    int FunctionCount() const;

    // False when the function is missing.
    bool IsAppThemed() const;
    bool IsThemeActive() const;
    // Null when the function is missing or the class has no theme data.
    HTHEME OpenThemeData(HWND window, const wchar_t* classList) const;
    void CloseThemeData(HTHEME theme) const;
    bool DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect) const;
    bool DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip) const;
    bool DrawThemeText(HTHEME theme, HDC dc, int part, int state, const wchar_t* text, int length, DWORD flags,
                       const RECT* rect) const;

private:
    using OpenThemeDataFn = HTHEME(WINAPI*)(HWND, LPCWSTR);
    using CloseThemeDataFn = HRESULT(WINAPI*)(HTHEME);
    using DrawThemeParentBackgroundFn = HRESULT(WINAPI*)(HWND, HDC, const RECT*);
    using DrawThemeBackgroundFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*);
    using DrawThemeTextFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*);
    using IsAppThemedFn = BOOL(WINAPI*)();
    using IsThemeActiveFn = BOOL(WINAPI*)();

    void Load(const wchar_t* libraryName);
    void Clear();

    UniqueModule library_;
    OpenThemeDataFn openThemeData_ = nullptr;
    CloseThemeDataFn closeThemeData_ = nullptr;
    DrawThemeParentBackgroundFn drawThemeParentBackground_ = nullptr;
    DrawThemeBackgroundFn drawThemeBackground_ = nullptr;
    DrawThemeTextFn drawThemeText_ = nullptr;
    IsAppThemedFn isAppThemed_ = nullptr;
    IsThemeActiveFn isThemeActive_ = nullptr;
};
