// Car pictures from blue-green-red buffers, through the image list, drawn into a 32-bit memory
// canvas, as the dialog's views draw them.
#include "pictures/CarCan.h"
#include "platform/win32/Bitmap.h"
#include "platform/win32/ImageList.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

constexpr int kWidth = 192;
constexpr int kHeight = 128;

struct Bgr {
    std::uint8_t b, g, r;
};

std::vector<std::uint8_t> FilledPicture(int nWidth, int nHeight, Bgr colour) {
    std::vector<std::uint8_t> a(3u * static_cast<std::size_t>(nWidth * nHeight));
    for (std::size_t i = 0; i < a.size(); i += 3) {
        a[i] = colour.b;
        a[i + 1] = colour.g;
        a[i + 2] = colour.r;
    }
    return a;
}

void SetPixel(std::vector<std::uint8_t>& a, int nWidth, int x, int y, Bgr colour) {
    const std::size_t n = 3u * static_cast<std::size_t>(y * nWidth + x);
    a[n] = colour.b;
    a[n + 1] = colour.g;
    a[n + 2] = colour.r;
}

// A memory DC with a 32-bit top-down DIB selected into it, filled with one marker colour.
class CCanvas {
public:
    CCanvas(int nWidth, int nHeight) : m_nWidth(nWidth), m_hDC(::CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = nWidth;
        info.bmiHeader.biHeight = -nHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* pBits = nullptr;
        m_hBitmap = ::CreateDIBSection(m_hDC, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
        m_pBits = static_cast<std::uint32_t*>(pBits);
        m_hOld = ::SelectObject(m_hDC, m_hBitmap);
        for (int i = 0; i < nWidth * nHeight; ++i)
            m_pBits[i] = kMarker;
    }
    ~CCanvas() {
        ::SelectObject(m_hDC, m_hOld);
        ::DeleteObject(m_hBitmap);
        ::DeleteDC(m_hDC);
    }
    CCanvas(const CCanvas&) = delete;
    CCanvas& operator=(const CCanvas&) = delete;

    HDC Hdc() const { return m_hDC; }
    // 0xRRGGBB of the pixel, after GDI has finished drawing.
    std::uint32_t At(int x, int y) const {
        ::GdiFlush();
        return m_pBits[y * m_nWidth + x] & 0xFFFFFF;
    }

    static constexpr std::uint32_t kMarker = 0x123456;

private:
    int m_nWidth;
    HDC m_hDC;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hOld = nullptr;
    std::uint32_t* m_pBits = nullptr;
};

class PictureDraw : public ::testing::Test {
protected:
    void SetUp() override { m_list.Create(kWidth, kHeight, ILC_COLOR24, 1, 1); }

    int Add(const std::vector<std::uint8_t>& aPicture, int nWidth = kWidth, int nHeight = kHeight) {
        CBitmap bitmap;
        bitmap.CreatePicture(nWidth, nHeight, aPicture.data());
        return m_list.Add(bitmap);
    }

    CImageList m_list;
};

TEST_F(PictureDraw, KeepsColoursAndRowOrder) {
    // The colour of a pixel with bytes 0xF8, 0x4C, elsewhere a corner marked in each quadrant.
    auto aPicture = FilledPicture(kWidth, kHeight, {0xC0, 0x40, 0x80});
    SetPixel(aPicture, kWidth, 0, 0, {0xF0, 0x00, 0x00});
    SetPixel(aPicture, kWidth, kWidth - 1, 0, {0x00, 0xF0, 0x00});
    SetPixel(aPicture, kWidth, 0, kHeight - 1, {0x00, 0x00, 0xF0});
    SetPixel(aPicture, kWidth, kWidth - 1, kHeight - 1, {0x10, 0x20, 0x30});
    ASSERT_EQ(Add(aPicture), 0);

    CCanvas canvas(kWidth, kHeight);
    ASSERT_TRUE(m_list.Draw(0, canvas.Hdc(), 0, 0, ILD_NORMAL));
    EXPECT_EQ(canvas.At(1, 1), 0x8040C0u);
    EXPECT_EQ(canvas.At(100, 64), 0x8040C0u);
    EXPECT_EQ(canvas.At(0, 0), 0x0000F0u);
    EXPECT_EQ(canvas.At(kWidth - 1, 0), 0x00F000u);
    EXPECT_EQ(canvas.At(0, kHeight - 1), 0xF00000u);
    EXPECT_EQ(canvas.At(kWidth - 1, kHeight - 1), 0x302010u);
}

TEST_F(PictureDraw, IndexesFollowTheOrderOfAdding) {
    ASSERT_EQ(Add(FilledPicture(kWidth, kHeight, {0xC0, 0x40, 0x80})), 0);
    ASSERT_EQ(Add(FilledPicture(kWidth, kHeight, {0x00, 0x00, 0x00})), 1);
    ASSERT_EQ(Add(FilledPicture(kWidth, kHeight, {0x30, 0x60, 0x90})), 2);
    EXPECT_EQ(m_list.GetImageCount(), 3);

    CCanvas canvas(kWidth, kHeight);
    ASSERT_TRUE(m_list.Draw(1, canvas.Hdc(), 0, 0, ILD_NORMAL));
    EXPECT_EQ(canvas.At(50, 50), 0x000000u); // black stays black, with no mask colour applied
    ASSERT_TRUE(m_list.Draw(2, canvas.Hdc(), 0, 0, ILD_NORMAL));
    EXPECT_EQ(canvas.At(50, 50), 0x906030u);
}

TEST_F(PictureDraw, PicturesKeepTheirPlacesAsTheListGrows) {
    // Room for two at first: the list grows four times while eleven pictures go in.
    CImageList list;
    list.Create(4, 2, ILC_COLOR24, 1, 2);
    for (int i = 0; i < 11; ++i) {
        const auto n = static_cast<std::uint8_t>(20 * i);
        CBitmap bitmap;
        bitmap.CreatePicture(4, 2,
                             FilledPicture(4, 2, {n, 0x11, static_cast<std::uint8_t>(~n)}).data());
        ASSERT_EQ(list.Add(bitmap), i);
    }
    EXPECT_EQ(list.GetImageCount(), 11);

    CCanvas canvas(4, 2);
    for (int i = 0; i < 11; ++i) {
        ASSERT_TRUE(list.Draw(i, canvas.Hdc(), 0, 0, ILD_NORMAL));
        const std::uint32_t n = 20u * static_cast<std::uint32_t>(i);
        EXPECT_EQ(canvas.At(3, 1), ((~n & 0xFFu) << 16) | 0x1100u | n) << "picture " << i;
    }
    // Places made for pictures still to come hold none.
    EXPECT_FALSE(list.Draw(11, canvas.Hdc(), 0, 0, ILD_NORMAL));
}

TEST_F(PictureDraw, OneBitmapCarriesEachPictureToTheList) {
    CBitmap bitmap;
    bitmap.CreatePicture(kWidth, kHeight,
                         FilledPicture(kWidth, kHeight, {0x10, 0x20, 0x30}).data());
    const HBITMAP hFirst = bitmap.GetSafeHandle();
    ASSERT_EQ(m_list.Add(bitmap), 0);
    bitmap.CreatePicture(kWidth, kHeight,
                         FilledPicture(kWidth, kHeight, {0x40, 0x50, 0x60}).data());
    EXPECT_EQ(bitmap.GetSafeHandle(), hFirst) << "filled again, not made anew";
    ASSERT_EQ(m_list.Add(bitmap), 1);
    // Another size needs a bitmap of its own.
    bitmap.CreatePicture(4, 2, FilledPicture(4, 2, {1, 2, 3}).data());
    BITMAP info{};
    ASSERT_NE(::GetObjectA(bitmap.GetSafeHandle(), sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 4);

    CCanvas canvas(kWidth, kHeight);
    ASSERT_TRUE(m_list.Draw(0, canvas.Hdc(), 0, 0, ILD_NORMAL));
    EXPECT_EQ(canvas.At(7, 7), 0x302010u) << "the list kept its own copy";
    ASSERT_TRUE(m_list.Draw(1, canvas.Hdc(), 0, 0, ILD_NORMAL));
    EXPECT_EQ(canvas.At(7, 7), 0x605040u);
}

TEST_F(PictureDraw, RowsWhoseLengthIsNoWholeDwordAreNotSheared) {
    // 5 pixels a row are 15 bytes, while the bitmap's rows are padded to 16.
    CImageList list;
    list.Create(5, 3, ILC_COLOR24, 1, 1);
    auto aPicture = FilledPicture(5, 3, {0x10, 0x10, 0x10});
    for (int x = 0; x < 5; ++x)
        SetPixel(aPicture, 5, x, 2, {0xA0, 0xB0, 0xC0});
    CBitmap bitmap;
    bitmap.CreatePicture(5, 3, aPicture.data());
    ASSERT_EQ(list.Add(bitmap), 0);

    CCanvas canvas(5, 3);
    ASSERT_TRUE(list.Draw(0, canvas.Hdc(), 0, 0, ILD_NORMAL));
    EXPECT_EQ(canvas.At(4, 1), 0x101010u);
    EXPECT_EQ(canvas.At(0, 2), 0xC0B0A0u);
    EXPECT_EQ(canvas.At(4, 2), 0xC0B0A0u);
}

TEST_F(PictureDraw, AListThatWasNeverMadeRefusesPictures) {
    CImageList list;
    CBitmap bitmap;
    const auto aPicture = FilledPicture(kWidth, kHeight, {1, 2, 3});
    bitmap.CreatePicture(kWidth, kHeight, aPicture.data());
    EXPECT_THROW(list.Add(bitmap), std::runtime_error);
    EXPECT_EQ(list.GetImageCount(), 0);
}

// The view on a frame window of its own, as the dialog attaches it.
class CarCanView : public PictureDraw {
protected:
    void SetUp() override {
        PictureDraw::SetUp();
        m_hFrame =
            ::CreateWindowExA(0, "STATIC", "", WS_POPUP | SS_BLACKFRAME, 0, 0, kWidth, kHeight,
                              nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(m_hFrame, nullptr);
        m_view.Attach(m_hFrame);
        ASSERT_EQ(Add(FilledPicture(kWidth, kHeight, {0xC0, 0x40, 0x80})), 0);
        ASSERT_EQ(Add(FilledPicture(kWidth, kHeight, {0x20, 0xD0, 0x50})), 1);
    }
    void TearDown() override {
        m_view.Detach();
        if (m_hFrame != nullptr)
            ::DestroyWindow(m_hFrame);
    }

    std::uint32_t Drawn() {
        CCanvas canvas(kWidth, kHeight);
        CDC dc(canvas.Hdc());
        m_view.OnDraw(dc);
        return canvas.At(10, 10);
    }

    HWND m_hFrame = nullptr;
    CCarCan m_view;
};

TEST_F(CarCanView, DrawsNothingBeforeTheFirstPicture) {
    EXPECT_EQ(Drawn(), CCanvas::kMarker);
}

TEST_F(CarCanView, MinusOneKeepsThePictureShown) {
    m_view.SetImage(&m_list, 1);
    m_view.SetImage(nullptr, -1);
    EXPECT_EQ(m_view.m_pImageList, &m_list);
    EXPECT_EQ(m_view.m_nImage, 1);
    EXPECT_EQ(Drawn(), 0x50D020u);
}

TEST_F(CarCanView, TheFramesPaintingDrawsThePictureAgain) {
    CCarCan view;
    view.AttachFrame(m_hFrame);
    view.SetImage(&m_list, 1);
    view.SetImage(nullptr, -1);

    CCanvas canvas(kWidth, kHeight);
    ::SendMessageA(m_hFrame, WM_PAINT, reinterpret_cast<WPARAM>(canvas.Hdc()), 0);
    EXPECT_EQ(canvas.At(10, 10), 0x50D020u);
}

TEST_F(CarCanView, ASecondCarReplacesTheFirst) {
    m_view.SetImage(&m_list, 0);
    EXPECT_EQ(Drawn(), 0x8040C0u);
    m_view.SetImage(&m_list, 1);
    EXPECT_EQ(Drawn(), 0x50D020u);
}

} // namespace
