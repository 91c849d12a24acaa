#include "ui/main/StartMenuPrograms.h"

#include "platform/IOptions.h"
#include "platform/win32/DetachedThread.h"
#include "platform/win32/Win32FolderWatch.h"
#include "platform/win32/Win32StartMenu.h"
#include "programs/ProgramFinder.h"


StartMenuPrograms::StartMenuPrograms(IOptions& options, const std::wstring& programFolder)
    : options_(options),
      shown_(options.Number(kOption, 1) != 0),
      counts_(std::make_shared<Counts>(programFolder + ProgramUsage::kFileName))
{
}

StartMenuPrograms::~StartMenuPrograms()
{
    Stop();
}

void StartMenuPrograms::Start(HWND window)
{
    window_ = window;
    if (started_)
        return;
    started_ = true;
    counts_->usage.Load();
    if (!shown_)
        return;
    const std::vector<std::wstring> folders = StartMenuProgramFolders();
    watch_ = std::make_unique<Win32FolderWatch>(folders);
    // Below the keyboard's thread, which must never wait for it.
    finder_ = std::make_unique<ProgramFinder>(
        folders, listing_, reader_, *watch_, counts_->list,
        [] {
            SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
            Win32ShortcutReader::JoinCom();
        },
        [] { Win32ShortcutReader::LeaveCom(); });
    if (window_)
        SetTimer(window_, kPollTimer, ProgramFinder::kPollMs, nullptr);
}

void StartMenuPrograms::Wanted()
{
    if (!finder_ || scanned_)
        return;
    scanned_ = true;
    finder_->Start();
}

void StartMenuPrograms::Poll()
{
    if (finder_ && scanned_)
        finder_->Poll();
}

void StartMenuPrograms::Stop()
{
    if (window_)
        KillTimer(window_, kPollTimer);
    if (finder_)
        finder_->Stop();
    finder_.reset();
    watch_.reset();
}

void StartMenuPrograms::SetShown(bool shown)
{
    shown_ = shown;
    options_.SetNumber(kOption, shown ? 1 : 0);
    if (shown && started_ && !finder_) {
        started_ = false;
        scanned_ = false;
        Start(window_);
        Wanted();
    }
}

ProgramList::Snapshot StartMenuPrograms::Current() const
{
    static const ProgramList::Snapshot none = std::make_shared<const std::vector<Program>>();
    return shown_ ? counts_->list.Current() : none;
}

bool StartMenuPrograms::Open(const Program& program, const std::wstring& arguments)
{
    return StartDetachedThread("a program's start", 0, [counts = counts_, path = program.path, key = program.key,
                                                        arguments] {
        Win32ShortcutReader::JoinCom();
        if (Win32ShortcutReader::Open(path, arguments)) {
            counts->list.CountStart(key);
            counts->usage.Save();
        }
        Win32ShortcutReader::LeaveCom();
    });
}

bool StartMenuPrograms::DrawIcon(const std::wstring& shortcutPath, HDC dc, int x, int y, int size) const
{
    const ProgramList::Snapshot programs = Current();
    for (const Program& program : *programs)
        if (program.path == shortcutPath)
            return reader_.DrawIcon(program.icon, dc, x, y, size);
    return false;
}
