#include "platform/qt_waterfall.hpp"

#include <QFile>
#include <QImageWriter>

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace orv {

void QtWaterfall::reset(int width, int height, const std::vector<ScaleTick>& ticks) {
    header_ = QImage(width, kHeaderHeight, QImage::Format_RGB32);
    spectrum_ = QImage(width, height, QImage::Format_RGB32);
    spectrum_.fill(toRgb(kWhite));
    drawScale(ticks);
}

void QtWaterfall::drawScale(const std::vector<ScaleTick>& ticks) {
    header_.fill(toRgb(kScaleBackground));
    QPainter painter(&header_);
    QFont font = painter.font();
    font.setBold(true);
    font.setPointSize(8);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetrics metrics(font);
    const int lineTop = metrics.height() - 2;
    for (const auto& tick : ticks) {
        painter.drawText(QPoint(tick.labelLeft, metrics.ascent()), QString::fromStdString(tick.label));
        painter.drawLine(tick.x, lineTop, tick.x, header_.height() - 1);
    }
}

void QtWaterfall::addRow(std::span<const Colour> row) {
    if (spectrum_.isNull()) return;
    // Scroll down by one row (the bottom row keeps its pixels), then paint the new top row.
    const int rowBytes = static_cast<int>(spectrum_.bytesPerLine());
    for (int y = spectrum_.height() - 2; y >= 1; --y)
        std::memcpy(spectrum_.scanLine(y), spectrum_.constScanLine(y - 1), static_cast<std::size_t>(rowBytes));
    auto* top = reinterpret_cast<QRgb*>(spectrum_.scanLine(0));
    const int width = std::min(spectrum_.width(), static_cast<int>(row.size()));
    for (int x = 0; x < width; ++x) top[x] = toRgb(row[static_cast<std::size_t>(x)]);
    ++rows_;
}

QImage QtWaterfall::composed() const {
    QImage image(spectrum_.width(), header_.height() + spectrum_.height(), QImage::Format_RGB32);
    QPainter painter(&image);
    painter.drawImage(0, 0, header_);
    painter.drawImage(0, header_.height(), spectrum_);
    return image;
}

bool QtWaterfall::savePng(const std::string& path, std::string& reason) const {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        reason = file.errorString().toStdString();
        return false;
    }
    QImageWriter writer(&file, "PNG");
    // The PNG encoder does not always see a failed write; the file's flush does.
    if (!writer.write(composed()) || !file.flush() || file.error() != QFileDevice::NoError) {
        reason = writer.error() != QImageWriter::UnknownError ? writer.errorString().toStdString()
                                                              : file.errorString().toStdString();
        return false;
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        reason = file.errorString().toStdString();
        return false;
    }
    return true;
}

}  // namespace orv
