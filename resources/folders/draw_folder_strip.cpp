// Draws the folder image strip of the preview tree: 18 pictures of 16 x 16
// pixels side by side, magenta (255, 0, 255) where the strip is transparent.
//
//   draw_folder_strip <output.png>
//
// The pictures are painted smooth on a transparent canvas and then put on
// magenta with a hard edge, so that no pinkish half-tone pixels remain when
// the magenta is masked away.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <functional>

namespace {

constexpr int kSize = 16;
constexpr int kCount = 18;

const QColor kFolderFill(240, 196, 86);
const QColor kFolderLight(252, 224, 140);
const QColor kFolderEdge(168, 118, 30);
const QColor kInk(40, 48, 64);
const QColor kBlue(36, 102, 204);
const QColor kRed(212, 36, 36);
const QColor kGreen(46, 150, 64);
const QColor kPaper(252, 252, 248);
const QColor kPaperEdge(120, 128, 140);

void Folder(QPainter& p, bool open = false) {
  p.setPen(QPen(kFolderEdge, 1));
  QPainterPath back;
  back.moveTo(1.5, 3.5);
  back.lineTo(6.0, 3.5);
  back.lineTo(7.5, 5.0);
  back.lineTo(14.5, 5.0);
  back.lineTo(14.5, 13.5);
  back.lineTo(1.5, 13.5);
  back.closeSubpath();
  p.setBrush(kFolderFill);
  p.drawPath(back);
  if (open) {
    QPainterPath front;
    front.moveTo(1.5, 13.5);
    front.lineTo(3.5, 7.5);
    front.lineTo(15.5, 7.5);
    front.lineTo(13.5, 13.5);
    front.closeSubpath();
    p.setBrush(kFolderLight);
    p.drawPath(front);
  } else {
    p.setPen(QPen(kFolderLight, 1));
    p.drawLine(QPointF(2.5, 6.5), QPointF(13.5, 6.5));
  }
}

void Sheet(QPainter& p, QRectF r) {
  p.setPen(QPen(kPaperEdge, 1));
  p.setBrush(kPaper);
  p.drawRect(r);
}

void Envelope(QPainter& p, QRectF r) {
  Sheet(p, r);
  p.setPen(QPen(kBlue, 1));
  p.drawLine(r.topLeft(), QPointF(r.center().x(), r.center().y() + 1));
  p.drawLine(r.topRight(), QPointF(r.center().x(), r.center().y() + 1));
}

void Magnifier(QPainter& p) {
  p.setBrush(QColor(200, 230, 255));
  p.setPen(QPen(kInk, 1.4));
  p.drawEllipse(QPointF(9.5, 9.0), 3.2, 3.2);
  p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(11.8, 11.4), QPointF(14.6, 14.2));
}

void Draw(int index, QPainter& p) {
  switch (index) {
    case 0:  // a spare: a closed folder with a small star
      Folder(p);
      p.setPen(Qt::NoPen);
      p.setBrush(kBlue);
      p.drawEllipse(QPointF(10.5, 10.0), 2.0, 2.0);
      break;
    case 1: {  // calendar
      p.setPen(QPen(kPaperEdge, 1));
      p.setBrush(kPaper);
      p.drawRect(QRectF(1.5, 2.5, 13, 12));
      p.setPen(Qt::NoPen);
      p.setBrush(kRed);
      p.drawRect(QRectF(2, 3, 12, 3));
      p.setBrush(kInk);
      for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col) p.drawRect(QRectF(3 + col * 3, 7.5 + row * 2.3, 1.6, 1.4));
      p.setPen(QPen(kInk, 1));
      p.drawLine(QPointF(4.5, 1), QPointF(4.5, 4));
      p.drawLine(QPointF(11.5, 1), QPointF(11.5, 4));
      break;
    }
    case 2: {  // folder with a pencil
      Folder(p);
      p.setPen(QPen(QColor(230, 170, 40).darker(140), 1));
      p.setBrush(QColor(250, 210, 60));
      QPainterPath pencil;
      pencil.moveTo(6, 14);
      pencil.lineTo(6.8, 11.2);
      pencil.lineTo(14, 4);
      pencil.lineTo(16, 6);
      pencil.lineTo(8.8, 13.2);
      pencil.closeSubpath();
      p.drawPath(pencil);
      p.setPen(Qt::NoPen);
      p.setBrush(kInk);
      p.drawEllipse(QPointF(6.6, 13.4), 0.9, 0.9);
      break;
    }
    case 3:  // folder with an envelope
      Folder(p);
      Envelope(p, QRectF(6.5, 8.5, 8, 6));
      break;
    case 4: {  // book with a clock
      p.setPen(QPen(QColor(90, 40, 20), 1));
      p.setBrush(QColor(150, 70, 40));
      p.drawRect(QRectF(2.5, 1.5, 10, 13));
      p.setPen(QPen(kPaper, 1));
      p.drawLine(QPointF(4, 2), QPointF(4, 14));
      p.setPen(QPen(kInk, 1));
      p.setBrush(kPaper);
      p.drawEllipse(QPointF(10.5, 10.5), 4.2, 4.2);
      p.drawLine(QPointF(10.5, 10.5), QPointF(10.5, 7.6));
      p.drawLine(QPointF(10.5, 10.5), QPointF(12.6, 11.6));
      break;
    }
    case 5: {  // note sheet
      p.setPen(QPen(QColor(180, 160, 40), 1));
      p.setBrush(QColor(255, 244, 140));
      QPainterPath note;
      note.moveTo(2.5, 2.5);
      note.lineTo(13.5, 2.5);
      note.lineTo(13.5, 10.5);
      note.lineTo(9.5, 14.5);
      note.lineTo(2.5, 14.5);
      note.closeSubpath();
      p.drawPath(note);
      p.drawLine(QPointF(9.5, 14.5), QPointF(9.5, 10.5));
      p.drawLine(QPointF(9.5, 10.5), QPointF(13.5, 10.5));
      p.setPen(QPen(QColor(150, 130, 60), 1));
      for (double y : {5.5, 7.5, 9.5}) p.drawLine(QPointF(4, y), QPointF(12, y));
      break;
    }
    case 6: {  // folder with a sheet bearing a blue arrow
      Folder(p);
      Sheet(p, QRectF(7.5, 6.5, 7, 8));
      p.setPen(QPen(kBlue, 1.6));
      p.drawLine(QPointF(8.8, 10.5), QPointF(13.2, 10.5));
      p.setPen(Qt::NoPen);
      p.setBrush(kBlue);
      QPolygonF head;
      head << QPointF(15.5, 10.5) << QPointF(12.2, 7.8) << QPointF(12.2, 13.2);
      p.drawPolygon(head);
      break;
    }
    case 7:  // folder with a stamped letter
      Folder(p);
      Envelope(p, QRectF(5.5, 8.5, 9, 6));
      p.setPen(QPen(kRed.darker(130), 0.8));
      p.setBrush(kRed);
      p.drawRect(QRectF(11.5, 9.2, 2.4, 2.4));
      break;
    case 8: {  // clipboard with a tick
      p.setPen(QPen(QColor(110, 80, 40), 1));
      p.setBrush(QColor(196, 150, 90));
      p.drawRect(QRectF(2.5, 2.5, 11, 12.5));
      Sheet(p, QRectF(4, 4, 8, 9.5));
      p.setPen(QPen(kInk, 1));
      p.setBrush(QColor(170, 170, 180));
      p.drawRect(QRectF(5.5, 1, 5, 3));
      p.setPen(QPen(kGreen, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.setBrush(Qt::NoBrush);
      p.drawPolyline(QPolygonF{QPointF(5.5, 9), QPointF(7.5, 11.2), QPointF(10.8, 6.2)});
      break;
    }
    case 9:  // a spare: an open folder
      Folder(p, true);
      break;
    case 10:  // plain folder
      Folder(p);
      break;
    case 11: {  // contact card
      p.setPen(QPen(kPaperEdge, 1));
      p.setBrush(kPaper);
      p.drawRoundedRect(QRectF(0.5, 3.5, 15, 10), 1.5, 1.5);
      p.setPen(Qt::NoPen);
      p.setBrush(kBlue);
      p.drawEllipse(QPointF(5, 7.2), 1.8, 1.8);
      p.drawChord(QRectF(2, 9, 6, 5), 0, 180 * 16);
      p.setPen(QPen(kInk, 1));
      p.drawLine(QPointF(9, 6.5), QPointF(14, 6.5));
      p.drawLine(QPointF(9, 9.5), QPointF(13, 9.5));
      break;
    }
    case 12:  // a spare: a folder with a person
      Folder(p);
      p.setPen(Qt::NoPen);
      p.setBrush(kGreen);
      p.drawEllipse(QPointF(11, 8.6), 1.8, 1.8);
      p.drawChord(QRectF(8, 10.5, 6, 5.5), 0, 180 * 16);
      break;
    case 13:  // a spare: a folder with a green arrow up
      Folder(p);
      p.setPen(Qt::NoPen);
      p.setBrush(kGreen);
      p.drawPolygon(QPolygonF{QPointF(11, 6), QPointF(14.5, 10), QPointF(12.2, 10), QPointF(12.2, 14),
                              QPointF(9.8, 14), QPointF(9.8, 10), QPointF(7.5, 10)});
      break;
    case 14:  // folder with a red prohibition sign
      Folder(p);
      p.setBrush(Qt::white);
      p.setPen(QPen(kRed, 1.8));
      p.drawEllipse(QPointF(10.8, 10.4), 3.6, 3.6);
      p.drawLine(QPointF(8.3, 7.9), QPointF(13.3, 12.9));
      break;
    case 15:  // folder with a magnifying glass
      Folder(p);
      Magnifier(p);
      break;
    case 16: {  // waste bin with a recycling sign
      p.setPen(QPen(QColor(70, 80, 90), 1));
      p.setBrush(QColor(176, 186, 196));
      QPainterPath bin;
      bin.moveTo(3, 4.5);
      bin.lineTo(13, 4.5);
      bin.lineTo(12, 15);
      bin.lineTo(4, 15);
      bin.closeSubpath();
      p.drawPath(bin);
      p.drawRect(QRectF(2, 2.5, 12, 2));
      p.setPen(QPen(kGreen, 1.4));
      p.setBrush(Qt::NoBrush);
      p.drawArc(QRectF(5.2, 7.2, 5.6, 5.6), 30 * 16, 300 * 16);
      p.setPen(Qt::NoPen);
      p.setBrush(kGreen);
      p.drawPolygon(QPolygonF{QPointF(10.2, 6.4), QPointF(11.6, 9.2), QPointF(8.8, 9.0)});
      break;
    }
    case 17: {  // folder with a feed symbol
      Folder(p);
      p.setPen(QPen(QColor(200, 110, 20), 0.8));
      p.setBrush(QColor(245, 140, 30));
      p.drawRoundedRect(QRectF(7.5, 7.5, 7, 7), 1.2, 1.2);
      p.setPen(QPen(Qt::white, 1.1));
      p.setBrush(Qt::NoBrush);
      p.drawArc(QRectF(5.5, 9.5, 7, 7), 0, 90 * 16);
      p.drawArc(QRectF(3.5, 7.5, 11, 11), 0, 90 * 16);
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::white);
      p.drawEllipse(QPointF(9.3, 12.7), 0.9, 0.9);
      break;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: draw_folder_strip <output.png>\n");
    return 2;
  }
  QGuiApplication app(argc, argv);
  QImage strip(kSize * kCount, kSize, QImage::Format_ARGB32);
  strip.fill(QColor(255, 0, 255));
  for (int i = 0; i < kCount; ++i) {
    QImage cell(kSize, kSize, QImage::Format_ARGB32);
    cell.fill(Qt::transparent);
    {
      QPainter p(&cell);
      p.setRenderHint(QPainter::Antialiasing);
      Draw(i, p);
    }
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        const QColor c = cell.pixelColor(x, y);
        if (c.alpha() < 110) continue;
        QColor solid = c;
        solid.setAlpha(255);
        // Never magenta itself, or it would turn transparent.
        if (solid.rgb() == QColor(255, 0, 255).rgb()) solid = QColor(254, 0, 254);
        strip.setPixelColor(i * kSize + x, y, solid);
      }
  }
  if (!strip.convertToFormat(QImage::Format_RGB888).save(argv[1])) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
