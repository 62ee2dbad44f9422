#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A file opened by a path as the rest of the program writes it: relative to the current
// directory, with backslash separators. On Windows the path goes to the system as it is; elsewhere
// every component is matched without regard to case (see PathResolver.h).
//
// Reads are buffered, yet GetPosition and Seek always work on the exact logical position.
// Writes go straight through: all bytes are written or CFileException is raised.
class CFile {
public:
    // The three open modes, with the flag values the program's callers use.
    static constexpr unsigned modeRead = 0x0000;
    static constexpr unsigned modeWrite = 0x0001;
    static constexpr unsigned modeCreate = 0x1000;
    static constexpr unsigned typeBinary = 0x8000;
    static constexpr unsigned kBinaryRead = typeBinary | modeRead;                // 0x8000
    static constexpr unsigned kBinaryWrite = typeBinary | modeCreate | modeWrite; // 0x9001
    static constexpr unsigned kPlainRead = modeRead;                              // 0
    // Not a framework flag: creating fails when anything at all stands at the path, a link
    // included, so nothing is ever followed or overwritten.
    static constexpr unsigned modeCreateNew = 0x10000;
    static constexpr unsigned kBinaryCreateNew = kBinaryWrite | modeCreateNew;

    CFile() = default;
    // Opens at once; raises CFileException when that fails.
    CFile(const std::string& strPath, unsigned nFlags);
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    void Open(const std::string& strPath, unsigned nFlags);
    bool IsOpen() const { return m_nHandle != kNoHandle; }

    // Returns the number of bytes actually read; fewer (or none) at the end of the file.
    std::size_t Read(void* pBuffer, std::size_t nCount);
    void Write(const void* pBuffer, std::size_t nCount);
    void Write(const std::string& str) { Write(str.data(), str.size()); }
    void Seek(std::uint64_t nOffset);
    std::uint64_t GetPosition() const { return m_nPosition; }
    std::uint64_t GetLength() const;
    // Pushes written bytes to the disk, so that a replace that follows cannot expose a short file.
    void Flush();
    // Closes; raises when the system reports a failure. The destructor closes silently.
    void Close();
    const std::string& GetFilePath() const { return m_strPath; }

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
    // Fails when strNew exists.
    static void Rename(const std::string& strOld, const std::string& strNew);
    // Moves strSource over strTarget in one step, replacing it when it exists.
    static void Replace(const std::string& strSource, const std::string& strTarget);

private:
    static constexpr std::intptr_t kNoHandle = -1;
    static constexpr std::size_t kReadAhead = 64 * 1024;
    static constexpr std::size_t kReadThrough = 4 * 1024; // forward gaps read rather than sought

    // Raises when no file is open, as the system would for a closed handle.
    void RequireOpen(const char* pszAction) const;
    // The backend's primitives under the read-ahead: one system read at the system's position
    // (0 at the end), and a move of the system's position.
    std::size_t SystemRead(void* pBuffer, std::size_t nCount);
    void SystemSeek(std::uint64_t nOffset);
    // Brings the system's position to nOffset, asking the system only when it stands elsewhere.
    void MoveSystemTo(std::uint64_t nOffset);
    void CloseHandle() noexcept;

    std::intptr_t m_nHandle = kNoHandle;
    std::string m_strPath;
    std::uint64_t m_nPosition = 0;              // logical position
    std::unique_ptr<unsigned char[]> m_pBuffer; // read-ahead bytes, kReadAhead made on first use
    std::size_t m_nBuffered = 0;                // how many of them hold file bytes
    std::size_t m_nBufferStart = 0;             // index in m_pBuffer of the byte at m_nPosition
    std::uint64_t m_nSystemPosition = 0;        // where the system's file pointer stands
};

// The running program's process number: two copies running at once never share it.
unsigned long CurrentProcessId();

// While one lives, a folder is listed once when a name in it must be matched without regard to
// case, instead of at every such lookup; the file layer's own creates, deletes and renames forget
// the listings. Meant for a burst of reads in which nothing else changes the folders, such as the
// start-up load. Windows matches case itself, so there it does nothing.
class CFolderListingScope {
public:
    CFolderListingScope();
    ~CFolderListingScope();
    CFolderListingScope(const CFolderListingScope&) = delete;
    CFolderListingScope& operator=(const CFolderListingScope&) = delete;
};

// Directory search by wild-card pattern ('*' and '?') in the current directory. Names come one at
// a time, in case-insensitive name order so that runs are repeatable; "." and ".." are left out.
// Directories whose names match are yielded too. The pattern may name a folder ("data\*.pix").
// Only long names are matched: "*.c2c" never yields "old.c2c_old" for its short name.
//
//   CFileFind finder;
//   for (bool bMore = finder.FindFile("*.c2c"); bMore; bMore = finder.FindNextFile()) ...
class CFileFind {
public:
    bool FindFile(const std::string& strPattern);
    bool FindNextFile();
    const std::string& GetFileName() const;
    // How many names the search found.
    std::size_t GetCount() const { return m_aEntries.size(); }
    bool IsDirectory() const;

private:
    struct Entry {
        std::string strName;
        bool bDirectory;
    };
    // True when strName matches the last component of strPattern, without regard to case; "*.*"
    // is every name, as on Windows.
    static bool Matches(const std::string& strPattern, const std::string& strName);
    // Case-insensitive name order, byte-wise among names that differ only in case.
    void SortEntries();

    std::vector<Entry> m_aEntries;
    std::size_t m_nCurrent = 0;
};
