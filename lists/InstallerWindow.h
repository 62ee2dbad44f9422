#pragma once

#include "pictures/PictureSink.h"

#include <string>

// The result every ending of the dialog gives EndDialog, Ok's too: the system's IDCANCEL, which the
// portable core cannot take from the Windows headers. Nothing reads the result (the application
// ignores it), and Ok has written the list before it ends, so "cancel" only ends the dialog.
inline constexpr int kDialogCancel = 2;

// What the installer's logic needs of its window, and nothing more; its image list is the picture
// cache's sink. The Windows dialog implements it over real controls; the tests implement it in
// memory.
class CInstallerWindow : public CPictureSink {
public:
    // The list boxes IDC_AVAILABLE and IDC_INSTALLED: single selection, not sorted.
    virtual int GetCurSel(int nListId) const = 0; // -1 for none
    virtual void AddString(int nListId, const std::string& str) = 0;
    virtual void InsertString(int nListId, int nIndex, const std::string& str) = 0;
    virtual void DeleteString(int nListId,
                              int nIndex) = 0; // deleting the selected line leaves none
    virtual void SetCurSel(int nListId, int nIndex) = 0;
    virtual int GetCount(int nListId) const = 0;
    virtual std::string GetText(int nListId, int nIndex) const = 0;

    // The information boxes IDC_AVAILABLE_INFO and IDC_INSTALLED_INFO.
    virtual void SetInfoText(int nBoxId, const std::string& str) = 0;

    // The picture view on frame IDC_INSTALLED_PICTURE or IDC_AVAILABLE_PICTURE: draws picture
    // nImage of the image list at once; -1 leaves the view as it was.
    virtual void SetImage(int nFrameId, int nImage) = 0;

    // Between the files of a load: the step under way ("Reading car files: 1,200 of 2,000") and
    // how far it has come, nDone of nTotal (0 of 0 when not known). The shell may show it and let
    // its windows paint meanwhile; this default shows nothing.
    virtual void ShowLoadProgress(const std::string& /*strStep*/, int /*nDone*/, int /*nTotal*/) {}

    virtual void EndDialog(int nResult) = 0;
    virtual void EnableOk(bool bEnable) = 0;
    // Tells the user of an error or a refused command; the Windows shell shows a stop-icon box.
    virtual void ReportError(const std::string& strMessage) = 0;
    // Asks the user a question that Yes or No answers; the Windows shell shows a question-icon box.
    [[nodiscard]] virtual bool AskYesNo(const std::string& strQuestion) = 0;
};
