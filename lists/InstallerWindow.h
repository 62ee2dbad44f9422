#pragma once

#include <string>

// What the installer's model must ask of a person, and nothing more. The Windows dialog shows
// message boxes and a progress window; the tests answer in memory.
class CInstallerWindow {
public:
    virtual ~CInstallerWindow() = default;

    // Tells the user of an error or a refused command; the Windows shell shows a stop-icon box.
    virtual void ReportError(const std::string& strMessage) = 0;
    // Asks the user a question that Yes or No answers; the Windows shell shows a question-icon box.
    [[nodiscard]] virtual bool AskYesNo(const std::string& strQuestion) = 0;
    // Between the files of a load: the step under way ("Reading car files: 1,200 of 2,000") and
    // how far it has come, nDone of nTotal (0 of 0 when not known). The shell may show it and let
    // its windows paint meanwhile; this default shows nothing.
    virtual void ShowLoadProgress(const std::string& /*strStep*/, int /*nDone*/, int /*nTotal*/) {}
};
