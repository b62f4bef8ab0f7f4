// A picture control: shows one picture proportionally, centred and stretched
// on the button-face colour, which it paints over its whole area, so that a
// box above another hides it. The box keeps its own copy of the picture at
// the size it shows it; the file is read and let go before loading returns,
// so no file stays locked while it is shown.
#pragma once

#include <windows.h>

#include <string>

namespace korimbo {

inline constexpr wchar_t kPictureBoxClass[] = L"KorimboPictureBox";

// Raises Failure when the class cannot be registered.
void RegisterPictureBoxClass(HINSTANCE module);
void UnregisterPictureBoxClass(HINSTANCE module) noexcept;

// Shows the picture file in the box. Raises Failure naming the file when it
// cannot be loaded; the box then keeps what it showed before.
void LoadPictureInto(HWND box, const std::wstring& path);
void ClearPicture(HWND box) noexcept;
bool HasPicture(HWND box) noexcept;

}  // namespace korimbo
