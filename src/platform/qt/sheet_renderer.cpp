#include "platform/qt/sheet_renderer.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPainterPath>
#include <QPrinter>
#include <algorithm>
#include <cstring>

#include "app/settings.h"
#include "dib/packed_dib.h"
#include "platform/qt/qt_drawing.h"
#include "encoding/sjis.h"
#include "print/practice_sheet.h"

namespace zel {
namespace {

// 45-degree lines rising from left to right, one pixel in eight: grey once printed.
QBrush HatchBrush() { return QBrush(Qt::black, Qt::BDiagPattern); }

QPen OnePixelPen(Qt::GlobalColor colour) {
  QPen pen(colour, 1);
  pen.setCosmetic(true);
  return pen;
}

// Rows of the canvas into the picture's rows, bottom row first: white pixels become 1.
void PackRows(const QImage& canvas, PackedDib& image) {
  const int width = canvas.width();
  const int height = canvas.height();
  const size_t stride = DibRowStride(image);
  uint8_t* bits = DibBits(image);
  for (int y = 0; y < height; ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
    uint8_t* out = bits + static_cast<size_t>(height - 1 - y) * stride;
    std::memset(out, 0, stride);
    for (int x = 0; x < width; ++x)
      if (qBlue(in[x]) >= 0x80) out[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
  }
}

}  // namespace

bool DrawBoxImage(PackedDib& image, const FontSpec& font, int style,
                  const std::vector<BoxText>& pieces) {
  const BoxImageState state = BoxImageStateOf(image);
  if (state != BoxImageState::kToDraw) return state == BoxImageState::kNothingToDraw;
  const int width = DibWidth(image);
  const int height = DibHeight(image);
  QImage canvas(width, height, QImage::Format_RGB32);
  if (canvas.isNull()) return false;

  QPainter painter(&canvas);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::TextAntialiasing, false);

  // The ground, its edge in white.
  painter.fillRect(canvas.rect(), Qt::white);
  if (style == kGreyGroundWhiteChar) painter.fillRect(canvas.rect(), HatchBrush());
  painter.setPen(OnePixelPen(Qt::white));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(0, 0, width - 1, height - 1);

  // The guide cross, under the character.
  painter.setPen(OnePixelPen(Qt::black));
  painter.drawLine(width / 2, 0, width / 2, height - 1);
  painter.drawLine(0, height / 2, width - 1, height / 2);

  // Each piece with its character cell's top edge at the top of the box.
  const QFont qfont = MakeQFont(font);
  const int baseline = QFontMetrics(qfont).ascent();
  QPainterPath path;
  for (const BoxText& piece : pieces)
    path.addText(piece.x, baseline, qfont, QString::fromStdString(SjisToUtf8(piece.text)));
  // Overlapping strokes of a glyph stay filled, and the outline letter shows only the outer
  // edges, not where strokes cross inside it.
  path.setFillRule(Qt::WindingFill);
  path = path.simplified();

  painter.setPen(OnePixelPen(style == kOutlineChar ? Qt::black : Qt::white));
  painter.setBrush(Qt::white);
  painter.drawPath(path);
  // The hatch keeps the white of the first pass between its lines.
  painter.setBrush(style == kWhiteGroundGreyChar ? HatchBrush() : QBrush(Qt::white));
  painter.drawPath(path);
  painter.end();

  PackRows(canvas, image);
  return true;
}

QImage MonoImageOf(const PackedDib& dib) {
  const int width = DibWidth(dib);
  const int height = DibHeight(dib);
  QImage image(width, height, QImage::Format_Mono);
  if (image.isNull()) return image;
  const auto table = DibColourTable(dib);
  image.setColorTable({qRgb(table[0].red, table[0].green, table[0].blue),
                       qRgb(table[1].red, table[1].green, table[1].blue)});
  const size_t stride = DibRowStride(dib);
  const size_t rowBytes = (static_cast<size_t>(width) + 7) / 8;
  const uint8_t* bits = DibBits(dib);
  for (int y = 0; y < height; ++y)
    std::memcpy(image.scanLine(y), bits + static_cast<size_t>(height - 1 - y) * stride, rowBytes);
  return image;
}

PrintArea SheetPage::Begin(QPrinter& printer) {
  printer.setDocName("ZEL");
  // The sheet is drawn in pixels no finer than a line that shows on paper.
  const int dpi = SheetDpiFor(printer.resolution());
  if (dpi != printer.resolution()) printer.setResolution(dpi);
  // A page that cannot start draws nothing, and End says so.
  if (painter_.begin(&printer)) printer_ = &printer;
  return {printer.width(), printer.height()};
}

// The box's rectangle as a one-pixel pen draws it: edges on left and top and on right - 1
// and bottom - 1. Filled rectangles keep every edge on whole printer pixels.
void SheetPage::Outline(const SheetBox& box) {
  const int width = box.right - box.left;
  const int height = box.bottom - box.top;
  if (width <= 0 || height <= 0) return;
  painter_.fillRect(box.left, box.top, width, 1, Qt::black);
  painter_.fillRect(box.left, box.bottom - 1, width, 1, Qt::black);
  painter_.fillRect(box.left, box.top, 1, height, Qt::black);
  painter_.fillRect(box.right - 1, box.top, 1, height, Qt::black);
}

void SheetPage::Inside(const SheetBox& box) {
  const int width = box.right - box.left - 2;
  const int height = box.bottom - box.top - 2;
  if (width > 0 && height > 0) painter_.fillRect(box.left + 1, box.top + 1, width, height, Qt::white);
}

void SheetPage::EmptyBox(const SheetBox& box) {
  if (!painter_.isActive()) return;
  Inside(box);
  Outline(box);
  const int width = box.right - box.left;
  const int height = box.bottom - box.top;
  if (width <= 0 || height <= 0) return;
  painter_.fillRect((box.left + box.right) / 2, box.top, 1, height, Qt::black);
  painter_.fillRect(box.left, (box.top + box.bottom) / 2, width, 1, Qt::black);
}

void SheetPage::CharacterBox(const SheetBox& box, const PackedDib& image) {
  if (!painter_.isActive()) return;
  Inside(box);
  const int width = std::min<int>(box.right - box.left, DibWidth(image)) - 2;
  const int height = std::min<int>(box.bottom - box.top, DibHeight(image)) - 2;
  if (width > 0 && height > 0) {
    // A 1-bit picture goes to the printer as one: the pen gives the colour of its ink.
    painter_.setPen(Qt::black);
    painter_.drawImage(QPoint(box.left + 1, box.top + 1), MonoImageOf(image),
                       QRect(1, 1, width, height));
  }
  // The outline comes last: a rasteriser that rounds the picture's edges outward cannot
  // cover it.
  Outline(box);
}

namespace {

// Qt's PDF writer does not report failed writes: a document is whole only when its file
// ends in the trailer.
bool PdfComplete(const QString& path) {
  QFile file(path);
  if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) return false;
  if (file.size() > 64) file.seek(file.size() - 64);
  return file.readAll().contains("%%EOF");
}

}  // namespace

bool SheetPage::End() {
  if (!painter_.isActive() || !printer_) return false;
  if (!painter_.end() || printer_->printerState() == QPrinter::Error) return false;
  if (printer_->outputFormat() == QPrinter::PdfFormat) return PdfComplete(printer_->outputFileName());
  return true;
}

}  // namespace zel
