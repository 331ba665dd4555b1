// SPDX-License-Identifier: MIT
#include "platform/win32/FacePainting.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "window/GlyphShapes.h"

namespace tapelark {
namespace {

void DrawBitmap(HDC target, HBITMAP bitmap, int x, int y, int maxWidth, int maxHeight) {
    BITMAP info{};
    GetObject(bitmap, sizeof(info), &info);
    HDC source = CreateCompatibleDC(target);
    HGDIOBJ old = SelectObject(source, bitmap);
    BitBlt(target, x, y, std::min<int>(info.bmWidth, maxWidth), std::min<int>(info.bmHeight, maxHeight),
           source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

std::wstring Widened(const char* text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(length, 1)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    wide.resize(wide.size() - 1);
    return wide;
}

// Whether the font selected into `dc` is the one asked for and draws `letter`:
// the font mapper quietly picks another face when the named one won't do.
bool FontDraws(HDC dc, const char* faceName, wchar_t letter) {
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc, LF_FACESIZE, face);
    if (lstrcmpiA(face, faceName) != 0) return false;
    WORD index = 0;
    return GetGlyphIndicesW(dc, &letter, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) == 1 &&
           index != 0xFFFF;
}

// The glyph shapes for a font that lacks them (Wine's own Marlett is not
// chosen for these letters), centred in `box` and sized to `em`.
bool DrawGlyphShape(HDC dc, char letter, const RECT& box, int em, COLORREF colour) {
    const GlyphShape shape = GlyphShapeAt(GlyphForLetter(letter), (box.left + box.right) / 2.0,
                                          (box.top + box.bottom) / 2.0, em);
    if (shape.glyph == Glyph::None) return false;
    const auto px = [](double v) { return static_cast<int>(std::lround(v)); };
    const int left = px(shape.left), top = px(shape.top), right = px(shape.right), bottom = px(shape.bottom);
    HBRUSH brush = CreateSolidBrush(colour);
    const LOGBRUSH line{BS_SOLID, colour, 0};
    HPEN pen = shape.glyph == Glyph::Cross
                   ? ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT,
                                  static_cast<DWORD>(std::max(1, px(shape.stroke))), &line, 0, nullptr)
                   : static_cast<HPEN>(GetStockObject(NULL_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    switch (shape.glyph) {
    case Glyph::Circle:
        Ellipse(dc, left, top, right + 1, bottom + 1);  // a null pen leaves the last row and column
        break;
    case Glyph::Square: {
        const RECT square{left, top, right, bottom};
        FillRect(dc, &square, brush);
        break;
    }
    case Glyph::RightTriangle: {
        const POINT triangle[] = {{left, top}, {right, (top + bottom) / 2}, {left, bottom}};
        Polygon(dc, triangle, 3);
        break;
    }
    case Glyph::Cross:
        MoveToEx(dc, left, top, nullptr);
        LineTo(dc, right, bottom);
        MoveToEx(dc, right, top, nullptr);
        LineTo(dc, left, bottom);
        break;
    case Glyph::None:
        break;
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    if (shape.glyph == Glyph::Cross) DeleteObject(pen);
    DeleteObject(brush);
    return true;
}

}  // namespace

COLORREF ToColorRef(std::uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}
COLORREF Pick(Colour colour, int systemColour) {
    return colour.platformDefault ? GetSysColor(systemColour) : ToColorRef(colour.rgb);
}

void PaintButton(const DRAWITEMSTRUCT& draw, const ControlLayout& layout, HFONT font, HBITMAP picture,
                 int dpi) {
    HDC dc = draw.hDC;
    RECT face = draw.rcItem;
    const bool pressed = draw.itemState & ODS_SELECTED;
    const bool disabled = draw.itemState & ODS_DISABLED;

    HBRUSH brush = CreateSolidBrush(Pick(layout.face, COLOR_BTNFACE));
    FillRect(dc, &face, brush);
    DeleteObject(brush);
    DrawEdge(dc, &face, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    RECT inside = face;
    if (pressed) OffsetRect(&inside, 1, 1);

    if (picture) {
        BITMAP info{};
        GetObject(picture, sizeof(info), &info);
        const int x = (inside.left + inside.right - info.bmWidth) / 2;
        const int y = (inside.top + inside.bottom - info.bmHeight) / 2;
        if (disabled)
            DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(picture), 0, x, y, info.bmWidth,
                       info.bmHeight, DST_BITMAP | DSS_DISABLED);
        else
            DrawBitmap(dc, picture, x, y, info.bmWidth, info.bmHeight);
    } else if (layout.caption) {
        HGDIOBJ oldFont = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        constexpr UINT kCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
        const std::wstring text = Widened(layout.caption);
        const bool symbol = layout.font.charset == kCharsetSymbol;
        const bool shape = symbol && text.size() == 1 && !FontDraws(dc, layout.font.name, text[0]);
        auto paint = [&](const RECT& box, COLORREF colour) {
            if (shape) {
                const int em = static_cast<int>(std::lround(layout.font.points * dpi / 72.0));
                DrawGlyphShape(dc, layout.caption[0], box, em, colour);
            } else {
                SetTextColor(dc, colour);
                DrawTextW(dc, text.c_str(), -1, const_cast<RECT*>(&box), kCentred);
            }
        };
        if (disabled) {
            // The platform's engraved look: a light copy one pixel down-right, grey on top.
            RECT shadow = inside;
            OffsetRect(&shadow, 1, 1);
            paint(shadow, GetSysColor(COLOR_3DHILIGHT));
            paint(inside, GetSysColor(COLOR_GRAYTEXT));
        } else {
            paint(inside, Pick(layout.text, COLOR_BTNTEXT));
        }
        SelectObject(dc, oldFont);
    }
    if (draw.itemState & ODS_FOCUS) {
        RECT focus = face;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
}

void PaintPicture(const DRAWITEMSTRUCT& draw, HBITMAP image) {
    if (!image) return;
    // Natural size from the top-left, cut at the box's edges.
    DrawBitmap(draw.hDC, image, draw.rcItem.left, draw.rcItem.top,
               draw.rcItem.right - draw.rcItem.left, draw.rcItem.bottom - draw.rcItem.top);
}

}  // namespace tapelark
