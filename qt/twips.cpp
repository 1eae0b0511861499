#include "qt/twips.h"

#include <cmath>

namespace tavrel {

QFont WindowsFont(const QStringList& families, double points, int style) {
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
    font.setBold((style & Bold) != 0);
    font.setItalic((style & Italic) != 0);
    font.setUnderline((style & Underline) != 0);
    return font;
}

QFont ArialBlack(double points, int style) {
    QFont font = WindowsFont({"Arial Black", "Liberation Sans", "Arial", "DejaVu Sans"}, points, style);
    font.setWeight(QFont::Black);
    return font;
}

QFont Tahoma(double points, int style) {
    return WindowsFont({"Tahoma", "Liberation Sans", "Arial", "DejaVu Sans"}, points, style);
}

QFont MsSansSerif(double points, int style) {
    return WindowsFont({"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arial", "DejaVu Sans"},
                       points, style);
}

QFont SmallFonts(double points, int style) {
    return WindowsFont({"Small Fonts", "Liberation Sans", "Arial", "DejaVu Sans"}, points, style);
}

}  // namespace tavrel
