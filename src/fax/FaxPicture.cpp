#include "fax/FaxPicture.h"

#include <cstring>

QImage FaxPicture::Image() const {
    QImage image(width_, qMax(1, RowCount()), QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(0);
    const int rowBytes = RowBytes();
    for (int y = 0; y < RowCount(); ++y)
        std::memcpy(image.scanLine(y), rows_.at(y).constData(),
                    size_t(qMin<qsizetype>(rowBytes, rows_.at(y).size())));
    // Dots a metre, rounded: 4724 and 2835.
    image.setDotsPerMeterX(qRound(kDotsPerInchAcross / 0.0254));
    image.setDotsPerMeterY(qRound(kDotsPerInchDown / 0.0254));
    return image;
}

QString FaxPicture::FileName(const QDateTime& utc) {
    return QStringLiteral("fax/") + utc.toUTC().toString(QStringLiteral("yyyy-MM-dd_HHmmss")) +
           QStringLiteral("Z.png");
}
