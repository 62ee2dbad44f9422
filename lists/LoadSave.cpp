#include "gamedata/GameData.h"
#include "lists/InstallerCore.h"
#include "opponents/OpponentReader.h"
#include "opponents/OpponentWriter.h"
#include "platform/File.h"
#include "platform/FileException.h"

#include <span>

void CInstallerCore::OnShowWindow(bool bShow) {
    if (bShow) {
        LoadAll();
        return;
    }
    ClearLists();
    // With the lists emptied, Ok would write an empty opponent list.
    m_bLoaded = false;
    m_window.EnableOk(false);
}

void CInstallerCore::LoadAll() {
    // Ok stays disabled unless both lists are read whole: writing a partly read opponent list
    // would lose the cars that were not read.
    m_bLoaded = false;
    m_window.EnableOk(false);
    ClearLists();
    const PictureSource pictureSource = [this](const std::string& strFileBase) {
        return LoadPicture(strFileBase);
    };

    UnpackArchive();
    BackupOpponentList();

    // Nothing else changes the game folder while it is read; this keeps each probe for a picture
    // that does not exist from listing a folder of thousands of files.
    const CFolderListingScope listings;
    CFileFind finder;
    for (bool bMore = finder.FindFile("*.c2c"); bMore; bMore = finder.FindNextFile()) {
        if (finder.IsDirectory())
            continue; // a folder named like a car file holds no car
        if (m_nAvailable >= kMaxCars) {
            m_window.ReportError("Only the first " + std::to_string(kMaxCars) +
                                 " add-on cars are listed.");
            break;
        }
        CFile file(finder.GetFileName(), CFile::kBinaryRead);
        std::unique_ptr<CarRecord> pRecord = ParseRecord(file, pictureSource);
        file.Close();
        if (pRecord)
            AddEntry(std::move(pRecord), true);
    }

    CFile list(kOpponentList, CFile::kBinaryRead);
    try {
        while (ReadLine(list).empty()) {
        }
    } catch (const CFileException& e) {
        if (!e.IsEndOfInput())
            throw;
        throw CFileException(CFileException::endOfFile, 0, kOpponentList, "read",
                             "the file holds no opponents, not even their count");
    }
    while (std::unique_ptr<CarRecord> pRecord = ParseRecord(list, pictureSource)) {
        if (!AddEntry(std::move(pRecord), false)) {
            m_window.ReportError("The opponent list " + std::string(kOpponentList) +
                                 " holds more than " + std::to_string(kMaxCars) +
                                 " opponents. Only the first " + std::to_string(kMaxCars) +
                                 " are listed, and the list will not be changed.");
            return;
        }
    }
    list.Close();

    m_bLoaded = true;
    m_window.EnableOk(true);
}

void CInstallerCore::SaveAndClose() {
    if (!m_bLoaded) {
        // Reached by the Enter key even while Ok is disabled.
        m_window.ReportError("The opponent list " + std::string(kOpponentList) +
                             " was not read whole, so it is not written. Press Can to leave.");
        return;
    }
    WriteOpponentList(std::span<const std::unique_ptr<CarRecord>>(
        m_apInstalled.data(), static_cast<std::size_t>(m_nInstalled)));
    m_window.EndDialog(kDialogCancel);
}

void CInstallerCore::OnCan() {
    m_window.EndDialog(kDialogCancel);
}
