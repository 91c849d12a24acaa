#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The entries of one folder, for the scan of the Start menu's programs.
class IFolderListing {
public:
    struct Entry {
        std::wstring name;
        bool isFolder = false;
        // When the entry last changed, in the platform's own units: equal
        // values mean unchanged.
        std::uint64_t writeTime = 0;
    };

    virtual ~IFolderListing() = default;
    // Replaces `entries` with the folder's files and subfolders ("." and ".."
    // and folders that lead elsewhere, such as junctions, left out). False
    // when the folder could not be read (missing, no access).
    virtual bool List(const std::wstring& folder, std::vector<Entry>& entries) = 0;
};
