// The file layer's primitives on POSIX systems. Paths are mapped onto the real names by
// PathResolver.
#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/PathResolver.h"
#include "platform/SystemFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

// Only the causes some caller tells apart; every other error is generic.
int CauseOf(int nError) {
    static constexpr std::pair<int, int> kCauses[] = {
        {ENOENT, CFileException::fileNotFound},
        {ENOTDIR, CFileException::badPath},
        {ENAMETOOLONG, CFileException::badPath},
        {ELOOP, CFileException::badPath},
    };
    for (const auto& [nKnown, nCause] : kCauses)
        if (nKnown == nError)
            return nCause;
    return CFileException::genericException;
}

[[noreturn]] void ThrowError(int nError, const std::string& strPath, const std::string& strAction) {
    throw CFileException(CauseOf(nError), nError, strPath, strAction, std::strerror(nError));
}

int HandleOf(SystemFile::Handle nHandle) {
    return static_cast<int>(nHandle);
}

std::string FolderOf(const std::string& strPath) {
    const std::size_t nSlash = strPath.rfind('/');
    return nSlash == std::string::npos ? "." : nSlash == 0 ? "/" : strPath.substr(0, nSlash);
}

std::string LastComponent(const std::string& strPath) {
    const std::size_t nSlash = strPath.find_last_of("\\/");
    return nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1);
}

// Makes a rename survive a power cut. Best effort: the rename itself has already succeeded.
void SyncFolder(const std::string& strPath) {
    const int fd = open(FolderOf(strPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

} // namespace

SystemFile::Opened SystemFile::Open(const std::string& strPath, CFile::Mode mode,
                                    const std::string& strAction) {
    const bool bCreate = mode == CFile::modeCreateNew;
    // A pipe opened for reading would wait for a writer, perhaps for ever; not blocking lets the
    // file layer refuse it. The flag changes nothing for regular files.
    const int nMode = bCreate ? O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW : O_RDONLY | O_NONBLOCK;
    const auto OpenAs = [nMode](const std::string& strName) {
        int fd;
        do
            fd = open(strName.c_str(), nMode | O_CLOEXEC, 0666);
        while (fd < 0 && errno == EINTR);
        return fd;
    };
    // A file that exists as spelt is the exact match, which wins; only a miss needs the folders'
    // names compared. Creating must resolve first, or it would make a second file in another case.
    std::string strSpelt = strPath;
    std::replace(strSpelt.begin(), strSpelt.end(), '\\', '/');
    int fd = bCreate ? -1 : OpenAs(strSpelt);
    if (fd < 0 && (bCreate || errno == ENOENT || errno == ENOTDIR)) {
        const int nSpeltError = errno;
        const ResolvedPath resolved = ResolvePath(strPath);
        // A file to read that no case variant names is missing: the open as spelt said so.
        if (!bCreate && !resolved.bExists)
            ThrowError(nSpeltError, strPath, strAction);
        fd = OpenAs(resolved.strPath);
    }
    if (fd < 0)
        ThrowError(errno, strPath, strAction);

    struct stat st {};
    if (fstat(fd, &st) != 0) {
        const int nError = errno;
        close(fd);
        ThrowError(nError, strPath, strAction);
    }
    const Kind kind = S_ISREG(st.st_mode)   ? Kind::File
                      : S_ISDIR(st.st_mode) ? Kind::Folder
                                            : Kind::Other;
    return {fd, kind, static_cast<std::uint64_t>(st.st_size)};
}

std::size_t SystemFile::Read(Handle h, const std::string& strPath, void* pBuffer,
                             std::size_t nCount) {
    ssize_t n;
    do
        n = read(HandleOf(h), pBuffer, nCount);
    while (n < 0 && errno == EINTR);
    if (n < 0)
        ThrowError(errno, strPath, SystemFile::kReadFrom);
    return static_cast<std::size_t>(n);
}

std::size_t SystemFile::Write(Handle h, const std::string& strPath, const void* pBuffer,
                              std::size_t nCount) {
    while (true) {
        const ssize_t n = write(HandleOf(h), pBuffer, nCount);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            ThrowError(errno, strPath, SystemFile::kWriteTo);
        if (n == 0)
            ThrowError(ENOSPC, strPath, SystemFile::kWriteTo);
        return static_cast<std::size_t>(n);
    }
}

void SystemFile::Seek(Handle h, const std::string& strPath, std::uint64_t nOffset) {
    if (lseek(HandleOf(h), static_cast<off_t>(nOffset), SEEK_SET) < 0)
        ThrowError(errno, strPath, SystemFile::kMoveWithin);
}

void SystemFile::Flush(Handle h, const std::string& strPath) {
    // EINVAL: the file does not support syncing (a pipe, a special file); nothing to push.
    if (fsync(HandleOf(h)) != 0 && errno != EINVAL)
        ThrowError(errno, strPath, SystemFile::kSave);
}

void SystemFile::Close(Handle h, const std::string& strPath) {
    // Linux releases the descriptor even when close reports an error, so no retry.
    if (close(HandleOf(h)) != 0 && errno != EINTR)
        ThrowError(errno, strPath, SystemFile::kClose);
}

void SystemFile::CloseQuietly(Handle h) noexcept {
    close(HandleOf(h));
}

bool CFile::EntryExists(const std::string& strPath) {
    return ResolvePath(strPath).bExists;
}

bool CFile::IsReadOnly(const std::string& strPath) {
    const std::string strReal = ResolvePath(strPath).strPath;
    struct stat st {};
    if (stat(strReal.c_str(), &st) != 0)
        return false; // what is not there is not read-only
    // The mode bits say it for every user; access() adds a read-only mount, and is all root
    // would be refused by.
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || access(strReal.c_str(), W_OK) != 0;
}

void SystemFile::CreateFolder(const std::string& strPath, const std::string& strAction) {
    const std::string strReal = ResolvePath(strPath).strPath;
    if (mkdir(strReal.c_str(), 0777) == 0)
        return;
    const int nError = errno;
    struct stat st {};
    if (nError == EEXIST && stat(strReal.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return;
    ThrowError(nError, strPath, strAction);
}

unsigned long CurrentProcessId() {
    return static_cast<unsigned long>(getpid());
}

void SystemFile::Remove(const std::string& strPath, const std::string& strAction) {
    if (unlink(ResolvePath(strPath).strPath.c_str()) != 0)
        ThrowError(errno, strPath, strAction);
}

void SystemFile::Move(const std::string& strFrom, const std::string& strTo, ExistingFile existing,
                      const std::string& strAction) {
    const ResolvedPath source = ResolvePath(strFrom);
    ResolvedPath target = ResolvePath(strTo);
    if (existing == ExistingFile::Refuse && target.bExists) {
        // Only the file itself may stand under the new name in another case: that move just
        // changes the case, as it does on Windows.
        if (!source.bExists || target.strPath != source.strPath)
            ThrowError(EEXIST, strFrom, strAction);
        target.strPath = FolderOf(target.strPath) + "/" + LastComponent(strTo);
    }
    const char* pszFrom = source.strPath.c_str();
    const char* pszTo = target.strPath.c_str();
    if (existing == ExistingFile::Replace) {
        if (rename(pszFrom, pszTo) != 0)
            ThrowError(errno, strFrom, strAction);
    } else if (renameat2(AT_FDCWD, pszFrom, AT_FDCWD, pszTo, RENAME_NOREPLACE) != 0) {
        if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
            ThrowError(errno, strFrom, strAction);
        // A file system without RENAME_NOREPLACE: a hard link refuses an existing name as well.
        if (link(pszFrom, pszTo) != 0)
            ThrowError(errno, strFrom, strAction);
        if (unlink(pszFrom) != 0) {
            const int nError = errno;
            unlink(pszTo);
            ThrowError(nError, strFrom, strAction);
        }
    }
    SyncFolder(target.strPath);
}

std::vector<FolderEntry> SystemFile::ListFolder(const std::string& strPattern) {
    const std::size_t nSlash = strPattern.find_last_of("\\/");
    const std::string strFolder =
        nSlash == std::string::npos ? "." : ResolvePath(strPattern.substr(0, nSlash + 1)).strPath;

    std::vector<FolderEntry> aEntries;
    const CDirHandle pDir(opendir(strFolder.c_str()));
    if (!pDir)
        return aEntries;
    while (const dirent* pEntry = readdir(pDir.get())) {
        const std::string strName = pEntry->d_name;
        // The listing tells most entries' kind; links and file systems that do not say need a look.
        bool bDirectory = pEntry->d_type == DT_DIR;
        if (pEntry->d_type == DT_UNKNOWN || pEntry->d_type == DT_LNK) {
            struct stat st {};
            bDirectory = stat((strFolder + "/" + strName).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        aEntries.push_back({strName, bDirectory});
    }
    return aEntries;
}
