// The window's layout is given in twips; at 15 twips per pixel. Qt scales
// these logical pixels with the screen's device pixel ratio by itself.
#pragma once

#include <QFont>
#include <QRect>
#include <QStringList>

namespace tavrel {

inline int Twips(int twips) { return (2 * twips + 15) / 30; }  // rounded to the nearest pixel

inline QRect TwipsRect(int left, int top, int width, int height) {
    return {Twips(left), Twips(top), Twips(width), Twips(height)};
}

enum FontStyle { Regular = 0, Bold = 1, Italic = 2, Underline = 4 };

// A font given as family and point size at 96 dots per inch, with the
// nearest installed families to fall back on when the named one is missing.
QFont WindowsFont(const QStringList& families, double points, int style = Regular);

QFont ArialBlack(double points, int style);
QFont Tahoma(double points, int style);
QFont MsSansSerif(double points, int style);
QFont SmallFonts(double points, int style);

}  // namespace tavrel
