#include "ProgramDriver.h"

#include "app/ResourceIds.h"
#include "app/WindowMemory.h"

#include <cstdint>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

constexpr DWORD kPollMs = 50;
constexpr UINT kSendTimeoutMs = 5000;
// The lists count as loaded when their counts stay the same this many polls in a row.
constexpr int kStablePolls = 6;

// The build gives Unix paths; under Wine the whole Unix tree is drive Z:.
fs::path FromBuildPath(const std::string& str) {
    return fs::path(!str.empty() && str[0] == '/' ? "Z:" + str : str).make_preferred();
}

// Texts are fetched as wide characters: Wine answers an 8-bit request for the text of another
// process's list box in wide characters.
std::string Narrow(const std::wstring& str) {
    if (str.empty())
        return {};
    const int nWide = static_cast<int>(str.size());
    const int nBytes =
        WideCharToMultiByte(CP_ACP, 0, str.data(), nWide, nullptr, 0, nullptr, nullptr);
    std::string strNarrow(static_cast<std::size_t>(nBytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, str.data(), nWide, strNarrow.data(), nBytes, nullptr, nullptr);
    return strNarrow;
}

std::string Hex(unsigned long n) {
    char sz[16];
    wsprintfA(sz, "0x%lX", n);
    return sz;
}

struct SFindWindow {
    DWORD dwProcessId;
    const std::string* pstrTitle;
    HWND hFound;
    const char* pszClass = "#32770"; // dialogs
    bool bAnyTitle = false;
};

BOOL CALLBACK FindWindowProc(HWND hWindow, LPARAM lParam) {
    auto& find = *reinterpret_cast<SFindWindow*>(lParam);
    DWORD dwProcessId = 0;
    GetWindowThreadProcessId(hWindow, &dwProcessId);
    if (dwProcessId != find.dwProcessId)
        return TRUE;
    char szClass[64] = {};
    GetClassNameA(hWindow, szClass, sizeof szClass);
    // The caption as the system keeps it: asking the window could block while it is busy.
    char szTitle[256] = {};
    GetWindowTextA(hWindow, szTitle, sizeof szTitle);
    if (lstrcmpA(szClass, find.pszClass) != 0 || (!find.bAnyTitle && *find.pstrTitle != szTitle))
        return TRUE;
    find.hFound = hWindow;
    return FALSE;
}

BOOL CALLBACK CollectChildProc(HWND hChild, LPARAM lParam) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hChild);
    return TRUE;
}

} // namespace

fs::path ProgramPath() {
    return FromBuildPath(GRIDWRIGHT_EXE);
}

fs::path ArtifactsFolder() {
    return FromBuildPath(GUI_ARTIFACTS_DIR);
}

CProgramDriver::CProgramDriver(const fs::path& folder, EMemory eMemory) {
    if (eMemory == EMemory::Forget)
        RegDeleteTreeA(HKEY_CURRENT_USER, CWindowMemory::kKey);
    const fs::path exe = folder / "gridwright.exe";
    fs::copy_file(ProgramPath(), exe, fs::copy_options::overwrite_existing);
    std::string strCommand = "\"" + exe.string() + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(exe.string().c_str(), strCommand.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, folder.string().c_str(), &startup, &m_process))
        throw std::runtime_error("cannot start " + exe.string() + ": error " +
                                 std::to_string(GetLastError()));
}

CProgramDriver::~CProgramDriver() {
    if (!HasExited()) {
        TerminateProcess(m_process.hProcess, 99);
        WaitForSingleObject(m_process.hProcess, kWaitMs);
    }
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
}

HWND CProgramDriver::FindDialog() const {
    return FindOwnWindow("Gridwright");
}

CProgramDriver::ELoad CProgramDriver::WaitUntilLoaded(DWORD nWaitMs) {
    const DWORD dwStart = GetTickCount();
    int nStable = 0;
    LRESULT nLastAvailable = -1;
    LRESULT nLastInstalled = -1;
    while (GetTickCount() - dwStart < nWaitMs) {
        if (HasExited()) {
            DWORD dwCode = 0;
            GetExitCodeProcess(m_process.hProcess, &dwCode);
            throw std::runtime_error("the program ended while loading, exit code " + Hex(dwCode));
        }
        if (FindOwnWindow("gridwright"))
            return ErrorBoxShown();
        if (!m_hDialog)
            m_hDialog = FindDialog();
        if (m_hDialog && IsWindowVisible(m_hDialog)) {
            DWORD_PTR nAvailable = 0;
            DWORD_PTR nInstalled = 0;
            // Short timeouts: while the program is still loading it does not answer.
            const bool bAnswered = SendMessageTimeoutA(Control(IDC_AVAILABLE), LB_GETCOUNT, 0, 0,
                                                       SMTO_NORMAL, 200, &nAvailable) &&
                                   SendMessageTimeoutA(Control(IDC_INSTALLED), LB_GETCOUNT, 0, 0,
                                                       SMTO_NORMAL, 200, &nInstalled);
            if (FindOwnWindow("gridwright"))
                return ErrorBoxShown();
            if (bAnswered) {
                const bool bSame = static_cast<LRESULT>(nAvailable) == nLastAvailable &&
                                   static_cast<LRESULT>(nInstalled) == nLastInstalled;
                nStable = bSame ? nStable + 1 : 0;
                nLastAvailable = static_cast<LRESULT>(nAvailable);
                nLastInstalled = static_cast<LRESULT>(nInstalled);
                if (nStable >= kStablePolls)
                    return ELoad::Loaded;
            }
        }
        Sleep(kPollMs);
    }
    throw std::runtime_error(m_hDialog ? "the dialog's lists did not settle"
                                       : "no dialog titled \"Gridwright\" appeared");
}

CProgramDriver::ELoad CProgramDriver::ErrorBoxShown() {
    // The box can come up while the dialog is still being shown, before it was looked for.
    m_hDialog = FindDialog();
    if (!m_hDialog)
        throw std::runtime_error("an error box came up without the dialog");
    return ELoad::ErrorBox;
}

HWND CProgramDriver::Control(int nId) const {
    const HWND hControl = GetDlgItem(m_hDialog, nId);
    if (!hControl)
        throw std::runtime_error("the dialog has no control " + std::to_string(nId));
    return hControl;
}

LRESULT CProgramDriver::Send(HWND hWindow, UINT nMessage, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR nResult = 0;
    if (!SendMessageTimeoutW(hWindow, nMessage, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs,
                             &nResult))
        throw std::runtime_error(
            "message " + Hex(nMessage) + " to window " +
            Hex(static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(hWindow))) +
            " got no answer");
    return static_cast<LRESULT>(nResult);
}

void CProgramDriver::Post(UINT nMessage, WPARAM wParam, LPARAM lParam) const {
    if (!PostMessageA(m_hDialog, nMessage, wParam, lParam))
        throw std::runtime_error("cannot post message " + Hex(nMessage));
}

std::string CProgramDriver::WindowText(HWND hWindow) {
    // Another process's window: WM_GETTEXT is carried across, the buffer with it.
    const auto nLength = static_cast<int>(Send(hWindow, WM_GETTEXTLENGTH, 0, 0));
    std::wstring str(static_cast<std::size_t>(nLength) + 1, L'\0');
    const auto nCopied = static_cast<int>(
        Send(hWindow, WM_GETTEXT, str.size(), reinterpret_cast<LPARAM>(str.data())));
    str.resize(static_cast<std::size_t>(nCopied < 0 ? 0 : nCopied));
    return Narrow(str);
}

std::vector<std::string> CProgramDriver::Lines(int nListId) const {
    return ListLines(Control(nListId));
}

std::vector<std::string> CProgramDriver::ListLines(HWND hList) {
    const auto nCount = static_cast<int>(Send(hList, LB_GETCOUNT, 0, 0));
    std::vector<std::string> aLines;
    for (int i = 0; i < nCount; ++i) {
        const auto nLength = static_cast<int>(Send(hList, LB_GETTEXTLEN, i, 0));
        std::wstring str(static_cast<std::size_t>(nLength) + 1, L'\0');
        const auto nCopied =
            static_cast<int>(Send(hList, LB_GETTEXT, i, reinterpret_cast<LPARAM>(str.data())));
        str.resize(static_cast<std::size_t>(nCopied < 0 ? 0 : nCopied));
        aLines.push_back(Narrow(str));
    }
    return aLines;
}

int CProgramDriver::Selection(int nListId) const {
    const std::vector<int> anLines = SelectedLines(nListId);
    return anLines.empty() ? -1 : anLines.size() == 1 ? anLines.front() : kSeveral;
}

std::vector<int> CProgramDriver::SelectedLines(int nListId) const {
    const HWND hList = Control(nListId);
    std::vector<int> anLines;
    for (int i = 0, nCount = static_cast<int>(Send(hList, LB_GETCOUNT, 0, 0)); i < nCount; ++i)
        if (Send(hList, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0)
            anLines.push_back(i);
    return anLines;
}

int CProgramDriver::Caret(int nListId) const {
    return static_cast<int>(Send(Control(nListId), LB_GETCARETINDEX, 0, 0));
}

std::string CProgramDriver::Text(int nControlId) const {
    return WindowText(Control(nControlId));
}

bool CProgramDriver::IsEnabled(int nControlId) const {
    return IsWindowEnabled(Control(nControlId)) != FALSE;
}

void CProgramDriver::Select(int nListId, int nIndex) {
    const HWND hList = Control(nListId);
    Send(hList, LB_SETSEL, FALSE, -1);
    if (nIndex >= 0) {
        Send(hList, LB_SETSEL, TRUE, nIndex);
        Send(hList, LB_SETCARETINDEX, static_cast<WPARAM>(nIndex), FALSE);
    }
    Send(m_hDialog, WM_COMMAND, MAKEWPARAM(nListId, LBN_SELCHANGE),
         reinterpret_cast<LPARAM>(hList));
}

void CProgramDriver::DoubleClick(int nListId, int nIndex) {
    Select(nListId, nIndex);
    Send(m_hDialog, WM_COMMAND, MAKEWPARAM(nListId, LBN_DBLCLK),
         reinterpret_cast<LPARAM>(Control(nListId)));
}

void CProgramDriver::Click(int nButtonId) {
    Send(Control(nButtonId), BM_CLICK, 0, 0);
}

void CProgramDriver::PostClick(int nButtonId) {
    if (!PostMessageA(Control(nButtonId), BM_CLICK, 0, 0))
        throw std::runtime_error("cannot click button " + std::to_string(nButtonId));
}

HWND CProgramDriver::FindOwnWindow(const std::string& strTitle) const {
    SFindWindow find{m_process.dwProcessId, &strTitle, nullptr};
    EnumWindows(FindWindowProc, reinterpret_cast<LPARAM>(&find));
    return find.hFound;
}

HWND CProgramDriver::FindOwnWindowOfClass(const std::string& strClass) const {
    const std::string strAnyTitle;
    SFindWindow find{m_process.dwProcessId, &strAnyTitle, nullptr, strClass.c_str(), true};
    EnumWindows(FindWindowProc, reinterpret_cast<LPARAM>(&find));
    return find.hFound;
}

HWND CProgramDriver::WaitForOwnWindow(const std::string& strTitle) const {
    const DWORD dwStart = GetTickCount();
    while (GetTickCount() - dwStart < kWaitMs) {
        if (const HWND hWindow = FindOwnWindow(strTitle); hWindow && IsWindowVisible(hWindow))
            return hWindow;
        if (HasExited())
            break;
        Sleep(kPollMs);
    }
    throw std::runtime_error("no window titled \"" + strTitle + "\" appeared");
}

bool CProgramDriver::WaitUntilGone(HWND hWindow) const {
    const DWORD dwStart = GetTickCount();
    while (GetTickCount() - dwStart < kWaitMs) {
        if (!IsWindow(hWindow))
            return true;
        Sleep(kPollMs);
    }
    return false;
}

bool CProgramDriver::CloseBox(HWND hBox) const {
    const HWND hOk = GetDlgItem(hBox, IDOK);
    if (!hOk || !PostMessageA(hOk, BM_CLICK, 0, 0))
        throw std::runtime_error("the box has no OK button to press");
    return WaitUntilGone(hBox);
}

void CProgramDriver::Sync() const {
    Send(m_hDialog, WM_NULL, 0, 0);
    // A message sent is handled before those posted earlier: the paint comes after them all.
    static_cast<void>(Repainted()); // busy all that while: the answer must do
}

void CProgramDriver::PressKeys(HWND hWindow, std::initializer_list<WORD> aKeys) const {
    SetForegroundWindow(hWindow);
    const DWORD dwStart = GetTickCount();
    while (GetForegroundWindow() != hWindow) {
        if (GetTickCount() - dwStart > kWaitMs)
            throw std::runtime_error("the window did not come to the foreground");
        Sleep(kPollMs);
        SetForegroundWindow(hWindow);
    }
    std::vector<INPUT> aInputs;
    const auto key = [&aInputs](WORD nKey, DWORD dwFlags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = nKey;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(nKey, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = dwFlags;
        aInputs.push_back(input);
    };
    for (const WORD nKey : aKeys)
        key(nKey, 0);
    for (auto it = std::rbegin(aKeys); it != std::rend(aKeys); ++it)
        key(*it, KEYEVENTF_KEYUP);
    if (SendInput(static_cast<UINT>(aInputs.size()), aInputs.data(), sizeof(INPUT)) !=
        aInputs.size())
        throw std::runtime_error("the keys could not be sent");
    // Handled once the dialog's thread answers after them (a key may close the window).
    WaitUntilIdle();
}

bool CProgramDriver::Repainted() const {
    // A window gets its paint only when no input or posted message waits: a button made to paint
    // again has painted after them. A closed or hidden dialog paints nothing.
    const HWND hButton = GetDlgItem(m_hDialog, IDC_CAN);
    if (!IsWindowVisible(hButton))
        return true;
    InvalidateRect(hButton, nullptr, FALSE);
    return WaitUntil([&] { return !GetUpdateRect(hButton, nullptr, FALSE); });
}

void CProgramDriver::WaitUntilIdle() const {
    if (!Repainted())
        throw std::runtime_error("the program stayed busy");
    Send(m_hDialog, WM_NULL, 0, 0);
}

void CProgramDriver::Focus(int nControlId) {
    Send(m_hDialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(nControlId)), TRUE);
}

HWND CProgramDriver::FindMenuWindow() const {
    HWND hMenu = nullptr;
    while ((hMenu = FindWindowExA(nullptr, hMenu, "#32768", nullptr)) != nullptr) {
        DWORD dwProcessId = 0;
        GetWindowThreadProcessId(hMenu, &dwProcessId);
        if (dwProcessId == m_process.dwProcessId && IsWindowVisible(hMenu))
            return hMenu;
    }
    return nullptr;
}

HWND CProgramDriver::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(m_hDialog, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

void CProgramDriver::Activate() const {
    SetForegroundWindow(m_hDialog);
    if (!WaitUntil([&] { return GetForegroundWindow() == m_hDialog; }))
        throw std::runtime_error("the dialog did not come to the front");
    Sync();
}

POINT CProgramDriver::LinePoint(int nListId, int nIndex) const {
    const HWND hList = Control(nListId);
    const auto nTop = static_cast<int>(Send(hList, LB_GETTOPINDEX, 0, 0));
    const auto nHeight = static_cast<int>(Send(hList, LB_GETITEMHEIGHT, 0, 0));
    POINT pt{20, (nIndex - nTop) * nHeight + nHeight / 2};
    ClientToScreen(hList, &pt);
    return pt;
}

RECT CProgramDriver::ScreenRect(HWND hWindow) {
    RECT rect{};
    if (!GetWindowRect(hWindow, &rect))
        throw std::runtime_error("cannot get a window's rectangle");
    return rect;
}

std::vector<std::string> CProgramDriver::ChildTexts(HWND hWindow) const {
    std::vector<HWND> aChildren;
    EnumChildWindows(hWindow, CollectChildProc, reinterpret_cast<LPARAM>(&aChildren));
    std::vector<std::string> aTexts;
    for (const HWND hChild : aChildren)
        aTexts.push_back(WindowText(hChild));
    return aTexts;
}

bool CProgramDriver::WaitForExit() {
    if (WaitForSingleObject(m_process.hProcess, kWaitMs) == WAIT_OBJECT_0)
        return true;
    TerminateProcess(m_process.hProcess, 99);
    WaitForSingleObject(m_process.hProcess, kWaitMs);
    return false;
}

bool CProgramDriver::HasExited() const {
    return WaitForSingleObject(m_process.hProcess, 0) == WAIT_OBJECT_0;
}
