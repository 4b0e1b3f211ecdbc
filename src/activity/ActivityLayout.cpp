#include "activity/ActivityModel.h"
#include "controller/OperatorTexts.h"
#include "controller/WindowLayout.h"

namespace relaydeck {

namespace {

using T = TextId;

using C = ActivityControl;

constexpr int c(C control) {
    return static_cast<int>(control);
}

constexpr int kMargin = 120;
constexpr int kRow = 285;
constexpr int kTop = 120;
constexpr int kCaptionWidth = 1900;
constexpr int kValueWidth = 1000;
constexpr int kColumn = 3200;  // from one column of totals to the next
constexpr int kInnerWidth = ActivityModel::kWidthTwips - 2 * kMargin;
constexpr int kTimelineTop = kTop + 2 * kRow + 180;
constexpr int kTimelineHeight = 1500;
constexpr int kTableTop = kTimelineTop + kTimelineHeight + 120;
constexpr int kStatusTop = ActivityModel::kHeightTwips - kMargin - 255;
constexpr int kTableHeight = kStatusTop - 90 - kTableTop;

constexpr TwipsRect value(int column, int row) {
    return {kMargin + column * kColumn + kCaptionWidth, kTop + row * kRow, kValueWidth, 255};
}
constexpr TwipsRect caption(int column, int row) {
    return {kMargin + column * kColumn, kTop + row * kRow, kCaptionWidth, 255};
}

const ControlPlacement kControls[] = {
    {c(C::lblLocalOvers), kClientArea, value(0, 0)},
    {c(C::lblInternetOvers), kClientArea, value(0, 1)},
    {c(C::lblTransmitterTime), kClientArea, value(1, 0)},
    {c(C::lblLongestOver), kClientArea, value(1, 1)},
    {c(C::lblTimeOuts), kClientArea, value(2, 0)},
    {c(C::lblIdentifications), kClientArea, value(2, 1)},
    {c(C::lblStatus), kClientArea, {kMargin, kStatusTop, kInnerWidth, 255}},
};

const CaptionLayout kCaptions[] = {
    {designedText(T::ActivityLocalOvers), kClientArea, caption(0, 0)},
    {designedText(T::ActivityInternetOvers), kClientArea, caption(0, 1)},
    {designedText(T::ActivityTransmitterTime), kClientArea, caption(1, 0)},
    {designedText(T::ActivityLongestOver), kClientArea, caption(1, 1)},
    {designedText(T::ActivityTimeOuts), kClientArea, caption(2, 0)},
    {designedText(T::ActivityIdentifications), kClientArea, caption(2, 1)},
};

const WindowLayout kLayout{
    ActivityModel::kWidthTwips,
    ActivityModel::kHeightTwips,
    kTahoma,
    {},
    {},
    {},
    kControls,
    kCaptions,
};

}  // namespace

const WindowLayout& activityLayout() {
    return kLayout;
}

TwipsRect activityTimelineRect() {
    return {kMargin, kTimelineTop, kInnerWidth, kTimelineHeight};
}

TwipsRect activityTableRect() {
    return {kMargin, kTableTop, kInnerWidth, kTableHeight};
}

}  // namespace relaydeck
