#include "ui/controls/IconSet.h"

bool IconSet::Build(int bitmapId, int initialCapacity)
{
    images_.reset();
    UniqueGdi<HBITMAP> strip(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!strip)
        return false;
    UniqueImageList list(ImageList_Create(kImageSize, kImageSize, ILC_COLOR32 | ILC_MASK, initialCapacity, 2));
    if (!list)
        return false;
    // The strip is cut into as many pictures as its width holds.
    if (ImageList_AddMasked(list.get(), strip.get(), kMaskColour) < 0)
        return false;
    images_ = std::move(list);
    return true;
}

int IconSet::Count() const
{
    return images_ ? ImageList_GetImageCount(images_.get()) : 0;
}

HICON IconSet::MakeIcon(int index) const
{
    if (!images_ || index < 0 || index >= Count())
        return nullptr;
    return ImageList_GetIcon(images_.get(), index, ILD_TRANSPARENT);
}

HICON IconSet::LoadProgramIcon(int id, int size)
{
    HICON icon =
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
    return icon ? icon : CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
}
