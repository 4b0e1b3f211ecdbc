// What the parts of the main window share.
#include "controller/MainContext.h"

#include "controller/ProgramControl.h"

namespace relaydeck {

const char* MainContext::say(TextId id) const {
    return services.program.texts().text(id);
}

}  // namespace relaydeck
