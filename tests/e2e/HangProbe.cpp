// Measures what a single-threaded apartment can do while the link program does not answer
// a call: which window messages still arrive, what a message filter sees, and which ways
// of giving up on the call work. Prints one line per finding; the exit code is 0 unless
// the server could not be reached.
//
//   hang_probe.exe CONTROL_FILE
// CONTROL_FILE is the stand-in's control file ("hang SECONDS" makes its next call wait).

#include <windows.h>

#include <objbase.h>
#include <oleauto.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

namespace {

constexpr CLSID kClsid = {
    0xD1FB3C9A, 0xBB2D, 0x446A, {0xA7, 0x4A, 0xE7, 0x71, 0xF1, 0x34, 0xED, 0x56}};

double nowMs() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

std::wstring controlPath;

void ask(const char* line) {
    std::ofstream(controlPath.c_str(), std::ios::app) << line << "\n";
}

void pumpFor(double ms) {
    const double end = nowMs() + ms;
    while (nowMs() < end) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
}

int ticks = 0;
int paints = 0;
int posted = 0;
IDispatch* link = nullptr;
DISPID getRx = 0;
bool nestedCall = false;
double nestedMs = -1;
constexpr UINT kPosted = WM_APP + 7;

HRESULT callGetRx() {
    DISPPARAMS none{};
    VARIANT result;
    VariantInit(&result);
    const HRESULT hr = link->Invoke(getRx, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                    &none, &result, nullptr, nullptr);
    VariantClear(&result);
    return hr;
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            ++ticks;
            InvalidateRect(window, nullptr, FALSE);
            PostMessageW(window, kPosted, 0, 0);
            if (nestedCall) {
                nestedCall = false;
                const double start = nowMs();
                callGetRx();
                nestedMs = nowMs() - start;
            }
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
            ++paints;
            return 0;
        }
        case kPosted:
            ++posted;
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

/// Counts what COM asks it while a call is out; cancels after cancelAfterMs when set.
class Filter final : public IMessageFilter {
  public:
    int pendingCalls = 0;
    DWORD cancelAfterMs = 0;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMessageFilter)) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
        return SERVERCALL_ISHANDLED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return 0xFFFFFFFF; }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD elapsedMs, DWORD) override {
        ++pendingCalls;
        if (cancelAfterMs > 0 && elapsedMs >= cancelAfterMs) return PENDINGMSG_CANCELCALL;
        return PENDINGMSG_WAITDEFPROCESS;
    }
};

void report(const char* what, HRESULT hr, double ms) {
    std::printf("%-44s hr 0x%08lX after %6.0f ms; ticks %d, paints %d, posted %d\n", what,
                static_cast<unsigned long>(hr), ms, ticks, paints, posted);
    std::fflush(stdout);
}

/// One call to a server told to hang @p seconds; the counters are reset first.
HRESULT hungCall(const char* hang, double& ms) {
    ask(hang);
    pumpFor(200);  // the stand-in polls its control file every 20 ms
    ticks = paints = posted = 0;
    const double start = nowMs();
    const HRESULT hr = callGetRx();
    ms = nowMs() - start;
    return hr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    controlPath = argv[1];
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"HangProbe";
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowExW(0, L"HangProbe", L"hang probe", WS_OVERLAPPEDWINDOW, 0, 0,
                                        200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    SetTimer(window, 1, 100, nullptr);

    HRESULT hr = CoCreateInstance(kClsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                  reinterpret_cast<void**>(&link));
    if (FAILED(hr)) {
        std::printf("CoCreateInstance failed 0x%08lX\n", static_cast<unsigned long>(hr));
        return 1;
    }
    wchar_t name[] = L"GetRX";
    LPOLESTR names[] = {name};
    link->GetIDsOfNames(IID_NULL, names, 1, 0, &getRx);
    double ms = 0;

    hr = hungCall("hang 2", ms);
    report("no filter, 2 s hang:", hr, ms);

    nestedCall = true;
    nestedMs = -1;
    hr = hungCall("hang 2", ms);
    report("a nested call from a tick, 2 s hang:", hr, ms);
    std::printf("   the nested call took %.0f ms\n", nestedMs);

    Filter filter;
    IMessageFilter* previous = nullptr;
    hr = CoRegisterMessageFilter(&filter, &previous);
    std::printf("CoRegisterMessageFilter: 0x%08lX\n", static_cast<unsigned long>(hr));
    hr = hungCall("hang 2", ms);
    report("filter (wait), 2 s hang:", hr, ms);
    std::printf("   MessagePending was called %d times\n", filter.pendingCalls);

    filter.pendingCalls = 0;
    filter.cancelAfterMs = 500;
    hr = hungCall("hang 3", ms);
    report("filter cancelling after 0.5 s, 3 s hang:", hr, ms);
    std::printf("   MessagePending was called %d times\n", filter.pendingCalls);
    filter.cancelAfterMs = 0;
    pumpFor(3000);
    const double afterStart = nowMs();
    hr = callGetRx();
    report("the next call after the cancelled one:", hr, nowMs() - afterStart);
    CoRegisterMessageFilter(previous, nullptr);

    // CoCancelCall is not there: Wine 8.0 ends the process at its first use ("unimplemented
    // function ole32.dll.CoCancelCall"). CoEnableCallCancellation answers S_OK.
    hr = CoEnableCallCancellation(nullptr);
    std::printf("CoEnableCallCancellation: 0x%08lX (CoCancelCall would abort: not tried)\n",
                static_cast<unsigned long>(hr));
    CoDisableCallCancellation(nullptr);

    // A call made on another thread (its own apartment) while this one pumps.
    IStream* marshalled = nullptr;
    CoMarshalInterThreadInterfaceInStream(IID_IDispatch, link, &marshalled);
    ask("hang 2");
    pumpFor(200);
    ticks = paints = posted = 0;
    std::atomic<bool> done{false};
    std::atomic<HRESULT> threadResult{E_PENDING};
    const double start = nowMs();
    std::thread worker([&] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        IDispatch* other = nullptr;
        CoGetInterfaceAndReleaseStream(marshalled, IID_IDispatch, reinterpret_cast<void**>(&other));
        DISPPARAMS none{};
        VARIANT result;
        VariantInit(&result);
        threadResult = other->Invoke(getRx, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                     &none, &result, nullptr, nullptr);
        other->Release();
        CoUninitialize();
        done = true;
    });
    while (!done) pumpFor(10);
    worker.join();
    report("on a worker thread, window thread pumping:", threadResult.load(), nowMs() - start);

    link->Release();
    DestroyWindow(window);
    CoUninitialize();
    return 0;
}
