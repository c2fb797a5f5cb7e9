// The module lumerix-heif: the only code that calls libheif, loaded on the first HEIF picture
// so that programs which never meet one do not load libheif and its codecs.
#include "imaging/HeifDecoder.h"

#include <QtEndian>

#include <libheif/heif.h>

#include <memory>
#include <mutex>

namespace Lumerix::HeifDecoder {
namespace {

void Decode(const QByteArray& bytes, qint64 maxPixels, TResult& result) {
    static std::once_flag started;
    std::call_once(started, [] { heif_init(nullptr); });
    auto failed = [&](const heif_error& error) {
        result.Error = QStringLiteral("cannot decode: ") + QString::fromUtf8(error.message);
    };
    std::unique_ptr<heif_context, decltype(&heif_context_free)> context(heif_context_alloc(),
                                                                        heif_context_free);
    if (!context) {
        result.Error = QStringLiteral("out of memory");
        return;
    }
    heif_error error = heif_context_read_from_memory_without_copy(
        context.get(), bytes.constData(), std::size_t(bytes.size()), nullptr);
    if (error.code != heif_error_Ok)
        return failed(error);
    heif_image_handle* rawHandle = nullptr;
    error = heif_context_get_primary_image_handle(context.get(), &rawHandle);
    if (error.code != heif_error_Ok)
        return failed(error);
    std::unique_ptr<heif_image_handle, decltype(&heif_image_handle_release)> handle(
        rawHandle, heif_image_handle_release);
    const qint64 width = heif_image_handle_get_width(handle.get());
    const qint64 height = heif_image_handle_get_height(handle.get());
    if (width * height > maxPixels) {
        result.Error = QStringLiteral("too large: %1 × %2").arg(width).arg(height);
        return;
    }

    heif_image* rawImage = nullptr;
    error = heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB,
                              heif_chroma_interleaved_RGB, nullptr);
    if (error.code != heif_error_Ok)
        return failed(error);
    std::unique_ptr<heif_image, decltype(&heif_image_release)> image(rawImage, heif_image_release);
    int stride = 0;
    const uint8_t* plane =
        heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    const int w = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int h = heif_image_get_height(image.get(), heif_channel_interleaved);
    if (!plane || w < 1 || h < 1) {
        result.Error = QStringLiteral("cannot decode: no picture");
        return;
    }
    // The copy owns its pixels: the plane goes with the decoder's image.
    result.Bitmap =
        QImage(plane, w, h, stride, QImage::Format_RGB888).convertToFormat(QImage::Format_BGR888);
    if (result.Bitmap.isNull()) {
        result.Error = QStringLiteral("out of memory");
        return;
    }

    heif_item_id id = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(handle.get(), "Exif", &id, 1) == 1) {
        QByteArray block(qsizetype(heif_image_handle_get_metadata_size(handle.get(), id)), 0);
        if (heif_image_handle_get_metadata(handle.get(), id, block.data()).code == heif_error_Ok &&
            block.size() >= 4) {
            // The block begins with the offset of the TIFF structure after those four bytes.
            const quint32 offset = qFromBigEndian<quint32>(block.constData());
            if (offset <= quint32(block.size() - 4))
                result.Exif = block.mid(4 + offset);
        }
    }
}

} // namespace
} // namespace Lumerix::HeifDecoder

extern "C" __attribute__((visibility("default"))) void
LumerixDecodeHeif(const QByteArray& bytes, qint64 maxPixels,
                  Lumerix::HeifDecoder::TResult& result) {
    Lumerix::HeifDecoder::Decode(bytes, maxPixels, result);
}
