#pragma once

#include <windows.h>
#include <commctrl.h>

#include "platform/win32/UniqueHandle.h"

// An image list of 16 x 16 pictures cut from a strip bitmap of the program's
// resources (the small icon set 112, the action strip 113). Each dialog that
// shows the pictures owns one; controls that show them share it.
class IconSet {
public:
    static constexpr int kImageSize = 16;
    static constexpr COLORREF kMaskColour = RGB(255, 0, 255);

    IconSet() = default;
    IconSet(const IconSet&) = delete;
    IconSet& operator=(const IconSet&) = delete;

    // Builds the list from bitmap `bitmapId`: as many images as the strip's
    // width holds, initial capacity `initialCapacity`, growing by 2.
    bool Build(int bitmapId, int initialCapacity);

    HIMAGELIST get() const { return images_.get(); }
    int Count() const;
    // A new icon of picture `index` (the caller owns it), or null when the
    // index is outside the set (-1 included).
    HICON MakeIcon(int index) const;

    // Icon resource `id` of the program in `size` pixels (the caller owns it).
    // The icons come with the artwork; until a picture is there the program
    // still runs with the system's application icon.
    static HICON LoadProgramIcon(int id, int size);

private:
    UniqueImageList images_;
};
