#include "gamedata/GameData.h"
#include "lists/InstallerCore.h"
#include "opponents/CarFileReader.h"
#include "opponents/OpponentListReader.h"
#include "opponents/OpponentWriter.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/ReadWholeFile.h"

#include <algorithm>
#include <span>

namespace {

// Called in a handler of e. A missing list most often means the program was started outside the
// game's folder; the bare "file not found" left the user guessing.
[[noreturn]] void RethrowExplained(const CFileException& e) {
    if (e.m_strFileName != kOpponentList ||
        (e.m_cause != CFileException::fileNotFound && e.m_cause != CFileException::badPath))
        throw;
    std::string strReason =
        "it does not exist. Gridwright must be started in the game's installation folder, the "
        "one holding \"data.twt\" or the \"data\" folder";
    if (HasOpponentListBackup())
        strReason += ". A copy of the list was kept: it can be brought back with Restore Opponent "
                     "List in the window menu";
    throw CFileException(e.m_cause, e.m_lOsError, kOpponentList, "open {} for reading", strReason);
}

// 1200 as "1,200", as the progress line shows counts.
std::string WithThousands(int n) {
    std::string str = std::to_string(n);
    for (int i = static_cast<int>(str.size()) - 3; i > 0; i -= 3)
        str.insert(static_cast<std::size_t>(i), 1, ',');
    return str;
}

// Steps of the opponent list's progress: the part read, in thousandths.
constexpr int kListSteps = 1000;

} // namespace

void CInstallerCore::OnShowWindow(bool bShow) {
    if (bShow) {
        LoadAll();
        return;
    }
    ClearLists();
    m_history.Clear();
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
    m_history.Clear(); // its steps name lines of the lists that were
    m_aPassedOver.clear();
    const PictureSource pictureSource = [this](const std::string& strFileBase) {
        return LoadPicture(strFileBase);
    };

    const auto showUnpacking = [this](int nDone, int nTotal) {
        m_window.ShowLoadProgress("Unpacking the game's data", nDone, nTotal);
    };
    showUnpacking(0, 0);
    if (const std::string strProblem = UnpackArchive(showUnpacking);
        !strProblem.empty() && !m_bArchiveProblemTold) {
        m_bArchiveProblemTold = true;
        m_window.ReportError(strProblem);
    }
    try {
        BackupOpponentList();
    } catch (const CFileException& e) {
        RethrowExplained(e);
    }

    // Nothing else changes the game folder while it is read; this keeps each probe for a picture
    // that does not exist from listing a folder of thousands of files.
    const CFolderListingScope listings;
    CFileFind finder;
    bool bMore = finder.FindFile("*.c2c");
    const int nCarFiles = static_cast<int>(finder.GetCount());
    const auto showCarFiles = [&](int nDone) {
        m_window.ShowLoadProgress("Reading car files: " + WithThousands(nDone) + " of " +
                                      WithThousands(nCarFiles),
                                  nDone, nCarFiles);
    };
    for (int nDone = 0; bMore; bMore = finder.FindNextFile(), ++nDone) {
        showCarFiles(nDone);
        const std::string& strName = finder.GetFileName();
        if (finder.IsDirectory()) {
            m_aPassedOver.push_back({strName, "is a folder, not a file"});
            continue;
        }
        if (m_nAvailable >= kMaxCars) {
            m_window.ReportError("Only the first " + std::to_string(kMaxCars) +
                                 " add-on cars are listed.");
            break;
        }
        // One bad car file is passed over; it never keeps the other cars from the lists.
        CarFile car = ReadCarFile(strName, pictureSource);
        if (car.pRecord)
            AddEntry(std::move(car.pRecord), true);
        else
            m_aPassedOver.push_back({strName, std::move(car.strReason)});
    }
    if (nCarFiles > 0)
        showCarFiles(nCarFiles);

    CFile list;
    try {
        // Taken before the list is parsed: a change made in between then shows at Ok.
        m_strListRead = ReadWholeFile(kOpponentList);
        list.Open(kOpponentList, CFile::kBinaryRead);
    } catch (const CFileException& e) {
        RethrowExplained(e);
    }
    const std::uint64_t nListLength = list.GetLength();
    const auto showList = [&] {
        const std::uint64_t nAt = std::min(list.GetPosition(), nListLength);
        m_window.ShowLoadProgress(
            "Reading the opponent list",
            nListLength == 0 ? 0 : static_cast<int>(nAt * kListSteps / nListLength), kListSteps);
    };
    showList();
    // Each record asks for its picture once, as it is read: the time to tell how far the list
    // has come.
    const PictureSource listPictureSource = [&](const std::string& strFileBase) {
        showList();
        return pictureSource(strFileBase);
    };
    OpponentList opponents =
        ReadOpponentList(list, listPictureSource, static_cast<std::size_t>(kMaxCars));
    list.Close();
    for (std::unique_ptr<CarRecord>& pRecord : opponents.apRecords)
        AddEntry(std::move(pRecord), false);
    if (!opponents.bWhole) {
        m_window.ReportError(opponents.strReason +
                             " So that no opponent is lost, Ok is disabled: press Can to leave, "
                             "then repair the file or put back a copy of it.");
        return;
    }

    m_bLoaded = true;
    m_window.EnableOk(true);
}

void CInstallerCore::OnCan() {
    m_window.EndDialog(kDialogCancel);
}

std::string CInstallerCore::PassedOverText() const {
    std::string strText;
    const std::size_t nShown = std::min(m_aPassedOver.size(), kMaxPassedOverLines);
    for (std::size_t i = 0; i < nShown; ++i) {
        if (i > 0)
            strText += "\r\n";
        strText += m_aPassedOver[i].strFileName + ": " + m_aPassedOver[i].strReason;
    }
    if (m_aPassedOver.size() > nShown)
        strText += "\r\n... and " + std::to_string(m_aPassedOver.size() - nShown) + " more";
    return strText;
}
