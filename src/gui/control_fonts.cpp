// Fonts of the window's controls. Old desktop fonts ("MS Sans Serif", "Arial") are missing on
// most machines; the stand-in is wider, so texts that would be clipped are drawn smaller.
#include "control_fonts.h"

#include <QFontDatabase>
#include <QLabel>
#include <QLayout>
#include <QWidget>

namespace pomvex {

namespace {

// The width the widget's content asks for, its layout (if any) and a group's title included.
bool Fits(QWidget* widget) {
  if (QLayout* layout = widget->layout()) layout->activate();
  return widget->sizeHint().expandedTo(widget->minimumSizeHint()).width() <= widget->width();
}

}  // namespace

QFont ControlFont(const QString& family, int pixelHeight, bool bold) {
  QFont font = QFontDatabase::hasFamily(family)
                   ? QFont(family)
                   : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixelHeight);
  font.setBold(bold);
  return font;
}

void FitFontToWidth(QWidget* widget, int minPixels) {
  QFont font = widget->font();
  while (!Fits(widget) && font.pixelSize() > minPixels) {
    font.setPixelSize(font.pixelSize() - 1);
    widget->setFont(font);
    // Children that inherit the font (the entries of a radio group) follow at once.
    for (QWidget* child : widget->findChildren<QWidget*>()) child->updateGeometry();
  }
}

void GrowToText(QLabel* label) {
  label->resize(label->size().expandedTo(label->sizeHint()));
}

}  // namespace pomvex
