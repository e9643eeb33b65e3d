#include "gui/menu_paint.h"

#include <cstring>

#include "gui/scoped.h"

namespace {

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
    ScopedGdi<HBRUSH> brush(CreateSolidBrush(color));
    FillRect(dc, &rect, brush.get());
}

// A check mark of two short strokes, two pixels thick, centred in the column.
void DrawCheckMark(HDC dc, const RECT& item, COLORREF color) {
    ScopedGdi<HPEN> pen(CreatePen(PS_SOLID, 1, color));
    SelectObjectScope usePen(dc, pen.get());
    int x = item.left + 5;
    int y = item.top + (item.bottom - item.top) / 2 - 1;
    for (int thickness = 0; thickness < 2; ++thickness) {
        MoveToEx(dc, x, y + thickness, nullptr);
        LineTo(dc, x + 3, y + 3 + thickness);
        LineTo(dc, x + 10, y - 4 + thickness);
    }
}

}  // namespace

MenuColors SystemMenuColors() {
    MenuColors colors;
    colors.menu = GetSysColor(COLOR_MENU);
    colors.menuText = GetSysColor(COLOR_MENUTEXT);
    colors.highlight = GetSysColor(COLOR_HIGHLIGHT);
    colors.highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    return colors;
}

HFONT CreateSystemMenuFont() {
    NONCLIENTMETRICSA metrics;
    memset(&metrics, 0, sizeof(metrics));
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
        // Systems before Vista know the structure without its last field.
        metrics.cbSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(metrics.lfMessageFont);
        if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
            return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    return CreateFontIndirectA(&metrics.lfMenuFont);
}

COLORREF BlendColor(COLORREF from, COLORREF to, int numerator, int denominator) {
    auto mix = [&](int a, int b) { return a + (b - a) * numerator / denominator; };
    return RGB(mix(GetRValue(from), GetRValue(to)), mix(GetGValue(from), GetGValue(to)),
               mix(GetBValue(from), GetBValue(to)));
}

SIZE MeasureMenuItem(HDC dc, HFONT font, const char* text) {
    SelectObjectScope useFont(dc, font);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &size);
    size.cx += kMenuExtraWidth;
    size.cy += kMenuExtraHeight;
    return size;
}

void PaintMenuItem(HDC dc, const RECT& rect, const char* text, HFONT font, bool selected, bool checked,
                   const MenuColors& colors) {
    FillSolid(dc, rect, colors.menu);

    if (selected) {
        FillSolid(dc, rect, BlendColor(colors.highlight, RGB(255, 255, 255), 1, 2));
        ScopedGdi<HBRUSH> frame(CreateSolidBrush(RGB(0, 0, 0)));
        FrameRect(dc, &rect, frame.get());
    } else {
        // One-pixel steps from white toward the highlight colour.
        for (int step = 0; step < kMenuColumnWidth; ++step) {
            RECT strip = {rect.left + step, rect.top, rect.left + step + 1, rect.bottom};
            FillSolid(dc, strip, BlendColor(RGB(255, 255, 255), colors.highlight, step, kMenuColumnWidth));
        }
    }

    if (checked) DrawCheckMark(dc, rect, selected ? colors.highlightText : colors.menuText);

    SelectObjectScope useFont(dc, font);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(dc, selected ? colors.highlightText : colors.menuText);
    RECT textRect = {rect.left + kMenuTextLeft, rect.top, rect.right, rect.bottom};
    DrawTextA(dc, text, -1, &textRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
}
