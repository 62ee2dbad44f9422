#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

// What to do when the file to write exists already.
enum class ExistingFile { Replace, Refuse };

// A file opened by a path relative to the current directory, with backslash separators. Elsewhere
// than on Windows every component is matched without regard to case (see PathResolver.h).
class CFile {
public:
    enum Mode {
        modeRead,
        // Creating fails when anything at all stands at the path, a link included, so nothing is
        // ever followed or overwritten.
        modeCreateNew,
    };

    CFile() = default;
    CFile(const std::string& strPath, Mode mode);
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    void Open(const std::string& strPath, Mode mode);
    bool IsOpen() const { return m_nHandle != kNoHandle; }

    // Returns the number of bytes actually read; fewer (or none) at the end of the file. Files
    // only are opened, so one request to the system answers a read of up to 1 GiB.
    std::size_t Read(void* pBuffer, std::size_t nCount);
    // Writes all nCount bytes, or raises.
    void Write(const void* pBuffer, std::size_t nCount);
    void Seek(std::uint64_t nOffset);
    // The file's length when it was opened.
    std::uint64_t GetLength() const { return m_nLength; }
    // Pushes written bytes to the disk, so that a replace that follows cannot expose a short file.
    void Flush();
    // Closes; raises when the system reports a failure. The destructor closes silently.
    void Close();

    // True when the file can be opened for reading (an existence probe).
    static bool Exists(const std::string& strPath);
    // True when anything stands under the name, in any case: a file, readable or not, a folder,
    // a link. For choosing a name that nothing uses yet.
    static bool EntryExists(const std::string& strPath);
    // True when the file may not be written: the read-only attribute, or no write permission.
    static bool IsReadOnly(const std::string& strPath);
    // Makes the folder; one that exists already is no error.
    static void CreateFolder(const std::string& strPath);
    static void Remove(const std::string& strPath);
    // Moves strFrom to strTo in one step. A file that exists as strTo is replaced or refused; a
    // refused move may still change the case of strFrom's name.
    static void Move(const std::string& strFrom, const std::string& strTo, ExistingFile existing);

private:
    static constexpr std::intptr_t kNoHandle = -1;

    void CloseHandle() noexcept;

    std::intptr_t m_nHandle = kNoHandle;
    std::uint64_t m_nLength = 0;
    std::string m_strPath;
};

// The running program's process number: two copies running at once never share it.
unsigned long CurrentProcessId();

// While one lives, a folder is listed once for all case-insensitive lookups in it (the layer's own
// changes forget the listings), and on Windows folders where an open missed are remembered. For a
// burst of reads in which nothing else changes the folders, such as the start-up load.
class CFolderListingScope {
public:
    CFolderListingScope();
    ~CFolderListingScope();
    CFolderListingScope(const CFolderListingScope&) = delete;
    CFolderListingScope& operator=(const CFolderListingScope&) = delete;
};

struct FolderEntry {
    std::string strName;
    bool bDirectory;
};

// The entries matching a wild-card pattern ('*', '?'; "*.*" is every name; "data\*.pix"), case
// ignored, in case-insensitive name order so that runs repeat; none when the folder cannot be
// read. No "." or "..", and long names only: "*.c2c" never yields "old.c2c_old" by its short name.
std::vector<FolderEntry> FindFiles(const std::string& strPattern);

// The file's bytes, all of them, read at once. Raises CFileException: when the file cannot be
// read, and, with a message for people, when it holds more than nMaxBytes. The default takes a
// file of any size, for copies that must keep every byte.
std::string ReadWholeFile(const std::string& strPath,
                          std::uint64_t nMaxBytes = std::numeric_limits<std::uint64_t>::max());

// Writes a whole file through a new temporary file beside it ("NAME.new-<process>-<n>", never an
// existing file or a link), pushed to the disk, then moved over strPath (or refused) in one step:
// a crash or failure leaves strPath as it was; on failure the temporary file goes too.
void WriteWholeFile(const std::string& strPath, std::string_view strBytes, ExistingFile existing);

// The same, for contents too large to hold at once: writeBytes writes them into the open file.
void WriteWholeFile(const std::string& strPath, const std::function<void(CFile&)>& writeBytes,
                    ExistingFile existing);

// The name of the temporary file for strPath that this process tries as its nth.
std::string TemporaryName(const std::string& strPath, int n);

// True when Windows would open a device, not a file, for this path component: CON, PRN, AUX,
// NUL, COM1-COM9, LPT1-LPT9, CONIN$ or CONOUT$ in any case, whatever extension follows.
bool IsDeviceName(std::string_view strComponent);
