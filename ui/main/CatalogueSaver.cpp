#include "ui/main/CatalogueSaver.h"

#include "catalogue/QuorvallisCommands.h"
#include "platform/WindowMessages.h"

void CatalogueSaver::Start(HWND window, std::shared_ptr<IFileStore> files, const std::wstring& path)
{
    path_ = path;
    latest_->window = window;
    std::shared_ptr<Latest> latest = latest_;
    queue_ = std::make_unique<CatalogueSaveQueue>(std::move(files), path,
                                                  [latest](const CatalogueSaveQueue::Outcome& outcome) {
                                                      HWND owner = nullptr;
                                                      {
                                                          std::lock_guard<std::mutex> lock(latest->mutex);
                                                          latest->failed = !outcome.saved;
                                                          latest->error = outcome.error;
                                                          owner = latest->window;
                                                      }
                                                      if (owner)
                                                          PostMessageW(owner, WM_SAVEFINISHED, 0, 0);
                                                  });
}

void CatalogueSaver::Changed(const QuorvallisCommands& catalogue)
{
    if (queue_)
        queue_->Submit(catalogue.StoredSnapshot());
}

std::wstring CatalogueSaver::TakeReport()
{
    bool failed = false;
    std::wstring error;
    {
        std::lock_guard<std::mutex> lock(latest_->mutex);
        failed = latest_->failed;
        error = latest_->error;
    }
    if (!failed) {
        failureShown_ = false;
        return {};
    }
    if (failureShown_)
        return {};
    failureShown_ = true;
    return FailureText(error, L"Your changes are kept while Quorvallis runs; it tries again with your next change "
                              L"and when it exits.");
}

std::wstring CatalogueSaver::Finish(const QuorvallisCommands& catalogue)
{
    if (!queue_)
        return {};
    {
        // The window is going: the last outcome is told here, not posted.
        std::lock_guard<std::mutex> lock(latest_->mutex);
        latest_->window = nullptr;
    }
    queue_->Submit(catalogue.StoredSnapshot());
    std::wstring error;
    if (queue_->Finish(CatalogueSaveQueue::kExitWait, &error))
        return {};
    if (queue_->FileMayStillChange())
        return FailureText(error, L"Changes made since the last save are lost; the file may yet receive the save "
                                  L"that was under way.");
    return FailureText(error, L"Changes made since the last save are lost; the previous file was left as it was.");
}

std::wstring CatalogueSaver::FailureText(const std::wstring& error, const wchar_t* consequence) const
{
    return L"Quorvallis could not save its preferences to \"" + path_ + L"\" (" + error + L"). " + consequence;
}

bool CatalogueSaver::WaitUntilIdle(int timeoutMs) const
{
    return !queue_ || queue_->WaitUntilIdle(std::chrono::milliseconds(timeoutMs));
}

int CatalogueSaver::SavesWritten() const
{
    return queue_ ? queue_->SavesWritten() : 0;
}
