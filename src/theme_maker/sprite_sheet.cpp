#include "theme_maker/sprite_sheet.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>

namespace vistaloom {

QPoint sheet_cell_point(int n) {
    const SheetPoint at = sheet_cell_origin(n);
    return {at.x, at.y};
}

QImage compose_sprite_sheet(const std::vector<QImage>& cells) {
    QImage sheet(kSheetWidth, kSheetHeight, QImage::Format_RGB32);
    sheet.fill(Qt::black);
    QPainter painter(&sheet);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (int n = 1; n <= kSheetCells && n <= static_cast<int>(cells.size()); ++n)
        painter.drawImage(sheet_cell_point(n), cells[static_cast<size_t>(n - 1)]);
    painter.end();
    return sheet;
}

QByteArray jpeg_bytes(const QImage& picture, int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(false);
    if (!writer.write(picture)) return {};
    return bytes;
}

}  // namespace vistaloom
