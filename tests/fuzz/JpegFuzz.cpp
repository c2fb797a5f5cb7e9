// JPEG loading through the imaging component: header size, full and reduced decoding, the
// EXIF reading and the lossless turn.
#include "FuzzInput.h"

#include "imaging/TRasterImage.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace Lumerix;
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString path = Fuzz::InputFile(".jpg", data, size);
    QSize stored;
    try {
        stored = TRasterImage::ReadSize(path);
    } catch (const TImagingError&) {
    }
    try {
        TRasterImage image;
        // A thumbnail-sized decode of any picture the size limit lets through.
        image.LoadScaled(path, QSize(70, 70));
    } catch (const TImagingError&) {
    }
    // Full decoding of pictures of a few million pixels; the limit itself is tested apart.
    if (stored.isValid() && qint64(stored.width()) * stored.height() <= 4'000'000) {
        try {
            TRasterImage image;
            image.LoadFromData(bytes, QStringLiteral("fuzz.jpg"));
            if (image.Bitmap().isNull())
                std::abort();
        } catch (const TImagingError&) {
        }
    }
    // The metadata walk and the turn must survive any bytes; the turn's result is a JPEG.
    QByteArray copy(bytes.constData(), bytes.size());
    JpegMarkers::Orientation(copy);
    JpegMarkers::DateTaken(copy);
    JpegMarkers::WithMetadata(copy, JpegMarkers::MetadataSegments(copy));
    JpegMarkers::SetOrientation(copy, TOrientation::Upright);
    if (stored.isValid() && qint64(stored.width()) * stored.height() <= 4'000'000) {
        try {
            const QByteArray turned =
                TRasterImage::TurnLossless(bytes, TOrientation::TurnRight, QStringLiteral("f"));
            if (!turned.isEmpty() && !turned.startsWith("\xFF\xD8"))
                std::abort();
        } catch (const TImagingError&) {
        }
    }
    return 0;
}
