#pragma once
// The list-state pictures, composed once at start-up from the glyphs in a fixed order that
// every list filler relies on.
#include "app/pages/MainState.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <QVector>

namespace StateIcons {

// One image list: pictures and their keys, in index order (index 1 is element 0).
struct ImageList {
    QVector<QImage> images;
    QStringList keys;
    int IndexOf(const QString& key) const { return int(keys.indexOf(key)) + 1; }
};

// All six lists, with the two source lists holding their design-time glyphs first.
struct Lists {
    ImageList imlDigitalSource, imlAnalogSource, imlDigital, imlAnalog, imlRelay, imlAdditionalRUNDetect;
    int blankPictures = 0; // pictures that could not be composed and were left blank
};

// A design-time glyph by key ("NC", "ALARMX", "EVENT" ...); a null image when it is missing.
QImage Glyph(const QString& key);
// A tool-bar glyph by key ("PRINT", "HELP"), 16 x 16 with a see-through background; a null
// image when it is missing.
QImage ToolGlyph(const QString& key);
// base with over drawn on it; magenta pixels of over are see-through.
QImage Overlay(const QImage& base, const QImage& over);
// Composes every list. `glyph` supplies the design-time images (tests pass a failing one).
Lists Compose(QImage (*glyph)(const QString&) = &Glyph);
// The lists as the pages use them.
ListImages BuildStateIcons();

} // namespace StateIcons
