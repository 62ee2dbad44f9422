#pragma once

#include "support/MemoryWindow.h"

#include <gtest/gtest.h>

#include <string>

// The in-memory window for tests: a request no real window would take fails the test.
class CFakeWindow : public CMemoryWindow {
public:
    CFakeWindow() { m_bCheckImages = false; }

protected:
    void OnMisuse(const std::string& strWhat) override { ADD_FAILURE() << strWhat; }
};
