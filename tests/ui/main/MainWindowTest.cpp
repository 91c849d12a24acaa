// The main window's parts in this process, under Wine: the layout rules, the
// splitter, the routing of the editing actions, the tray menu, and the real
// "Preferences" window where a notification arrives while a group goes.
#include "MainWindowIds.h"
#include "catalogue/QuorvallisCommands.h"
#include "platform/ILineWorkers.h"
#include "platform/WindowMessages.h"
#include "store/CatalogueFile.h"
#include "tests/store/StoreTestSupport.h"
#include "ui/controls/COwnerDrawMenu.h"
#include "ui/controls/HeldDialogItems.h"
#include "ui/controls/IconSet.h"
#include "ui/controls/Splitter.h"
#include "ui/main/CatalogueView.h"
#include "ui/main/DlgPreferences.h"
#include "ui/main/TrayIcon.h"

#include "ArtworkIds.h"

#include <windows.h>
#include <commctrl.h>

#include <boost/make_shared.hpp>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

std::wstring ClassName(const wchar_t* base)
{
    static int serial = 0;
    return std::wstring(base) + std::to_wstring(++serial);
}

// A plain top-level window that records the messages its children forward.
class Host {
public:
    explicit Host(int width = 600, int height = 300)
    {
        const std::wstring name = ClassName(L"QvTestHost");
        WNDCLASSW wc{};
        wc.lpfnWndProc = &Host::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = name.c_str();
        wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        RegisterClassW(&wc);
        window_.reset(CreateWindowExW(0, name.c_str(), L"host", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr));
        SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    HWND hwnd() const { return window_.get(); }
    HWND Child(int x, int y, int w, int h)
    {
        return CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, x, y, w, h, hwnd(), nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    }
    std::vector<UINT> forwarded;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<Host*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && (message == WM_NOTIFY || message == WM_COMMAND || message == WM_CONTEXTMENU)) {
            self->forwarded.push_back(message);
            return 77;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    UniqueWindow window_;
};

RECT RectIn(HWND window, HWND parent)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Each child in sibling order: class, id, styles, place and size in the
// client area, whether it has the dialog's font, and its text.
std::wstring TextOf(HWND window)
{
    wchar_t text[256] = L"";
    GetWindowTextW(window, text, 256);
    return text;
}

std::vector<std::wstring> DescribeChildren(HWND dialog)
{
    std::vector<std::wstring> rows;
    const auto dialogFont = SendMessageW(dialog, WM_GETFONT, 0, 0);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[64] = L"";
        GetClassNameW(child, name, 64);
        RECT place{};
        GetWindowRect(child, &place);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
        rows.push_back(std::wstring(name) + L" " + std::to_wstring(GetDlgCtrlID(child)) + L" " +
                       std::to_wstring(GetWindowLongPtrW(child, GWL_STYLE)) + L" " +
                       std::to_wstring(GetWindowLongPtrW(child, GWL_EXSTYLE)) + L" " + std::to_wstring(place.left) +
                       L"," + std::to_wstring(place.top) + L" " + std::to_wstring(place.right - place.left) + L"x" +
                       std::to_wstring(place.bottom - place.top) +
                       (SendMessageW(child, WM_GETFONT, 0, 0) == dialogFont ? L" font " : L" other font ") +
                       TextOf(child));
    }
    return rows;
}

} // namespace

// The "Name" cell's colours stay within 0..255 whatever the list's colours.
TEST(HeldDialogItems, HeldItemsComeOutAsTheDialogManagerMakesThem)
{
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_USEREX_CLASSES | ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const DLGPROC plain = [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; };
    UniqueWindow whole(CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_PREFERENCES), nullptr, plain, 0));
    ASSERT_TRUE(whole);

    // An id the template does not have is no reason to hold nothing.
    HeldDialogItems held(instance, IDD_PREFERENCES, {IDC_FIRST_KEY, 4242, IDC_SECOND_KEY});
    ASSERT_TRUE(held.IsHolding());
    UniqueWindow split(CreateDialogIndirectParamW(instance, held.Template(), nullptr, plain, 0));
    ASSERT_TRUE(split);
    EXPECT_EQ(nullptr, GetDlgItem(split.get(), IDC_FIRST_KEY));
    EXPECT_EQ(nullptr, GetDlgItem(split.get(), IDC_SECOND_KEY));
    EXPECT_EQ(L"Second control key:", TextOf(GetDlgItem(split.get(), IDC_SECOND_KEY_LABEL)));
    EXPECT_EQ(L"Preferences", TextOf(split.get()));

    held.CreateInto(split.get());
    held.CreateInto(split.get()); // once only
    EXPECT_FALSE(held.IsHolding());
    const std::vector<std::wstring> expected = DescribeChildren(whole.get());
    EXPECT_EQ(expected.size(), 11u);
    EXPECT_EQ(expected, DescribeChildren(split.get()));

    // A template that is not there holds nothing back.
    HeldDialogItems missing(instance, 9999, {IDC_FIRST_KEY});
    EXPECT_EQ(nullptr, missing.Template());
    EXPECT_FALSE(missing.IsHolding());
}

TEST(CatalogueView, NameCellColoursAreClamped)
{
    const auto dark = CatalogueView::NameCellColours(RGB(10, 15, 200), RGB(200, 195, 100));
    EXPECT_EQ(dark.background, RGB(0, 0, 185));
    EXPECT_EQ(dark.text, RGB(255, 255, 160));
}

TEST(Splitter, KeepsItsShareAndMinimumAndFollowsTheMouse)
{
    Host host(700, 300);
    HWND left = host.Child(0, 0, 10, 10);
    HWND right = host.Child(0, 0, 10, 10);
    Splitter splitter;
    ASSERT_TRUE(splitter.Create(host.hwnd(), RECT{0, 0, 400, 200}, host.hwnd()));
    splitter.SetPanes(left, right);
    splitter.SetMinimumPaneWidth(35);
    const int bar = splitter.barWidth();
    EXPECT_EQ(GetParent(left), splitter.hwnd());

    struct Case {
        int asked, placed;
    };
    for (const Case& c : {Case{100, 100}, Case{5, 35}, Case{390, 400 - bar - 35}}) {
        splitter.SetDivider(c.asked);
        EXPECT_EQ(splitter.divider(), c.placed) << c.asked;
        const RECT l = RectIn(left, splitter.hwnd()), r = RectIn(right, splitter.hwnd());
        EXPECT_EQ(l.right, c.placed);
        EXPECT_EQ(r.left, c.placed + bar);
        EXPECT_EQ(r.right, 400);
        EXPECT_EQ(l.bottom, 200);
    }

    // A resize keeps the divider's share of the width.
    splitter.SetDivider(100);
    MoveWindow(splitter.hwnd(), 0, 0, 600, 250, TRUE);
    EXPECT_EQ(splitter.divider(), 150);
    MoveWindow(splitter.hwnd(), 0, 0, 300, 250, TRUE);
    EXPECT_EQ(splitter.divider(), 75);

    // Dragged live, the panes follow every move; as an outline, only the
    // release moves them. Both stop at the minimum.
    for (auto feedback : {Splitter::DragFeedback::Live, Splitter::DragFeedback::Outline}) {
        splitter.SetDragFeedback(feedback);
        splitter.SetDivider(75);
        const int grip = 75 + bar / 2;
        SendMessageW(splitter.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grip, 100));
        SendMessageW(splitter.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(grip + 40, 100));
        EXPECT_EQ(RectIn(left, splitter.hwnd()).right, feedback == Splitter::DragFeedback::Live ? 115 : 75);
        SendMessageW(splitter.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(grip + 60, 100));
        SendMessageW(splitter.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(grip + 60, 100));
        EXPECT_EQ(splitter.divider(), 135);
        EXPECT_EQ(RectIn(left, splitter.hwnd()).right, 135);
        EXPECT_NE(GetCapture(), splitter.hwnd());

        SendMessageW(splitter.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(135 + bar / 2, 100));
        SendMessageW(splitter.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(-300), 100));
        SendMessageW(splitter.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(-300), 100));
        EXPECT_EQ(splitter.divider(), 35);
    }
    // A press beside the bar does not drag.
    SendMessageW(splitter.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 100));
    SendMessageW(splitter.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(250, 100));
    SendMessageW(splitter.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(250, 100));
    EXPECT_EQ(splitter.divider(), 35);

    // What the panes tell their parent reaches the window named at creation.
    NMHDR header{left, 1015, NM_CLICK};
    EXPECT_EQ(SendMessageW(splitter.hwnd(), WM_NOTIFY, 1015, reinterpret_cast<LPARAM>(&header)), 77);
    SendMessageW(splitter.hwnd(), WM_COMMAND, 1, reinterpret_cast<LPARAM>(left));
    SendMessageW(splitter.hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(right), MAKELPARAM(1, 1));
    EXPECT_EQ(host.forwarded, (std::vector<UINT>{WM_NOTIFY, WM_COMMAND, WM_CONTEXTMENU}));
}

// The tray menu forgets its records when it is gone, and gives the keyboard
// back to the window that had it when the menu is dismissed.
TEST(TrayIcon, DismissedMenuGivesTheForegroundBackAndLeavesNoRecords)
{
    Host front(200, 100);
    Host owner(10, 10);
    ShowWindow(owner.hwnd(), SW_HIDE);
    SetForegroundWindow(front.hwnd());
    ASSERT_EQ(GetForegroundWindow(), front.hwnd());

    IconSet actions;
    ASSERT_TRUE(actions.Build(IDB_QV_ACTIONS, 10));
    COwnerDrawMenu images;
    TrayIcon tray;
    tray.Add(owner.hwnd(), false);
    HWND remembered = nullptr;
    for (int i = 0; i < 3; ++i) {
        const UINT_PTR timer = SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            EndMenu();
        });
        tray.ShowMenu(images, actions.get(), i % 2 == 0, remembered);
        KillTimer(nullptr, timer);
        Pump();
        EXPECT_EQ(remembered, front.hwnd());
        EXPECT_EQ(GetForegroundWindow(), front.hwnd()) << "the keyboard was left with the hidden owner";
        EXPECT_EQ(images.KnownMenuCount(), 0u);
        EXPECT_EQ(images.ItemRecordCount(), 0u);
    }
    EXPECT_TRUE(owner.forwarded.empty()) << "a dismissed menu chose nothing";
}

namespace {

// Deletes a selected tree item as Windows does: the selection moves first,
// and the notification names the item on its way out as the old one. A
// second delete of that item from inside the notification is counted.
struct DeleteAsWindowsDoes {
    int depth = 0;
    int deletedTwice = 0;

    static LPARAM ParamOf(HWND tree, HTREEITEM item)
    {
        TVITEMW data{};
        data.mask = TVIF_PARAM | TVIF_HANDLE;
        data.hItem = item;
        TreeView_GetItem(tree, &data);
        return data.lParam;
    }

    static LRESULT CALLBACK Proc(HWND tree, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
    {
        auto* self = reinterpret_cast<DeleteAsWindowsDoes*>(data);
        const auto item = reinterpret_cast<HTREEITEM>(lParam);
        if (message != TVM_DELETEITEM || !item || item != TreeView_GetSelection(tree))
            return DefSubclassProc(tree, message, wParam, lParam);
        if (self->depth > 0) {
            ++self->deletedTwice;
            return TRUE;
        }
        ++self->depth;
        NMTREEVIEWW change{};
        change.hdr.hwndFrom = tree;
        change.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(tree));
        change.hdr.code = TVN_SELCHANGEDW;
        change.action = TVC_UNKNOWN;
        change.itemOld.mask = change.itemNew.mask = TVIF_HANDLE | TVIF_PARAM;
        change.itemOld.hItem = item;
        change.itemOld.lParam = ParamOf(tree, item);
        change.itemNew.hItem = TreeView_GetRoot(tree);
        change.itemNew.lParam = ParamOf(tree, change.itemNew.hItem);
        SendMessageW(GetParent(tree), WM_NOTIFY, change.hdr.idFrom, reinterpret_cast<LPARAM>(&change));
        const LRESULT result = DefSubclassProc(tree, message, wParam, lParam);
        --self->depth;
        return result;
    }
};

// Answers the message box with this title, as a user does, from outside the
// loop that waits for it. Text() stops looking and says what the box said.
class BoxAnswer {
public:
    BoxAnswer(const wchar_t* title, int button)
        : user_([this, title, button] {
              for (int tries = 0; tries < 200 && !stop_; ++tries) {
                  if (HWND box = FindWindowW(L"#32770", title)) {
                      wchar_t text[512] = L"";
                      GetDlgItemTextW(box, 0xFFFF, text, 512);
                      text_ = text;
                      PostMessageW(box, WM_COMMAND, button, 0);
                      return;
                  }
                  Sleep(50);
              }
          })
    {
    }
    ~BoxAnswer() { Text(); }
    // Call once the loop that shows the box has returned.
    std::wstring Text()
    {
        stop_ = true;
        if (user_.joinable())
            user_.join();
        return text_;
    }

private:
    std::atomic<bool> stop_{false};
    std::wstring text_;
    std::thread user_;
};

class NoWorkers : public ILineWorkers {
public:
    bool Start(const std::wstring&) override { return false; }
};

// The real main window in this process, on a catalogue without a file.
class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        catalogue_ = boost::make_shared<QuorvallisCommands>();
        catalogue_->enableOnStart = false;
        catalogue_->AddCommand(0, L"Notes", L"", 42, L"notes");
        catalogue_->AddCommand(0, L"Calc", L"", 7, L"calc");
        catalogue_->AddCommand(1, L"Remote notes", L"", 4, L"rn");
        window_ = std::make_unique<DlgPreferences>(catalogue_, workers_, files_, L"C:\\qvtest\\Quorvallis.exe");
        ASSERT_TRUE(window_->CreateModeless(nullptr));
        ShowWindow(window_->hwnd(), SW_SHOW);
        Pump();
    }
    void TearDown() override
    {
        window_.reset();
        Pump();
    }

    CatalogueView& view() { return window_->view(); }

    std::vector<std::wstring> Names()
    {
        std::vector<std::wstring> names;
        for (int row = 0; row < ListView_GetItemCount(view().list()); ++row) {
            wchar_t text[64] = L"";
            ListView_GetItemText(view().list(), row, 0, text, 64);
            names.push_back(text);
        }
        return names;
    }

    std::vector<std::wstring> TopItems()
    {
        std::vector<std::wstring> items;
        for (HTREEITEM item = TreeView_GetRoot(view().tree()); item;
             item = TreeView_GetNextSibling(view().tree(), item)) {
            wchar_t text[64] = L"";
            TVITEMW data{};
            data.mask = TVIF_TEXT | TVIF_HANDLE;
            data.hItem = item;
            data.pszText = text;
            data.cchTextMax = 64;
            TreeView_GetItem(view().tree(), &data);
            items.push_back(std::wstring(text) + (TreeView_GetSelection(view().tree()) == item ? L"*" : L""));
        }
        return items;
    }

    void Search(const std::wstring& text)
    {
        SetWindowTextW(window_->toolbar().searchBox(), text.c_str());
        // Numbers where a text pointer once was: the box's text is searched.
        SendMessageW(window_->hwnd(), WM_SEARCHCOMMANDS, 0x1, 0xDEAD);
    }

    NoWorkers workers_;
    std::shared_ptr<MemoryFileStore> files_ = std::make_shared<MemoryFileStore>();
    boost::shared_ptr<QuorvallisCommands> catalogue_;
    std::unique_ptr<DlgPreferences> window_;
};

} // namespace

// Tree items carry ids: the search group can go while its item is selected
// (an editing action removes it), and the view goes on with the group
// selected next, without deleting the item a second time.
TEST_F(MainWindow, SearchGroupGoesWhileItsItemIsSelected)
{
    EXPECT_EQ(TopItems(), (std::vector<std::wstring>{L"General*", L"Scripts"}));
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Notes", L"Calc"}));

    Search(L"otes");
    EXPECT_EQ(TopItems(), (std::vector<std::wstring>{L"General", L"Scripts", L"Search results*"}));
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Notes", L"Remote notes"}));
    EXPECT_EQ(catalogue_->lastSelectedGroupId, 2);

    // Removed by whoever removes a selected group: the tree moves on, and
    // the item on its way out is not deleted a second time.
    DeleteAsWindowsDoes deletion;
    SetWindowSubclass(view().tree(), &DeleteAsWindowsDoes::Proc, 1, reinterpret_cast<DWORD_PTR>(&deletion));
    ASSERT_TRUE(catalogue_->RemoveGroup(CatalogueView::kSearchResultsId));
    ASSERT_TRUE(view().DeleteGroupItem(CatalogueView::kSearchResultsId));
    RemoveWindowSubclass(view().tree(), &DeleteAsWindowsDoes::Proc, 1);
    EXPECT_EQ(deletion.deletedTwice, 0);
    EXPECT_EQ(TopItems().size(), 2u);
    const int selected = view().SelectedGroupId();
    EXPECT_TRUE(selected == 0 || selected == 1) << selected;
    EXPECT_EQ(catalogue_->lastSelectedGroupId, selected);
    EXPECT_EQ(Names(), selected == 0 ? (std::vector<std::wstring>{L"Notes", L"Calc"})
                                     : (std::vector<std::wstring>{L"Remote notes"}));
}

// The "Name" cell is drawn darker, with lighter text, than the others.
TEST_F(MainWindow, NameCellIsDrawnInItsOwnColours)
{
    HWND list = view().list();
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT name{}, shortcut{};
    ListView_GetSubItemRect(list, 1, 0, LVIR_LABEL, &name);
    ListView_GetSubItemRect(list, 1, 1, LVIR_LABEL, &shortcut);
    HDC dc = GetDC(list);
    const int y = (name.top + name.bottom) / 2;
    EXPECT_EQ(GetPixel(dc, name.right - 3, y), RGB(240, 240, 240)) << "name cell";
    EXPECT_EQ(GetPixel(dc, shortcut.right - 3, y), RGB(255, 255, 255)) << "shortcut cell";
    const auto count = [&](const RECT& cell, COLORREF colour) {
        int n = 0;
        for (int py = cell.top; py < cell.bottom; ++py)
            for (int px = cell.left; px < cell.right; ++px)
                n += GetPixel(dc, px, py) == colour;
        return n;
    };
    EXPECT_GT(count(name, RGB(60, 60, 60)), 5) << "lighter text in the name cell";
    EXPECT_EQ(count(name, RGB(0, 0, 0)), 0);
    EXPECT_GT(count(shortcut, RGB(0, 0, 0)), 5) << "the list's own text colour elsewhere";
    ReleaseDC(list, dc);
}

// Remove commands over three selected rows of which the catalogue no longer
// holds one: the other two go, that row stays, and the file is written once.
TEST_F(MainWindow, RemovingRowsSkipsWhatTheCatalogueNoLongerHoldsAndSavesOnce)
{
    catalogue_->AddCommand(0, L"Mail", L"", 0, L"mail", StepType::OpenWebPage, L"http://m");
    Search(L"");
    ASSERT_EQ(Names(), (std::vector<std::wstring>{L"Notes", L"Calc", L"Remote notes", L"Mail"}));
    ASSERT_TRUE(catalogue_->RemoveCommand(view().RowCommandId(1)));
    for (int row : {0, 1, 3})
        ListView_SetItemState(view().list(), row, LVIS_SELECTED, LVIS_SELECTED);

    BoxAnswer answer(L"Remove?", IDYES);
    SendMessageW(window_->hwnd(), WM_COMMAND, IDM_COMMAND_REMOVE, 0);
    EXPECT_EQ(answer.Text(), L"Remove selected items?");
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Calc", L"Remote notes"}));
    ASSERT_TRUE(window_->saver().WaitUntilIdle(10000));
    EXPECT_EQ(window_->saver().SavesWritten(), 1);
    QuorvallisCommands stored;
    ASSERT_EQ(Load(window_->saver().path(), stored, *files_).outcome, LoadOutcome::Loaded);
    ASSERT_EQ(stored.allCommands.size(), 1u);
    EXPECT_EQ(stored.allCommands[0]->name, L"Remote notes");
}

// Add group under a group as deep as the file holds says so before any
// editor opens, and adds nothing.
TEST_F(MainWindow, AddGroupRefusesNestingDeeperThanTheFileHolds)
{
    GroupPtr deepest = catalogue_->groups[0];
    for (int depth = 2; depth <= QuorvallisCommands::kMaxGroupDepth; ++depth)
        deepest = catalogue_->AddSubgroup(deepest, L"Level " + std::to_wstring(depth), 0);
    ASSERT_TRUE(deepest);
    // Shown and selected as at the next start.
    catalogue_->lastSelectedGroupId = deepest->id;
    view().AddGroupItem(catalogue_->groups[0]->id, *catalogue_->groups[0]->subgroups[0]);
    ASSERT_EQ(view().SelectedGroupId(), deepest->id);
    const int lastId = catalogue_->lastId;

    BoxAnswer answer(L"Error!", IDOK);
    SendMessageW(window_->hwnd(), WM_COMMAND, IDM_GROUP_ADD, 0);
    EXPECT_EQ(answer.Text(), L"Groups nest at most 200 levels deep: \"Level 200\" cannot hold another group.");
    EXPECT_TRUE(deepest->subgroups.empty());
    EXPECT_EQ(catalogue_->lastId, lastId);
}

// Saves that fail mid-session are told once, in words true while the
// launcher runs; after a good save the next failure is told again.
TEST_F(MainWindow, AFailedSaveIsToldOnceUntilASaveSucceeds)
{
    const auto change = [&](MemoryFileStore::Step failAt) {
        ASSERT_TRUE(window_->saver().WaitUntilIdle(10000));
        files_->failAt = failAt;
        SendMessageW(window_->hwnd(), WM_COMMAND, MAKEWPARAM(IDC_ENABLE_ON_START, BN_CLICKED), 0);
        ASSERT_TRUE(window_->saver().WaitUntilIdle(10000));
    };
    std::vector<std::wstring> told;
    for (auto failAt : {MemoryFileStore::Step::ReplaceWith, MemoryFileStore::Step::ReplaceWith,
                        MemoryFileStore::Step::None, MemoryFileStore::Step::WriteDurably}) {
        BoxAnswer answer(L"Quorvallis", IDOK);
        change(failAt);
        Pump();
        told.push_back(answer.Text());
    }
    ASSERT_EQ(told.size(), 4u);
    EXPECT_NE(told[0].find(L"could not save its preferences"), std::wstring::npos);
    EXPECT_NE(told[0].find(L"Your changes are kept while Quorvallis runs"), std::wstring::npos) << told[0];
    EXPECT_EQ(told[1], L"") << "told twice";
    EXPECT_EQ(told[2], L"");
    EXPECT_NE(told[3].find(L"could not save its preferences"), std::wstring::npos) << "not told after a good save";
}

// A regular command whose step the command editor does not offer opens in
// the script editor, where OK keeps the step whole.
TEST_F(MainWindow, ARegularCommandTheCommandEditorCannotShowOpensInTheScriptEditor)
{
    CommandPtr pause = catalogue_->AddCommand(0, L"Wait", L"", 0, L"wait");
    StepPtr step(new QuorvallisScriptStep(0));
    step->type = StepType::Pause;
    step->pauseMs = 250;
    step->text = L"Pause 250 ms";
    pause->steps = {step};
    Search(L"wait");
    ASSERT_EQ(Names(), (std::vector<std::wstring>{L"Wait"}));
    ListView_SetItemState(view().list(), 0, LVIS_SELECTED, LVIS_SELECTED);

    // The command editor, were it to open, is cancelled: nothing is replaced.
    BoxAnswer commandEditor(L"Edit the command...", IDCANCEL);
    BoxAnswer scriptEditor(L"Script", IDOK);
    SendMessageW(window_->hwnd(), WM_COMMAND, IDM_COMMAND_EDIT, 0);
    CommandPtr edited = catalogue_->FindCommand(pause->id);
    ASSERT_TRUE(edited && edited != pause) << "no script editor took it";
    ASSERT_EQ(edited->steps.size(), 1u);
    EXPECT_EQ(edited->steps[0]->type, StepType::Pause);
    EXPECT_EQ(edited->steps[0]->text, L"Pause 250 ms");
}

// A file whose records share ids loads whole, and the start says so.
TEST_F(MainWindow, DuplicateIdsInTheFileAreToldAtStart)
{
    window_.reset();
    catalogue_->allCommands[1]->id = catalogue_->allCommands[0]->id;
    ASSERT_TRUE(Save(L"C:\\qvtest\\Preferences.data", *catalogue_, *files_));
    BoxAnswer answer(L"Quorvallis", IDOK);
    window_ = std::make_unique<DlgPreferences>(catalogue_, workers_, files_, L"C:\\qvtest\\Quorvallis.exe");
    ASSERT_TRUE(window_->CreateModeless(nullptr));
    Pump();
    EXPECT_NE(answer.Text().find(L"held a command, group or step with the id of another one"), std::wstring::npos);
}
