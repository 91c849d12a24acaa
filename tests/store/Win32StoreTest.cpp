// The catalogue file and the auto-start value against the real Win32 file
// system and registry (run under Wine).

#include "store/CatalogueFile.h"

#include "catalogue/QuorvallisCommands.h"
#include "platform/win32/Win32FileStore.h"
#include "platform/win32/Win32Options.h"
#include "platform/win32/Win32Registry.h"

#include "StoreTestSupport.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

const wchar_t* const kRunKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// Reads the machine's "Quorvallis" value directly; false when absent.
bool ReadMachineValue(std::wstring& data, DWORD& type, DWORD& bytes)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    wchar_t buffer[2048] = {};
    bytes = sizeof(buffer) - sizeof(wchar_t);
    const LONG status = RegQueryValueExW(key, L"Quorvallis", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return false;
    data = buffer;
    return true;
}

// Deletes a Run value however the test that wrote it ends, so that a failed
// assertion never leaves the prefix starting a program at log-on.
class RunValueRemover {
public:
    RunValueRemover(HKEY root, const wchar_t* name) : root_(root), name_(name) {}
    RunValueRemover(const RunValueRemover&) = delete;
    RunValueRemover& operator=(const RunValueRemover&) = delete;
    ~RunValueRemover()
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(root_, kRunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return;
        RegDeleteValueW(key, name_);
        RegCloseKey(key);
    }

private:
    HKEY root_;
    const wchar_t* name_;
};

// What the system's own tool says about the value.
std::string RegQueryOutput()
{
    std::string output;
    FILE* pipe =
        _wpopen(L"reg query \"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\" /v Quorvallis 2>&1", L"rt");
    if (pipe == nullptr)
        return output;
    char buffer[512];
    while (std::fgets(buffer, sizeof(buffer), pipe) != nullptr)
        output += buffer;
    _pclose(pipe);
    return output;
}

std::wstring TemporaryFolder(const std::wstring& name)
{
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    const std::wstring folder = std::wstring(base) + name + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void RemoveFolder(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((folder + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

std::string FileBytes(const std::wstring& path)
{
    std::string bytes;
    Win32FileStore files;
    files.ReadAll(path, bytes);
    return bytes;
}

} // namespace

TEST(Win32AutoStart, SetsAndClearsTheMachineRunValue)
{
    const std::wstring program = L"C:\\Program Files\\Quorvallis Test\\Quorvallis.exe";
    Win32Registry registry;
    QuorvallisCommands catalogue;
    const RunValueRemover remover(HKEY_LOCAL_MACHINE, L"Quorvallis");

    ASSERT_TRUE(SetAutoStart(true, catalogue, registry, program));
    EXPECT_TRUE(catalogue.autoStart);
    std::wstring data;
    DWORD type = 0;
    DWORD bytes = 0;
    ASSERT_TRUE(ReadMachineValue(data, type, bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data, L"\"" + program + L"\"");
    EXPECT_EQ(bytes, (data.size() + 1) * sizeof(wchar_t)) << "written with its terminating NUL";
    EXPECT_NE(RegQueryOutput().find("Quorvallis Test"), std::string::npos) << RegQueryOutput();

    EXPECT_FALSE(SetAutoStart(false, catalogue, registry, program));
    EXPECT_FALSE(catalogue.autoStart);
    EXPECT_FALSE(ReadMachineValue(data, type, bytes));
    EXPECT_EQ(RegQueryOutput().find("Quorvallis Test"), std::string::npos);

    // Clearing again finds nothing and changes nothing.
    EXPECT_FALSE(SetAutoStart(false, catalogue, registry, program));
}

TEST(Win32AutoStart, UserValueIsQueriedAndDeleted)
{
    Win32Registry registry;
    const RunValueRemover remover(HKEY_CURRENT_USER, L"QuorvallisProbe");
    ASSERT_TRUE(registry.SetRunValue(IRegistry::Root::CurrentUser, L"QuorvallisProbe", L"x y"));
    std::wstring data;
    EXPECT_EQ(registry.QueryRunValue(IRegistry::Root::CurrentUser, L"QuorvallisProbe", data),
              IRegistry::Query::Present);
    EXPECT_EQ(data, L"x y");
    EXPECT_TRUE(registry.DeleteRunValue(IRegistry::Root::CurrentUser, L"QuorvallisProbe"));
    EXPECT_EQ(registry.QueryRunValue(IRegistry::Root::CurrentUser, L"QuorvallisProbe", data), IRegistry::Query::Absent);
    EXPECT_TRUE(registry.DeleteRunValue(IRegistry::Root::CurrentUser, L"QuorvallisProbe"));
}

// The program's own options: a value read back, none and one of another type
// (written by hand) both give the fallback.
TEST(Win32Options, NumbersRoundTripAndForeignValuesFallBack)
{
    Win32Options options;
    ASSERT_TRUE(options.SetNumber(L"ProbeOption", 7));
    EXPECT_EQ(options.Number(L"ProbeOption", 1), 7u);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, Win32Options::Key, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    RegSetValueExW(key, L"ProbeOption", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"7"), 2 * sizeof(wchar_t));
    EXPECT_EQ(options.Number(L"ProbeOption", 1), 1u);
    RegDeleteValueW(key, L"ProbeOption");
    RegCloseKey(key);
    EXPECT_EQ(options.Number(L"ProbeOption", 3), 3u);
}

TEST(Win32CatalogueFile, SavesAndLoadsUnderAWidePath)
{
    // Characters no ANSI code page holds together.
    const std::wstring folder = TemporaryFolder(L"Qv store \x041A\x010A\x4E2D ");
    const std::wstring path = folder + L"Preferences.data";
    Win32FileStore files;

    QuorvallisCommands first;
    FillRichCatalogue(first);
    ASSERT_TRUE(Save(path, first, files));
    const std::string firstBytes = FileBytes(path);
    EXPECT_FALSE(firstBytes.empty());
    first.lastSelectedGroupId = 4;
    ASSERT_TRUE(Save(path, first, files));
    EXPECT_EQ(FileBytes(path + L".bak"), firstBytes);
    EXPECT_EQ(GetFileAttributesW((path + L".tmp").c_str()), INVALID_FILE_ATTRIBUTES);

    QuorvallisCommands second;
    ASSERT_EQ(Load(path, second, files).outcome, LoadOutcome::Loaded);
    ExpectSameCatalogue(first, second);

    // The example file byte for byte, as an older program left it.
    ASSERT_TRUE(files.WriteDurably(path, AsciiFileBytes(ExampleText())));
    QuorvallisCommands example;
    ASSERT_EQ(Load(path, example, files).outcome, LoadOutcome::Loaded);
    EXPECT_EQ(example.groups.size(), 2u);
    EXPECT_TRUE(example.shownOnce);

    RemoveFolder(folder);
}

TEST(Win32CatalogueFile, DamagedFileIsMovedAside)
{
    const std::wstring folder = TemporaryFolder(L"Qv damaged \x041A ");
    const std::wstring path = folder + L"Preferences.data";
    Win32FileStore files;
    const std::string damaged = AsciiFileBytes(ExampleText()).substr(0, 50);
    ASSERT_TRUE(files.WriteDurably(path, damaged));

    QuorvallisCommands catalogue;
    const LoadResult result = Load(path, catalogue, files);
    ASSERT_EQ(result.outcome, LoadOutcome::Damaged);
    EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(FileBytes(result.keptAsidePath), damaged);
    EXPECT_EQ(result.keptAsidePath.rfind(path + L".damaged-", 0), 0u);

    RemoveFolder(folder);
}

TEST(Win32CatalogueFile, SaveIntoAMissingFolderFailsCleanly)
{
    Win32FileStore files;
    QuorvallisCommands catalogue;
    std::wstring error;
    EXPECT_FALSE(Save(L"C:\\no such folder \x041A\\Preferences.data", catalogue, files, &error));
    EXPECT_FALSE(error.empty());
}

TEST(Win32CatalogueFile, ReplacingKeepsTheOldFileWhenTheTargetIsLocked)
{
    const std::wstring folder = TemporaryFolder(L"Qv locked ");
    const std::wstring path = folder + L"Preferences.data";
    Win32FileStore files;
    const std::string old = AsciiFileBytes(ExampleText());
    ASSERT_TRUE(files.WriteDurably(path, old));
    {
        // Held open without sharing deletion: the replace must fail.
        HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        QuorvallisCommands catalogue;
        FillRichCatalogue(catalogue);
        EXPECT_FALSE(Save(path, catalogue, files));
        CloseHandle(held);
    }
    EXPECT_EQ(FileBytes(path), old);
    EXPECT_EQ(GetFileAttributesW((path + L".tmp").c_str()), INVALID_FILE_ATTRIBUTES);
    RemoveFolder(folder);
}
