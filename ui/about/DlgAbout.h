#pragma once

#include "ui/ModalDialog.h"
#include "ui/controls/COwnerDrawnButton.h"
#include "ui/controls/HeaderCtrl.h"
#include "ui/controls/HyperLink.h"

// The about box: banner, version and maker line, a link to the web site and
// a rounded OK button that fades the box out.
class DlgAbout : public ModalDialog {
public:
    static constexpr const wchar_t* kWebSite = L"https://quorvallis.example/";

    // `fadeMilliseconds` is how long OK takes to fade the box out.
    explicit DlgAbout(DWORD fadeMilliseconds = 400);

    HeaderCtrl& banner() { return banner_; }
    COwnerDrawnButton& okButton() { return ok_; }
    HyperLink& link() { return link_; }

private:
    void OnInitDialog() override;
    // The link is the first tab stop; the focus goes to OK instead.
    bool PlacesOwnFocus() const override { return true; }
    void OnOk() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    DWORD fadeMilliseconds_;
    HeaderCtrl banner_;
    COwnerDrawnButton ok_;
    HyperLink link_;
};
