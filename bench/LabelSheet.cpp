// Draws a sheet of sample labels to a PNG, to look at the label layout by eye: the character
// set, the label origins around their pens (red crosses), directions, slant, extra space,
// the vertical path, several lines and mirrored text.
//   korvid_label_sheet OUT.png
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <string>

#include "labels/LabelLayout.h"

namespace {

using korvid::LabelLayout;
using korvid::LabelPoint;
using korvid::LabelStyle;

constexpr double kSheetWidthPlu = 16000;
constexpr double kSheetHeightPlu = 11000;
constexpr double kPxPerPlu = 0.1;

QPointF ToPixels(LabelPoint p) {
  return {p.x * kPxPerPlu, (kSheetHeightPlu - p.y) * kPxPerPlu};
}

class Sheet {
 public:
  Sheet()
      : image_(static_cast<int>(kSheetWidthPlu * kPxPerPlu),
               static_cast<int>(kSheetHeightPlu * kPxPerPlu), QImage::Format_RGB32),
        painter_(&image_) {
    image_.fill(Qt::white);
    painter_.setRenderHint(QPainter::Antialiasing);
  }

  void Label(const std::string& text, const LabelStyle& style, LabelPoint pen) {
    Cross(pen);
    const LabelLayout layout = korvid::LayOutLabel(text, style, pen, pen);
    painter_.setPen(QPen(Qt::black, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const auto& stroke : layout.strokes) {
      QPainterPath path(ToPixels(stroke.front()));
      for (const LabelPoint& p : stroke)
        path.lineTo(ToPixels(p));
      painter_.drawPath(path);
    }
  }

  bool Save(const char* path) {
    painter_.end();
    return image_.save(path);
  }

 private:
  void Cross(LabelPoint at) {
    painter_.setPen(QPen(Qt::red, 1));
    const QPointF c = ToPixels(at);
    painter_.drawLine(c - QPointF(6, 0), c + QPointF(6, 0));
    painter_.drawLine(c - QPointF(0, 6), c + QPointF(0, 6));
  }

  QImage image_;
  QPainter painter_;
};

LabelStyle Sized(double widthPlu, double heightPlu) {
  LabelStyle style;
  style.charWidth = widthPlu;
  style.charHeight = heightPlu;
  return style;
}

void CharacterSet(Sheet& sheet) {
  const LabelStyle style = Sized(133, 280);
  std::string row;
  for (int code = 32; code <= 126; ++code) {
    row += static_cast<char>(code);
    if (code == 79) row += "\r\n";
  }
  sheet.Label(row, style, {400, 10300});
}

void Origins(Sheet& sheet) {
  for (int origin : {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 13, 15, 17, 19}) {
    LabelStyle style = Sized(100, 210);
    style.origin = origin;
    const int index = origin < 10 ? origin - 1 : 9 + (origin - 11) / 2;
    const LabelPoint pen{1500.0 + (index % 7) * 2000, 8200.0 - (index / 7) * 1000};
    sheet.Label("LO" + std::to_string(origin), style, pen);
  }
}

void Directions(Sheet& sheet) {
  const double directions[][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}};
  for (const auto& d : directions) {
    LabelStyle style = Sized(107, 220);
    style.directionX = d[0];
    style.directionY = d[1];
    sheet.Label("   DI run,rise", style, {3000, 3800});
  }
}

void Variants(Sheet& sheet) {
  LabelStyle slanted = Sized(120, 250);
  slanted.slantTangent = 0.35;
  sheet.Label("SL 0.35 slanted", slanted, {6000, 5400});

  LabelStyle spaced = Sized(120, 250);
  spaced.extraSpace = 0.5;
  spaced.extraLine = 0.5;
  sheet.Label("ES 0.5,0.5\r\nwide and airy", spaced, {6000, 4700});

  LabelStyle lines = Sized(93, 200);
  lines.origin = 5;
  sheet.Label("centred lines\r\nLO 5\r\nwith CR LF", lines, {8600, 2400});

  LabelStyle down = Sized(120, 250);
  down.vertical = true;
  down.origin = 3;
  sheet.Label("DV1\r\nDOWN", down, {14700, 10600});
  LabelStyle up = down;
  up.reversePath = true;
  up.origin = 1;
  sheet.Label("DV3", up, {13000, 9000});
  LabelStyle left = Sized(120, 250);
  left.reversePath = true;
  left.origin = 7;
  sheet.Label("DV2 LEFT", left, {15600, 8200});

  LabelStyle mirrored = Sized(-120, 250);
  sheet.Label("mirrored SI -w", mirrored, {15500, 1400});

  LabelStyle big = Sized(280, 600);
  sheet.Label("Korvid 0123", big, {10400, 5200});
  LabelStyle small = Sized(40, 85);
  sheet.Label("small 1.5 mm text: the quick brown fox jumps over the lazy dog.", small,
              {10400, 4500});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: korvid_label_sheet OUT.png\n");
    return 2;
  }
  Sheet sheet;
  CharacterSet(sheet);
  Origins(sheet);
  Directions(sheet);
  Variants(sheet);
  if (!sheet.Save(argv[1])) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
