#include "controller/AboutModel.h"

#include "Version.h"

namespace relaydeck {

namespace {

using T = TextId;
using K = ControlKind;

const ControlDefinition kAboutControls[] = {
    {"picIcon", K::Picture, "relaydeck.png"},
    {"lblTitle", K::Label, ""},
    {"lblVersion", K::Label, ""},
    {"lblDescription", K::Label, designedText(T::AboutDescription)},
    {"Line1", K::Picture, ""},
    {"cmdOK", K::Button, designedText(T::AboutClose)},
    {"lblTranslator", K::Label, designedText(T::AboutTranslator)},
};
static_assert(std::size(kAboutControls) == static_cast<std::size_t>(AboutControl::Count));

}  // namespace

std::span<const ControlDefinition> aboutControlDefinitions() {
    return kAboutControls;
}

AboutModel::AboutModel(LinkHostFactory& links, const OperatorTexts* texts)
    : TypedWindowModel(kAboutControls), links_(links), texts_(texts) {}

const char* AboutModel::say(TextId id) const {
    return texts_ != nullptr ? texts_->text(id) : designedText(id);
}

void AboutModel::load() {
    link_ = links_.create();
    setCaption(say(T::AboutTitle) + std::string(kProgramTitle));
    assignText(AboutControl::lblVersion, versionLine(say(T::VersionWord)));
    assignText(AboutControl::lblTitle,
               std::string(kProgramTitle) + say(T::AboutFor) + link_->GetStation().StationCallsign);
    setWindowVisible(true);
}

void AboutModel::close() {
    if (closed_) return;
    closed_ = true;
    setWindowVisible(false);
}

void AboutModel::clicked(AboutControl control) {
    if (control == AboutControl::cmdOK) close();
}

}  // namespace relaydeck
