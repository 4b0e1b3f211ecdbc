// The experimental CTCSS options.
#include "controller/MainModel.h"

#include "controller/OperatorInterface.h"
#include "controller/ProgramControl.h"

namespace relaydeck {

void MainModel::ctcssClicked(MainControl box) {
    const bool decode = box == MainControl::CTCSSDecode;
    const MainControl tone = decode ? MainControl::DecodeTone : MainControl::EncodeTone;
    if (value(box) == 1) {
        services_.op.showMessage(
            {say(decode ? TextId::CtcssDecodeTitle : TextId::CtcssEncodeTitle),
             say(decode ? TextId::CtcssDecodePrompt : TextId::CtcssEncodePrompt),
             MessageButtons::Ok, MessageIcon::None});
        if (services_.program.ended()) return;
        setEnabled(tone, true);
    } else {
        setEnabled(tone, false);
    }
    setEnabled(MainControl::Experimental,
               value(MainControl::CTCSSDecode) == 1 || value(MainControl::CTCSSEncode) == 1);
}

}  // namespace relaydeck
