// Reads and drives the windows of another process as an accessibility tool
// does, for the end-to-end tests: finds a top-level window by its title,
// finds its controls by id (at any depth: the splitter and the toolbar hold
// controls of their own), and reads the common controls through a buffer in
// the target process.
//
//   QvInspect.exe [--wait MS] --title TITLE [--untitled] COMMAND [ARGS]
//   QvInspect.exe [--wait MS] --class CLASS COMMAND [ARGS]
//
// --class finds a visible top-level window by its class instead (the list of
// matches beside the typing popup).
// --untitled reads instead the visible dialog without a title (the typing
// popup) of the process that owns the window titled TITLE.
//
// Commands (output is UTF-8, one record per line, fields separated by tabs):
//   window                 the window's handle, class, visibility, rectangles,
//                          the screen position of its client area's origin, and
//                          the id of the control of its thread that holds the
//                          mouse capture ("none" when no window does), whether it
//                          is the foreground window, and the id of the control
//                          of its thread that has the keyboard focus ("none")
//   lines                  the window's own text, one record per line
//   controls               every descendant: id class visible enabled x y w h text
//                          (rectangle in the top-level window's client coordinates)
//   text ID                the control's text
//   state ID               a button's check state (0 unchecked, 1 checked)
//   tree ID                every item, depth first: depth param image selimage
//                          selected expanded children text
//   list ID                every row: index param image selected, then the texts
//                          of all columns, then the images of the others (a,b,...)
//   header ID              every column of a list's header: index width format image text
//   listfocus ID           a list's focused row and its selection mark (-1: none)
//   rowrect ID ROW         a list row's bounds: x y w h in the top-level window's
//                          client coordinates
//   toolbar [ID]           every button of the toolbar (the first when no id):
//                          index command image state style x y w h
//   toolbarsize [ID]       the toolbar's button size: width height
//   combo ID               every item of a (extended) combo box: index param image
//                          indent selected text
//   menus                  every shown popup menu of the window's process:
//                          x y w h (screen coordinates)
//   tooltips               every tool of the process's tooltip windows:
//                          owner-id flags text (callback texts show "<callback>")
//   style ID               the control's style and extended style (hex)
//   settext ID TEXT        sends WM_SETTEXT to the control
//   click ID               posts BM_CLICK to the control
//   command ID             posts WM_COMMAND (id, 0) to the window
//   sendcommand ID         sends it, returning once the window has handled it
//   selecttree ID TEXT     selects the first tree item with that text
//   selectrows ID I,J,...  selects exactly these rows of a list (empty: none);
//                          the first gets the focus and the selection mark
//   selectcombo ID INDEX   selects an item and tells the parent as a user's
//                          choice does (CBN_SELENDOK, then CBN_SELCHANGE)
//   move X Y W H           moves and sizes the window (held to its limits)
//   focus ID               gives the control the keyboard focus
//
// Menus are not readable from another process under Wine, and WM_NOTIFY does
// not cross processes there: test menus through what their commands do, and
// a toolbar's tooltips by resting the mouse on each button (a tooltip keeps
// the text it was given; "tooltips" then lists it).
//
// Exit code 0 on success, 1 when the window, control or item was not found.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
    return out;
}

// Tabs and line breaks inside a text would break the record format.
std::wstring Flat(std::wstring text)
{
    for (auto& c : text)
        if (c == L'\t' || c == L'\n' || c == L'\r')
            c = L' ';
    return text;
}

void Out(const std::wstring& line)
{
    const std::string bytes = Utf8(line) + "\n";
    fwrite(bytes.data(), 1, bytes.size(), stdout);
}

std::wstring Num(long long value)
{
    return std::to_wstring(value);
}

std::wstring WindowTextOf(HWND window)
{
    wchar_t buffer[4096] = L"";
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000,
                             &copied))
        return {};
    return std::wstring(buffer, wcsnlen(buffer, 4096));
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return name;
}

// Memory in the target process for the structures and texts of one call.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, size_t size) : size_(size)
    {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_)
            base_ =
                static_cast<char*>(VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    ~RemoteBuffer()
    {
        if (base_)
            VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
        if (process_)
            CloseHandle(process_);
    }
    bool ok() const { return base_ != nullptr; }
    char* at(size_t offset) const { return base_ + offset; }
    bool Write(size_t offset, const void* data, size_t size) const
    {
        SIZE_T done = 0;
        return WriteProcessMemory(process_, base_ + offset, data, size, &done) && done == size;
    }
    bool Read(size_t offset, void* data, size_t size) const
    {
        SIZE_T done = 0;
        return ReadProcessMemory(process_, base_ + offset, data, size, &done) && done == size;
    }
    std::wstring ReadText(size_t offset, size_t maxChars) const
    {
        std::vector<wchar_t> text(maxChars + 1, L'\0');
        Read(offset, text.data(), maxChars * sizeof(wchar_t));
        return std::wstring(text.data(), wcsnlen(text.data(), maxChars));
    }

private:
    HANDLE process_ = nullptr;
    char* base_ = nullptr;
    size_t size_;
};

constexpr size_t kStructOffset = 0;
constexpr size_t kTextOffset = 1024;
constexpr size_t kTextChars = 4096;
constexpr size_t kBufferSize = kTextOffset + (kTextChars + 1) * sizeof(wchar_t);

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    return static_cast<LRESULT>(result);
}

struct FindById {
    int id;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK MatchId(HWND child, LPARAM data)
{
    auto* find = reinterpret_cast<FindById*>(data);
    if (GetDlgCtrlID(child) == find->id && (!find->className || ClassOf(child) == find->className)) {
        find->found = child;
        return FALSE;
    }
    return TRUE;
}

// EnumChildWindows walks every descendant, so re-parented controls are found too.
HWND Control(HWND top, int id, const wchar_t* className = nullptr)
{
    FindById find{id, className, nullptr};
    EnumChildWindows(top, &MatchId, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

BOOL CALLBACK ListControl(HWND child, LPARAM data)
{
    HWND top = reinterpret_cast<HWND>(data);
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&rect), 2);
    Out(Num(GetDlgCtrlID(child)) + L"\t" + ClassOf(child) + L"\t" + Num(IsWindowVisible(child) ? 1 : 0) + L"\t" +
        Num(IsWindowEnabled(child) ? 1 : 0) + L"\t" + Num(rect.left) + L"\t" + Num(rect.top) + L"\t" +
        Num(rect.right - rect.left) + L"\t" + Num(rect.bottom - rect.top) + L"\t" + Flat(WindowTextOf(child)));
    return TRUE;
}

int ShowWindowInfo(HWND top)
{
    RECT window{}, client{};
    GetWindowRect(top, &window);
    GetClientRect(top, &client);
    wchar_t handle[32];
    swprintf(handle, 32, L"%p", static_cast<void*>(top));
    Out(std::wstring(L"handle\t") + handle);
    Out(L"class\t" + ClassOf(top));
    Out(L"visible\t" + Num(IsWindowVisible(top) ? 1 : 0));
    Out(L"rect\t" + Num(window.left) + L"\t" + Num(window.top) + L"\t" + Num(window.right - window.left) + L"\t" +
        Num(window.bottom - window.top));
    Out(L"client\t" + Num(client.right) + L"\t" + Num(client.bottom));
    POINT origin{0, 0};
    ClientToScreen(top, &origin);
    Out(L"origin\t" + Num(origin.x) + L"\t" + Num(origin.y));
    GUITHREADINFO thread{};
    thread.cbSize = sizeof(thread);
    GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &thread);
    Out(L"capture\t" + (thread.hwndCapture ? Num(GetDlgCtrlID(thread.hwndCapture)) : std::wstring(L"none")));
    Out(L"foreground\t" + Num(GetForegroundWindow() == top ? 1 : 0));
    Out(L"focus\t" + (thread.hwndFocus ? Num(GetDlgCtrlID(thread.hwndFocus)) : std::wstring(L"none")));
    return 0;
}

void TreeItems(HWND tree, const RemoteBuffer& remote, HTREEITEM item, int depth, HTREEITEM selected)
{
    for (; item;
         item = reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        TVITEMW info{};
        info.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_CHILDREN | TVIF_HANDLE;
        info.hItem = item;
        info.stateMask = TVIS_EXPANDED | TVIS_SELECTED;
        info.pszText = reinterpret_cast<wchar_t*>(remote.at(kTextOffset));
        info.cchTextMax = static_cast<int>(kTextChars);
        remote.Write(kStructOffset, &info, sizeof(info));
        remote.Write(kTextOffset, L"", sizeof(wchar_t));
        Send(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.at(kStructOffset)));
        remote.Read(kStructOffset, &info, sizeof(info));
        Out(Num(depth) + L"\t" + Num(static_cast<long long>(info.lParam)) + L"\t" + Num(info.iImage) + L"\t" +
            Num(info.iSelectedImage) + L"\t" + Num(item == selected ? 1 : 0) + L"\t" +
            Num((info.state & TVIS_EXPANDED) ? 1 : 0) + L"\t" + Num(info.cChildren) + L"\t" +
            Flat(remote.ReadText(kTextOffset, kTextChars)));
        auto child =
            reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
        TreeItems(tree, remote, child, depth + 1, selected);
    }
}

std::wstring TreeText(HWND tree, const RemoteBuffer& remote, HTREEITEM item)
{
    TVITEMW info{};
    info.mask = TVIF_TEXT | TVIF_HANDLE;
    info.hItem = item;
    info.pszText = reinterpret_cast<wchar_t*>(remote.at(kTextOffset));
    info.cchTextMax = static_cast<int>(kTextChars);
    remote.Write(kStructOffset, &info, sizeof(info));
    remote.Write(kTextOffset, L"", sizeof(wchar_t));
    Send(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.at(kStructOffset)));
    return remote.ReadText(kTextOffset, kTextChars);
}

HTREEITEM FindTreeItem(HWND tree, const RemoteBuffer& remote, HTREEITEM item, const std::wstring& text)
{
    for (; item;
         item = reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        if (TreeText(tree, remote, item) == text)
            return item;
        auto child =
            reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
        if (HTREEITEM found = FindTreeItem(tree, remote, child, text))
            return found;
    }
    return nullptr;
}

std::wstring ListCell(HWND list, const RemoteBuffer& remote, int row, int column)
{
    LVITEMW info{};
    info.mask = LVIF_TEXT;
    info.iItem = row;
    info.iSubItem = column;
    info.pszText = reinterpret_cast<wchar_t*>(remote.at(kTextOffset));
    info.cchTextMax = static_cast<int>(kTextChars);
    remote.Write(kStructOffset, &info, sizeof(info));
    remote.Write(kTextOffset, L"", sizeof(wchar_t));
    Send(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.at(kStructOffset)));
    return remote.ReadText(kTextOffset, kTextChars);
}

int ListRows(HWND list, const RemoteBuffer& remote)
{
    HWND header = reinterpret_cast<HWND>(Send(list, LVM_GETHEADER, 0, 0));
    const int columns = header ? static_cast<int>(Send(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
    const int rows = static_cast<int>(Send(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        LVITEMW info{};
        info.mask = LVIF_PARAM | LVIF_IMAGE | LVIF_STATE;
        info.iItem = row;
        info.stateMask = LVIS_SELECTED;
        remote.Write(kStructOffset, &info, sizeof(info));
        Send(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.at(kStructOffset)));
        remote.Read(kStructOffset, &info, sizeof(info));
        std::wstring line = Num(row) + L"\t" + Num(static_cast<long long>(info.lParam)) + L"\t" + Num(info.iImage) +
                            L"\t" + Num((info.state & LVIS_SELECTED) ? 1 : 0);
        for (int column = 0; column < (columns > 0 ? columns : 1); ++column)
            line += L"\t" + Flat(ListCell(list, remote, row, column));
        line += L"\t";
        for (info.iSubItem = 1; info.iSubItem < columns; ++info.iSubItem) {
            info.mask = LVIF_IMAGE;
            remote.Write(kStructOffset, &info, sizeof(info));
            Send(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.at(kStructOffset)));
            remote.Read(kStructOffset, &info, sizeof(info));
            line += (info.iSubItem > 1 ? L"," : L"") + Num(info.iImage);
        }
        Out(line);
    }
    return 0;
}

int RowRect(HWND top, HWND list, const RemoteBuffer& remote, int row)
{
    RECT rect{};
    rect.left = LVIR_BOUNDS;
    remote.Write(kStructOffset, &rect, sizeof(rect));
    if (!Send(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.at(kStructOffset))))
        return 1;
    remote.Read(kStructOffset, &rect, sizeof(rect));
    MapWindowPoints(list, top, reinterpret_cast<POINT*>(&rect), 2);
    Out(Num(rect.left) + L"\t" + Num(rect.top) + L"\t" + Num(rect.right - rect.left) + L"\t" +
        Num(rect.bottom - rect.top));
    return 0;
}

int HeaderColumns(HWND list, const RemoteBuffer& remote)
{
    HWND header = reinterpret_cast<HWND>(Send(list, LVM_GETHEADER, 0, 0));
    if (!header)
        return 1;
    const int columns = static_cast<int>(Send(header, HDM_GETITEMCOUNT, 0, 0));
    for (int column = 0; column < columns; ++column) {
        HDITEMW info{};
        info.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT | HDI_IMAGE;
        info.pszText = reinterpret_cast<wchar_t*>(remote.at(kTextOffset));
        info.cchTextMax = static_cast<int>(kTextChars);
        remote.Write(kStructOffset, &info, sizeof(info));
        remote.Write(kTextOffset, L"", sizeof(wchar_t));
        Send(header, HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(remote.at(kStructOffset)));
        remote.Read(kStructOffset, &info, sizeof(info));
        Out(Num(column) + L"\t" + Num(info.cxy) + L"\t" + Num(info.fmt) + L"\t" + Num(info.iImage) + L"\t" +
            Flat(remote.ReadText(kTextOffset, kTextChars)));
    }
    return 0;
}

int ToolbarButtons(HWND toolbar, const RemoteBuffer& remote)
{
    const int count = static_cast<int>(Send(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        TBBUTTON button{};
        remote.Write(kStructOffset, &button, sizeof(button));
        Send(toolbar, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote.at(kStructOffset)));
        remote.Read(kStructOffset, &button, sizeof(button));
        RECT rect{};
        remote.Write(kTextOffset, &rect, sizeof(rect));
        Send(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote.at(kTextOffset)));
        remote.Read(kTextOffset, &rect, sizeof(rect));
        Out(Num(index) + L"\t" + Num(button.idCommand) + L"\t" + Num(button.iBitmap) + L"\t" + Num(button.fsState) +
            L"\t" + Num(button.fsStyle) + L"\t" + Num(rect.left) + L"\t" + Num(rect.top) + L"\t" +
            Num(rect.right - rect.left) + L"\t" + Num(rect.bottom - rect.top));
    }
    return 0;
}

int ComboItems(HWND combo, const RemoteBuffer& remote)
{
    const bool extended = ClassOf(combo) == WC_COMBOBOXEXW;
    const int count = static_cast<int>(Send(combo, CB_GETCOUNT, 0, 0));
    const int selected = static_cast<int>(Send(combo, CB_GETCURSEL, 0, 0));
    for (int index = 0; index < count; ++index) {
        std::wstring line = Num(index) + L"\t";
        if (extended) {
            COMBOBOXEXITEMW item{};
            item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_INDENT | CBEIF_LPARAM;
            item.iItem = index;
            item.pszText = reinterpret_cast<wchar_t*>(remote.at(kTextOffset));
            item.cchTextMax = static_cast<int>(kTextChars);
            remote.Write(kStructOffset, &item, sizeof(item));
            remote.Write(kTextOffset, L"", sizeof(wchar_t));
            Send(combo, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.at(kStructOffset)));
            remote.Read(kStructOffset, &item, sizeof(item));
            line += Num(static_cast<long long>(item.lParam)) + L"\t" + Num(item.iImage) + L"\t" + Num(item.iIndent) +
                    L"\t" + Num(index == selected ? 1 : 0) + L"\t" + Flat(remote.ReadText(kTextOffset, kTextChars));
        } else {
            wchar_t text[4096] = L"";
            const long long data = static_cast<long long>(Send(combo, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
            Send(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
            line += Num(data) + L"\t-1\t0\t" + Num(index == selected ? 1 : 0) + L"\t" + Flat(text);
        }
        Out(line);
    }
    return 0;
}

struct ProcessWindows {
    DWORD pid;
    std::vector<HWND> tooltips;
};

BOOL CALLBACK CollectTooltips(HWND window, LPARAM data)
{
    auto* found = reinterpret_cast<ProcessWindows*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == found->pid && ClassOf(window) == TOOLTIPS_CLASSW)
        found->tooltips.push_back(window);
    return TRUE;
}

BOOL CALLBACK ListMenu(HWND window, LPARAM data)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    RECT rect{};
    if (pid == static_cast<DWORD>(data) && ClassOf(window) == L"#32768" && IsWindowVisible(window) &&
        GetWindowRect(window, &rect))
        Out(Num(rect.left) + L"\t" + Num(rect.top) + L"\t" + Num(rect.right - rect.left) + L"\t" +
            Num(rect.bottom - rect.top));
    return TRUE;
}

int Tooltips(HWND top)
{
    ProcessWindows found{};
    GetWindowThreadProcessId(top, &found.pid);
    EnumWindows(&CollectTooltips, reinterpret_cast<LPARAM>(&found));
    for (HWND tooltip : found.tooltips) {
        RemoteBuffer remote(tooltip, kBufferSize);
        if (!remote.ok())
            return 1;
        const int count = static_cast<int>(Send(tooltip, TTM_GETTOOLCOUNT, 0, 0));
        for (int index = 0; index < count; ++index) {
            TTTOOLINFOW info{};
            info.cbSize = sizeof(info);
            info.lpszText = reinterpret_cast<wchar_t*>(remote.at(kTextOffset));
            remote.Write(kStructOffset, &info, sizeof(info));
            remote.Write(kTextOffset, L"", sizeof(wchar_t));
            if (!Send(tooltip, TTM_ENUMTOOLSW, static_cast<WPARAM>(index),
                      reinterpret_cast<LPARAM>(remote.at(kStructOffset))))
                continue;
            remote.Read(kStructOffset, &info, sizeof(info));
            const bool callback = info.lpszText == LPSTR_TEXTCALLBACKW;
            HWND tool = (info.uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(info.uId) : info.hwnd;
            const long long id = (info.uFlags & TTF_IDISHWND) ? GetDlgCtrlID(tool) : static_cast<long long>(info.uId);
            Out(Num(id) + L"\t" + Num(info.uFlags) + L"\t" +
                (callback ? std::wstring(L"<callback>") : Flat(remote.ReadText(kTextOffset, kTextChars))));
        }
    }
    return 0;
}

int SelectRows(HWND list, const RemoteBuffer& remote, const std::wstring& indices)
{
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = 0;
    remote.Write(kStructOffset, &state, sizeof(state));
    Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(remote.at(kStructOffset)));
    size_t start = 0;
    bool first = true;
    while (start < indices.size()) {
        size_t comma = indices.find(L',', start);
        if (comma == std::wstring::npos)
            comma = indices.size();
        const int row = _wtoi(indices.substr(start, comma - start).c_str());
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | (first ? LVIS_FOCUSED : 0);
        remote.Write(kStructOffset, &state, sizeof(state));
        if (!Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.at(kStructOffset))))
            return 1;
        if (first)
            Send(list, LVM_SETSELECTIONMARK, 0, row);
        first = false;
        start = comma + 1;
    }
    if (first)
        Send(list, LVM_SETSELECTIONMARK, 0, -1);
    return 0;
}

struct UntitledSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindUntitled(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<UntitledSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (process != search->process || !IsWindowVisible(window) || GetWindowTextLengthW(window) != 0 ||
        wcscmp(className, L"#32770") != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

int Usage()
{
    fwprintf(stderr, L"usage: QvInspect [--wait MS] (--title TITLE [--untitled] | --class CLASS) COMMAND [ARGS]\n");
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring title;
    std::wstring windowClass;
    DWORD waitMs = 0;
    bool untitled = false;
    int i = 1;
    for (; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--title" && i + 1 < argc)
            title = argv[++i];
        else if (arg == L"--class" && i + 1 < argc)
            windowClass = argv[++i];
        else if (arg == L"--untitled")
            untitled = true;
        else if (arg == L"--wait" && i + 1 < argc)
            waitMs = wcstoul(argv[++i], nullptr, 10);
        else
            break;
    }
    if ((title.empty() && windowClass.empty()) || i >= argc)
        return Usage();
    const std::wstring command = argv[i++];
    std::vector<std::wstring> args(argv + i, argv + argc);
    const auto intArg = [&](size_t n) { return n < args.size() ? _wtoi(args[n].c_str()) : 0; };

    HWND top = nullptr;
    const DWORD start = GetTickCount();
    for (;;) {
        top = windowClass.empty() ? FindWindowW(nullptr, title.c_str()) : FindWindowW(windowClass.c_str(), nullptr);
        if (top && !windowClass.empty() && !IsWindowVisible(top))
            top = nullptr;
        if (top && untitled) {
            UntitledSearch search{0, nullptr};
            GetWindowThreadProcessId(top, &search.process);
            EnumWindows(&FindUntitled, reinterpret_cast<LPARAM>(&search));
            top = search.found;
        }
        if (top || GetTickCount() - start >= waitMs)
            break;
        Sleep(50);
    }
    if (!top) {
        Out(L"no window");
        return 1;
    }

    int status = 0;
    if (command == L"window") {
        status = ShowWindowInfo(top);
    } else if (command == L"lines") {
        const std::wstring text = WindowTextOf(top);
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = std::min(text.find(L'\n', at), text.size());
            Out(text.substr(at, end - at));
            at = end + 1;
        }
    } else if (command == L"controls") {
        EnumChildWindows(top, &ListControl, reinterpret_cast<LPARAM>(top));
    } else if (command == L"menus") {
        DWORD pid = 0;
        GetWindowThreadProcessId(top, &pid);
        EnumWindows(&ListMenu, static_cast<LPARAM>(pid));
    } else if (command == L"tooltips") {
        status = Tooltips(top);
    } else if (command == L"command" && args.size() >= 1) {
        status = PostMessageW(top, WM_COMMAND, MAKEWPARAM(intArg(0), 0), 0) ? 0 : 1;
    } else if (command == L"sendcommand" && args.size() >= 1) {
        DWORD_PTR result = 0;
        status =
            SendMessageTimeoutW(top, WM_COMMAND, MAKEWPARAM(intArg(0), 0), 0, SMTO_ABORTIFHUNG, 10000, &result) ? 0 : 1;
    } else if (command == L"move" && args.size() >= 4) {
        status = SetWindowPos(top, nullptr, intArg(0), intArg(1), intArg(2), intArg(3), SWP_NOZORDER | SWP_NOACTIVATE)
                     ? 0
                     : 1;
    } else if (command == L"toolbar" || command == L"toolbarsize") {
        HWND toolbar = args.empty() ? FindWindowExW(top, nullptr, TOOLBARCLASSNAMEW, nullptr) : Control(top, intArg(0));
        if (!toolbar)
            return 1;
        if (command == L"toolbarsize") {
            const LRESULT size = Send(toolbar, TB_GETBUTTONSIZE, 0, 0);
            Out(Num(LOWORD(size)) + L"\t" + Num(HIWORD(size)));
        } else {
            RemoteBuffer remote(toolbar, kBufferSize);
            status = remote.ok() ? ToolbarButtons(toolbar, remote) : 1;
        }
    } else {
        if (args.empty())
            return Usage();
        HWND control = Control(top, intArg(0));
        if (!control) {
            Out(L"no control");
            return 1;
        }
        RemoteBuffer remote(control, kBufferSize);
        if (!remote.ok())
            return 1;
        if (command == L"text") {
            Out(Flat(WindowTextOf(control)));
        } else if (command == L"state") {
            Out(Num(Send(control, BM_GETCHECK, 0, 0)));
        } else if (command == L"tree") {
            auto root = reinterpret_cast<HTREEITEM>(Send(control, TVM_GETNEXTITEM, TVGN_ROOT, 0));
            auto selected = reinterpret_cast<HTREEITEM>(Send(control, TVM_GETNEXTITEM, TVGN_CARET, 0));
            TreeItems(control, remote, root, 0, selected);
        } else if (command == L"list") {
            status = ListRows(control, remote);
        } else if (command == L"listfocus") {
            Out(Num(static_cast<int>(Send(control, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED))) + L"\t" +
                Num(static_cast<int>(Send(control, LVM_GETSELECTIONMARK, 0, 0))));
        } else if (command == L"rowrect" && args.size() >= 2) {
            status = RowRect(top, control, remote, intArg(1));
        } else if (command == L"header") {
            status = HeaderColumns(control, remote);
        } else if (command == L"combo") {
            status = ComboItems(control, remote);
        } else if (command == L"style") {
            wchar_t line[64];
            swprintf(line, 64, L"%08lx\t%08lx", static_cast<unsigned long>(GetWindowLongPtrW(control, GWL_STYLE)),
                     static_cast<unsigned long>(GetWindowLongPtrW(control, GWL_EXSTYLE)));
            Out(line);
        } else if (command == L"settext" && args.size() >= 2) {
            status = Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[1].c_str())) ? 0 : 1;
        } else if (command == L"click") {
            status = PostMessageW(control, BM_CLICK, 0, 0) ? 0 : 1;
        } else if (command == L"focus") {
            DWORD pid = 0;
            const DWORD thread = GetWindowThreadProcessId(control, &pid);
            AttachThreadInput(GetCurrentThreadId(), thread, TRUE);
            SetFocus(control);
            AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
        } else if (command == L"selecttree" && args.size() >= 2) {
            auto root = reinterpret_cast<HTREEITEM>(Send(control, TVM_GETNEXTITEM, TVGN_ROOT, 0));
            HTREEITEM item = FindTreeItem(control, remote, root, args[1]);
            status = item && Send(control, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) ? 0 : 1;
        } else if (command == L"selectrows") {
            status = SelectRows(control, remote, args.size() >= 2 ? args[1] : L"");
        } else if (command == L"selectcombo" && args.size() >= 2) {
            Send(control, CB_SETCURSEL, static_cast<WPARAM>(intArg(1)), 0);
            HWND parent = GetParent(control);
            const WPARAM id = static_cast<WPARAM>(GetDlgCtrlID(control));
            Send(parent, WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK), reinterpret_cast<LPARAM>(control));
            Send(parent, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(control));
        } else {
            return Usage();
        }
    }
    fflush(stdout);
    return status;
}
