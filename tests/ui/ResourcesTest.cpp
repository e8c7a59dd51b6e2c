// The resource script as the program sees it: strings, dialog templates with
// their controls in tab order, icons at the sizes drawn, the logo, version
// information and the manifest.
#include <windows.h>
// commctrl.h needs the types of windows.h
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "qmverify_version.h"
#include "res/resource.h"

namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

std::string ResString(UINT id) {
    char buffer[512] = {};
    const int length = LoadStringA(Module(), id, buffer, sizeof buffer);
    return std::string(buffer, static_cast<size_t>(length));
}

std::string RawResource(LPCSTR name, LPCSTR type) {
    HRSRC found = FindResourceA(Module(), name, type);
    if (found == nullptr) return {};
    const char* data = static_cast<const char*>(LockResource(LoadResource(Module(), found)));
    return std::string(data, SizeofResource(Module(), found));
}

TEST(Resources, StringTableHoldsEveryTextExactly) {
    const std::pair<UINT, const char*> strings[] = {
        {IDS_ABOUTBOX, "About qmverify..."},
        {IDS_COL_FILENAME, "Filename"},
        {IDS_COL_CRC_CURRENT, "CRC Current"},
        {IDS_COL_DATE_CURRENT, "Date Current"},
        {IDS_COL_CRC_RELEASE, "CRC Release"},
        {IDS_COL_DATE_RELEASE, "Date Release"},
        {IDS_COL_COMMENT, "Comment"},
        {IDS_COL_STATUS, "Status"},
        {IDS_IDENTICAL, "Identical"},
        {IDS_NOT_IDENTICAL, "Not identical"},
        {IDS_UPDATED, "Updated"},
        {IDS_NOT_LISTED, "Not listed"},
        {IDS_ERROR, "Error"},
        {IDS_WRONG_PASSWORD, "The entered password is not valid !"},
        {IDS_CONFIRM_CAPTION, "Please confirm..."},
        {IDS_CONFIRM_UPDATE, "Update the release list now ?"},
        {IDS_MAIN_TITLE, "Quillmark Release Check"},
        {IDS_NO_RELEASE_LIST,
         "No release file found. The list for this release will be created now.\n"
         "Please wait, this can take up to a minute."},
        {IDS_RUNNING_NOT_ELEVATED,
         "qmverify is running already, without administrator rights.\n"
         "Please close the running qmverify, then start it again with \"Run as administrator\"."},
    };
    for (const auto& [id, text] : strings) EXPECT_EQ(ResString(id), text) << id;
    // Our own failure messages: present, one or two lines, no format fields.
    for (UINT id = IDS_COMMENT_WRITE_FAILED; id <= IDS_BUILD_WRITE_FAILED; ++id) {
        const std::string text = ResString(id);
        EXPECT_GT(text.size(), 20u) << id;
        EXPECT_EQ(text.find('%'), std::string::npos) << id;
    }
}

struct ControlSpec {
    int id;
    const char* className;
    DWORD styleBits;   // must all be set
    DWORD absentBits;  // must all be clear
    const char* text;  // nullptr: not checked
};

// One control as the template states it; the controls themselves may change
// their styles when created (edits trade WS_BORDER for a client edge).
struct TemplateItem {
    DWORD style = 0;
    int id = 0;
    std::string className;
    std::string text;
};

// Reads a zero-terminated UTF-16 text, or an ordinal (0xFFFF, n) as "#n".
std::string ReadSzOrOrd(const WORD*& p) {
    if (*p == 0xFFFF) {
        const std::string ordinal = "#" + std::to_string(p[1]);
        p += 2;
        return ordinal;
    }
    std::string text;
    for (; *p != 0; ++p) text += static_cast<char>(*p);
    ++p;
    return text;
}

// The controls of a DIALOGEX template, in template order.
std::vector<TemplateItem> ReadTemplate(int dialogId) {
    const std::string raw = RawResource(MAKEINTRESOURCEA(dialogId), MAKEINTRESOURCEA(5));
    std::vector<TemplateItem> items;
    if (raw.size() < 26) return items;
    const auto* base = reinterpret_cast<const BYTE*>(raw.data());
    const WORD* p = reinterpret_cast<const WORD*>(base);
    if (p[0] != 1 || p[1] != 0xFFFF) return items;
    DWORD style = 0;
    memcpy(&style, base + 12, 4);
    const WORD count = p[8];
    p += 13;         // through x, y, cx, cy
    ReadSzOrOrd(p);  // menu
    ReadSzOrOrd(p);  // class
    ReadSzOrOrd(p);  // caption
    if (style & DS_SETFONT) {
        p += 3;  // point size, weight, italic and charset
        ReadSzOrOrd(p);
    }
    static const char* const kOrdinals[] = {"Button",  "Edit",      "Static",
                                            "ListBox", "ScrollBar", "ComboBox"};
    for (WORD i = 0; i < count; ++i) {
        const BYTE* at = reinterpret_cast<const BYTE*>(p);
        at += (4 - (at - base) % 4) % 4;  // items start on a DWORD boundary
        TemplateItem item;
        memcpy(&item.style, at + 8, 4);
        DWORD id = 0;
        memcpy(&id, at + 20, 4);
        item.id = static_cast<int>(id);
        p = reinterpret_cast<const WORD*>(at + 24);
        item.className = ReadSzOrOrd(p);
        if (item.className.size() > 1 && item.className[0] == '#') {
            const int ordinal = std::stoi(item.className.substr(1));
            if (ordinal >= 0x80 && ordinal <= 0x85) item.className = kOrdinals[ordinal - 0x80];
        }
        item.text = ReadSzOrOrd(p);
        const WORD extra = *p++;
        p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(p) + extra);
        items.push_back(item);
    }
    return items;
}

// A template created modelessly; its child windows in tab order.
class DialogFromTemplate {
public:
    explicit DialogFromTemplate(int id) {
        m_hWnd = CreateDialogParamA(Module(), MAKEINTRESOURCEA(id), nullptr, &Proc, 0);
    }
    ~DialogFromTemplate() {
        if (m_hWnd != nullptr) DestroyWindow(m_hWnd);
    }
    HWND hWnd() const { return m_hWnd; }
    std::vector<HWND> Children() const {
        std::vector<HWND> children;
        for (HWND child = GetWindow(m_hWnd, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT))
            children.push_back(child);
        return children;
    }
    // A rectangle in dialog units, in pixels of this dialog.
    RECT Map(int x, int y, int w, int h) const {
        RECT r{x, y, x + w, y + h};
        MapDialogRect(m_hWnd, &r);
        return r;
    }

private:
    static INT_PTR CALLBACK Proc(HWND, UINT message, WPARAM, LPARAM) {
        return message == WM_INITDIALOG ? TRUE : FALSE;
    }
    HWND m_hWnd = nullptr;
};

std::string Text(HWND hWnd) {
    char buffer[256] = {};
    GetWindowTextA(hWnd, buffer, sizeof buffer);
    return buffer;
}

// The template holds exactly these controls in this order, and creating the
// dialog gives one child window per control, in the same (tab) order.
void ExpectControls(int dialogId, const std::vector<ControlSpec>& specs) {
    const std::vector<TemplateItem> items = ReadTemplate(dialogId);
    ASSERT_EQ(items.size(), specs.size()) << dialogId;
    for (size_t i = 0; i < specs.size(); ++i) {
        const ControlSpec& spec = specs[i];
        const TemplateItem& item = items[i];
        EXPECT_EQ(item.id, spec.id) << dialogId << " #" << i;
        EXPECT_STRCASEEQ(item.className.c_str(), spec.className) << dialogId << " #" << i;
        EXPECT_EQ(item.style & spec.styleBits, spec.styleBits) << dialogId << " #" << i;
        EXPECT_EQ(item.style & spec.absentBits, 0u) << dialogId << " #" << i;
        if (spec.text != nullptr) {
            EXPECT_EQ(item.text, spec.text) << dialogId << " #" << i;
        }
    }
    DialogFromTemplate dialog(dialogId);
    ASSERT_NE(dialog.hWnd(), nullptr) << dialogId;
    const std::vector<HWND> children = dialog.Children();
    ASSERT_EQ(children.size(), specs.size()) << dialogId;
    for (size_t i = 0; i < specs.size(); ++i)
        EXPECT_EQ(GetDlgCtrlID(children[i]), specs[i].id) << dialogId << " #" << i;
}

class ResourceDialogs : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
    }
};

constexpr DWORD kOwnerDraw = BS_OWNERDRAW | WS_TABSTOP;
constexpr DWORD kReadOnly = ES_READONLY | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
constexpr LONG_PTR kButtonType = 0xF;

// The controls come in the order of the screen, which is the tab order;
// each field after its label (a hidden one of its own for each date).
TEST_F(ResourceDialogs, MainWindowTemplate) {
    constexpr DWORD kButton = kOwnerDraw | BS_NOTIFY;
    ExpectControls(IDD_QMVERIFY_DIALOG,
                   {
                       {IDC_STATIC, "Button", BS_GROUPBOX, 0,
                        "Check if current files are identical with the installed / updated "
                        "files "},
                       {IDC_STATIC, "Static", WS_VISIBLE, 0,
                        "Compare current files with installed files from release"},
                       {IDC_COMPARE, "Button", kButton, 0, "&Compare"},
                       {IDC_STATIC, "Static", WS_VISIBLE, 0, "Installed &QMW Release:"},
                       {IDC_QMW_RELEASE, "Edit", kReadOnly, 0, ""},
                       {IDC_STATIC, "Static", WS_VISIBLE, 0, "Installed &on:"},
                       {IDC_STATIC, "Static", 0, WS_VISIBLE, "QMW installed on:"},
                       {IDC_QMW_DATE, "Edit", kReadOnly, 0, ""},
                       {IDC_STATIC, "Static", WS_VISIBLE, 0, "Installed Se&ntinel Release:"},
                       {IDC_SENTINEL_RELEASE, "Edit", kReadOnly, 0, ""},
                       {IDC_STATIC, "Static", WS_VISIBLE, 0, "Installe&d on:"},
                       {IDC_STATIC, "Static", 0, WS_VISIBLE, "Sentinel installed on:"},
                       {IDC_SENTINEL_DATE, "Edit", kReadOnly, 0, ""},
                       // The list's state (after a comparison) beside the list's
                       // label, which stays the one that names the list.
                       {IDC_LIST_STATE, "Static", WS_VISIBLE, 0, ""},
                       {IDC_STATIC, "Static", WS_VISIBLE, 0, "Compared &files:"},
                       {IDC_RESULT_LIST, "SysListView32", LVS_REPORT | WS_BORDER | WS_TABSTOP,
                        LVS_SINGLESEL | LVS_NOSORTHEADER, "Compared files"},
                       {IDC_SETTINGS, "Button", kButton, 0, "&Settings"},
                       {IDOK, "Button", kButton, 0, "E&xit"},
                       {IDC_ABOUT, "Button", kButton, 0, "&About"},
                   });
    DialogFromTemplate dialog(IDD_QMVERIFY_DIALOG);
    const LONG_PTR style = GetWindowLongPtrA(dialog.hWnd(), GWL_STYLE);
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_SYSMENU | WS_CAPTION),
              WS_MINIMIZEBOX | WS_SYSMENU | WS_CAPTION);
    // Resizable: the window code keeps the controls to their edges.
    EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), WS_MAXIMIZEBOX | WS_THICKFRAME);
    EXPECT_NE(GetWindowLongPtrA(dialog.hWnd(), GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(Text(dialog.hWnd()), "Quillmark Release Check");
    // Positions are in dialog units: the list at 20, 73, 558 x 282.
    RECT list{};
    GetWindowRect(GetDlgItem(dialog.hWnd(), IDC_RESULT_LIST), &list);
    MapWindowPoints(nullptr, dialog.hWnd(), reinterpret_cast<POINT*>(&list), 2);
    const RECT expected = dialog.Map(20, 73, 558, 282);
    EXPECT_EQ(list.left, expected.left);
    EXPECT_EQ(list.top, expected.top);
    EXPECT_EQ(list.right, expected.right);
    EXPECT_EQ(list.bottom, expected.bottom);
}

TEST_F(ResourceDialogs, AboutBoxTemplate) {
    DialogFromTemplate dialog(IDD_ABOUTBOX);
    ASSERT_NE(dialog.hWnd(), nullptr);
    EXPECT_EQ(Text(dialog.hWnd()), "About Qmverify");
    const std::vector<HWND> children = dialog.Children();
    ASSERT_GE(children.size(), 5u);
    EXPECT_EQ(GetWindowLongPtrA(children[0], GWL_STYLE) & SS_TYPEMASK, SS_ICON);
    EXPECT_EQ(Text(children[1]), "Quillmark Release Checker Version 1.0");
    EXPECT_EQ(GetWindowLongPtrA(children[1], GWL_STYLE) & (SS_CENTER | SS_NOPREFIX),
              SS_CENTER | SS_NOPREFIX);
    // The key's fingerprint after its label: read-only, so that it can be
    // copied, and a tab stop, so that a screen reader reaches it.
    EXPECT_EQ(Text(children[2]), "Signing key of this installation:");
    EXPECT_EQ(GetDlgCtrlID(children[3]), IDC_KEY_FINGERPRINT);
    EXPECT_EQ(GetWindowLongPtrA(children[3], GWL_STYLE) & (ES_READONLY | WS_TABSTOP),
              ES_READONLY | WS_TABSTOP);
    EXPECT_EQ(GetWindowLongPtrA(children[4], GWL_STYLE) & SS_TYPEMASK, SS_BITMAP);
    EXPECT_NE(SendMessageA(children[4], STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    HWND ok = children.back();
    EXPECT_EQ(GetDlgCtrlID(ok), IDOK);
    EXPECT_EQ(GetWindowLongPtrA(ok, GWL_STYLE) & kButtonType, BS_DEFPUSHBUTTON);
    EXPECT_EQ(Text(ok), "OK");
}

TEST_F(ResourceDialogs, EditCommentTemplate) {
    ExpectControls(IDD_COMMENT,
                   {
                       {IDC_STATIC, "Button", BS_GROUPBOX, 0, "Edit comment for selected file"},
                       {IDC_STATIC, "Static", 0, 0, "&Filename:"},
                       {IDC_COMMENT_FILENAME, "Edit", kReadOnly, 0, ""},
                       {IDC_STATIC, "Static", 0, 0, "Da&te:"},
                       {IDC_COMMENT_DATE, "Edit", kReadOnly, 0, ""},
                       {IDC_STATIC, "Static", 0, 0, "&Status:"},
                       {IDC_COMMENT_STATUS, "Edit", kReadOnly, 0, ""},
                       {IDC_COMMENT_UPDATED, "Button", BS_AUTOCHECKBOX | BS_NOTIFY | WS_TABSTOP, 0,
                        "File &was updated"},
                       {IDC_STATIC, "Static", 0, 0, "&Comment:"},
                       // Wraps at words and never scrolls; Enter goes to OK.
                       {IDC_COMMENT_TEXT, "Edit", ES_MULTILINE | WS_BORDER | WS_TABSTOP,
                        ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL | ES_WANTRETURN |
                            ES_READONLY,
                        ""},
                       {IDOK, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, "OK"},
                       {IDCANCEL, "Button", WS_TABSTOP, BS_DEFPUSHBUTTON, "Cancel"},
                   });
}

TEST_F(ResourceDialogs, SettingsTemplateAndItsDirectoryEntries) {
    ExpectControls(
        IDD_SETTINGS,
        {
            {IDC_STATIC, "Button", BS_GROUPBOX, 0, "Settings for release checker"},
            {IDC_CHECK_QMW, "Button", BS_AUTOCHECKBOX | BS_NOTIFY | WS_TABSTOP, 0,
             "Compare all program-files (exe, dll, bat, cmd and qme) in &QMW directory"},
            {IDC_CHECK_DB1, "Button", BS_AUTOCHECKBOX | BS_NOTIFY | WS_TABSTOP, 0,
             "Compare all program-files (exe und dll)  in &DB1 directory"},
            {IDC_STATIC, "Static", 0, 0, "Add new file to release data:"},
            {IDC_STATIC, "Static", 0, 0, "&File:"},
            {IDC_ADD_FILE, "Edit", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, ES_READONLY, ""},
            {IDC_STATIC, "Static", 0, 0, "from di&rectory"},
            {IDC_DIRECTORY, "ComboBox", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, CBS_SORT,
             nullptr},
            {IDC_ADD, "Button", WS_TABSTOP, 0, "&Add"},
            {IDC_UPDATE_RELEASE_DATA, "Button", WS_TABSTOP, 0, "&Update Release Data"},
            {IDC_CHANGE_PASSWORD, "Button", WS_TABSTOP, 0, "Change &Password..."},
            {IDOK, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, "OK"},
            {IDCANCEL, "Button", WS_TABSTOP, 0, "Cancel"},
        });

    // The directory list's entries, which the dialog adds as it initialises.
    const std::vector<std::string> entries{ResString(IDS_DIRECTORY_QMW),
                                           ResString(IDS_DIRECTORY_DB1)};
    EXPECT_EQ(entries, (std::vector<std::string>{"QMW", "DB1"}));
}

TEST_F(ResourceDialogs, PasswordTemplatesMaskTheirInput) {
    constexpr DWORD kMasked = ES_PASSWORD | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
    ExpectControls(IDD_CHANGE_PASSWORD,
                   {
                       {IDC_STATIC, "Static", 0, 0, "&Current password:"},
                       {IDC_CURRENT_PASSWORD, "Edit", kMasked, 0, ""},
                       {IDC_STATIC, "Static", 0, 0, "&New password:"},
                       {IDC_NEW_PASSWORD, "Edit", kMasked, 0, ""},
                       {IDC_STATIC, "Static", 0, 0, "New password &again:"},
                       {IDC_NEW_PASSWORD_AGAIN, "Edit", kMasked, 0, ""},
                       {IDOK, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, "OK"},
                       {IDCANCEL, "Button", WS_TABSTOP, 0, "Cancel"},
                   });
    ExpectControls(IDD_PASSWORD, {
                                     {IDC_STATIC, "Static", 0, 0, "Enter &password for update:"},
                                     {IDC_PASSWORD, "Edit",
                                      ES_PASSWORD | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0, ""},
                                     {IDOK, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, "OK"},
                                     {IDCANCEL, "Button", WS_TABSTOP, 0, "Cancel"},
                                 });
}

// The icon directory holds an image of exactly this size, 32 bits with alpha.
void ExpectIconImage(UINT id, int size) {
    const std::string dir = RawResource(MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14));
    ASSERT_FALSE(dir.empty()) << id;
    const int imageId = LookupIconIdFromDirectoryEx(
        reinterpret_cast<PBYTE>(const_cast<char*>(dir.data())), TRUE, size, size, LR_DEFAULTCOLOR);
    const std::string image = RawResource(MAKEINTRESOURCEA(imageId), MAKEINTRESOURCEA(3));
    ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER)) << id;
    BITMAPINFOHEADER header{};
    memcpy(&header, image.data(), sizeof header);
    EXPECT_EQ(header.biWidth, size) << id;
    EXPECT_EQ(header.biHeight, 2 * size) << id;
    EXPECT_EQ(header.biBitCount, 32) << id;

    HANDLE icon = LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0);
    ASSERT_NE(icon, nullptr) << id;
    DestroyIcon(static_cast<HICON>(icon));
}

TEST(Resources, IconsHoldTheSizesTheyAreDrawnAt) {
    for (UINT id : {IDI_IDENTICAL, IDI_NOT_IDENTICAL, IDI_UPDATED, IDI_NOT_LISTED}) {
        ExpectIconImage(id, 13);
    }
    ExpectIconImage(IDI_EXIT, 20);
    ExpectIconImage(IDI_SETTINGS, 18);
    ExpectIconImage(IDI_COMPARE, 18);
    ExpectIconImage(IDR_MAINFRAME, 32);
    ExpectIconImage(IDR_MAINFRAME, 16);
}

TEST(Resources, LogoIsASixteenColourBitmapOnWhite) {
    HANDLE logo =
        LoadImageA(Module(), MAKEINTRESOURCEA(IDB_LOGO), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    ASSERT_NE(logo, nullptr);
    DIBSECTION dib{};
    ASSERT_EQ(GetObjectA(logo, sizeof dib, &dib), static_cast<int>(sizeof dib));
    EXPECT_EQ(dib.dsBm.bmWidth, 85);
    EXPECT_EQ(dib.dsBm.bmHeight, 41);
    EXPECT_EQ(dib.dsBmih.biBitCount, 4);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, logo);
    for (const POINT corner : {POINT{0, 0}, POINT{84, 0}, POINT{84, 40}})
        EXPECT_EQ(GetPixel(dc, corner.x, corner.y), RGB(255, 255, 255));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(logo);
}

TEST(Resources, VersionAndManifest) {
    const std::string version = RawResource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));
    const DWORD signature = 0xFEEF04BD;
    const size_t at = version.find(std::string(reinterpret_cast<const char*>(&signature), 4));
    ASSERT_NE(at, std::string::npos);
    VS_FIXEDFILEINFO info{};
    ASSERT_LE(at + sizeof info, version.size());
    memcpy(&info, version.data() + at, sizeof info);
    // The numbers and texts come from the version header the build makes.
    const DWORD major = QMVERIFY_VERSION_MAJOR, minor = QMVERIFY_VERSION_MINOR;
    const DWORD patch = QMVERIFY_VERSION_PATCH;
    EXPECT_EQ(info.dwFileVersionMS, (major << 16) | minor);
    EXPECT_EQ(info.dwFileVersionLS, patch << 16);
    EXPECT_EQ(info.dwProductVersionMS, info.dwFileVersionMS);
    EXPECT_EQ(info.dwProductVersionLS, info.dwFileVersionLS);
    const std::string text = QMVERIFY_FILE_VERSION_TEXT;
    EXPECT_EQ(text, std::string(QMVERIFY_VERSION_TEXT) + ".0");
    auto wide = [](const std::string& narrow) {
        const std::wstring value(narrow.begin(), narrow.end());
        return std::string(reinterpret_cast<const char*>(value.data()), value.size() * 2);
    };
    EXPECT_NE(version.find(wide("Quillmark Release Checker")), std::string::npos);
    // The strings "FileVersion" and "ProductVersion": the key, its zero and
    // at most two bytes of padding, then the value.
    for (const char* key : {"FileVersion", "ProductVersion"}) {
        const size_t found = version.find(wide(key));
        ASSERT_NE(found, std::string::npos) << key;
        const size_t value = version.find(wide(text), found);
        ASSERT_NE(value, std::string::npos) << key;
        EXPECT_LE(value - found, wide(key).size() + 4) << key;
    }

    const std::string manifest = RawResource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("asInvoker"), std::string::npos);
}

}  // namespace
