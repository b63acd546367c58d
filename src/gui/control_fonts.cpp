// Fonts of the window's controls. Old desktop fonts ("MS Sans Serif", "Arial") are missing on
// most machines; a family with Arial's metrics stands in for them, so every text keeps its size.
// Where none is installed, the toolkit's sans-serif is wider, and texts that would be clipped are
// drawn smaller.
#include "control_fonts.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QWidget>

namespace pomvex {

namespace {

// The width the widget's content asks for, its layout (if any) and a group's title included.
bool Fits(QWidget* widget) {
  QLayout* layout = widget->layout();
  if (layout) layout->activate();
  if (auto* group = qobject_cast<QGroupBox*>(widget); group && layout) {
    // A group's title is drawn from its left edge; the style's size hint for a group reserves
    // margins around the title that it does not draw.
    const int title = group->fontMetrics().horizontalAdvance(group->title() + ' ');
    return title <= group->width() && layout->totalMinimumSize().width() <= group->width();
  }
  return widget->sizeHint().expandedTo(widget->minimumSizeHint()).width() <= widget->width();
}

}  // namespace

QString StandInFamily(const QString& family) {
  if (QFontDatabase::hasFamily(family)) return family;
  // Liberation Sans and Arimo are drawn to Arial's widths; MS Sans Serif is close to them.
  static const QStringList standIns{"Liberation Sans", "Arimo"};
  for (const QString& standIn : standIns) {
    if (QFontDatabase::hasFamily(standIn)) return standIn;
  }
  return {};
}

QFont ControlFont(const QString& family, int pixelHeight, bool bold) {
  const QString standIn = StandInFamily(family);
  QFont font =
      standIn.isEmpty() ? QFontDatabase::systemFont(QFontDatabase::GeneralFont) : QFont(standIn);
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
