// Drives the link binding against the stand-in server in its own process: operations,
// results, events raised on request, one sink per program, and the Closing event.
//
//   standin_probe.exe CONTROL_FILE LOG_FILE
// CONTROL_FILE and LOG_FILE are the paths the stand-in was registered with.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "Checks.h"
#include "link/ComLinkHost.h"

using relaydeck::kLinkFalse;
using relaydeck::kLinkTrue;
using relaydeck::LinkBool;

namespace {

using wintest::failed;
using wintest::passed;

double nowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

/// Dispatches window messages (and so incoming events) until @p done or @p limitMs passes.
bool pumpUntil(const std::function<bool()>& done, double limitMs) {
    const double deadline = nowMs() + limitMs;
    while (!done()) {
        if (nowMs() > deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return true;
}

/// Records events as text; may call back into the host from inside a handler.
class Recorder : public relaydeck::LinkEvents {
  public:
    std::vector<std::string> seen;
    relaydeck::LinkHost* host = nullptr;  // asked for the carrier inside CarrierDetect
    LinkBool carrierInside = 0;

    void CarrierDetect(LinkBool bCD) override {
        if (host != nullptr) carrierInside = host->GetCarrier();
        add("CarrierDetect(" + std::to_string(bCD) + ")");
    }
    void RX(LinkBool bRX) override { add("RX(" + std::to_string(bRX) + ")"); }
    void PTT(LinkBool bPTT) override { add("PTT(" + std::to_string(bPTT) + ")"); }
    void Closing() override { add("Closing"); }

    bool has(const std::string& event) const {
        return std::find(seen.begin(), seen.end(), event) != seen.end();
    }
    std::string joined() const {
        std::string text;
        for (const std::string& event : seen) text += (text.empty() ? "" : " ") + event;
        return text;
    }

  private:
    void add(const std::string& event) { seen.push_back(event); }
};

class StandIn {
  public:
    StandIn(std::wstring control, std::wstring log)
        : control_(std::move(control)), log_(std::move(log)) {}

    void ask(const std::string& line) const {
        std::ofstream out(std::filesystem::path(control_), std::ios::app | std::ios::binary);
        out << line << '\n';
    }

    /// The log's lines after the stand-in's time stamp.
    std::vector<std::string> records() const {
        std::ifstream in(std::filesystem::path(log_), std::ios::binary);
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(in, line)) {
            const std::size_t space = line.find(' ');
            if (space != std::string::npos) lines.push_back(line.substr(space + 1));
        }
        return lines;
    }

    std::size_t count(const std::string& record) const {
        const std::vector<std::string> lines = records();
        return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), record));
    }

    std::size_t countContaining(const std::string& part) const {
        const std::vector<std::string> lines = records();
        return static_cast<std::size_t>(
            std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
                return line.find(part) != std::string::npos;
            }));
    }

  private:
    std::wstring control_;
    std::wstring log_;
};

void testOperationsAndEvents(relaydeck::LinkHostFactory& factory, const StandIn& standIn) {
    std::printf("operations and events across processes\n");
    double started = nowMs();
    auto main = factory.create();
    std::printf("  first create: %.1f ms\n", nowMs() - started);
    Recorder recorder;
    recorder.host = main.get();
    main->setEventSink(&recorder);
    main->SetControlMode(kLinkTrue);

    started = nowMs();
    auto dialog = factory.create();
    std::printf("  second create: %.1f ms\n", nowMs() - started);
    CHECK_EQ(dialog->GetStation().StationCallsign, "N0CALL-R");
    standIn.ask("callsign PY9ZZZ-L S\xC3\xA3o Tom\xC3\xA9");
    Sleep(100);
    CHECK_EQ(dialog->GetStation().StationCallsign, "PY9ZZZ-L S\xC3\xA3o Tom\xC3\xA9");

    // Only the reference with a receiver is connected to the events.
    CHECK(standIn.countContaining(" advise ") == 1);
    CHECK(standIn.count("#1 advise 1") == 1);

    main->SetPTT(kLinkTrue);
    CHECK(pumpUntil([&] { return recorder.has("PTT(-1)"); }, 5000));
    CHECK(main->GetPTT() == kLinkTrue);
    main->SetPTT(kLinkTrue);  // no change: no second event
    main->SendCW(kLinkFalse, "K");
    main->SendCW(kLinkFalse, "PY9ZZZ*R");
    main->SetAux(kLinkTrue);
    main->SendStationText("Time-out. Aguarde...");
    main->Speak("Configura\xC3\xA7\xC3\xA3o");
    main->PlayPrompt(7);
    main->SetPTT(kLinkFalse);
    CHECK(pumpUntil([&] { return recorder.has("PTT(0)"); }, 5000));
    CHECK_EQ(recorder.joined(), "PTT(-1) PTT(0)");
    CHECK(standIn.count("#1 call SetControlMode(-1)") == 1);
    CHECK(standIn.count("#1 call SetPTT(-1)") == 2);
    CHECK(standIn.count("#1 call SendCW(0, \"K\")") == 1);
    CHECK(standIn.count("#1 call SendCW(0, \"PY9ZZZ*R\")") == 1);
    CHECK(standIn.count("#1 call SetAux(-1)") == 1);
    CHECK(standIn.count("#1 call SendStationText(\"Time-out. Aguarde...\")") == 1);
    CHECK(standIn.count("#1 call Speak(\"Configura\xC3\xA7\xC3\xA3o\")") == 1);
    CHECK(standIn.count("#1 call PlayPrompt(7)") == 1);

    recorder.seen.clear();
    standIn.ask("carrier 1");
    CHECK(pumpUntil([&] { return recorder.has("CarrierDetect(-1)"); }, 5000));
    CHECK(recorder.carrierInside == kLinkTrue);  // a call made inside the handler got through
    CHECK(main->GetCarrier() == kLinkTrue);
    CHECK(dialog->GetCarrier() == kLinkTrue);
    standIn.ask("carrier 0");
    standIn.ask("rx 1");
    CHECK(pumpUntil([&] { return recorder.has("RX(-1)"); }, 5000));
    CHECK(main->GetCarrier() == kLinkFalse);
    CHECK(main->GetRX() == kLinkTrue);
    standIn.ask("rx 0");
    standIn.ask("ptt 1");
    CHECK(pumpUntil([&] { return recorder.has("PTT(-1)"); }, 5000));
    CHECK(main->GetRX() == kLinkFalse);
    // Raised in the order asked, each one after the other.
    CHECK_EQ(recorder.joined(), "CarrierDetect(-1) CarrierDetect(0) RX(-1) RX(0) PTT(-1)");

    // Round trips, for the record.
    std::vector<double> trips;
    for (int i = 0; i < 200; ++i) {
        const double before = nowMs();
        main->GetRX();
        trips.push_back(nowMs() - before);
    }
    std::sort(trips.begin(), trips.end());
    double sum = 0;
    for (double trip : trips) sum += trip;
    std::printf("  GetRX round trip: mean %.2f ms, median %.2f ms, p99 %.2f ms, max %.2f ms\n",
                sum / static_cast<double>(trips.size()), trips[trips.size() / 2],
                trips[trips.size() * 99 / 100], trips.back());

    // A receiver detached and set again: no call while detached, no second connection.
    const std::size_t seenBefore = recorder.seen.size();
    main->setEventSink(nullptr);
    standIn.ask("carrier 1");
    CHECK(pumpUntil([&] { return standIn.count("raised CarrierDetect(-1)") == 2; }, 5000));
    CHECK(recorder.seen.size() == seenBefore);
    main->setEventSink(&recorder);
    CHECK(standIn.countContaining(" advise ") == 1);
    CHECK(standIn.countContaining("unadvise") == 0);

    recorder.seen.clear();
    recorder.host = nullptr;
    standIn.ask("closing");
    CHECK(pumpUntil([&] { return recorder.has("Closing"); }, 5000));
    CHECK_EQ(recorder.joined(), "Closing");
    CHECK(standIn.count("raise Closing to 1 sink(s)") == 1);

    dialog.reset();
    main.reset();
    CHECK(pumpUntil([&] { return standIn.count("ended") == 1; }, 5000));
}

void testServerGone(relaydeck::LinkHostFactory& factory, const StandIn& standIn) {
    std::printf("the server ends while a reference is held\n");
    auto host = factory.create();
    host->SetControlMode(kLinkTrue);
    standIn.ask("quit");
    CHECK(pumpUntil([&] { return standIn.count("ended") == 2; }, 5000));
    bool threw = false;
    try {
        host->GetCarrier();
    } catch (const relaydeck::LinkError& e) {
        threw = true;
        std::printf("  LinkError: %s\n", e.what());
    }
    CHECK(threw);
    host.reset();  // releasing a dead reference must not hang or crash
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc != 3) {
        std::printf("usage: standin_probe.exe CONTROL_FILE LOG_FILE\n");
        return 2;
    }
    const StandIn standIn(argv[1], argv[2]);
    relaydeck::ComLinkHostFactory factory(relaydeck::LinkCalls::OnTheirOwnThread);
    const auto run = [](const char* name, const std::function<void()>& test) {
        try {
            test();
        } catch (const std::exception& e) {
            ++failed;
            std::printf("FAILED: %s threw: %s\n", name, e.what());
        }
    };
    run("operations and events", [&] { testOperationsAndEvents(factory, standIn); });
    run("server gone", [&] { testServerGone(factory, standIn); });
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
