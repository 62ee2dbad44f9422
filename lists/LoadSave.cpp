// The start-up load, one way: the game's data prepared, every car file and the opponent list each
// read once, whole, and parsed from memory; then the picture numbers attached (no picture file is
// read: a picture is composed when it is first drawn); then both lists handed to the model at once.
#include "gamedata/GameData.h"
#include "lists/InstallerCore.h"
#include "lists/Thousands.h"
#include "opponents/CarFileReader.h"
#include "opponents/OpponentListReader.h"
#include "opponents/OpponentWriter.h"
#include "platform/File.h"
#include "platform/FileException.h"

#include <algorithm>
#include <optional>

namespace {

// What a file error of the load tells the player. A missing list most often means the program was
// started outside the game's folder, unless the game's archive that holds it could not be
// unpacked; the bare "file not found" left the user guessing.
std::string Explained(const CFileException& e, bool bUnpackFailed) {
    if (e.m_strFileName != kOpponentList ||
        (e.m_cause != CFileException::fileNotFound && e.m_cause != CFileException::badPath))
        return e.what();
    std::string strReason =
        bUnpackFailed
            ? "it does not exist, because the game's data archive that holds it could not be "
              "unpacked (the message before said why). Mend or replace the archive and start "
              "Gridwright again"
            : "it does not exist. Gridwright must be started in the game's installation folder, "
              "the one holding \"data.twt\" or the \"data\" folder";
    if (HasOpponentListBackup())
        strReason += ". A copy of the list was kept: it can be brought back with Restore Opponent "
                     "List in the window menu";
    return CFileException(e.m_cause, e.m_lOsError, kOpponentList, "open {} for reading", strReason)
        .what();
}

// What the files of the game folder hold, before any picture is composed.
struct FolderRead {
    std::vector<std::unique_ptr<CarRecord>> apAvailable;
    std::vector<PassedOverCar> aPassedOver;
    std::optional<std::string> strListRead; // none when the list could not be read
    OpponentList opponents;
    std::vector<std::string> astrErrors; // for the player, in the order they arose
};

// Reads the car files, then the opponent list. A file error ends the reading there: what was
// read stays, and the list is not whole.
FolderRead ReadGameFolder(CInstallerWindow& window, std::size_t nMaxCars, bool bUnpackFailed) {
    FolderRead read;
    try {
        BackupOpponentList();

        const std::vector<FolderEntry> aCarFiles = FindFiles("*.c2c");
        const std::size_t nCarFiles = aCarFiles.size();
        const auto showCarFiles = [&](std::size_t nDone) {
            window.ShowLoadProgress("Reading car files: " + WithThousands(nDone) + " of " +
                                        WithThousands(nCarFiles),
                                    static_cast<int>(nDone), static_cast<int>(nCarFiles));
        };
        for (std::size_t nDone = 0; nDone < nCarFiles; ++nDone) {
            showCarFiles(nDone);
            const auto& [strName, bDirectory] = aCarFiles[nDone];
            if (bDirectory) {
                read.aPassedOver.push_back({strName, "is a folder, not a file"});
                continue;
            }
            if (read.apAvailable.size() >= nMaxCars) {
                read.astrErrors.push_back("Only the first " + std::to_string(nMaxCars) +
                                          " add-on cars are listed.");
                break;
            }
            // One bad car file is passed over; it never keeps the other cars from the lists.
            CarFile car = ReadCarFile(strName);
            if (car.pRecord)
                read.apAvailable.push_back(std::move(car.pRecord));
            else
                read.aPassedOver.push_back({strName, std::move(car.strReason)});
        }
        if (nCarFiles > 0)
            showCarFiles(nCarFiles);

        read.strListRead = ReadWholeFile(kOpponentList, kMaxOpponentListBytes);
        read.opponents = ParseOpponentList(*read.strListRead, nMaxCars, kOpponentList);
    } catch (const CFileException& e) {
        read.astrErrors.push_back(Explained(e, bUnpackFailed));
        read.opponents.bWhole = false;
        read.opponents.strReason.clear();
    }
    return read;
}

} // namespace

void CInstallerCore::Do(command::Load) {
    LoadAll();
}

void CInstallerCore::LoadAll() {
    // Ok stays disabled unless both lists are read whole: writing a partly read opponent list
    // would lose the cars that were not read.
    m_bLoaded = false;
    ClearLists();
    m_history.Clear(); // its steps name cars of the lists that were
    for (CarListState* pState : {&m_available, &m_installed}) {
        pState->strShownInfo.clear();
        pState->strShownCarInfo.clear();
    }
    m_available.nShownImage = -1;
    m_installed.nShownImage = -1;
    if (!m_bPicturesMade) {
        m_pictures.InitPictures();
        m_bPicturesMade = true;
    }

    const auto showUnpacking = [this](int nDone, int nTotal) {
        m_window.ShowLoadProgress("Unpacking the game's data", nDone, nTotal);
    };
    showUnpacking(0, 0);
    const std::string strProblem = UnpackArchive(showUnpacking);
    if (!strProblem.empty() && !m_bArchiveProblemTold) {
        m_bArchiveProblemTold = true;
        m_window.ReportError(strProblem);
    }

    // Nothing else changes the game folder while it is read; a file looked for in vain lists its
    // folder once, not at every miss.
    const CFolderListingScope listings;
    FolderRead read =
        ReadGameFolder(m_window, static_cast<std::size_t>(kMaxCars), !strProblem.empty());
    m_aPassedOver = std::move(read.aPassedOver);
    m_strListRead = std::move(read.strListRead);

    // Picture numbers in the order the files were read, so that each car keeps its number.
    for (std::unique_ptr<CarRecord>& pRecord : read.apAvailable) {
        pRecord->m_nImage = m_pictures.NumberPicture(pRecord->m_strFileBase);
        m_available.apCars.push_back(std::move(pRecord));
    }
    const std::size_t nOpponents = read.opponents.apRecords.size();
    for (std::size_t i = 0; i < nOpponents; ++i) {
        m_window.ShowLoadProgress("Reading the opponent list", static_cast<int>(i),
                                  static_cast<int>(nOpponents));
        std::unique_ptr<CarRecord>& pRecord = read.opponents.apRecords[i];
        pRecord->m_nImage = m_pictures.NumberPicture(pRecord->m_strFileBase);
        m_installed.apCars.push_back(std::move(pRecord));
    }
    m_apLoaded = m_installed.apCars;

    for (const std::string& strError : read.astrErrors)
        m_window.ReportError(strError);
    if (!read.opponents.strReason.empty())
        m_window.ReportError(read.opponents.strReason +
                             " So that no opponent is lost, Ok is disabled: press Can to leave, "
                             "then repair the file or put back a copy of it.");
    m_bLoaded = read.opponents.bWhole;
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
