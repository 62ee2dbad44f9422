// Reads an opponent list of arbitrary bytes as the start-up load does, then writes what it read
// and reads that again: after one such round the records must stay as they are.

#include "fuzz/Scratch.h"
#include "opponents/OpponentListReader.h"
#include "opponents/OpponentWriter.h"
#include "platform/File.h"

#include <vector>

namespace {

using Records = std::vector<std::unique_ptr<CarRecord>>;

// Lines of a record's text are trimmed, non-empty, and free of line ends.
void CheckText(const std::string& strText) {
    std::size_t nStart = 0;
    while (nStart < strText.size()) {
        const std::size_t nEnd = strText.find("\r\n", nStart);
        fuzz::Require(nEnd != std::string::npos, "every text line ends with CR LF");
        const std::string_view line(strText.data() + nStart, nEnd - nStart);
        fuzz::Require(!line.empty(), "no empty text line");
        fuzz::Require(line.find_first_of("\r\n") == std::string_view::npos, "no stray line end");
        fuzz::Require(line.find_first_of(" \t\v\f") != 0 &&
                          line.find_last_of(" \t\v\f") != line.size() - 1,
                      "text lines are trimmed");
        nStart = nEnd + 2;
    }
}

// Reads the list as the start-up load does; *pbWhole tells whether it may be written back.
Records ReadList(const std::string& strPath, bool* pbWhole = nullptr) {
    const std::string strBytes = ReadWholeFile(strPath, kMaxOpponentListBytes);
    OpponentList list = ParseOpponentList(strBytes);
    fuzz::Require(list.bWhole == list.strReason.empty(), "a reason exactly when not whole");
    for (const auto& pRecord : list.apRecords) {
        CheckText(pRecord->m_strText);
        fuzz::Require(pRecord->m_nImage == -1, "no picture: the caller attaches it");
    }
    if (pbWhole != nullptr)
        *pbWhole = list.bWhole;
    return std::move(list.apRecords);
}

std::vector<std::string> TextsOf(const Records& apRecords) {
    std::vector<std::string> astr;
    for (const auto& pRecord : apRecords)
        astr.push_back(pRecord->m_strText);
    return astr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    fuzz::FreshGameFolder();
    fuzz::WriteBytes("data/opponent.txt",
                     std::string_view(reinterpret_cast<const char*>(pData), nSize));

    const Records apFirst = ReadList(kOpponentList);
    WriteOpponentList(apFirst);
    bool bRewrittenWhole = false;
    const Records apSecond = ReadList(kOpponentList, &bRewrittenWhole);
    fuzz::Require(bRewrittenWhole, "a written list reads whole");
    fuzz::Require(apSecond.size() == apFirst.size(), "a written list keeps its record count");
    WriteOpponentList(apSecond);
    const Records apThird = ReadList(kOpponentList);
    fuzz::Require(TextsOf(apThird) == TextsOf(apSecond), "a rewritten list reads back the same");
    for (std::size_t i = 0; i < apFirst.size(); ++i)
        fuzz::Require(apSecond[i]->m_strCarName == apFirst[i]->m_strCarName &&
                          apSecond[i]->m_strInfo == apFirst[i]->m_strInfo,
                      "writing keeps names and values");
    fuzz::CheckNothingEscaped();
    return 0;
}
