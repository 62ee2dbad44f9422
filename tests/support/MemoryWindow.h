#pragma once

// The in-memory window of the tests, the fuzz harnesses and the measurements: it behaves like
// single-selection, unsorted list boxes where the installer's logic depends on it, and records
// everything else it is asked to do. A request no real window would take is a fault of the
// installer's logic: the window says which and aborts, failing the test or the run (for a fuzz
// harness, a finding).

#include "lists/InstallerWindow.h"
#include "lists/ResourceIds.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

class CMemoryWindow : public CInstallerWindow {
public:
    struct ListBox {
        std::vector<std::string> aLines;
        int nSel = -1;
    };

    int GetCurSel(int nListId) const override { return List(nListId).nSel; }
    void AddString(int nListId, const std::string& str) override {
        m_mapLists[nListId].aLines.push_back(str);
    }
    void InsertString(int nListId, int nIndex, const std::string& str) override {
        ListBox& list = m_mapLists[nListId];
        if (nIndex == -1)
            nIndex = Count(list);
        if (nIndex < 0 || nIndex > Count(list))
            return OnMisuse("insert at " + std::to_string(nIndex));
        list.aLines.insert(list.aLines.begin() + nIndex, str);
        if (list.nSel >= nIndex)
            ++list.nSel;
    }
    void DeleteString(int nListId, int nIndex) override {
        ListBox& list = m_mapLists[nListId];
        if (nIndex < 0 || nIndex >= Count(list))
            return OnMisuse("delete at " + std::to_string(nIndex));
        list.aLines.erase(list.aLines.begin() + nIndex);
        if (list.nSel == nIndex)
            list.nSel = -1;
        else if (list.nSel > nIndex)
            --list.nSel;
    }
    void SetCurSel(int nListId, int nIndex) override {
        ListBox& list = m_mapLists[nListId];
        if (nIndex < -1 || nIndex >= Count(list))
            OnMisuse("select " + std::to_string(nIndex));
        list.nSel = nIndex >= 0 && nIndex < Count(list) ? nIndex : -1;
    }
    int GetCount(int nListId) const override { return Count(List(nListId)); }
    std::string GetText(int nListId, int nIndex) const override {
        return List(nListId).aLines.at(static_cast<std::size_t>(nIndex));
    }

    void SetInfoText(int nBoxId, const std::string& str) override { m_mapInfo[nBoxId] = str; }
    void SetImage(int nFrameId, int nImage) override {
        if (m_bCheckImages && (nImage < -1 || nImage >= m_nPictures))
            return OnMisuse("show picture " + std::to_string(nImage));
        if (nImage != -1)
            m_mapImages[nFrameId].push_back(nImage);
    }

    void CreateImageList() override {
        m_bImageList = true;
        m_aPictures.clear();
        m_nPictures = 0;
    }
    int AddPicture(const std::uint8_t* pPicture) override {
        if (!m_bImageList)
            OnMisuse("picture added before the image list was made");
        // Copying reads every byte, so that a short buffer is caught by the address sanitizer.
        if (m_bKeepPictures)
            m_aPictures.emplace_back(pPicture, pPicture + kPictureBytes);
        return m_nPictures++;
    }

    void EndDialog(int nResult) override { m_aEndResults.push_back(nResult); }
    void EnableOk(bool bEnable) override { m_bOkEnabled = bEnable; }
    void ReportError(const std::string& strMessage) override { m_aErrors.push_back(strMessage); }
    bool AskYesNo(const std::string& strQuestion) override {
        m_aQuestions.push_back(strQuestion);
        return m_bAnswerYes;
    }

    std::vector<std::string> Lines(int nListId) const { return List(nListId).aLines; }

    std::map<int, std::string> m_mapInfo;
    std::map<int, std::vector<int>> m_mapImages; // SetImage calls per frame, -1 left out
    bool m_bCheckImages = true; // off where a test gives cars picture numbers of its own
    bool m_bImageList = false;
    // Off where thousands of pictures are added, and in measurements, which should pay for the
    // composing only.
    bool m_bKeepPictures = true;
    std::vector<std::vector<std::uint8_t>> m_aPictures;
    int m_nPictures = 0;
    std::vector<int> m_aEndResults;
    bool m_bOkEnabled = true; // as the dialog template makes it
    std::vector<std::string> m_aErrors;
    std::vector<std::string> m_aQuestions;
    bool m_bAnswerYes = false; // the answer to every question

private:
    [[noreturn]] static void OnMisuse(const std::string& strWhat) {
        std::fprintf(stderr, "window misused: %s\n", strWhat.c_str());
        std::abort();
    }

    static int Count(const ListBox& list) { return static_cast<int>(list.aLines.size()); }
    const ListBox& List(int nListId) const {
        static const ListBox empty;
        const auto it = m_mapLists.find(nListId);
        return it == m_mapLists.end() ? empty : it->second;
    }

    std::map<int, ListBox> m_mapLists;
};
