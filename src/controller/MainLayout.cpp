#include "controller/MainModel.h"
#include "controller/OperatorTexts.h"
#include "controller/WindowLayout.h"

namespace relaydeck {

namespace {

using T = TextId;

using C = MainControl;

constexpr int c(C control) {
    return static_cast<int>(control);
}

constexpr int kStatus = 0;
constexpr int kPanel = kMainPanelFrame;

constexpr FontFace kBold{"Tahoma", 8.25, true};

// Status area: four rows of caption and count-down, the status line, the lamp column.
constexpr int kRowLeft = 150;
constexpr int kRowCaptionWidth = 1470;
constexpr int kCountLeft = 1680;
constexpr int kCountWidth = 900;
constexpr int kRowTop = 165;
constexpr int kRowPitch = 270;
constexpr int kRowHeight = 240;
constexpr int kHiddenLeft = 2700;
constexpr int kHiddenWidth = 450;
constexpr int kLampLeft = 3840;
constexpr int kLampWidth = 705;
constexpr int kLampHeight = 300;
constexpr int kLampTop = 150;
constexpr int kLampPitch = 405;

constexpr int row(int n) {
    return kRowTop + n * kRowPitch;
}
constexpr TwipsRect lamp(int n) {
    return {kLampLeft, kLampTop + n * kLampPitch, kLampWidth, kLampHeight};
}

// Settings panel: rows of caption, field(s) and unit.
constexpr int kPanelTop = 300;
constexpr int kPanelPitch = 345;
constexpr int kFieldHeight = 285;
constexpr int kLabelLeft = 90;
constexpr int kLabelWidth = 1560;
constexpr int kFieldLeft = 1710;
constexpr int kShortField = 690;
constexpr int kTinyField = 450;
constexpr int kMediumField = 1500;
constexpr int kPanelRight = 4575;
constexpr int kGap = 75;
constexpr int kUnitLeft = kFieldLeft + kShortField + kGap;
constexpr int kBreakLeft = kFieldLeft + kTinyField + kGap;
constexpr int kBoxLeft = kLabelLeft + 30;
constexpr int kBoxWidth = kFieldLeft - kLabelLeft - 60;
constexpr int kFullWidth = kPanelRight - kLabelLeft - 30;
constexpr int kDtmfCaptionWidth = kPanelRight - kShortField - kGap - kUnitLeft;
// What is in force beside a field: after its unit, shrunk to fit where a long value needs
// it; the kerchunk row's unit is the longest, and the break time's row is full, so its
// mark stands below the field.
constexpr int kMarkLeft = kUnitLeft + 975;
constexpr int kLongUnitMarkLeft = kUnitLeft + 1245;
constexpr Colour kMarkColour = Colour::fixed(0x800000);
constexpr Look kMarkLook = Look::ShrinkToFit;

constexpr int panelRow(int n) {
    return kPanelTop + n * kPanelPitch;
}
constexpr TwipsRect field(int n, int left, int width) {
    return {left, panelRow(n), width, kFieldHeight};
}
constexpr TwipsRect wide(int n) {
    return field(n, kFieldLeft, kPanelRight - kFieldLeft);
}
constexpr TwipsRect box(int n, int width) {
    return {kBoxLeft, panelRow(n), width, kFieldHeight};
}
constexpr TwipsRect rowCaption(int n) {
    return {kLabelLeft, panelRow(n), kLabelWidth, kFieldHeight};
}
constexpr TwipsRect unit(int n, int left, int right = kPanelRight) {
    return {left, panelRow(n), right - left, kFieldHeight};
}

const FrameLayout kFrames[] = {
    {"Frame2", "", {60, 60, 4695, 1875}},
    {"Frame1",
     designedText(T::MenuSettings),
     {60, 2070, 4695, 6630},
     {"MS Sans Serif", 8.25, false}},
};

constexpr auto L = TextAlign::Left;
constexpr auto R = TextAlign::Right;
constexpr auto M = TextAlign::Centre;

const ControlPlacement kControls[] = {
    {c(C::txtCWIDTime), kStatus, {kCountLeft, row(0), kCountWidth, kRowHeight}},
    {c(C::txtSpeechIDTime), kStatus, {kCountLeft, row(1), kCountWidth, kRowHeight}},
    {c(C::txtHangTimeTime), kStatus, {kCountLeft, row(2), kCountWidth, kRowHeight}},
    {c(C::txtTimeOutTime), kStatus, {kCountLeft, row(3), kCountWidth, kRowHeight}},
    {c(C::Status), kStatus, {kRowLeft, row(4) + 90, 2040, kRowHeight}},
    {c(C::RepeaterStatus), kStatus, {kHiddenLeft, row(0), kHiddenWidth, kRowHeight}},
    {c(C::FanWait), kStatus, {kHiddenLeft, row(1), kHiddenWidth, kRowHeight}},
    {c(C::FanCool), kStatus, {kHiddenLeft, row(2), kHiddenWidth, kRowHeight}},
    {c(C::PTTLED), kStatus, lamp(0), M, kBold},
    {c(C::LED), kStatus, lamp(1), M, kBold},
    {c(C::FanLED), kStatus, lamp(2), M, kBold},
    {c(C::TOLED), kStatus, lamp(3), M, kBold},
    {c(C::FanLabel), kStatus, lamp(2), M, kBold, {}, Look::Plain, c(C::FanLED)},
    {c(C::Label14), kStatus, lamp(3), M, kBold, {}, Look::Plain, c(C::TOLED)},

    {c(C::txtSpeechID), kPanel, field(0, kFieldLeft, kMediumField)},
    {c(C::txtCWID), kPanel, wide(1)},
    {c(C::txtIDInterval), kPanel, field(2, kFieldLeft, kShortField)},
    {c(C::txtSpeechInterval), kPanel, field(3, kFieldLeft, kShortField)},
    {c(C::IDonClosedown), kPanel, box(4, kBoxWidth)},
    {c(C::ClosedownCW), kPanel, wide(4)},
    {c(C::txtCourtesy), kPanel, field(5, kFieldLeft, kTinyField)},
    {c(C::BreakTime), kPanel, field(5, kBreakLeft, kShortField)},
    {c(C::txtIPCourtesy), kPanel, field(6, kFieldLeft, kTinyField)},
    {c(C::KerchunkTime), kPanel, field(7, kFieldLeft, kShortField)},
    {c(C::txtHangTime), kPanel, field(8, kFieldLeft, kShortField)},
    {c(C::txtTimeOut), kPanel, field(9, kFieldLeft, kShortField)},
    {c(C::txtTimeOutID), kPanel, field(10, kFieldLeft, kMediumField)},
    {c(C::CTCSSDecode), kPanel, box(11, kBoxWidth)},
    {c(C::DecodeTone), kPanel, field(11, kFieldLeft, kShortField)},
    {c(C::Experimental),
     kPanel,
     {kUnitLeft, panelRow(11) + kPanelPitch / 2, kPanelRight - kUnitLeft, kFieldHeight}},
    {c(C::CTCSSEncode), kPanel, box(12, kBoxWidth)},
    {c(C::EncodeTone), kPanel, field(12, kFieldLeft, kShortField)},
    {c(C::CTCSSActivity), kPanel, box(13, kFullWidth)},
    {c(C::Check1), kPanel, box(14, kFullWidth)},
    {c(C::IPTimeout), kPanel, box(15, kFullWidth)},
    {c(C::DTMFDisable), kPanel, field(16, kFieldLeft, kShortField)},
    {c(C::DTMFEnable), kPanel, field(16, kUnitLeft + kDtmfCaptionWidth + kGap, kShortField)},
    {c(C::ToneBurstAccess), kPanel, box(17, kFullWidth)},
    {c(C::InForceIDInterval), kPanel, unit(2, kMarkLeft), L, {}, kMarkColour, kMarkLook},
    {c(C::InForceSpeechInterval), kPanel, unit(3, kMarkLeft), L, {}, kMarkColour, kMarkLook},
    {c(C::InForceBreakTime), kPanel, unit(6, kBreakLeft), L, {}, kMarkColour, kMarkLook},
    {c(C::InForceKerchunkTime), kPanel, unit(7, kLongUnitMarkLeft), L, {}, kMarkColour, kMarkLook},
    {c(C::InForceHangTime), kPanel, unit(8, kMarkLeft), L, {}, kMarkColour, kMarkLook},
    {c(C::InForceTimeOut), kPanel, unit(9, kMarkLeft), L, {}, kMarkColour, kMarkLook},

    {c(C::Save), kClientArea, {60, 8745, 4695, 360}},
};

const CaptionLayout kCaptions[] = {
    {designedText(T::RowCwIdTime), kStatus, {kRowLeft, row(0), kRowCaptionWidth, kRowHeight}, L},
    {designedText(T::RowSpeechIdTime),
     kStatus,
     {kRowLeft, row(1), kRowCaptionWidth, kRowHeight},
     L},
    {designedText(T::RowHangTime), kStatus, {kRowLeft, row(2), kRowCaptionWidth, kRowHeight}, L},
    {designedText(T::RowTimeOutTime), kStatus, {kRowLeft, row(3), kRowCaptionWidth, kRowHeight}, L},

    {designedText(T::PanelSpeechId), kPanel, rowCaption(0), R},
    {designedText(T::PanelCwIdText), kPanel, rowCaption(1), R},
    {designedText(T::PanelCwIdInterval), kPanel, rowCaption(2), R},
    {designedText(T::UnitMinutes), kPanel, unit(2, kUnitLeft, kMarkLeft - kGap), L},
    {designedText(T::PanelSpeechInterval), kPanel, rowCaption(3), R},
    {designedText(T::UnitMinutes), kPanel, unit(3, kUnitLeft, kMarkLeft - kGap), L},
    {designedText(T::PanelRfCourtesy), kPanel, rowCaption(5), R},
    {designedText(T::UnitBreakTime), kPanel, unit(5, kBreakLeft + kShortField + kGap), L},
    {designedText(T::PanelIpCourtesy), kPanel, rowCaption(6), R},
    {designedText(T::PanelKerchunker), kPanel, rowCaption(7), R, false},
    {designedText(T::UnitMilliseconds), kPanel, unit(7, kUnitLeft, kLongUnitMarkLeft - kGap), L,
     false},
    {designedText(T::PanelHangTime), kPanel, rowCaption(8), R},
    {designedText(T::UnitSeconds), kPanel, unit(8, kUnitLeft, kMarkLeft - kGap), L},
    {designedText(T::PanelTimeOut), kPanel, rowCaption(9), R},
    {designedText(T::UnitMinutos), kPanel, unit(9, kUnitLeft, kMarkLeft - kGap), L},
    {designedText(T::PanelTimeOutId), kPanel, rowCaption(10), R},
    {designedText(T::PanelDtmfDisable), kPanel, rowCaption(16), R, false},
    {designedText(T::PanelDtmfEnable),
     kPanel,
     {kUnitLeft, panelRow(16), kDtmfCaptionWidth, kFieldHeight},
     R,
     false},
};

const WindowLayout kLayout{
    MainModel::kClientWidthTwips, 0, kTahoma, {}, {}, kFrames, kControls, kCaptions,
    c(kFirstOwnMenuEntry),
};

}  // namespace

const WindowLayout& mainLayout() {
    return kLayout;
}

}  // namespace relaydeck
