#pragma once
/// @file
/// @brief The experimental CTCSS options of the settings panel.

#include "controller/MainControls.h"

namespace relaydeck {

struct MainContext;

/// @brief The CTCSS decode and encode boxes: ticking one warns and opens its tone field.
class Ctcss {
  public:
    explicit Ctcss(MainContext& context) : context_(context) {}

    /// @brief The operator ticked or unticked @p box (CTCSSDecode or CTCSSEncode).
    void clicked(MainControl box);
    /// @brief Opens the tone fields of the boxes ticked (at start-up).
    void showTones();

  private:
    MainContext& context_;
};

}  // namespace relaydeck
