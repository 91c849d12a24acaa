#pragma once

#include "ui/controls/CColourDialog.h"
#include "ui/controls/COwnerDrawnButton.h"
#include "ui/DialogBase.h"
#include "ui/controls/HeaderCtrl.h"
#include "ui/controls/HyperLink.h"

// The about box: banner, version and maker line, a link to the web site and
// a rounded OK button that fades the box out.
class DlgAbout : public DialogBase {
public:
    static constexpr const wchar_t* kWebSite = L"https://quorvallis.example/";

    // `fadeMilliseconds` is how long OK takes to fade the box out.
    explicit DlgAbout(DWORD fadeMilliseconds = 400);

    HeaderCtrl& banner() { return banner_; }
    COwnerDrawnButton& okButton() { return ok_; }
    HyperLink& link() { return link_; }

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool OnInitDialog();

    DWORD fadeMilliseconds_;
    CColourDialog colours_;
    HeaderCtrl banner_;
    COwnerDrawnButton ok_;
    HyperLink link_;
};
