#pragma once

// The window of the model's tests, the fuzz harnesses and the measurements: it keeps what the
// model reports and asks, answers every question as told, and counts the progress calls.

#include "lists/InstallerCore.h"

#include <functional>
#include <string>
#include <vector>

class CTestWindow : public CInstallerWindow {
public:
    void ReportError(const std::string& strMessage) override { m_astrErrors.push_back(strMessage); }
    bool AskYesNo(const std::string& strQuestion) override {
        m_astrQuestions.push_back(strQuestion);
        if (m_onAsk)
            m_onAsk();
        return m_bAnswerYes;
    }
    void ShowLoadProgress(const std::string&, int, int) override { ++m_nProgress; }

    std::vector<std::string> m_astrErrors;
    std::vector<std::string> m_astrQuestions;
    bool m_bAnswerYes = false;     // the answer to every question
    std::function<void()> m_onAsk; // what happens elsewhere while a question is open
    int m_nProgress = 0;
};

// The car names of a list, as the window draws its lines.
inline std::vector<std::string> Names(const CInstallerCore& core, CarList list) {
    std::vector<std::string> astrNames;
    for (int i = 0; i < core.GetCount(list); ++i)
        astrNames.push_back(core.GetCar(list, i).m_strCarName);
    return astrNames;
}
