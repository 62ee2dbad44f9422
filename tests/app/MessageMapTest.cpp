// Routing of messages and control notifications through a message map.
#include "platform/win32/Dialog.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct CRecorder {
    void OnInstall() { strLog += "install "; }
    void OnShowInstalled() { strLog += "show "; }
    void OnUninstall() { strLog += "uninstall "; }
    std::string strLog;
};

using Row = CMessageMapEntry<CRecorder>;

// Same control, different notifications; same notification, different controls.
const Row s_aMap[] = {
    {WM_COMMAND, BN_CLICKED, 1002, OnCommandRow<&CRecorder::OnInstall>},
    {WM_COMMAND, LBN_SELCHANGE, 1001, OnCommandRow<&CRecorder::OnShowInstalled>},
    {WM_COMMAND, LBN_DBLCLK, 1001, OnCommandRow<&CRecorder::OnUninstall>},
    {WM_COMMAND, LBN_DBLCLK, 1000, OnCommandRow<&CRecorder::OnInstall>},
    {WM_QUERYDRAGICON, 0, 0,
     [](CRecorder&, WPARAM, LPARAM, LRESULT& lResult) {
         lResult = 77;
         return true;
     }},
};

bool Send(CRecorder& recorder, UINT nMessage, WPARAM wParam, LRESULT& lResult) {
    return DispatchMessageMap<CRecorder>(s_aMap, recorder, nMessage, wParam, 0, lResult);
}

TEST(MessageMap, MatchesNotificationCodeAndControlId) {
    CRecorder recorder;
    LRESULT lResult = 0;
    EXPECT_TRUE(Send(recorder, WM_COMMAND, MAKEWPARAM(1001, LBN_DBLCLK), lResult));
    EXPECT_TRUE(Send(recorder, WM_COMMAND, MAKEWPARAM(1001, LBN_SELCHANGE), lResult));
    EXPECT_TRUE(Send(recorder, WM_COMMAND, MAKEWPARAM(1000, LBN_DBLCLK), lResult));
    EXPECT_TRUE(Send(recorder, WM_COMMAND, MAKEWPARAM(1002, BN_CLICKED), lResult));
    EXPECT_EQ(recorder.strLog, "uninstall show install install ");
}

TEST(MessageMap, LeavesUnmappedMessagesToDefaultProcessing) {
    CRecorder recorder;
    LRESULT lResult = 0;
    EXPECT_FALSE(Send(recorder, WM_COMMAND, MAKEWPARAM(1000, LBN_SELCHANGE), lResult));
    EXPECT_FALSE(Send(recorder, WM_COMMAND, MAKEWPARAM(1003, BN_CLICKED), lResult));
    EXPECT_FALSE(Send(recorder, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), lResult));
    EXPECT_FALSE(Send(recorder, WM_PAINT, 0, lResult));
    EXPECT_EQ(recorder.strLog, "");
}

TEST(MessageMap, PassesAHandlersResultBack) {
    CRecorder recorder;
    LRESULT lResult = 0;
    EXPECT_TRUE(Send(recorder, WM_QUERYDRAGICON, 0, lResult));
    EXPECT_EQ(lResult, 77);
}

} // namespace
