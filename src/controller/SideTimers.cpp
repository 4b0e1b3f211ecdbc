// The kerchunk and squelch-crash timers.
#include "controller/MainModel.h"

namespace relaydeck {

void MainModel::kerchunkerTick() {
    timer(MainTimer::Kerchunker).stop();
    carrierOrInternetAudio();
}

void MainModel::squelchCrashTick() {
    timer(MainTimer::SquelchCrash).stop();
}

}  // namespace relaydeck
