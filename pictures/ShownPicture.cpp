#include "pictures/ShownPicture.h"

#include <algorithm>

void CShownPicture::Show(int nPicture) {
    if (nPicture == -1) {
        m_anShown.clear();
        return;
    }
    std::erase(m_anShown, nPicture);
    m_anShown.push_back(nPicture);
}

int CShownPicture::Resolve(CPictureCache& pictures) {
    // Pictures found missing are dropped, and so is every picture older than the one drawn: the
    // list stays short however many cars were shown while the pictures were hidden.
    while (!m_anShown.empty()) {
        if (const int nImage = pictures.ImageOf(m_anShown.back()); nImage != -1) {
            m_anShown = {m_anShown.back()};
            return nImage;
        }
        m_anShown.pop_back();
    }
    return -1;
}
