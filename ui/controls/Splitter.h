#pragma once

#include <windows.h>

#include "platform/win32/UniqueHandle.h"

// Two panes side by side with a bar between them that the mouse drags. The
// panes are existing windows moved into the splitter; what they tell their
// parent (notifications, commands, context menus) goes on to the window
// named at creation, so re-parenting them changes nothing for it.
//
// The divider is the left pane's width; the bar, as wide as the system's
// sizing frame, follows it. When the splitter is resized the divider keeps
// its share of the width.
class Splitter {
public:
    // How the panes follow a drag: as the system is set (whole window or an
    // outline while dragging), or always one way.
    enum class DragFeedback { System, Live, Outline };

    static constexpr const wchar_t* kClassName = L"QuorvallisSplitter";

    Splitter() = default;
    Splitter(const Splitter&) = delete;
    Splitter& operator=(const Splitter&) = delete;
    ~Splitter();

    // Creates the splitter as a child of `parent` at `rect` (parent client
    // coordinates). Messages from the panes go to `notify`.
    bool Create(HWND parent, const RECT& rect, HWND notify);
    // Moves the two windows into the panes.
    void SetPanes(HWND left, HWND right);
    void SetMinimumPaneWidth(int pixels);
    // Places the divider `x` pixels from the left edge, held so that both
    // panes keep their minimum width.
    void SetDivider(int x);
    void SetDragFeedback(DragFeedback feedback) { feedback_ = feedback; }

    HWND hwnd() const { return window_.get(); }
    int divider() const { return divider_; }
    int barWidth() const;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnSize(int width);
    void OnButtonDown(int x);
    void OnMouseMove(int x);
    void OnButtonUp(int x);
    void EndDrag();
    void Paint(HDC dc) const;
    void DrawOutline(int x) const;
    int Clamp(int x) const;
    void Layout();
    bool OnBar(int x) const { return x >= divider_ && x < divider_ + barWidth(); }
    bool LiveDrag() const;
    int Width() const;

    UniqueWindow window_;
    HWND notify_ = nullptr;
    HWND left_ = nullptr;
    HWND right_ = nullptr;
    int divider_ = 0;
    // The divider's share of the width, kept across resizes.
    double share_ = 0.25;
    int minimumPane_ = 0;
    DragFeedback feedback_ = DragFeedback::System;
    bool dragging_ = false;
    bool outlineShown_ = false;
    int grip_ = 0;     // where on the bar the drag took hold
    int outlineX_ = 0; // where the outline is drawn while dragging
};
