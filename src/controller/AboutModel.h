#pragma once
/// @file
/// @brief The About window: program, version, station and description.

#include <memory>

#include "controller/OperatorTexts.h"
#include "controller/TypedWindowModel.h"
#include "link/LinkHost.h"

namespace relaydeck {

/// @brief The About window's controls.
enum class AboutControl : int {
    picIcon,
    lblTitle,
    lblVersion,
    lblDescription,
    Line1,
    cmdOK,
    lblTranslator,
    Count
};

/// @brief The controls of the About window as they are created.
std::span<const ControlDefinition> aboutControlDefinitions();

/// @brief The About window as a model; loaded afresh at each opening.
class AboutModel : public TypedWindowModel<AboutControl> {
  public:
    /// @brief Client area in twips.
    static constexpr int kWidthTwips = 7110;
    static constexpr int kHeightTwips = 4710;

    /// @brief @p texts: the language it speaks (nullptr: as designed).
    explicit AboutModel(LinkHostFactory& links, const OperatorTexts* texts = nullptr);

    /// @brief The load: own link-host reference, caption, version, title with callsign.
    /// A link-host failure propagates as LinkError.
    void load();
    const OperatorTexts* operatorTexts() const override { return texts_; }
    /// @brief Unloads the window (the "Sai" button or the close box).
    void close();
    bool closed() const { return closed_; }

  protected:
    void clicked(AboutControl c) override;

  private:
    const char* say(TextId id) const;
    LinkHostFactory& links_;
    const OperatorTexts* texts_;
    std::unique_ptr<LinkHost> link_;
    bool closed_ = false;
};

}  // namespace relaydeck
