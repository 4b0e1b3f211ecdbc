#include "controller/AboutModel.h"

#include "Version.h"

namespace relaydeck {

namespace {

using K = ControlKind;

// The credits stand where the description's two addresses stand; the runs of blanks make
// the word wrapping put each of them on a line of its own.
const std::string kDescription =
    std::string(
        "Relaydeck - Um simples repetidor adicional para EchoLink.  Contém tom de "
        "cortesia, tempo de desconecção, ID identificadores e tempo de desligamento -") +
    std::string(143, ' ') + "Programa: The Relaydeck authors" + std::string(21, ' ') +
    "Tradução: The Relaydeck authors" + std::string(3, ' ');

const ControlDefinition kAboutControls[] = {
    {"picIcon", K::Picture, "relaydeck.png"},
    {"lblTitle", K::Label, ""},
    {"lblVersion", K::Label, ""},
    {"lblDescription", K::Label, kDescription.c_str()},
    {"Line1", K::Picture, ""},
    {"cmdOK", K::Button, "Sai"},
    {"lblTranslator", K::Label, "Tradução e adaptação: The Relaydeck authors"},
};
static_assert(std::size(kAboutControls) == static_cast<std::size_t>(AboutControl::Count));

}  // namespace

std::span<const ControlDefinition> aboutControlDefinitions() {
    return kAboutControls;
}

AboutModel::AboutModel(LinkHostFactory& links) : TypedWindowModel(kAboutControls), links_(links) {}

void AboutModel::load() {
    link_ = links_.create();
    setCaption(std::string("About ") + kProgramTitle);
    assignText(AboutControl::lblVersion, versionLine());
    assignText(AboutControl::lblTitle,
               std::string(kProgramTitle) + " for " + link_->GetStation().StationCallsign);
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
