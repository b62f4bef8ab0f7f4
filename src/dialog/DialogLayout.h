// The settings form's controls: places in pixels at 96 DPI, texts, control
// ids and the order in which they are created, which is also the tab order.
#pragma once

#include <windows.h>

#include <array>

namespace korimbo::dialog_layout {

inline constexpr int kDesignDpi = 96;
inline constexpr SIZE kClientSize{427, 253};
inline constexpr wchar_t kCaption[] = L"Korimbo v0.95 - Settings";
inline constexpr wchar_t kFontFace[] = L"Tahoma";
inline constexpr int kFontHeight = -11;  // 8 points at 96 DPI

enum class ControlKind { Picture, Button, DefaultButton, GroupBox, Edit, RadioGroup, CheckBox, Link };

struct Box {
    int left, top, width, height;
};

// Control ids. OK and Cancel keep the dialog manager's ids, so that Enter and
// Escape reach them.
inline constexpr int kIdButton2 = IDOK;
inline constexpr int kIdButton3 = IDCANCEL;
inline constexpr int kIdBtChange = 1001;
inline constexpr int kIdBtClear = 1002;
inline constexpr int kIdGroupBox3 = 1003;
inline constexpr int kIdEditCaption = 1004;
inline constexpr int kIdRgIconSource = 1005;
inline constexpr int kIdIconSourceItem0 = 1006;  // items follow in index order
inline constexpr int kIdGroupBox2 = 1008;
inline constexpr int kIdCbOverlay = 1009;
inline constexpr int kIdLabel13 = 1010;
inline constexpr int kIdImage2 = 1011;
inline constexpr int kIdImage1 = 1012;

struct ControlSpec {
    int id;
    ControlKind kind;
    Box place;            // in the form's client area, or in its group when insideId is set
    const wchar_t* text;  // picture boxes carry their name, so that they can be told apart
    int insideId;         // the group box the place is relative to; 0 for none
};

inline constexpr std::array<const wchar_t*, 2> kIconSourceItems{L"C&ustom Icon", L"Current &Wallpaper"};

// Creation order = tab order: OK, Cancel, Change, Clear, the caption group,
// the icon source group, the overlay group. Image2 is created before Image1,
// which puts it above Image1.
inline constexpr std::array<ControlSpec, 12> kControls{{
    {kIdButton2, ControlKind::DefaultButton, {263, 219, 75, 25}, L"OK", 0},
    {kIdButton3, ControlKind::Button, {342, 219, 75, 25}, L"Cancel", 0},
    {kIdBtChange, ControlKind::Button, {10, 160, 145, 25}, L"Change", 0},
    {kIdBtClear, ControlKind::Button, {10, 188, 145, 25}, L"Clear", 0},
    {kIdGroupBox3, ControlKind::GroupBox, {165, 154, 252, 57}, L"Caption    ", 0},
    {kIdEditCaption, ControlKind::Edit, {8, 21, 233, 21}, L"", kIdGroupBox3},
    {kIdRgIconSource, ControlKind::RadioGroup, {167, 8, 250, 73}, L"Icon Source    ", 0},
    {kIdGroupBox2, ControlKind::GroupBox, {168, 96, 249, 41}, L"Overlay    ", 0},
    {kIdCbOverlay,
     ControlKind::CheckBox,
     {10, 16, 218, 17},
     L"Apply d&ummy dock and taskbar overlays",
     kIdGroupBox2},
    {kIdLabel13, ControlKind::Link, {11, 229, 119, 13}, L"Check forum for updates", 0},
    {kIdImage2, ControlKind::Picture, {10, 10, 145, 145}, L"Image2", 0},
    {kIdImage1, ControlKind::Picture, {10, 10, 145, 145}, L"Image1", 0},
}};

// A length designed at 96 DPI, at `dpi`.
constexpr int Scaled(int length, int dpi) {
    // Rounded like MulDiv, halves away from zero.
    const long long product = static_cast<long long>(length) * dpi;
    const long long half = kDesignDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kDesignDpi : -((-product + half) / kDesignDpi));
}

constexpr Box Scaled(Box box, int dpi) {
    return {Scaled(box.left, dpi), Scaled(box.top, dpi), Scaled(box.width, dpi), Scaled(box.height, dpi)};
}

// Line height of the form's font at 96 DPI (Tahoma 8 pt).
inline constexpr int kDesignTextHeight = 13;

// The place of a radio group's item inside the group, at 96 DPI: the items
// share the height below the caption line equally, in one column indented 8
// pixels, with the odd pixel split above and below.
constexpr Box RadioItemPlace(Box group, int itemCount, int index) {
    const int fontHeight = kDesignTextHeight;
    const int available = group.height - fontHeight - 5;
    const int itemHeight = available / itemCount;
    const int topMargin = fontHeight + 1 + (available % itemCount) / 2;
    return {8, topMargin + index * itemHeight, group.width - 10, itemHeight};
}

}  // namespace korimbo::dialog_layout
