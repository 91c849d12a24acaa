// Scans a Start menu of 2 000 shortcuts in 100 folders (plus one file in
// ten that is no shortcut, and one in twenty left out by its name) off the
// user-interface thread, as the launcher does after its start: the median
// of 7 scans against the target (natively under 200 ms, under Wine under
// 1 s). Under Wine also the refinement, which opens every shortcut (made
// with IShellLink) for its target, and the extraction of their icons:
// figures without a target, since the matches use the scan's list until
// they are done.

#include "platform/IFolderListing.h"
#include "programs/ProgramScan.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include "platform/win32/Win32FolderListing.h"
#include "platform/win32/Win32ShortcutReader.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#else
// The same listing through the standard library, with the backslashes the
// scan joins paths with.
class StdFolderListing : public IFolderListing {
public:
    bool List(const std::wstring& folder, std::vector<Entry>& entries) override
    {
        entries.clear();
        std::wstring path = folder;
        std::replace(path.begin(), path.end(), L'\\', L'/');
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(path, error)) {
            Entry each;
            each.name = entry.path().filename().wstring();
            each.isFolder = entry.is_directory(error);
            each.writeTime = static_cast<std::uint64_t>(entry.last_write_time(error).time_since_epoch().count());
            entries.push_back(std::move(each));
        }
        return !error;
    }
};
#endif

namespace {

namespace fs = std::filesystem;

constexpr int kFolders = 100;
constexpr int kPerFolder = 20;

#ifdef _WIN32
bool MakeLink(const std::wstring& path, const std::wstring& target)
{
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                      reinterpret_cast<void**>(&link));
    if (SUCCEEDED(result)) {
        link->SetPath(target.c_str());
        result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    }
    if (SUCCEEDED(result))
        result = file->Save(path.c_str(), TRUE);
    if (file)
        file->Release();
    if (link)
        link->Release();
    return SUCCEEDED(result);
}
#endif

// Made once and kept in the temporary folder: under Wine, 2 000 shortcuts
// take minutes to make.
bool MakeStartMenu(const fs::path& root)
{
    const fs::path done = root / "complete";
    if (fs::exists(done))
        return true;
    fs::remove_all(root);
    for (int f = 0; f < kFolders; ++f) {
        const fs::path folder = root / ("Vendor " + std::to_string(f));
        fs::create_directories(folder);
        for (int p = 0; p < kPerFolder; ++p) {
            std::string name = "Program " + std::to_string(f) + "." + std::to_string(p);
            if (p == 7)
                name = "Uninstall " + name;
            const fs::path file = folder / (name + ".lnk");
#ifdef _WIN32
            if (!MakeLink(file.wstring(), L"C:\\windows\\notepad.exe"))
                return false;
#else
            std::ofstream(file) << "L";
#endif
            if (p % 10 == 0)
                std::ofstream(folder / ("readme " + std::to_string(p) + ".txt")) << "text";
        }
    }
    std::ofstream(done) << "made";
    return true;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main()
{
#ifdef _WIN32
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Win32FolderListing listing;
    const double targetMs = 1000;
    const char* where = "under Wine";
#else
    StdFolderListing listing;
    const double targetMs = 200;
    const char* where = "natively";
#endif
    const fs::path root = fs::temp_directory_path() / "qv-programs-bench";
    if (!MakeStartMenu(root)) {
        std::printf("programs: could not make the shortcuts\n");
        return 1;
    }
    std::wstring rootText = root.wstring();
    std::replace(rootText.begin(), rootText.end(), L'/', L'\\');

    std::vector<double> times;
    std::size_t found = 0;
    for (int run = 0; run < 7; ++run) {
        const auto start = std::chrono::steady_clock::now();
        found = ProgramScan::Scan({rootText, rootText + L"\\Missing"}, listing).size();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    const std::size_t expected = kFolders * (kPerFolder - 1);
    const double median = Median(times);
    std::printf("programs: scan of %d shortcuts in %d folders %s: median %.1f ms (target < %.0f ms), %zu programs "
                "found (expected %zu)\n",
                kFolders * kPerFolder, kFolders, where, median, targetMs, found, expected);
    bool ok = found == expected && median < targetMs;
#ifdef _WIN32
    Win32ShortcutReader reader;
    std::vector<Program> programs = ProgramScan::Scan({rootText}, listing);
    auto start = std::chrono::steady_clock::now();
    ProgramScan::Refine(programs, {}, reader);
    const double refineMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const std::size_t left = programs.size();
    // The icons of every shortcut, not only of the one program left.
    programs = ProgramScan::Scan({rootText}, listing);
    start = std::chrono::steady_clock::now();
    ProgramScan::TakeIcons(programs, reader);
    const double iconsMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    // Every shortcut has the same target: one program is left.
    std::printf("programs: on the programs' thread, the targets of %zu shortcuts read in %.0f ms (%zu program left, "
                "expected 1), their icons extracted in %.0f ms\n",
                expected, refineMs, left, iconsMs);
    ok = ok && left == 1;
    CoUninitialize();
#endif
    return ok ? 0 : 1;
}
