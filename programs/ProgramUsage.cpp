#include "programs/ProgramUsage.h"

#include "platform/IFileStore.h"
#include "programs/ProgramNames.h"
#include "store/FileReplacement.h"

#include <climits>

namespace {

const std::wstring kHeader = L"Quorvallis program starts 1";

void PutUnit(std::string& bytes, unsigned unit)
{
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>((unit >> 8) & 0xFF);
}

void PutText(std::string& bytes, const std::wstring& text)
{
    for (const wchar_t c : text) {
        const auto code = static_cast<unsigned long>(c);
        if (code > 0xFFFF) {
            // A 32-bit wchar_t: the pair that Windows would hold.
            PutUnit(bytes, 0xD800 + ((code - 0x10000) >> 10));
            PutUnit(bytes, 0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            PutUnit(bytes, code);
        }
    }
}

} // namespace

ProgramUsage::ProgramUsage(IFileStore& files, std::wstring path) : files_(files), path_(std::move(path)) {}

std::string ProgramUsage::Encode(const std::map<std::wstring, int>& counts)
{
    std::string bytes;
    PutText(bytes, kHeader + L"\n");
    for (const auto& [key, count] : counts)
        if (count > 0)
            PutText(bytes, std::to_wstring(count) + L" " + key + L"\n");
    return bytes;
}

bool ProgramUsage::Decode(const std::string& bytes, std::map<std::wstring, int>& counts)
{
    if (bytes.size() % 2 != 0)
        return false;
    std::wstring text;
    text.reserve(bytes.size() / 2);
    for (std::size_t at = 0; at < bytes.size(); at += 2)
        text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[at]) |
                                     (static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 1])) << 8));
    if (text.empty() || text.back() != L'\n')
        return false; // cut off
    std::map<std::wstring, int> read;
    std::size_t lineStart = 0;
    bool header = true;
    while (lineStart < text.size()) {
        const std::size_t end = text.find(L'\n', lineStart);
        const std::wstring line = text.substr(lineStart, end - lineStart);
        lineStart = end + 1;
        if (header) {
            if (line != kHeader)
                return false;
            header = false;
            continue;
        }
        std::size_t at = 0;
        long long count = 0;
        while (at < line.size() && line[at] >= L'0' && line[at] <= L'9' && count <= INT_MAX)
            count = count * 10 + (line[at++] - L'0');
        if (at == 0 || count > INT_MAX || at + 1 >= line.size() || line[at] != L' ')
            return false;
        read[ProgramNames::Folded(line.substr(at + 1))] = static_cast<int>(count);
    }
    if (header)
        return false;
    counts = std::move(read);
    return true;
}

ProgramUsage::LoadResult ProgramUsage::Load()
{
    LoadResult result;
    std::string bytes;
    // The file store serves one caller at a time: saves take this too.
    const std::lock_guard<std::mutex> saving(saving_);
    const std::lock_guard<std::mutex> lock(guard_);
    switch (files_.ReadAll(path_, bytes)) {
    case IFileStore::ReadResult::Missing: return result;
    case IFileStore::ReadResult::Failed:
        // Perhaps held open by another program: neither read nor replaced.
        mayWrite_ = false;
        result.outcome = LoadOutcome::Unreadable;
        return result;
    case IFileStore::ReadResult::Read: break;
    }
    if (Decode(bytes, counts_)) {
        result.outcome = LoadOutcome::Loaded;
        return result;
    }
    result.outcome = LoadOutcome::Damaged;
    result.keptAsidePath = FileReplacement::KeepAside(path_, files_);
    // A damaged file that could not be moved stays the only copy.
    mayWrite_ = !result.keptAsidePath.empty();
    return result;
}

int ProgramUsage::TimesStarted(const std::wstring& key) const
{
    const std::lock_guard<std::mutex> lock(guard_);
    const auto found = counts_.find(ProgramNames::Folded(key));
    return found == counts_.end() ? 0 : found->second;
}

int ProgramUsage::CountStart(const std::wstring& key)
{
    const std::lock_guard<std::mutex> lock(guard_);
    int& count = counts_[ProgramNames::Folded(key)];
    if (count < INT_MAX)
        ++count;
    return count;
}

bool ProgramUsage::Save(std::wstring* error)
{
    const std::lock_guard<std::mutex> saving(saving_);
    std::string bytes;
    {
        const std::lock_guard<std::mutex> lock(guard_);
        if (!mayWrite_) {
            if (error != nullptr)
                *error = L"the file could not be read, so it is not replaced";
            return false;
        }
        bytes = Encode(counts_);
    }
    return FileReplacement::Replace(path_, bytes, files_, error);
}
