#pragma once

#include "pictures/PictureCache.h"

#include <vector>

// The picture a view draws. A car without a picture leaves the one before it in view, but whether
// a car has one is known only once its picture is composed, when it is first drawn: so the
// pictures shown are kept in turn until one of them turns out to have a picture.
class CShownPicture {
public:
    // A car of picture number nPicture is shown; -1 forgets every picture shown.
    void Show(int nPicture);
    // The sink's index of the newest picture shown that has one, composing pictures newest first
    // as far as needed; -1 while none has.
    [[nodiscard]] int Resolve(CPictureCache& pictures);

private:
    std::vector<int> m_anShown; // picture numbers, each once, oldest first
};
