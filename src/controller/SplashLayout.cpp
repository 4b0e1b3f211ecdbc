#include "controller/SplashModel.h"
#include "controller/WindowLayout.h"

namespace relaydeck {

namespace {

using C = SplashControl;

constexpr int c(C control) {
    return static_cast<int>(control);
}

// The picture fills the left part; the texts stand in the right part.
constexpr int kPictureWidth = 2700;
constexpr int kRight = 2940;
constexpr int kRightWidth = SplashModel::kWidthTwips - kRight - 120;
constexpr int kButtonGap = 120;
constexpr int kButtonWidth = (kRightWidth - kButtonGap) / 2;
constexpr int kButtonTop = 4095;
constexpr int kButtonHeight = 570;

constexpr Colour kCyan = Colour::fixed(0x00FFFF);
constexpr Colour kPaleYellow = Colour::fixed(0xFFFFC0);

const ControlPlacement kControls[] = {
    {c(C::imgLogo), kClientArea, {0, 0, kPictureWidth, SplashModel::kHeightTwips},
     TextAlign::Left, std::nullopt, {}, Look::CoverPicture},
    {c(C::lblProductName), kClientArea, {kRight, 150, kRightWidth, 780}, TextAlign::Left,
     FontFace{"Tahoma", 32.25, true}, kCyan},
    {c(C::lblPlatform), kClientArea, {kRight, 960, kRightWidth, 450}, TextAlign::Left,
     FontFace{"Tahoma", 15.75, true}, kCyan},
    {c(C::MyCall), kClientArea, {kRight, 1470, kRightWidth, 480}, TextAlign::Left,
     FontFace{"Tahoma", 18, true}, Colour::fixed(0xFFFF80), Look::FitText},
    {c(C::lblVersion), kClientArea, {kRight, 2010, kRightWidth, 405}, TextAlign::Left,
     FontFace{"Tahoma", 14.25, true}, Colour::fixed(0x80FF80)},
    {c(C::Label2), kClientArea, {kRight, 2520, kRightWidth, 255}, TextAlign::Left, std::nullopt,
     kPaleYellow},
    {c(C::lblAuthor), kClientArea, {kRight, 2775, kRightWidth, 255}, TextAlign::Left,
     std::nullopt, kPaleYellow},
    {c(C::Startup), kClientArea, {kRight, 3180, 3000, 300}, TextAlign::Left, std::nullopt,
     Colour::fixed(0xFFC080)},
    {c(C::Label1), kClientArea, {kRight, 3510, kRightWidth, 255}, TextAlign::Left, std::nullopt,
     Colour::highlightText()},
    {c(C::Launch), kClientArea, {kRight, kButtonTop, kButtonWidth, kButtonHeight}},
    {c(C::Finish), kClientArea,
     {kRight + kButtonWidth + kButtonGap, kButtonTop, kButtonWidth, kButtonHeight}},
};

const WindowLayout kLayout{
    SplashModel::kWidthTwips, SplashModel::kHeightTwips, kTahoma,
    Colour::fixed(0x000000),  Colour::fixed(0xFFFFFF),   {},
    kControls,                {},
};

}  // namespace

const WindowLayout& splashLayout() {
    return kLayout;
}

}  // namespace relaydeck
