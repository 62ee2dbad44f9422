#include "platform/FileFaults.h"

#include "platform/FileException.h"

#include <utility>

namespace {

FileFaultHook& Hook() {
    static FileFaultHook hook;
    return hook;
}

// The error number a failing disk reports: EIO, or ERROR_IO_DEVICE on Windows.
#ifdef _WIN32
constexpr long kIoError = 1117;
#else
constexpr long kIoError = 5;
#endif

} // namespace

void SetFileFaultHook(FileFaultHook hook) {
    Hook() = std::move(hook);
}

void CheckFileFault(FileOp op, const std::string& strPath, const char* pszAction) {
    const FileFaultHook& hook = Hook();
    if (hook && hook(op, strPath))
        throw CFileException(CFileException::hardIO, kIoError, strPath, pszAction,
                             "simulated failure");
}
