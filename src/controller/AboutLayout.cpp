#include "controller/AboutModel.h"
#include "controller/WindowLayout.h"

namespace relaydeck {

namespace {

using C = AboutControl;

constexpr int c(C control) {
    return static_cast<int>(control);
}

constexpr int kTextLeft = 840;
constexpr int kTextWidth = AboutModel::kWidthTwips - kTextLeft - 180;
constexpr int kMargin = 90;
constexpr int kFullWidth = AboutModel::kWidthTwips - 2 * kMargin;

const ControlPlacement kControls[] = {
    {c(C::picIcon), kClientArea, {180, 180, 480, 480}, TextAlign::Centre, std::nullopt, {},
     Look::CentredPicture},
    {c(C::lblTitle), kClientArea, {kTextLeft, 180, kTextWidth, 255}},
    {c(C::lblVersion), kClientArea, {kTextLeft, 450, kTextWidth, 255}},
    {c(C::lblDescription), kClientArea, {kTextLeft, 810, kTextWidth, 1860}, TextAlign::Left,
     std::nullopt, {}, Look::WrapText},
    {c(C::Line1), kClientArea, {kMargin, 2790, kFullWidth, 30}, TextAlign::Left, std::nullopt, {},
     Look::EtchedLine},
    {c(C::cmdOK), kClientArea, {kMargin, 2910, kFullWidth, 825}, TextAlign::Centre,
     FontFace{"Tahoma", 26.25, true}, {}, Look::DefaultButton},
    {c(C::lblTranslator), kClientArea, {kMargin, 3870, kFullWidth, 420}, TextAlign::Centre,
     FontFace{"MS Sans Serif", 13.5, true}, Colour::fixed(0x008000), Look::ShrinkToFit},
};

const WindowLayout kLayout{
    AboutModel::kWidthTwips, AboutModel::kHeightTwips, kTahoma, {}, {}, {}, kControls, {},
};

}  // namespace

const WindowLayout& aboutLayout() {
    return kLayout;
}

}  // namespace relaydeck
