#pragma once

#include "capture/IMatchList.h"
#include "platform/win32/UniqueHandle.h"
#include "ui/controls/IconSet.h"

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

class DialogBase;

// The list of matches beside the typing popup: a topmost window that never
// takes the focus, drawn like the popup, one row per match with the
// command's picture, its name (the matched letters stand out) and its
// shortcut in a lighter colour; the highlighted row on a band. Above the
// popup when there is room, else below it. Sized for the screen's pixels per
// inch. Its window text (answered, not stored with the system) holds the rows, one a line ("1" or "0" for the
// highlight, the name and the shortcut, parted by tabs), for whoever reads
// the screen from outside.
class MatchListWindow : public IMatchList {
public:
    static constexpr const wchar_t* kClassName = L"QuorvallisMatches";

    // `anchor` is the popup the list stands beside; its window comes and goes.
    explicit MatchListWindow(const DialogBase& anchor) : anchor_(anchor) {}
    MatchListWindow(const MatchListWindow&) = delete;
    MatchListWindow& operator=(const MatchListWindow&) = delete;
    ~MatchListWindow() override;

    // Draws the picture of a row of another source (a program's own icon)
    // in the square at x, y of the given size; false when it has none.
    using OtherIconPainter = std::function<bool(const MatchRow& row, HDC dc, int x, int y, int size)>;
    void SetOtherIconPainter(OtherIconPainter painter) { otherIcons_ = std::move(painter); }

    // What a program row shows where a command shows its shortcut.
    static constexpr const wchar_t* kProgramWord = L"program";

    void ShowRows(const std::vector<MatchRow>& rows, std::size_t highlighted) override;
    void HideRows() override;
    HWND hwnd() const { return window_.get(); }

    // The rows as the window text holds them.
    static std::wstring RowsText(const std::vector<MatchRow>& rows, std::size_t highlighted);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool EnsureWindow();
    void MakeFonts();
    SIZE ListSize() const;
    void Place(SIZE size);
    void Paint(HDC dc, SIZE size);
    void PaintRow(HDC dc, const MatchRow& row, const RECT& box, bool highlighted);
    // Draws `text` from x on, letters at `marked` positions bold; returns where it ended.
    int PaintMarked(HDC dc, const std::wstring& text, const std::vector<std::size_t>& marked, int x, int y,
                    int right) const;
    HICON IconOf(int index);
    int Scaled(int pixels) const { return MulDiv(pixels, dpi_, 96); }

    const DialogBase& anchor_;
    // The small icon set, built at the first show: most starts never need it.
    IconSet icons_;
    UniqueWindow window_;
    int dpi_ = 96;
    UniqueGdi<HFONT> font_;
    UniqueGdi<HFONT> boldFont_;
    UniqueMemoryDc measureDc_;
    int textHeight_ = 0;
    std::vector<MatchRow> rows_;
    std::size_t highlighted_ = 0;
    std::wstring text_;
    bool shown_ = false;
    // Pictures made once each, drawn at the screen's size.
    std::map<int, UniqueIcon> iconCache_;
    OtherIconPainter otherIcons_;
};
