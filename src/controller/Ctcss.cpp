// The experimental CTCSS options.
#include "controller/MainModel.h"

#include "controller/OperatorInterface.h"
#include "controller/ProgramControl.h"

namespace relaydeck {

void MainModel::ctcssClicked(MainControl box) {
    const bool decode = box == MainControl::CTCSSDecode;
    const MainControl tone = decode ? MainControl::DecodeTone : MainControl::EncodeTone;
    if (value(box) == 1) {
        static constexpr const char* kDecodeWarning =
            "Please note that the CTCSS features on Relaydeck are still experimental and may not "
            "be 100% reliable.  For correct CTCSS decoding, you will need to ensure that your "
            "radio does not filter-out the CTCSS tone at the speaker output (most, however, do).";
        static constexpr const char* kEncodeWarning =
            "Please note that the CTCSS features on Relaydeck are still experimental and may not "
            "be 100% reliable.  For correct CTCSS encoding, you should inject the TX audio past "
            "the mic-amp and filtering stages.";
        services_.op.showMessage(
            {decode ? "CTCSS Decode is still experimental!" : "CTCSS Encode is still experimental!",
             decode ? kDecodeWarning : kEncodeWarning, MessageButtons::Ok, MessageIcon::None});
        if (services_.program.ended()) return;
        setEnabled(tone, true);
    } else {
        setEnabled(tone, false);
    }
    setEnabled(MainControl::Experimental,
               value(MainControl::CTCSSDecode) == 1 || value(MainControl::CTCSSEncode) == 1);
}

}  // namespace relaydeck
