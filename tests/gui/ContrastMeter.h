#pragma once
// Reading contrast off the screen: the relative luminance of an sRGB colour, the contrast
// ratio of two colours, and the text-against-background ratio measured in the pixels of a
// rendered text rectangle.
#include <QColor>
#include <QHash>
#include <QImage>
#include <QRect>
#include <algorithm>
#include <cmath>

namespace contrast {

// One sRGB channel (0..255) on the linear scale.
inline double Linear(int channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

inline double Luminance(const QColor& colour) {
  return 0.2126 * Linear(colour.red()) + 0.7152 * Linear(colour.green()) +
         0.0722 * Linear(colour.blue());
}

// (L1 + 0.05) / (L2 + 0.05) with L1 the lighter of the two: 1 for equal colours, 21 for
// black on white.
inline double Ratio(const QColor& a, const QColor& b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// What a text rectangle of a picture shows: its background (the colour most of its pixels
// have) and its ink (the pixel that stands out most from that background).
struct Reading {
  QColor background;
  QColor ink;
  double ratio = 1.0;
};

inline Reading Read(const QImage& picture, const QRect& area) {
  Reading reading;
  const QRect box = area.intersected(picture.rect());
  if (box.isEmpty()) return reading;
  QHash<QRgb, int> counts;
  for (int y = box.top(); y <= box.bottom(); ++y)
    for (int x = box.left(); x <= box.right(); ++x) ++counts[picture.pixel(x, y) | 0xff000000u];
  QRgb common = 0;
  int most = -1;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it)
    if (it.value() > most) {
      most = it.value();
      common = it.key();
    }
  reading.background = QColor::fromRgb(common);
  reading.ink = reading.background;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
    const double r = Ratio(QColor::fromRgb(it.key()), reading.background);
    if (r > reading.ratio) {
      reading.ratio = r;
      reading.ink = QColor::fromRgb(it.key());
    }
  }
  return reading;
}

}  // namespace contrast
