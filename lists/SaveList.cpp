// Ok: the installed list replaces the game's opponent list, but never unseen. A list another
// program changed is replaced only when the user says so, a read-only one not at all, and the
// bytes replaced are always kept first.
#include "gamedata/KeptLists.h"
#include "lists/InstallerCore.h"
#include "opponents/OpponentWriter.h"
#include "platform/File.h"
#include "platform/FileException.h"

#include <optional>

namespace {

const std::string kChangedQuestion =
    std::string(kOpponentList) +
    " was changed by another program after Gridwright read it. Replace it with your list? The "
    "other version is kept in " +
    kKeptListFolder + ".";

// The list's bytes as they are now; none when no file is there.
std::optional<std::string> ListOnDisk() {
    try {
        return ReadWholeFile(kOpponentList);
    } catch (const CFileException& e) {
        if (e.m_cause != CFileException::fileNotFound)
            throw;
        return std::nullopt;
    }
}

} // namespace

bool CInstallerCore::SaveAndClose() {
    if (!m_bLoaded) {
        // Reached by the Enter key even while Ok is disabled.
        m_window.ReportError("The opponent list " + std::string(kOpponentList) +
                             " was not read whole, so it is not written. Press Can to leave.");
        return false;
    }
    const std::string strNew = OpponentListText(m_installed.apCars);
    std::optional<std::string> strOnDisk = ListOnDisk();
    for (;;) {
        if (strOnDisk == strNew)
            return true; // nothing to write, and so nothing to keep
        if (CFile::IsReadOnly(kOpponentList)) {
            m_window.ReportError(std::string(kOpponentList) +
                                 " is read-only, so your list was not saved. Clear the file's "
                                 "read-only mark (or give yourself permission to write it) and "
                                 "press Ok again, or press Can to leave without saving.");
            return false;
        }
        if (strOnDisk == m_strListRead)
            break;
        if (!m_window.AskYesNo(kChangedQuestion))
            return false;
        // The player agreed to replace the version asked about, not one saved while the question
        // was open: that one is asked about again. From here on nothing waits for the player.
        std::optional<std::string> strNow = ListOnDisk();
        if (strNow == strOnDisk)
            break;
        strOnDisk = std::move(strNow);
    }

    std::string strKept;
    if (strOnDisk) {
        try {
            strKept = KeepListCopy(*strOnDisk, LocalTimeNow());
        } catch (const CFileException& e) {
            m_window.ReportError(
                std::string("Your list was not saved, because a copy of the list it would "
                            "replace could not be kept in ") +
                kKeptListFolder + " first. " + e.what() +
                " Make room or mend the folder and press Ok again, or press Can to leave "
                "without saving.");
            return false;
        }
    }
    try {
        WriteOpponentListText(strNew);
    } catch (const CFileException&) {
        // A list that is still as it was needs no copy (a later Ok keeps it again); only when
        // that is certain does the copy go.
        try {
            if (!strKept.empty() && ListOnDisk() == strOnDisk)
                CFile::Remove(strKept);
        } catch (const CFileException&) {
        }
        throw;
    }
    m_strListRead = strNew;
    PruneKeptLists(strKept);
    return true;
}
