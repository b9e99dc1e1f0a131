#include "Fonts.h"

#include "Dpi.h"

#include <cstdlib>

namespace tessaly {

UniqueFont CreateTitleFont(UINT dpi) {
    LOGFONTW font = {};
    font.lfHeight = -MulDiv(12, static_cast<int>(dpi), 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    lstrcpynW(font.lfFaceName, L"\xFF2D\xFF33 \x30B4\x30B7\x30C3\x30AF", LF_FACESIZE);  // ＭＳ ゴシック
    return UniqueFont(CreateFontIndirectW(&font));
}

UniqueFont CreateMessageFont(UINT dpi, int smaller) {
    LOGFONTW font = MessageFontForDpi(dpi);
    const int height = std::abs(font.lfHeight) - smaller;  // negative: character height, positive: cell height
    if (smaller > 0 && height < MulDiv(6, static_cast<int>(dpi), 72)) return UniqueFont();
    font.lfHeight = font.lfHeight < 0 ? -height : height;
    return UniqueFont(CreateFontIndirectW(&font));
}

}  // namespace tessaly
