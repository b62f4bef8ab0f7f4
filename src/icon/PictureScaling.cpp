#include "icon/PictureScaling.h"

#include <algorithm>
#include <string>
#include <vector>

#include "icon/Resample.h"
#include "platform/Failure.h"
#include "platform/GdiplusObjects.h"

namespace korimbo {

namespace {

namespace gp = Gdiplus::DllExports;

// Rows locked at a time: about 4 MB of pixels, so a conversion GDI+ makes
// for the lock stays small beside the decoded picture.
constexpr size_t kBandBytes = 4u << 20;

[[noreturn]] void RaiseGdiplusFailure(const char* call, Gdiplus::GpStatus status) {
    throw Failure(std::string(call) + " failed (GDI+ status " + std::to_string(status) + ")");
}

struct LockPlan {
    Gdiplus::PixelFormat format;
    SourceLayout layout;
};

// Reads the pixels in the picture's own format where the averager knows it,
// so GDI+ needs no converted copy.
LockPlan PlanFor(Gdiplus::PixelFormat native) {
    switch (native) {
        case PixelFormat24bppRGB:
            return {PixelFormat24bppRGB, SourceLayout::Bgr24};
        case PixelFormat32bppRGB:
            return {PixelFormat32bppRGB, SourceLayout::Bgrx32};
        case PixelFormat32bppPARGB:
            return {PixelFormat32bppPARGB, SourceLayout::PremultipliedBgra32};
        default:
            return {PixelFormat32bppARGB, SourceLayout::StraightBgra32};
    }
}

class LockedBand {
public:
    LockedBand(Gdiplus::GpBitmap* bitmap, const Gdiplus::GpRect& rect, Gdiplus::PixelFormat format)
        : bitmap_(bitmap) {
        const Gdiplus::GpStatus status =
            gp::GdipBitmapLockBits(bitmap, &rect, Gdiplus::ImageLockModeRead, format, &data_);
        if (status != Gdiplus::Ok) RaiseGdiplusFailure("GdipBitmapLockBits", status);
    }
    ~LockedBand() { gp::GdipBitmapUnlockBits(bitmap_, &data_); }
    LockedBand(const LockedBand&) = delete;
    LockedBand& operator=(const LockedBand&) = delete;

    // Stride is negative for bottom-up bitmaps.
    const uint8_t* Row(uint32_t index) const {
        return static_cast<const uint8_t*>(data_.Scan0) + static_cast<ptrdiff_t>(index) * data_.Stride;
    }

private:
    Gdiplus::GpBitmap* bitmap_;
    Gdiplus::BitmapData data_{};
};

PixelBitmap ScaleRaster(Gdiplus::GpImage* image, PixelSize source, PixelSize target) {
    auto* bitmap = static_cast<Gdiplus::GpBitmap*>(image);
    Gdiplus::PixelFormat native = PixelFormatUndefined;
    gp::GdipGetImagePixelFormat(image, &native);
    const LockPlan plan = PlanFor(native);

    AreaAverager averager(source.Width, source.Height, target.Width, target.Height);
    const size_t rowBytes = size_t{source.Width} * 4;
    const auto bandRows = static_cast<uint32_t>(std::clamp<size_t>(kBandBytes / rowBytes, 1, source.Height));
    for (uint32_t top = 0; top < source.Height; top += bandRows) {
        const uint32_t rows = std::min(bandRows, source.Height - top);
        const Gdiplus::GpRect rect(0, static_cast<INT>(top), static_cast<INT>(source.Width),
                                   static_cast<INT>(rows));
        const LockedBand band(bitmap, rect, plan.format);
        for (uint32_t row = 0; row < rows; ++row) averager.AddRow(band.Row(row), plan.layout);
    }
    return averager.TakeResult();
}

// A metafile is drawn, not resampled: its vectors are rendered at the size
// wanted, on white.
PixelBitmap DrawMetafile(Gdiplus::GpImage* image, PixelSize target) {
    PixelBitmap result;
    result.Width = target.Width;
    result.Height = target.Height;
    result.BitsPerPixel = 24;
    result.Stride = (size_t{target.Width} * 3 + 3) & ~size_t{3};
    result.Rows.assign(result.Stride * target.Height, 0xFF);

    UniqueGpImage canvas;
    Gdiplus::GpBitmap* canvasBitmap = nullptr;
    Gdiplus::GpStatus status = gp::GdipCreateBitmapFromScan0(
        static_cast<INT>(target.Width), static_cast<INT>(target.Height), static_cast<INT>(result.Stride),
        PixelFormat24bppRGB, result.Rows.data(), &canvasBitmap);
    if (status != Gdiplus::Ok) RaiseGdiplusFailure("GdipCreateBitmapFromScan0", status);
    canvas.Reset(canvasBitmap);
    {
        UniqueGpGraphics graphics;
        status = gp::GdipGetImageGraphicsContext(canvas.Get(), graphics.Receive());
        if (status != Gdiplus::Ok) RaiseGdiplusFailure("GdipGetImageGraphicsContext", status);
        gp::GdipSetSmoothingMode(graphics.Get(), Gdiplus::SmoothingModeAntiAlias);
        gp::GdipSetInterpolationMode(graphics.Get(), Gdiplus::InterpolationModeHighQualityBicubic);
        status = gp::GdipDrawImageRectI(graphics.Get(), image, 0, 0, static_cast<INT>(target.Width),
                                        static_cast<INT>(target.Height));
        if (status != Gdiplus::Ok) RaiseGdiplusFailure("GdipDrawImageRectI", status);
    }
    // The canvas draws into result.Rows; it goes before the rows are handed on.
    canvas.Reset();
    return result;
}

}  // namespace

PixelSize PictureSize(Gdiplus::GpImage* image) {
    UINT width = 0, height = 0;
    gp::GdipGetImageWidth(image, &width);
    gp::GdipGetImageHeight(image, &height);
    return {width, height};
}

PixelBitmap ScalePicture(Gdiplus::GpImage* image, PixelSize target) {
    const PixelSize source = PictureSize(image);
    if (!source.Width || !source.Height || !target.Width || !target.Height)
        throw Failure("Cannot scale a picture without pixels");
    Gdiplus::ImageType type = Gdiplus::ImageTypeUnknown;
    gp::GdipGetImageType(image, &type);
    if (type == Gdiplus::ImageTypeMetafile) return DrawMetafile(image, target);
    return ScaleRaster(image, source, target);
}

}  // namespace korimbo
