#pragma once
// The waterfall's scale as Qt draws it with the platform's fonts: the reference the baked
// scale glyphs come from (tools/scale_glyphs) and are checked against (the GUI tests).

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <string>
#include <vector>

#include "display/waterfall_image.hpp"

namespace orv {

// The labels' font: the application's, bold, 8 points.
inline QFont qtScaleFont() {
    QFont font;
    font.setBold(true);
    font.setPointSize(8);
    return font;
}

// Labels at their left edges on the baseline, then the ticks from under the text down.
inline QImage qtScaleHeader(int width, int height, const std::vector<ScaleTick>& ticks) {
    QImage header(width, height, QImage::Format_RGB32);
    header.fill(WaterfallImage::toRgb(kScaleBackground));
    QPainter painter(&header);
    const QFont font = qtScaleFont();
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetrics metrics(font);
    const int lineTop = metrics.height() - 2;
    for (const auto& tick : ticks) {
        painter.drawText(QPoint(tick.labelLeft, metrics.ascent()), QString::fromStdString(tick.label));
        painter.drawLine(tick.x, lineTop, tick.x, height - 1);
    }
    return header;
}

}  // namespace orv
