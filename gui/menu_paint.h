#pragma once
// Measuring and painting of the owner-drawn popup menu items.
#include <windows.h>

struct MenuColors {
    COLORREF menu;           // item background
    COLORREF menuText;       // text of an idle item
    COLORREF highlight;      // target of the column shading, base of the hover fill
    COLORREF highlightText;  // text of the item under the cursor
};

// Item geometry around the text.
constexpr int kMenuTextLeft = 28;      // text starts this far from the item's left edge
constexpr int kMenuExtraWidth = 28;    // item width = text width + this
constexpr int kMenuExtraHeight = 6;    // item height = text height + this
constexpr int kMenuColumnWidth = 20;   // shaded column at the left

MenuColors SystemMenuColors();

// The system menu font (non-client metrics); the caller owns the font.
HFONT CreateSystemMenuFont();

// Mixes `from` toward `to` by numerator/denominator, per channel.
COLORREF BlendColor(COLORREF from, COLORREF to, int numerator, int denominator);

// Size of an item holding `text` in `font`.
SIZE MeasureMenuItem(HDC dc, HFONT font, const char* text);

// Paints one item into `rect`; leaves the DC's selected objects as it found them.
void PaintMenuItem(HDC dc, const RECT& rect, const char* text, HFONT font, bool selected, bool checked,
                   const MenuColors& colors);
