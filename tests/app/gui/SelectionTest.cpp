// Several cars selected with the mouse and the keyboard, and acted on at once.
#include "GuiTest.h"
#include "Input.h"
#include "Screenshot.h"

#include <algorithm>

using standard::Names;

namespace {

using Lines = std::vector<std::string>;
using Indices = std::vector<int>;

// Whether the window shows the text, black, in the menu font: the test draws it itself and looks
// for the same ink among the window's pixels. (Under Wine another process's menu cannot be read.)
bool ShowsMenuText(HWND hWindow, const std::string& strText) {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    const HFONT hFont = CreateFontIndirectA(&metrics.lfMenuFont);
    const HDC hDC = CreateCompatibleDC(nullptr);
    const HGDIOBJ hOldFont = SelectObject(hDC, hFont);
    SIZE size{};
    GetTextExtentPoint32A(hDC, strText.c_str(), static_cast<int>(strText.size()), &size);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy; // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* pBits = nullptr;
    const HBITMAP hBitmap = CreateDIBSection(hDC, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
    const HGDIOBJ hOldBitmap = SelectObject(hDC, hBitmap);
    RECT rect{0, 0, size.cx, size.cy};
    FillRect(hDC, &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(hDC, RGB(0, 0, 0));
    TextOutA(hDC, 0, 0, strText.c_str(), static_cast<int>(strText.size()));
    GdiFlush();
    std::vector<POINT> aInk;
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x)
            if ((static_cast<const std::uint32_t*>(pBits)[y * size.cx + x] & 0xFFFFFF) == 0)
                aInk.push_back({x, y});
    SelectObject(hDC, hOldBitmap);
    SelectObject(hDC, hOldFont);
    DeleteObject(hBitmap);
    DeleteDC(hDC);
    DeleteObject(hFont);

    const CWindowPicture picture = CaptureWindow(hWindow);
    for (int y = 0; y + size.cy <= picture.nHeight; ++y)
        for (int x = 0; x + size.cx <= picture.nWidth; ++x)
            if (!aInk.empty() && std::all_of(aInk.begin(), aInk.end(), [&](POINT pt) {
                    return picture.At(x + pt.x, y + pt.y) == 0;
                }))
                return true;
    return false;
}

// Black pixels (text) in a list box's first lines, right of the strip a drag's mark repaints.
int InkInFirstLines(HWND hList) {
    const CWindowPicture picture = CaptureWindow(hList);
    int nInk = 0;
    for (int y = 4; y < std::min(picture.nHeight, 40); ++y)
        for (int x = 24; x < picture.nWidth - 24; ++x)
            nInk += picture.At(x, y) == 0 ? 1 : 0;
    return nInk;
}

// Opens the system menu and tells whether it shows the text; closes it again.
bool SystemMenuShows(CProgramDriver& program, const std::string& strText) {
    program.PressKeys(program.Dialog(), {VK_MENU, VK_SPACE});
    HWND hMenu = nullptr;
    CProgramDriver::WaitUntil([&] { return (hMenu = program.FindMenuWindow()) != nullptr; });
    Sleep(300); // drawn
    const bool bShows = hMenu != nullptr && ShowsMenuText(hMenu, strText);
    program.PressKeys(program.Dialog(), {VK_ESCAPE});
    program.Post(WM_CANCELMODE, 0, 0);
    program.Sync();
    return bShows;
}

} // namespace

TEST_F(GuiTest, SeveralCarsAreSelectedInstalledDraggedAndUndoneAtOnce) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();
    pProgram->Activate();
    const auto selected = [&](int nListId, const Indices& anLines) {
        return CProgramDriver::WaitUntil(
            [&] { return pProgram->SelectedLines(nListId) == anLines; });
    };

    // Shift+click selects from the line clicked before; Ctrl+click takes one out again.
    input::Click(pProgram->LinePoint(IDC_AVAILABLE, 0));
    input::Click(pProgram->LinePoint(IDC_AVAILABLE, 2), VK_SHIFT);
    EXPECT_TRUE(selected(IDC_AVAILABLE, {0, 1, 2}));
    EXPECT_EQ(pProgram->Caret(IDC_AVAILABLE), 2);
    EXPECT_GT(InkInFirstLines(pProgram->Control(IDC_INSTALLED)), 0)
        << "a click in one list wiped the other's lines";
    input::Click(pProgram->LinePoint(IDC_AVAILABLE, 1), VK_CONTROL);
    EXPECT_TRUE(selected(IDC_AVAILABLE, {0, 2}));
    pProgram->Click(IDC_INSTALL);
    const Lines aInstalled = Names(standard::Installed());
    Lines aTwo = aInstalled;
    aTwo.insert(aTwo.end(), {"Red Arrow", "Blue Fin"});
    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED), aTwo);
    EXPECT_EQ(pProgram->Text(IDC_INSTALLED_GROUP), "Installed Cars (5)");

    // Ctrl+A, then ">" installs the block as one step, which the menu's Undo names.
    pProgram->Focus(IDC_AVAILABLE);
    input::Keys({VK_CONTROL, 'A'});
    EXPECT_TRUE(selected(IDC_AVAILABLE, {0, 1, 2}));
    pProgram->Click(IDC_INSTALL);
    Lines aFive = aTwo;
    aFive.insert(aFive.end(), {"Red Arrow", "Comet", "Blue Fin"});
    EXPECT_EQ(pProgram->Lines(IDC_INSTALLED), aFive);
    EXPECT_EQ(pProgram->Text(IDC_INSTALLED_GROUP), "Installed Cars (8)");
    EXPECT_EQ(pProgram->Text(IDC_AVAILABLE_GROUP), "Available Cars (3)");
    EXPECT_TRUE(SystemMenuShows(*pProgram, "Install 3 Cars"));
    EXPECT_FALSE(SystemMenuShows(*pProgram, "Install 4 Cars")) << "the text is read, not guessed";

    // The three dragged by the middle one go before the first line, in their order.
    input::Click(pProgram->LinePoint(IDC_INSTALLED, 5));
    input::Click(pProgram->LinePoint(IDC_INSTALLED, 7), VK_SHIFT);
    ASSERT_TRUE(selected(IDC_INSTALLED, {5, 6, 7}));
    input::Drag(pProgram->LinePoint(IDC_INSTALLED, 6), pProgram->LinePoint(IDC_INSTALLED, 0));
    Lines aDragged{"Red Arrow", "Comet", "Blue Fin"};
    aDragged.insert(aDragged.end(), aTwo.begin(), aTwo.end());
    EXPECT_TRUE(
        CProgramDriver::WaitUntil([&] { return pProgram->Lines(IDC_INSTALLED) == aDragged; }));
    EXPECT_TRUE(selected(IDC_INSTALLED, {0, 1, 2}));

    // Each Ctrl+Z takes back one whole step.
    input::Keys({VK_CONTROL, 'Z'});
    EXPECT_TRUE(CProgramDriver::WaitUntil([&] { return pProgram->Lines(IDC_INSTALLED) == aFive; }));
    input::Keys({VK_CONTROL, 'Z'});
    EXPECT_TRUE(CProgramDriver::WaitUntil([&] { return pProgram->Lines(IDC_INSTALLED) == aTwo; }));
    EXPECT_TRUE(SystemMenuShows(*pProgram, "Install 3 Cars")) << "now what Redo would do";
    EXPECT_EQ(pProgram->Text(IDC_INSTALLED_GROUP), "Installed Cars (5)");

    EndWith(*pProgram, IDC_CAN);
}
