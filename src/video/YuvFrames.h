#pragma once

#include <QImage>

#include <cstdint>

namespace Lumerix::YuvFrames {

/// Converts a picture (RGB32, ARGB32 or BGR888; anything else is converted to RGB32 first)
/// into limited-range BT.709 Y'CbCr 4:2:0 planes of the same size, chroma the mean of each
/// 2 × 2 block. Width and height are even. `planes` and `strides` are the Y, Cb and Cr planes
/// of the frame.
void FromImage(const QImage& image, uint8_t* const planes[3], const int strides[3]);

} // namespace Lumerix::YuvFrames
