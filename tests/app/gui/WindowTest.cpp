// Window chores: where the dialogs open, and the pictures shown on request.
#include "GuiTest.h"

#include "app/WindowMemory.h"
#include "tools/DemoFolder.h"

#include <climits>

namespace {

POINT Centre(const RECT& rect) {
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void ExpectCentredOn(const RECT& rect, const RECT& around, const char* pszWhat) {
    const POINT a = Centre(rect);
    const POINT b = Centre(around);
    EXPECT_LE(std::abs(a.x - b.x), 1) << pszWhat;
    EXPECT_LE(std::abs(a.y - b.y), 1) << pszWhat;
}

// A rectangle relative to the dialog's client area.
RECT InClient(const CProgramDriver& program, RECT rect) {
    POINT origin{0, 0};
    ClientToScreen(program.Dialog(), &origin);
    OffsetRect(&rect, -origin.x, -origin.y);
    return rect;
}

COLORREF ScreenPixel(POINT pt) {
    const HDC hScreen = GetDC(nullptr);
    const COLORREF colour = GetPixel(hScreen, pt.x, pt.y);
    ReleaseDC(nullptr, hScreen);
    return colour;
}

// Handles this process's own window messages for a while.
void Pump(DWORD dwMs) {
    const DWORD dwStart = GetTickCount();
    while (GetTickCount() - dwStart < dwMs) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(20);
    }
}

constexpr COLORREF kCoverColour = RGB(255, 0, 255);

// A plain window of one colour laid over a part of the screen while it lives.
class CCover {
public:
    explicit CCover(const RECT& rect) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = m_hBrush;
        wc.lpszClassName = "GridwrightTestCover";
        RegisterClassA(&wc);
        m_hWnd = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, "",
                                 WS_POPUP | WS_VISIBLE, rect.left, rect.top, rect.right - rect.left,
                                 rect.bottom - rect.top, nullptr, nullptr, wc.hInstance, nullptr);
        Pump(400);
    }
    ~CCover() {
        DestroyWindow(m_hWnd);
        UnregisterClassA("GridwrightTestCover", GetModuleHandleA(nullptr));
        DeleteObject(m_hBrush);
        Pump(400);
    }
    CCover(const CCover&) = delete;
    CCover& operator=(const CCover&) = delete;

private:
    HBRUSH m_hBrush = CreateSolidBrush(kCoverColour);
    HWND m_hWnd = nullptr;
};

} // namespace

TEST_F(GuiTest, DialogsOpenCentred) {
    standard::Write(m_folder);
    const auto pProgram = StartLoaded();
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const RECT dialog = CProgramDriver::ScreenRect(pProgram->Dialog());
    ExpectCentredOn(dialog, work, "the main dialog on the work area");

    pProgram->Post(WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    const HWND hAbout = pProgram->WaitForOwnWindow("About Gridwright");
    ExpectCentredOn(CProgramDriver::ScreenRect(hAbout), dialog, "the About box on the dialog");
    ASSERT_TRUE(pProgram->CloseBox(hAbout));

    EndWith(*pProgram, IDC_CAN);
}

TEST_F(GuiTest, ShowPicturesGrowsTheDialogAndRedrawsUncoveredPictures) {
    WriteDemoFolder(m_folder, DemoFolderOptions{2}); // two cars, each with a picture
    const auto pProgram = StartLoaded();
    const HWND hDialog = pProgram->Dialog();
    const RECT dialog = CProgramDriver::ScreenRect(hDialog);
    const RECT installedFrame =
        InClient(*pProgram, CProgramDriver::ScreenRect(pProgram->Control(IDC_INSTALLED_PICTURE)));
    const RECT availableFrame =
        InClient(*pProgram, CProgramDriver::ScreenRect(pProgram->Control(IDC_AVAILABLE_PICTURE)));
    RECT client{};
    GetClientRect(hDialog, &client);
    EXPECT_GE(installedFrame.top, client.bottom) << "hidden below the dialog by default";
    pProgram->Select(IDC_AVAILABLE, 0);

    CProgramDriver::Send(hDialog, WM_SYSCOMMAND, IDM_SHOWPICTURES, 0);
    const RECT grown = CProgramDriver::ScreenRect(hDialog);
    EXPECT_EQ(grown.left, dialog.left);
    EXPECT_EQ(grown.top, dialog.top);
    EXPECT_EQ(grown.right, dialog.right);
    EXPECT_GT(grown.bottom, dialog.bottom);
    GetClientRect(hDialog, &client);
    const RECT installedShown =
        InClient(*pProgram, CProgramDriver::ScreenRect(pProgram->Control(IDC_INSTALLED_PICTURE)));
    const RECT availableShown =
        InClient(*pProgram, CProgramDriver::ScreenRect(pProgram->Control(IDC_AVAILABLE_PICTURE)));
    for (const auto& [before, shown, nInfo] :
         {std::tuple{installedFrame, installedShown, IDC_INSTALLED_INFO},
          std::tuple{availableFrame, availableShown, IDC_AVAILABLE_INFO}}) {
        EXPECT_EQ(shown.left, before.left) << "side by side, each under its list";
        EXPECT_EQ(shown.right - shown.left, before.right - before.left);
        EXPECT_EQ(shown.bottom - shown.top, before.bottom - before.top);
        EXPECT_EQ(shown.top, installedShown.top);
        EXPECT_GT(shown.top,
                  InClient(*pProgram, CProgramDriver::ScreenRect(pProgram->Control(nInfo))).bottom);
        // Just enough room: a small margin below the frames, no more.
        EXPECT_GT(client.bottom, shown.bottom);
        EXPECT_LT(client.bottom, shown.bottom + 20);
    }

    // The car selected before the frame came into view shows in it: the frame's painting drew
    // it. It shows again after something covered it.
    const RECT frame = CProgramDriver::ScreenRect(pProgram->Control(IDC_AVAILABLE_PICTURE));
    const POINT inFrame{frame.left + 40, frame.top + 40};
    const POINT belowFrame{frame.left + 40, frame.bottom + 3};
    SetWindowPos(hDialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    pProgram->Sync();
    // The screen shows what was drawn once the system has passed it on.
    EXPECT_TRUE(CProgramDriver::WaitUntil([&] {
        return ScreenPixel(inFrame) != ScreenPixel(belowFrame);
    })) << "the picture was drawn";
    const COLORREF picture = ScreenPixel(inFrame);
    {
        const CCover cover(frame);
        EXPECT_EQ(ScreenPixel(inFrame), kCoverColour);
    }
    pProgram->Sync();
    EXPECT_TRUE(CProgramDriver::WaitUntil([&] { return ScreenPixel(inFrame) == picture; }))
        << "the uncovered frame shows its picture again";

    // Unchecked: the layout of the template exactly.
    CProgramDriver::Send(hDialog, WM_SYSCOMMAND, IDM_SHOWPICTURES, 0);
    const RECT shrunk = CProgramDriver::ScreenRect(hDialog);
    EXPECT_TRUE(EqualRect(&shrunk, &dialog));
    const RECT installedBack =
        InClient(*pProgram, CProgramDriver::ScreenRect(pProgram->Control(IDC_INSTALLED_PICTURE)));
    const RECT availableBack =
        InClient(*pProgram, CProgramDriver::ScreenRect(pProgram->Control(IDC_AVAILABLE_PICTURE)));
    EXPECT_TRUE(EqualRect(&installedBack, &installedFrame));
    EXPECT_TRUE(EqualRect(&availableBack, &availableFrame));

    // Chosen while the window is minimised, it restores the window grown.
    CProgramDriver::Send(hDialog, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(IsIconic(hDialog));
    CProgramDriver::Send(hDialog, WM_SYSCOMMAND, IDM_SHOWPICTURES, 0);
    EXPECT_FALSE(IsIconic(hDialog));
    const RECT restored = CProgramDriver::ScreenRect(hDialog);
    EXPECT_TRUE(EqualRect(&restored, &grown));

    EndWith(*pProgram, IDC_CAN);
}

TEST_F(GuiTest, TheWindowOpensAsItWasLeft) {
    standard::Write(m_folder);
    RECT centred{};
    RECT left{};
    {
        const auto pProgram = StartLoaded();
        const HWND hDialog = pProgram->Dialog();
        centred = CProgramDriver::ScreenRect(hDialog);
        // Show Pictures by its mnemonic in the window menu, as a player chooses it.
        pProgram->PressKeys(hDialog, {VK_MENU, VK_SPACE});
        ASSERT_TRUE(CProgramDriver::WaitUntil([&] { return pProgram->FindMenuWindow(); }));
        pProgram->PressKeys(pProgram->FindMenuWindow(), {'P'});
        ASSERT_TRUE(CProgramDriver::WaitUntil(
            [&] { return CProgramDriver::ScreenRect(hDialog).bottom > centred.bottom; }));
        // Moved (without a window manager neither the caption nor the menu's Move moves it),
        // then minimised and closed: its normal place is what counts.
        left = CProgramDriver::ScreenRect(hDialog);
        OffsetRect(&left, -50, -30);
        SetWindowPos(hDialog, nullptr, left.left, left.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        CProgramDriver::Send(hDialog, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        ASSERT_TRUE(IsIconic(hDialog));
        pProgram->Post(WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(pProgram->WaitForExit());
    }
    {
        const auto pProgram = StartLoaded(CProgramDriver::EMemory::Keep);
        const RECT again = CProgramDriver::ScreenRect(pProgram->Dialog());
        EXPECT_TRUE(EqualRect(&again, &left)) << "grown to show the pictures, where it was left";
        EndWith(*pProgram, IDC_CAN);
    }

    // A place partly off the work area, out of all range or of the wrong size, and a Show
    // Pictures of the wrong type or number: the window opens as on a first start.
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const auto value = [](const char* pszName, DWORD dwType, const void* pData, DWORD nSize) {
        ASSERT_EQ(
            RegSetKeyValueA(HKEY_CURRENT_USER, CWindowMemory::kKey, pszName, dwType, pData, nSize),
            ERROR_SUCCESS);
    };
    const std::int32_t anOffWork[2] = {work.right - 10, work.top};
    const std::int32_t anFar[3] = {INT_MIN, INT_MIN, 0};
    const DWORD nSeven = 7;
    for (const auto& [pPlace, nPlaceSize, dwPicturesType, pPictures, nPicturesSize] :
         {std::tuple{static_cast<const void*>(anOffWork), 8, REG_SZ, static_cast<const void*>("1"),
                     2},
          std::tuple{static_cast<const void*>(anFar), 8, REG_DWORD,
                     static_cast<const void*>(&nSeven), 4},
          std::tuple{static_cast<const void*>(anFar), 12, REG_BINARY,
                     static_cast<const void*>(anOffWork), 4}}) {
        value(CWindowMemory::kPlaceValue, REG_BINARY, pPlace, nPlaceSize);
        value(CWindowMemory::kShowPicturesValue, dwPicturesType, pPictures, nPicturesSize);
        const auto pProgram = StartLoaded(CProgramDriver::EMemory::Keep);
        const RECT opened = CProgramDriver::ScreenRect(pProgram->Dialog());
        EXPECT_TRUE(EqualRect(&opened, &centred)) << "centred, without the pictures";
        EndWith(*pProgram, IDC_CAN);
    }
}
