#pragma once

// Fails the file operations of one action in turn: a clean run counts them, then the action is
// repeated from a fresh setup once per operation, with exactly that one operation failing.

#include "platform/FileException.h"
#include "platform/FileFaults.h"

#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace hardening {

inline const char* OpName(FileOp op) {
    switch (op) {
    case FileOp::Open:
        return "open";
    case FileOp::Create:
        return "create";
    case FileOp::Read:
        return "read";
    case FileOp::Write:
        return "write";
    case FileOp::Flush:
        return "flush";
    case FileOp::Close:
        return "close";
    case FileOp::Remove:
        return "remove";
    case FileOp::Rename:
        return "rename";
    }
    return "?";
}

struct Fault {
    bool m_bInjected = false; // false for the clean run
    std::size_t m_nStep = 0;  // 0-based index of the failing operation
    FileOp m_op = FileOp::Open;
    std::string m_strPath;
    bool m_bRaised = false; // the action let a CFileException out
};

// Runs setup and action once cleanly, then once per counted operation with that one failing,
// calling check after each. Gives the number of operations, which must not be zero.
inline std::size_t SweepFaults(const char* pszWhat, const std::function<void()>& setup,
                               const std::function<void()>& action,
                               const std::function<void(const Fault&)>& check) {
    struct Op {
        FileOp op;
        std::string strPath;
    };
    std::vector<Op> aOps;
    auto runOnce = [&](Fault& fault) {
        try {
            action();
        } catch (const CFileException&) {
            fault.m_bRaised = true;
        }
        SetFileFaultHook({});
    };

    setup();
    SetFileFaultHook([&](FileOp op, const std::string& strPath) {
        aOps.push_back({op, strPath});
        return false;
    });
    Fault clean;
    runOnce(clean);
    {
        SCOPED_TRACE("clean run");
        check(clean);
    }

    for (std::size_t k = 0; k < aOps.size(); ++k) {
        setup();
        Fault fault;
        fault.m_nStep = k;
        std::size_t nSeen = 0;
        SetFileFaultHook([&](FileOp op, const std::string& strPath) {
            if (nSeen++ != k)
                return false;
            fault.m_bInjected = true;
            fault.m_op = op;
            fault.m_strPath = strPath;
            return true;
        });
        runOnce(fault);
        SCOPED_TRACE(std::string(pszWhat) + ": step " + std::to_string(k + 1) + " of " +
                     std::to_string(aOps.size()) + ", " + OpName(aOps[k].op) + " of \"" +
                     aOps[k].strPath + "\" fails");
        EXPECT_TRUE(fault.m_bInjected) << "the operations differ from the clean run's";
        check(fault);
    }
    EXPECT_GT(aOps.size(), 0u);
    std::cout << "[ faults   ] " << pszWhat << ": " << aOps.size()
              << " operations, each failed in turn\n";
    return aOps.size();
}

} // namespace hardening
