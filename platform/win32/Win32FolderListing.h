#pragma once

#include "platform/IFolderListing.h"

// Folder listings through FindFirstFileExW, without short names and in
// large batches: the quickest way the system offers.
class Win32FolderListing : public IFolderListing {
public:
    bool List(const std::wstring& folder, std::vector<Entry>& entries) override;
};
