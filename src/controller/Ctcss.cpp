// The experimental CTCSS options.
#include "controller/Ctcss.h"

#include "controller/MainContext.h"
#include "controller/OperatorInterface.h"
#include "controller/ProgramControl.h"

namespace relaydeck {

void Ctcss::clicked(MainControl box) {
    MainWindowAccess& window = context_.window;
    const bool decode = box == MainControl::CTCSSDecode;
    const MainControl tone = decode ? MainControl::DecodeTone : MainControl::EncodeTone;
    if (window.value(box) == 1) {
        context_.services.op.showMessage(
            {context_.say(decode ? TextId::CtcssDecodeTitle : TextId::CtcssEncodeTitle),
             context_.say(decode ? TextId::CtcssDecodePrompt : TextId::CtcssEncodePrompt),
             MessageButtons::Ok, MessageIcon::None});
        if (context_.services.program.ended()) return;
        window.setEnabled(tone, true);
    } else {
        window.setEnabled(tone, false);
    }
    window.setEnabled(MainControl::Experimental, window.value(MainControl::CTCSSDecode) == 1 ||
                                                     window.value(MainControl::CTCSSEncode) == 1);
}

void Ctcss::showTones() {
    MainWindowAccess& window = context_.window;
    window.setEnabled(MainControl::DecodeTone, window.value(MainControl::CTCSSDecode) == 1);
    window.setEnabled(MainControl::EncodeTone, window.value(MainControl::CTCSSEncode) == 1);
}

}  // namespace relaydeck
