#pragma once

// The smallest window the installer's logic can run against: list boxes as vectors, the rest
// counted. Harnesses check the logic's lists against it.

#include "lists/ControlIds.h"
#include "lists/InstallerWindow.h"

#include <cstdlib>
#include <map>
#include <vector>

namespace fuzz {

class CMemoryWindow : public CInstallerWindow {
public:
    struct ListBox {
        std::vector<std::string> m_astrLines;
        int m_nSelection = -1;
    };

    int GetCurSel(int nListId) const override { return List(nListId).m_nSelection; }
    void AddString(int nListId, const std::string& str) override {
        m_aLists[nListId].m_astrLines.push_back(str);
    }
    void InsertString(int nListId, int nIndex, const std::string& str) override {
        auto& astr = m_aLists[nListId].m_astrLines;
        if (nIndex < 0 || static_cast<std::size_t>(nIndex) > astr.size())
            std::abort();
        astr.insert(astr.begin() + nIndex, str);
    }
    void DeleteString(int nListId, int nIndex) override {
        ListBox& list = m_aLists[nListId];
        if (nIndex < 0 || static_cast<std::size_t>(nIndex) >= list.m_astrLines.size())
            std::abort();
        list.m_astrLines.erase(list.m_astrLines.begin() + nIndex);
        if (nIndex == list.m_nSelection)
            list.m_nSelection = -1;
        else if (nIndex < list.m_nSelection)
            --list.m_nSelection;
    }
    void SetCurSel(int nListId, int nIndex) override {
        ListBox& list = m_aLists[nListId];
        if (nIndex < -1 || nIndex >= static_cast<int>(list.m_astrLines.size()))
            std::abort();
        list.m_nSelection = nIndex;
    }
    int GetCount(int nListId) const override {
        return static_cast<int>(List(nListId).m_astrLines.size());
    }
    std::string GetText(int nListId, int nIndex) const override {
        return List(nListId).m_astrLines.at(static_cast<std::size_t>(nIndex));
    }
    void SetInfoText(int, const std::string&) override {}
    void SetImage(int, int nImage) override {
        if (nImage < -1 || nImage >= m_nPictures)
            std::abort();
    }
    void CreateImageList() override { m_nPictures = 0; }
    int AddPicture(const std::uint8_t* pPicture) override {
        // Touch every byte, so that a short buffer is caught by the address sanitizer.
        unsigned nSum = 0;
        for (std::size_t i = 0; i < kPictureBytes; ++i)
            nSum += pPicture[i];
        m_nPictureSum += nSum;
        return m_nPictures++;
    }
    void EndDialog(int) override { ++m_nEnded; }
    void EnableOk(bool bEnable) override { m_bOk = bEnable; }
    void ReportError(const std::string&) override { ++m_nErrors; }

    const ListBox& List(int nListId) const {
        static const ListBox empty;
        const auto it = m_aLists.find(nListId);
        return it == m_aLists.end() ? empty : it->second;
    }

    std::map<int, ListBox> m_aLists;
    int m_nPictures = 0;
    unsigned m_nPictureSum = 0;
    int m_nEnded = 0;
    int m_nErrors = 0;
    bool m_bOk = true;
};

} // namespace fuzz
