#include "ui/programchooser/DlgChooseProgram.h"

#include "ProgramsIds.h"

#include <algorithm>
#include <cwctype>

namespace {

std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
    return text;
}

} // namespace

DlgChooseProgram::DlgChooseProgram(std::shared_ptr<const std::vector<Program>> programs)
    : ModalDialog(IDD_QV_CHOOSE_PROGRAM),
      programs_(std::move(programs))
{
    for (std::size_t i = 0; i < programs_->size(); ++i)
        byName_.push_back(i);
    std::sort(byName_.begin(), byName_.end(), [this](std::size_t a, std::size_t b) {
        return Lower((*programs_)[a].name) < Lower((*programs_)[b].name);
    });
}

void DlgChooseProgram::OnInitDialog()
{
    Fill();
}

void DlgChooseProgram::Fill()
{
    HWND list = Item(IDC_QV_PROGRAM_LIST);
    wchar_t filter[256] = {};
    GetDlgItemTextW(hwnd(), IDC_QV_PROGRAM_FILTER, filter, 256);
    const std::wstring wanted = Lower(filter);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::size_t index : byName_) {
        const Program& program = (*programs_)[index];
        if (!wanted.empty() && Lower(program.name).find(wanted) == std::wstring::npos)
            continue;
        const LRESULT item = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(program.name.c_str()));
        if (item >= 0)
            SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(item), static_cast<LPARAM>(index));
    }
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void DlgChooseProgram::OnOk()
{
    HWND list = Item(IDC_QV_PROGRAM_LIST);
    const LRESULT item = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (item < 0)
        return;
    const auto index = static_cast<std::size_t>(SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(item), 0));
    if (index >= programs_->size())
        return;
    chosen_ = &(*programs_)[index];
    EndDialog(hwnd(), IDOK);
}

bool DlgChooseProgram::OnCommand(int id, int code)
{
    if (id == IDC_QV_PROGRAM_FILTER && code == EN_CHANGE) {
        Fill();
        return true;
    }
    if (id == IDC_QV_PROGRAM_LIST && code == LBN_DBLCLK) {
        OnOk();
        return true;
    }
    return false;
}
