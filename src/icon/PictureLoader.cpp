#include "icon/PictureLoader.h"

#include <algorithm>
#include <array>
#include <cwctype>

#include "icon/PictureHeader.h"
#include "platform/Failure.h"
#include "platform/LongPath.h"
#include "platform/Text.h"

namespace korimbo {

namespace {

namespace gp = Gdiplus::DllExports;

// The extension after the file name's last full stop, lower case; empty for
// a name without one.
std::wstring LowerExtension(const std::wstring& path) {
    const size_t nameStart = path.find_last_of(L"\\/:");
    const size_t dot = path.rfind(L'.');
    if (dot == std::wstring::npos || (nameStart != std::wstring::npos && dot < nameStart)) return {};
    std::wstring extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return extension;
}

[[noreturn]] void RaisePictureFailure(const std::wstring& path, const std::string& why) {
    throw Failure("Cannot read the picture \"" + WideToNarrow(path) + "\": " + why);
}

void CheckDecodableSize(const std::wstring& path, uint64_t width, uint64_t height) {
    if (width == 0 || height == 0) RaisePictureFailure(path, "it declares no pixels");
    if (width * height > kMaxPicturePixels)
        RaisePictureFailure(path, std::to_string(width) + " x " + std::to_string(height) +
                                      " pixels is more than the 64 megapixels the plug-in decodes");
}

}  // namespace

bool HasReadablePictureName(const std::wstring& path) {
    if (path.empty()) return false;
    static constexpr std::array<const wchar_t*, 7> kReadable = {L"bmp", L"ico",  L"emf", L"wmf",
                                                                L"jpg", L"jpeg", L"png"};
    const std::wstring extension = LowerExtension(path);
    // No extension: the content decides.
    if (extension.empty()) return true;
    return std::any_of(kReadable.begin(), kReadable.end(),
                       [&](const wchar_t* known) { return extension == known; });
}

UniqueGpImage LoadPicture(const std::wstring& path) {
    if (path.empty()) throw Failure("Cannot read a picture without a file name");
    if (!HasReadablePictureName(path)) RaisePictureFailure(path, "no reader for its kind of file");

    // Refuse from the header what would not fit in memory, before GDI+
    // decodes anything.
    if (const auto declared = ReadHeaderSize(path)) CheckDecodableSize(path, declared->Width, declared->Height);

    UniqueGpImage image;
    const Gdiplus::GpStatus status = gp::GdipLoadImageFromFile(ExtendedLengthPath(path).c_str(), image.Receive());
    if (status != Gdiplus::Ok || !image)
        RaisePictureFailure(path, "damaged or unknown data (GDI+ status " + std::to_string(status) + ")");

    Gdiplus::ImageType type = Gdiplus::ImageTypeUnknown;
    gp::GdipGetImageType(image.Get(), &type);
    UINT width = 0, height = 0;
    gp::GdipGetImageWidth(image.Get(), &width);
    gp::GdipGetImageHeight(image.Get(), &height);
    if (type == Gdiplus::ImageTypeBitmap) {
        CheckDecodableSize(path, width, height);
    } else if (type != Gdiplus::ImageTypeMetafile || width == 0 || height == 0) {
        RaisePictureFailure(path, "it declares no pixels");
    }
    return image;
}

}  // namespace korimbo
