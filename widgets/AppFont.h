#pragma once
#include <QFont>

class QLabel;
class QListWidget;
class QWidget;

// The house typeface from "FontDir/OPPOSans-H.ttf" at a pixel size; registered once.
// Without the file a system font at that size stands in and the next call tries again.
QFont LoadAppFont(int pixelSize);

// Sets the house typeface at a pixel size on a widget (only loads it for a null widget).
void ApplyAppFont(QWidget *widget, int pixelSize);

// Sets the house typeface at the largest pixel size up to pixelSize (9 at the least) at which
// every line of text is at most width pixels wide: a text in a room the layout does not grow.
void FitAppFont(QWidget *widget, const QString &text, int pixelSize, int width);
QFont FittedAppFont(const QString &text, int pixelSize, int width);

// Gives each item of a list the house typeface at the largest size up to pixelSize at which its
// text fits a row of width x height pixels, on one line or, where that allows a larger size, on
// two (the list then wraps its rows' texts).
void FitListItemFonts(QListWidget *list, int pixelSize, int width, int height);

// Shows text in a label whose rectangle the form fixes: at the largest pixel size, from font's
// down to 8, at which it fits, on one line or else wrapped on more lines.
void FitLabelText(QLabel *label, const QString &text, QFont font);
