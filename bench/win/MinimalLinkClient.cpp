// The least a controller can do against the link program, for comparison in the latency
// bench: attach (every operation's DISPID looked up at once), key on CarrierDetect(True)
// and unkey on CarrierDetect(False), in a single-threaded apartment's message loop.
//
//   minimal_client.exe SECONDS      serves that long, then releases everything and ends

#include <windows.h>

#include <ocidl.h>
#include <oleauto.h>

#include <cstdio>
#include <cwchar>

namespace {

constexpr CLSID kClsid = {
    0xD1FB3C9A, 0xBB2D, 0x446A, {0xA7, 0x4A, 0xE7, 0x71, 0xF1, 0x34, 0xED, 0x56}};
constexpr IID kEventsIid = {
    0x6F55F7AF, 0x8DA6, 0x400F, {0x96, 0xEB, 0xC3, 0x71, 0xF0, 0x31, 0x16, 0x11}};
const wchar_t* const kOperations[] = {L"SetPTT",          L"GetRX",          L"GetPTT",
                                      L"GetCarrier",      L"SendCW",         L"GetStation",
                                      L"SetAux",          L"SendStationText", L"SetControlMode",
                                      L"Speak",           L"PlayPrompt"};

IDispatch* link = nullptr;
DISPID operationIds[11] = {};
DISPID carrierDetectId = DISPID_UNKNOWN;

void setPtt(bool on) {
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_BOOL;
    argument.boolVal = on ? VARIANT_TRUE : VARIANT_FALSE;
    DISPPARAMS params{&argument, nullptr, 1, 0};
    link->Invoke(operationIds[0], IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

class Sink final : public IDispatch {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, kEventsIid)) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        if (id != carrierDetectId || params == nullptr || params->cArgs != 1) return S_OK;
        VARIANT value;
        VariantInit(&value);
        if (SUCCEEDED(VariantChangeType(&value, &params->rgvarg[0], 0, VT_I2))) {
            setPtt(value.iVal != 0);
        }
        return S_OK;
    }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::wcstoul(argv[1], nullptr, 10)) : 60;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(CoCreateInstance(kClsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(&link)))) {
        std::printf("minimal_client: no link program\n");
        return 1;
    }
    for (int i = 0; i < 11; ++i) {
        LPOLESTR name = const_cast<LPOLESTR>(kOperations[i]);
        link->GetIDsOfNames(IID_NULL, &name, 1, 0, &operationIds[i]);
    }
    ITypeInfo* info = nullptr;
    ITypeLib* library = nullptr;
    ITypeInfo* events = nullptr;
    UINT index = 0;
    link->GetTypeInfo(0, 0, &info);
    info->GetContainingTypeLib(&library, &index);
    library->GetTypeInfoOfGuid(kEventsIid, &events);
    LPOLESTR name = const_cast<LPOLESTR>(L"CarrierDetect");
    events->GetIDsOfNames(&name, 1, &carrierDetectId);

    IConnectionPointContainer* container = nullptr;
    IConnectionPoint* point = nullptr;
    link->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    container->FindConnectionPoint(kEventsIid, &point);
    Sink sink;
    DWORD cookie = 0;
    point->Advise(&sink, &cookie);

    const ULONGLONG end = GetTickCount64() + seconds * 1000ULL;
    while (GetTickCount64() < end) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    point->Unadvise(cookie);
    point->Release();
    container->Release();
    events->Release();
    library->Release();
    info->Release();
    link->Release();
    CoUninitialize();
    return 0;
}
