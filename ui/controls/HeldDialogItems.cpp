#include "ui/controls/HeldDialogItems.h"

#include <algorithm>
#include <cstring>

namespace {

// Reads the parts of a template in place; any read past the end marks the
// whole reading as failed rather than going on.
class TemplateReader {
public:
    TemplateReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }
    std::size_t at() const { return at_; }
    void Skip(std::size_t bytes) { Need(bytes) ? void(at_ += bytes) : void(); }
    void AlignTo4() { Skip((4 - at_ % 4) % 4); }
    WORD Word()
    {
        WORD value = 0;
        if (Need(2)) {
            std::memcpy(&value, data_ + at_, 2);
            at_ += 2;
        }
        return value;
    }
    DWORD Dword()
    {
        const DWORD low = Word();
        return low | (static_cast<DWORD>(Word()) << 16);
    }
    // A name or number: nothing (0), a number (0xFFFF then the number) or a
    // string ended by a zero. A number comes back as 0xFFFF and the number.
    std::wstring NameOrNumber()
    {
        const WORD first = Word();
        if (first == 0)
            return {};
        if (first == 0xFFFF)
            return std::wstring{wchar_t(0xFFFF), wchar_t(Word())};
        return String(first);
    }
    std::wstring String(WORD first)
    {
        std::wstring text;
        for (WORD unit = first; ok_ && unit != 0; unit = Word())
            text.push_back(static_cast<wchar_t>(unit));
        return text;
    }

private:
    bool Need(std::size_t bytes)
    {
        if (ok_ && at_ <= size_ && size_ - at_ >= bytes)
            return true;
        ok_ = false;
        return false;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

// The classes the dialog manager knows by number.
std::wstring ClassName(const std::wstring& nameOrNumber)
{
    if (nameOrNumber.size() != 2 || nameOrNumber[0] != wchar_t(0xFFFF))
        return nameOrNumber;
    switch (nameOrNumber[1]) {
    case 0x80: return L"Button";
    case 0x81: return L"Edit";
    case 0x82: return L"Static";
    case 0x83: return L"ListBox";
    case 0x84: return L"ScrollBar";
    case 0x85: return L"ComboBox";
    default: return {};
    }
}

// Where the number of items lies in the extended header.
constexpr std::size_t kCountOffset = 16;

} // namespace

HeldDialogItems::HeldDialogItems(HINSTANCE instance, int templateId, std::initializer_list<int> heldIds)
{
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5)); // RT_DIALOG
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const auto* data = loaded ? static_cast<const std::uint8_t*>(LockResource(loaded)) : nullptr;
    if (!data || !Split(data, SizeofResource(instance, found), std::vector<int>(heldIds))) {
        rest_.clear();
        held_.clear();
    }
}

bool HeldDialogItems::Split(const std::uint8_t* data, std::size_t size, const std::vector<int>& heldIds)
{
    TemplateReader reader(data, size);
    if (reader.Word() != 1 || reader.Word() != 0xFFFF)
        return false; // not an extended template
    reader.Skip(8);
    const DWORD style = reader.Dword();
    const WORD count = reader.Word();
    reader.Skip(8);
    reader.NameOrNumber();        // menu
    reader.NameOrNumber();        // window class
    reader.String(reader.Word()); // title
    if (style & DS_SETFONT) {
        reader.Skip(6); // point size, weight, italic, character set
        reader.String(reader.Word());
    }
    reader.AlignTo4();
    if (!reader.ok())
        return false;

    std::vector<std::uint8_t> rest(data, data + reader.at());
    WORD kept = 0;
    DWORD previousId = 0;
    for (WORD index = 0; index < count; ++index) {
        const std::size_t start = reader.at();
        Item item;
        reader.Skip(4); // help id
        item.exStyle = reader.Dword();
        item.style = reader.Dword();
        item.x = static_cast<short>(reader.Word());
        item.y = static_cast<short>(reader.Word());
        item.cx = static_cast<short>(reader.Word());
        item.cy = static_cast<short>(reader.Word());
        item.id = reader.Dword();
        const DWORD id = item.id;
        item.className = ClassName(reader.NameOrNumber());
        item.text = reader.NameOrNumber();
        const WORD extra = reader.Word();
        reader.Skip(extra);
        if (!reader.ok())
            return false;
        const std::size_t end = reader.at();
        // The last item need not be padded to the end of the resource.
        if (index + 1 < count) {
            reader.AlignTo4();
            if (!reader.ok())
                return false;
        }

        // Items with creation data of their own, or a class not known by
        // name, stay in the template.
        const bool hold = extra == 0 && !item.className.empty() &&
                          std::find(heldIds.begin(), heldIds.end(), static_cast<int>(id)) != heldIds.end();
        if (hold) {
            item.previousId = previousId;
            item.first = index == 0;
            held_.push_back(std::move(item));
        } else {
            rest.insert(rest.end(), data + start, data + end);
            rest.resize((rest.size() + 3) / 4 * 4, 0);
            ++kept;
        }
        previousId = id;
    }
    if (held_.empty())
        return false;
    std::memcpy(rest.data() + kCountOffset, &kept, sizeof(kept));
    rest_.assign((rest.size() + 3) / 4, 0);
    std::memcpy(rest_.data(), rest.data(), rest.size());
    return true;
}

const DLGTEMPLATE* HeldDialogItems::Template() const
{
    return rest_.empty() ? nullptr : reinterpret_cast<const DLGTEMPLATE*>(rest_.data());
}

void HeldDialogItems::CreateInto(HWND dialog)
{
    const auto font = static_cast<WPARAM>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
    for (const Item& item : held_) {
        // As the dialog manager does: dialog units of this dialog, the
        // template's styles as a child that does not notify its parent.
        RECT place{item.x, item.y, item.cx, item.cy};
        MapDialogRect(dialog, &place);
        HWND created = CreateWindowExW(item.exStyle | WS_EX_NOPARENTNOTIFY, item.className.c_str(), item.text.c_str(),
                                       item.style | WS_CHILD, place.left, place.top, place.right, place.bottom, dialog,
                                       reinterpret_cast<HMENU>(static_cast<UINT_PTR>(item.id)), instance, nullptr);
        if (!created)
            continue;
        SendMessageW(created, WM_SETFONT, font, 0);
        // Its place among its siblings is its place in the tab order.
        HWND after = item.first ? HWND_TOP : GetDlgItem(dialog, static_cast<int>(item.previousId));
        if (after)
            SetWindowPos(created, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    held_.clear();
}
