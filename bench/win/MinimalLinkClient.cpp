// The least a controller can do against the link program, for comparison in the latency
// bench: the COM binding alone in the window thread's apartment (every DISPID read when
// it attaches), keying on CarrierDetect(True) and unkeying on CarrierDetect(False).
//
//   minimal_client.exe SECONDS      serves that long, then releases everything and ends

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <memory>

#include "link/ComLinkHost.h"

namespace {

class Keyer : public relaydeck::LinkEvents {
  public:
    relaydeck::LinkHost* host = nullptr;
    void CarrierDetect(relaydeck::LinkBool bCD) override {
        try {
            host->SetPTT(bCD != 0 ? relaydeck::kLinkTrue : relaydeck::kLinkFalse);
        } catch (const relaydeck::LinkError& e) {
            std::printf("minimal_client: %s\n", e.what());
        }
    }
    void RX(relaydeck::LinkBool) override {}
    void PTT(relaydeck::LinkBool) override {}
    void Closing() override {}
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const unsigned long seconds = argc > 1 ? std::wcstoul(argv[1], nullptr, 10) : 60;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        relaydeck::ComLinkHostFactory factory(relaydeck::LinkCalls::OnThisThread);
        std::unique_ptr<relaydeck::LinkHost> host;
        try {
            host = factory.create();
        } catch (const relaydeck::LinkError& e) {
            std::printf("minimal_client: %s\n", e.what());
            return 1;
        }
        Keyer keyer;
        keyer.host = host.get();
        host->setEventSink(&keyer);
        const ULONGLONG end = GetTickCount64() + seconds * 1000ULL;
        while (GetTickCount64() < end) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        }
        host->setEventSink(nullptr);
    }
    CoUninitialize();
    return 0;
}
