// Turns a loaded picture into the snapshot's pixels.
#pragma once

#include "icon/SnapshotSize.h"
#include "picture/PictureConvert.h"
#include "platform/GdiplusApi.h"

namespace korimbo {

// The picture's size in pixels.
PixelSize PictureSize(Gdiplus::GpImage* image);

// The picture scaled to `target`, 24 bits per pixel. A raster picture is
// area-averaged band by band from its decoded pixels (no full-size copy);
// a metafile is drawn straight at the target size. Transparent parts are
// composed over white. Raises Failure when GDI+ cannot give the pixels.
PixelBitmap ScalePicture(Gdiplus::GpImage* image, PixelSize target);

}  // namespace korimbo
