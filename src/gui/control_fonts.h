// Fonts of the window's controls: the named family at a pixel height when the machine has it, a
// family with the same widths otherwise, and as a last resort the toolkit's sans-serif, made
// smaller where a text would not fit its control.
#pragma once

#include <QFont>
#include <QString>

class QLabel;
class QWidget;

namespace pomvex {

// family when the machine has it, otherwise a family with the same widths (Liberation Sans or
// Arimo for Arial and MS Sans Serif); empty when there is none.
QString StandInFamily(const QString& family);

// family (or its stand-in) at pixelHeight pixels, or the toolkit's general sans-serif font at
// that height.
QFont ControlFont(const QString& family, int pixelHeight, bool bold = false);

// Lowers the widget's font one pixel at a time, not below minPixels, while its content needs
// more width than the widget's fixed size gives.
void FitFontToWidth(QWidget* widget, int minPixels = 9);

// A label grows to the right and downwards to show its whole text, as labels that size
// themselves to their text do.
void GrowToText(QLabel* label);

}  // namespace pomvex
