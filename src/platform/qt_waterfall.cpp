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
    ringRows_ = std::max(height - 1, 1);
    ring_.assign(static_cast<std::size_t>(ringRows_) * static_cast<std::size_t>(std::max(width, 0)), toRgb(kWhite));
    newest_ = 0;
    stale_ = false;
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
    // Scroll down by one row, then paint the new top row (pixels past the row keep the
    // last top row's).
    const auto width = static_cast<std::size_t>(spectrum_.width());
    const int previous = newest_;
    newest_ = (newest_ + ringRows_ - 1) % ringRows_;
    QRgb* top = ring_.data() + static_cast<std::size_t>(newest_) * width;
    if (previous != newest_) std::copy_n(ring_.data() + static_cast<std::size_t>(previous) * width, width, top);
    const std::size_t painted = std::min(width, row.size());
    for (std::size_t x = 0; x < painted; ++x) top[x] = toRgb(row[x]);
    stale_ = true;
    ++rows_;
}

const QImage& QtWaterfall::spectrum() const {
    if (stale_) {
        const auto width = static_cast<std::size_t>(spectrum_.width());
        const int shown = std::min(ringRows_, spectrum_.height());
        for (int y = 0; y < shown; ++y)
            std::memcpy(spectrum_.scanLine(y), ring_.data() + static_cast<std::size_t>((newest_ + y) % ringRows_) * width,
                        width * sizeof(QRgb));
        stale_ = false;
    }
    return spectrum_;
}

QImage QtWaterfall::composed() const {
    QImage image(spectrum_.width(), header_.height() + spectrum_.height(), QImage::Format_RGB32);
    QPainter painter(&image);
    painter.drawImage(0, 0, header_);
    painter.drawImage(0, header_.height(), spectrum());
    return image;
}

bool QtWaterfall::savePng(const std::string& path, std::string& reason) const {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        reason = file.errorString().toStdString();
        return false;
    }
    QImageWriter writer(&file, "PNG");
    // zlib's fastest level: on a waterfall's noise it packs as tight as the default level,
    // in a quarter of the time. (For PNG, Qt's quality q is level (100 − q) × 9 / 91.)
    writer.setQuality(85);
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
