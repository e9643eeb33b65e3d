#include "gui/menu_paint.h"

#include <gtest/gtest.h>

#include <cstring>

#include "gui/scoped.h"

namespace {

// A 24-bit memory bitmap to paint an item into and read pixels back.
class MenuPaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        screen_ = GetDC(nullptr);
        dc_.reset(CreateCompatibleDC(screen_));
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(screen_, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        ASSERT_TRUE(bitmap_);
        previous_ = SelectObject(dc_.get(), bitmap_.get());
        font_.reset(CreateSystemMenuFont());
        ASSERT_TRUE(font_);
        // Distinct colours make every part of the item identifiable.
        colors_ = {RGB(230, 230, 230), RGB(10, 20, 30), RGB(0, 80, 200), RGB(250, 250, 0)};
    }
    void TearDown() override {
        SelectObject(dc_.get(), previous_);
        ReleaseDC(nullptr, screen_);
    }

    COLORREF Pixel(int x, int y) { return GetPixel(dc_.get(), x, y); }

    RECT Paint(const char* text, bool selected, bool checked) {
        SIZE size = MeasureMenuItem(dc_.get(), font_.get(), text);
        RECT rect = {0, 0, size.cx, size.cy};
        PaintMenuItem(dc_.get(), rect, text, font_.get(), selected, checked, colors_);
        return rect;
    }

    // Counts pixels in a rectangle that have the given colour.
    int Count(const RECT& r, COLORREF color) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += Pixel(x, y) == color;
        return n;
    }

    static constexpr int kWidth = 300;
    static constexpr int kHeight = 60;
    HDC screen_ = nullptr;
    ScopedMemoryDc dc_;
    ScopedGdi<HBITMAP> bitmap_;
    ScopedGdi<HFONT> font_;
    HGDIOBJ previous_ = nullptr;
    MenuColors colors_;
};

TEST_F(MenuPaintTest, ItemIsTextSizePlusMargins) {
    SIZE text = {0, 0};
    {
        SelectObjectScope useFont(dc_.get(), font_.get());
        GetTextExtentPoint32A(dc_.get(), "Informationen", 13, &text);
    }
    SIZE item = MeasureMenuItem(dc_.get(), font_.get(), "Informationen");
    EXPECT_EQ(item.cx, text.cx + 28);
    EXPECT_EQ(item.cy, text.cy + 6);
    EXPECT_GT(text.cx, 0);
}

TEST_F(MenuPaintTest, IdleItemHasShadedColumnMenuFillAndTextFrom28) {
    RECT rect = Paint("Beenden", false, false);
    int middle = rect.bottom / 2;
    // Column: 20 one-pixel steps from white toward the highlight colour.
    EXPECT_EQ(Pixel(0, middle), RGB(255, 255, 255));
    for (int x = 0; x < 20; ++x) {
        EXPECT_EQ(Pixel(x, 1), BlendColor(RGB(255, 255, 255), colors_.highlight, x, 20)) << x;
        EXPECT_EQ(Pixel(x, rect.bottom - 1), Pixel(x, 1)) << "each step is a full-height strip";
    }
    EXPECT_NE(Pixel(19, 1), Pixel(18, 1));
    // Menu colour right of the column, including the gap before the text.
    for (int x = 20; x < 28; ++x) EXPECT_EQ(Pixel(x, middle), colors_.menu) << x;
    // Text only from x = 28, in the menu-text colour.
    EXPECT_EQ(Count({0, 0, 28, rect.bottom}, colors_.menuText), 0);
    EXPECT_GT(Count({28, 0, rect.right, rect.bottom}, colors_.menuText), 10);
    EXPECT_EQ(Count(rect, colors_.highlightText), 0);
}

TEST_F(MenuPaintTest, HoveredItemIsFilledHalfwayToWhiteFramedInBlack) {
    RECT rect = Paint("Beenden", true, false);
    COLORREF hover = BlendColor(colors_.highlight, RGB(255, 255, 255), 1, 2);
    EXPECT_EQ(hover, RGB(127, 167, 227));
    // Whole width, column included.
    EXPECT_EQ(Pixel(1, 1), hover);
    EXPECT_EQ(Pixel(10, rect.bottom / 2), hover);
    EXPECT_EQ(Pixel(rect.right - 2, rect.bottom - 2), hover);
    // One-pixel black frame all round.
    for (int x = 0; x < rect.right; ++x) {
        EXPECT_EQ(Pixel(x, 0), RGB(0, 0, 0)) << x;
        EXPECT_EQ(Pixel(x, rect.bottom - 1), RGB(0, 0, 0)) << x;
    }
    for (int y = 0; y < rect.bottom; ++y) {
        EXPECT_EQ(Pixel(0, y), RGB(0, 0, 0)) << y;
        EXPECT_EQ(Pixel(rect.right - 1, y), RGB(0, 0, 0)) << y;
    }
    EXPECT_GT(Count({28, 1, rect.right - 1, rect.bottom - 1}, colors_.highlightText), 10);
    EXPECT_EQ(Count(rect, colors_.menuText), 0);
}

TEST_F(MenuPaintTest, CheckMarkIsDrawnInTheColumnOnlyWhenChecked) {
    RECT rect = Paint("Autostart", false, false);
    RECT column = {0, 0, 20, rect.bottom};
    EXPECT_EQ(Count(column, colors_.menuText), 0);

    Paint("Autostart", false, true);
    int strokes = Count(column, colors_.menuText);
    EXPECT_GE(strokes, 10);
    EXPECT_LE(strokes, 40) << "short strokes, not a filled box";

    Paint("Autostart", true, true);
    EXPECT_GE(Count({1, 1, 20, rect.bottom - 1}, colors_.highlightText), 10);
}

TEST_F(MenuPaintTest, PaintingLeavesNoGdiObjectsBehind) {
    Paint("Warm-up", true, true);
    DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (before == 0) GTEST_SKIP() << "this system does not count GDI objects";
    for (int i = 0; i < 200; ++i) Paint("Autostart", i % 2 == 0, i % 3 == 0);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before);
    // And the DC still holds the font and bitmap it held before.
    EXPECT_EQ(GetCurrentObject(dc_.get(), OBJ_BITMAP), bitmap_.get());
}

TEST(BlendColor, Table) {
    struct Case {
        COLORREF from, to;
        int num, den;
        COLORREF expected;
    } cases[] = {
        {RGB(255, 255, 255), RGB(0, 0, 0), 0, 20, RGB(255, 255, 255)},
        {RGB(255, 255, 255), RGB(0, 0, 0), 20, 20, RGB(0, 0, 0)},
        {RGB(0, 100, 200), RGB(255, 255, 255), 1, 2, RGB(127, 177, 227)},
        {RGB(10, 20, 30), RGB(10, 20, 30), 7, 20, RGB(10, 20, 30)},
    };
    for (const Case& c : cases) EXPECT_EQ(BlendColor(c.from, c.to, c.num, c.den), c.expected);
}

}  // namespace
