#include "ui/pixel_image.h"

namespace composer {

QImage PixelBufferImage(const PixelBuffer& pixels, int32_t width, int32_t height) {
    if (width < 1 || height < 1 ||
        pixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    for (int32_t row = 0; row < height; ++row) {
        auto* line = reinterpret_cast<uint32_t*>(image.scanLine(row));
        const uint32_t* source = pixels.data() + PixelIndex(width, height, row, 0);
        // The top byte is whatever the source held; the image wants it opaque.
        for (int32_t column = 0; column < width; ++column) line[column] = source[column] | 0xFF000000u;
    }
    return image;
}

QImage ScaledImage(const QImage& image, QSize size, PixelScaler& scaler) {
    if (image.isNull() || size.isEmpty()) return {};
    if (image.size() == size) return image;
    // Colour scaled premultiplied by its alpha, so transparent pixels lend no colour to the edges.
    const QImage::Format format =
        image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    const QImage source = image.convertToFormat(format);
    QImage scaled(size, format);
    const PixelRegion from{reinterpret_cast<const uint32_t*>(source.constBits()), source.bytesPerLine() / 4,
                           source.width(), source.height()};
    const PixelTarget to{reinterpret_cast<uint32_t*>(scaled.bits()), scaled.bytesPerLine() / 4,
                         scaled.width(), scaled.height()};
    return scaler.Scale(from, to) ? scaled
                                  : image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace composer
