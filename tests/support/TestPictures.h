#pragma once

// The image list of the tests, the fuzz harnesses and the measurements: it keeps the pictures in
// memory, and aborts (failing the test, or a finding for a fuzzer) on a picture added before the
// image list was made.

#include "pictures/PictureSink.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

class CTestPictures : public CPictureSink {
public:
    void CreateImageList() override {
        m_bMade = true;
        m_aPictures.clear();
        m_nPictures = 0;
    }
    int AddPicture(const std::uint8_t* pPicture) override {
        if (!m_bMade) {
            std::fprintf(stderr, "picture added before the image list was made\n");
            std::abort();
        }
        // Copying reads every byte, so that a short buffer is caught by the address sanitizer.
        if (m_bKeepPictures)
            m_aPictures.emplace_back(pPicture, pPicture + kPictureBytes);
        return m_nPictures++;
    }

    // Off where thousands of pictures are added, and in measurements, which should pay for the
    // composing only.
    bool m_bKeepPictures = true;
    std::vector<std::vector<std::uint8_t>> m_aPictures;
    int m_nPictures = 0;

private:
    bool m_bMade = false;
};
