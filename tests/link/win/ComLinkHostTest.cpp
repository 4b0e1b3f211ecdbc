// The COM binding of the link host against an in-process stand-in for EchoLink's
// automation object: a class object registered at run time, a type library built at run
// time, and recorders on both sides of the boundary.

#include <windows.h>

#include <ocidl.h>
#include <oleauto.h>
#include <olectl.h>

#include <cstdio>
#include <functional>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "Checks.h"
#include "link/ComLinkHost.h"

using relaydeck::kLinkFalse;
using relaydeck::kLinkTrue;
using relaydeck::LinkBool;
using relaydeck::LinkError;

namespace {

using wintest::failed;
using wintest::passed;

GUID guidOf(const wchar_t* text) {
    GUID id{};
    if (FAILED(IIDFromString(text, &id))) throw std::runtime_error("bad GUID text");
    return id;
}

const GUID kClsid = guidOf(L"{D1FB3C9A-BB2D-446A-A74A-E771F134ED56}");
const GUID kDualIid = guidOf(L"{7733112C-4577-4432-9DB0-A9398184EAF6}");
const GUID kStationIid = guidOf(L"{ACD8531B-B0CE-4F14-9405-6AB8AC5C9EFA}");
const GUID kEventsIid = guidOf(L"{6F55F7AF-8DA6-400F-96EB-C371F0311611}");

// Event DISPIDs of the stand-in's type library, deliberately not 1 to 4.
constexpr DISPID kCarrierDetectId = 101;
constexpr DISPID kRxId = 57;
constexpr DISPID kPttId = 9;
constexpr DISPID kClosingId = 33;

std::string utf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size,
                        nullptr, nullptr);
    return text;
}

/// Owns one interface reference.
template <class T>
struct Ref {
    T* p = nullptr;
    Ref() = default;
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    ~Ref() {
        if (p != nullptr) p->Release();
    }
    T** put() { return &p; }
    void** putVoid() { return reinterpret_cast<void**>(&p); }
    T* operator->() const { return p; }
};

int liveObjects = 0;

/// Reference counting shared by the stand-in's objects; counts the live ones for leak checks.
class Counted {
  protected:
    Counted() { ++liveObjects; }
    virtual ~Counted() { --liveObjects; }
    ULONG addRef() { return ++refs_; }
    ULONG release() {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

  private:
    ULONG refs_ = 1;
};

/// How the next stand-in object behaves.
struct Scenario {
    bool classInfo = true;                     // offers IProvideClassInfo
    bool dispatchTypeInfo = true;              // answers IDispatch::GetTypeInfo
    std::wstring unknownName;                  // an operation GetIDsOfNames pretends not to know
    std::map<std::wstring, HRESULT> failures;  // operations whose Invoke fails
    bool withoutPtt = false;                   // its event interface lacks PTT
};

Scenario scenario;
ITypeLib* typeLib = nullptr;
ITypeLib* typeLibWithoutPtt = nullptr;
/// The type library the scenario's object describes itself with.
ITypeLib* scenarioTypeLib() {
    return scenario.withoutPtt ? typeLibWithoutPtt : typeLib;
}
WORD stationFlags = 0;

/// The station object GetStation returns.
class FakeStation final : public Counted, public IDispatch {
  public:
    explicit FakeStation(std::wstring callsign) : callsign_(std::move(callsign)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, kStationIid)) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return addRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return release(); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        if (count != 1 || _wcsicmp(names[0], L"StationCallsign") != 0) {
            ids[0] = DISPID_UNKNOWN;
            return DISP_E_UNKNOWNNAME;
        }
        ids[0] = kCallsignId;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT*) override {
        if (id != kCallsignId || (flags & DISPATCH_PROPERTYGET) == 0) return DISP_E_MEMBERNOTFOUND;
        if (params != nullptr && params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
        stationFlags = flags;
        if (result != nullptr) {
            result->vt = VT_BSTR;
            result->bstrVal =
                SysAllocStringLen(callsign_.data(), static_cast<UINT>(callsign_.size()));
        }
        return S_OK;
    }

  private:
    static constexpr DISPID kCallsignId = 0x68030000;
    std::wstring callsign_;
};

/// One argument as the stand-in received it.
std::string describeArgument(const VARIANT& v) {
    switch (v.vt) {
        case VT_BOOL:
            return "VT_BOOL " + std::to_string(v.boolVal);
        case VT_I2:
            return "VT_I2 " + std::to_string(v.iVal);
        case VT_I4:
            return "VT_I4 " + std::to_string(v.lVal);
        case VT_BSTR:
            return "VT_BSTR \"" + utf8(std::wstring(v.bstrVal, SysStringLen(v.bstrVal))) + "\"";
        default:
            return "vt " + std::to_string(v.vt);
    }
}

const wchar_t* const kOperations[] = {
    L"SetPTT", L"GetRX",           L"GetPTT",         L"GetCarrier", L"SendCW",    L"GetStation",
    L"SetAux", L"SendStationText", L"SetControlMode", L"Speak",      L"PlayPrompt"};
constexpr DISPID kFirstOperationId = 0x60030000;

/// The stand-in for EchoLink's automation object.
class FakeLink final : public Counted,
                       public IDispatch,
                       public IConnectionPointContainer,
                       public IConnectionPoint,
                       public IProvideClassInfo {
  public:
    std::vector<std::string> calls;  // "SetPTT(VT_BOOL -1)", flags appended unless METHOD
    std::map<std::wstring, int> lookups;
    bool askedForDual = false;
    VARIANT_BOOL rx = VARIANT_FALSE;
    VARIANT_BOOL ptt = VARIANT_FALSE;
    VARIANT_BOOL carrier = VARIANT_FALSE;
    std::wstring callsign = L"N0CALL";

    FakeLink() : config_(scenario) {}

    std::size_t sinkCount() const { return sinks_.size(); }

    /// Raises an event on every connected sink; the last sink's result.
    HRESULT fire(DISPID id, VARIANT* argument) {
        std::vector<IDispatch*> targets;
        for (auto& [cookie, sink] : sinks_) {
            sink->AddRef();
            targets.push_back(sink);
        }
        HRESULT hr = S_OK;
        for (IDispatch* sink : targets) {
            DISPPARAMS params{argument, nullptr, argument != nullptr ? 1u : 0u, 0};
            hr = sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                              nullptr, nullptr);
            sink->Release();
        }
        return hr;
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        *object = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
            *object = static_cast<IDispatch*>(this);
        } else if (IsEqualIID(iid, kDualIid)) {
            askedForDual = true;
            *object = static_cast<IDispatch*>(this);
        } else if (IsEqualIID(iid, IID_IConnectionPointContainer)) {
            *object = static_cast<IConnectionPointContainer*>(this);
        } else if (IsEqualIID(iid, IID_IConnectionPoint)) {
            *object = static_cast<IConnectionPoint*>(this);
        } else if (IsEqualIID(iid, IID_IProvideClassInfo) && config_.classInfo) {
            *object = static_cast<IProvideClassInfo*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return addRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return release(); }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = config_.dispatchTypeInfo ? 1 : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        *info = nullptr;
        if (!config_.dispatchTypeInfo) return E_NOTIMPL;
        if (index != 0) return DISP_E_BADINDEX;
        return scenarioTypeLib()->GetTypeInfoOfGuid(kDualIid, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        HRESULT hr = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ++lookups[names[i]];
            ids[i] = DISPID_UNKNOWN;
            for (DISPID op = 0; op < DISPID(std::size(kOperations)); ++op) {
                if (_wcsicmp(names[i], kOperations[op]) == 0 && config_.unknownName != names[i]) {
                    ids[i] = kFirstOperationId + op;
                }
            }
            if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT*) override {
        const DISPID op = id - kFirstOperationId;
        if (op < 0 || op >= DISPID(std::size(kOperations))) return DISP_E_MEMBERNOTFOUND;
        const std::wstring name = kOperations[op];

        std::string call = utf8(name) + "(";
        for (UINT i = params->cArgs; i > 0; --i) {  // rgvarg holds the last argument first
            call += describeArgument(params->rgvarg[i - 1]);
            if (i > 1) call += ", ";
        }
        call += ")";
        if (flags != DISPATCH_METHOD) call += " flags " + std::to_string(flags);
        calls.push_back(call);

        if (const auto failure = config_.failures.find(name); failure != config_.failures.end()) {
            if (failure->second == DISP_E_EXCEPTION && exception != nullptr) {
                *exception = EXCEPINFO{};
                exception->scode = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 5);
                exception->bstrSource = SysAllocString(L"FakeEchoLink");
                exception->bstrDescription = SysAllocString(L"Simulated failure");
            }
            return failure->second;
        }
        if (result != nullptr) {
            if (name == L"GetRX") setBool(result, rx);
            if (name == L"GetPTT") setBool(result, ptt);
            if (name == L"GetCarrier") setBool(result, carrier);
            if (name == L"GetStation") {
                result->vt = VT_DISPATCH;
                result->pdispVal = new FakeStation(callsign);
            }
        }
        return S_OK;
    }

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
        *point = nullptr;
        if (!IsEqualIID(iid, kEventsIid)) return CONNECT_E_NOCONNECTION;
        *point = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }

    // IConnectionPoint
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
        *iid = kEventsIid;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE
    GetConnectionPointContainer(IConnectionPointContainer** container) override {
        *container = static_cast<IConnectionPointContainer*>(this);
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
        IDispatch* events = nullptr;
        if (sink == nullptr ||
            FAILED(sink->QueryInterface(kEventsIid, reinterpret_cast<void**>(&events)))) {
            return CONNECT_E_CANNOTCONNECT;
        }
        sinks_[nextCookie_] = events;
        *cookie = nextCookie_++;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
        const auto sink = sinks_.find(cookie);
        if (sink == sinks_.end()) return CONNECT_E_NOCONNECTION;
        sink->second->Release();
        sinks_.erase(sink);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    // IProvideClassInfo
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override {
        return scenarioTypeLib()->GetTypeInfoOfGuid(kClsid, info);
    }

  private:
    ~FakeLink() override {
        for (auto& [cookie, sink] : sinks_) sink->Release();
    }

    static void setBool(VARIANT* result, VARIANT_BOOL value) {
        result->vt = VT_BOOL;
        result->boolVal = value;
    }

    Scenario config_;
    std::map<DWORD, IDispatch*> sinks_;
    DWORD nextCookie_ = 1;
};

FakeLink* lastLink = nullptr;  // the stand-in most recently created, owned by its clients

class FakeClassFactory final : public IClassFactory {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        *object = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        auto* link = new FakeLink;
        const HRESULT hr = link->QueryInterface(iid, object);
        if (SUCCEEDED(hr)) lastLink = link;
        link->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

/// Receives the host's events as text.
class Recorder : public relaydeck::LinkEvents {
  public:
    std::string seen;

    void CarrierDetect(LinkBool bCD) override { add("CarrierDetect(" + std::to_string(bCD) + ")"); }
    void RX(LinkBool bRX) override { add("RX(" + std::to_string(bRX) + ")"); }
    void PTT(LinkBool bPTT) override { add("PTT(" + std::to_string(bPTT) + ")"); }
    void Closing() override { add("Closing"); }

  private:
    void add(const std::string& event) { seen += (seen.empty() ? "" : " ") + event; }
};

void must(HRESULT hr, const char* step) {
    if (FAILED(hr)) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
        throw std::runtime_error(std::string(step) + " failed with " + code);
    }
}

LPOLESTR olestr(const wchar_t* text) {
    return const_cast<LPOLESTR>(text);
}

/// Writes the stand-in's type library to @p path: the object's dispinterface, the event
/// dispinterface with the four events at unusual DISPIDs (but @p leaveOut), and the class
/// tying them together.
void writeTypeLib(const std::wstring& path, const wchar_t* leaveOut = nullptr) {
    Ref<ICreateTypeLib2> lib;
    must(CreateTypeLib2(SYS_WIN64, path.c_str(), lib.put()), "CreateTypeLib2");
    GUID libId{};
    must(CoCreateGuid(&libId), "CoCreateGuid");
    must(lib->SetGuid(libId), "SetGuid");
    must(lib->SetName(olestr(L"FakeEchoLinkLib")), "SetName");
    must(lib->SetVersion(1, 0), "SetVersion");

    Ref<ITypeLib> stdole;
    must(LoadTypeLib(L"stdole2.tlb", stdole.put()), "LoadTypeLib(stdole2.tlb)");
    Ref<ITypeInfo> dispatchInfo;
    must(stdole->GetTypeInfoOfGuid(IID_IDispatch, dispatchInfo.put()), "IDispatch type info");

    const auto dispinterface = [&](const wchar_t* name, const GUID& id, Ref<ICreateTypeInfo>& out) {
        must(lib->CreateTypeInfo(olestr(name), TKIND_DISPATCH, out.put()), "CreateTypeInfo");
        must(out->SetGuid(id), "SetGuid");
        HREFTYPE base = 0;
        must(out->AddRefTypeInfo(dispatchInfo.p, &base), "AddRefTypeInfo(IDispatch)");
        must(out->AddImplType(0, base), "AddImplType(IDispatch)");
    };

    Ref<ICreateTypeInfo> object;
    dispinterface(L"_EchoLink", kDualIid, object);
    must(object->LayOut(), "LayOut(_EchoLink)");

    Ref<ICreateTypeInfo> events;
    dispinterface(L"__EchoLink", kEventsIid, events);
    struct Function {
        MEMBERID id;
        const wchar_t* name;
        const wchar_t* parameter;
    };
    // Listed out of order as well, so that neither position nor number gives the name away.
    const Function functions[] = {{kPttId, L"PTT", L"bPTT"},
                                  {kClosingId, L"Closing", nullptr},
                                  {kRxId, L"RX", L"bRX"},
                                  {kCarrierDetectId, L"CarrierDetect", L"bCD"}};
    UINT i = 0;
    for (const Function& f : functions) {
        if (leaveOut != nullptr && std::wcscmp(leaveOut, f.name) == 0) continue;
        ELEMDESC parameter{};
        parameter.tdesc.vt = VT_BOOL;
        parameter.paramdesc.wParamFlags = PARAMFLAG_FIN;
        FUNCDESC description{};
        description.memid = f.id;
        description.funckind = FUNC_DISPATCH;
        description.invkind = INVOKE_FUNC;
        description.callconv = CC_STDCALL;
        description.cParams = f.parameter != nullptr ? 1 : 0;
        description.lprgelemdescParam = f.parameter != nullptr ? &parameter : nullptr;
        description.elemdescFunc.tdesc.vt = VT_VOID;
        must(events->AddFuncDesc(i, &description), "AddFuncDesc");
        LPOLESTR names[] = {olestr(f.name), olestr(f.parameter)};
        must(events->SetFuncAndParamNames(i, names, f.parameter != nullptr ? 2 : 1),
             "SetFuncAndParamNames");
        ++i;
    }
    must(events->LayOut(), "LayOut(__EchoLink)");

    Ref<ICreateTypeInfo> coclass;
    must(lib->CreateTypeInfo(olestr(L"EchoLink"), TKIND_COCLASS, coclass.put()),
         "CreateTypeInfo(coclass)");
    must(coclass->SetGuid(kClsid), "SetGuid(coclass)");
    must(coclass->SetTypeFlags(TYPEFLAG_FCANCREATE), "SetTypeFlags");
    Ref<ITypeInfo> objectInfo;
    Ref<ITypeInfo> eventsInfo;
    must(object->QueryInterface(IID_ITypeInfo, objectInfo.putVoid()), "ITypeInfo(_EchoLink)");
    must(events->QueryInterface(IID_ITypeInfo, eventsInfo.putVoid()), "ITypeInfo(__EchoLink)");
    HREFTYPE reference = 0;
    must(coclass->AddRefTypeInfo(objectInfo.p, &reference), "AddRefTypeInfo(_EchoLink)");
    must(coclass->AddImplType(0, reference), "AddImplType(_EchoLink)");
    must(coclass->SetImplTypeFlags(0, IMPLTYPEFLAG_FDEFAULT), "SetImplTypeFlags(_EchoLink)");
    must(coclass->AddRefTypeInfo(eventsInfo.p, &reference), "AddRefTypeInfo(__EchoLink)");
    must(coclass->AddImplType(1, reference), "AddImplType(__EchoLink)");
    must(coclass->SetImplTypeFlags(1, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE),
         "SetImplTypeFlags(__EchoLink)");
    must(coclass->LayOut(), "LayOut(coclass)");
    must(lib->SaveAllChanges(), "SaveAllChanges");
}

/// Runs @p action and returns the LinkError's text ("" when none was thrown).
std::string linkErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const LinkError& e) {
        std::printf("  LinkError: %s\n", e.what());
        return e.what();
    }
    return "";
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

void testOperationsReachTheObject(relaydeck::LinkHostFactory& factory) {
    std::printf("operations\n");
    scenario = Scenario{};
    auto host = factory.create();
    FakeLink& link = *lastLink;
    CHECK(link.askedForDual);

    host->SetControlMode(kLinkTrue);
    host->SetPTT(kLinkTrue);
    host->SetPTT(kLinkFalse);
    host->SetPTT(1);
    host->SetAux(kLinkTrue);
    host->SetAux(kLinkFalse);
    host->SendCW(kLinkFalse, "K");
    host->SendCW(kLinkFalse, "PY9ZZZ*R");
    host->SendStationText("Time-out. Aguarde...");
    host->Speak("Configura\xC3\xA7\xC3\xA3o");
    host->Speak("");
    host->PlayPrompt(7);

    const std::vector<std::string> expected = {
        "SetControlMode(VT_BOOL -1)",
        "SetPTT(VT_BOOL -1)",
        "SetPTT(VT_BOOL 0)",
        "SetPTT(VT_BOOL -1)",
        "SetAux(VT_BOOL -1)",
        "SetAux(VT_BOOL 0)",
        "SendCW(VT_BOOL 0, VT_BSTR \"K\")",
        "SendCW(VT_BOOL 0, VT_BSTR \"PY9ZZZ*R\")",
        "SendStationText(VT_BSTR \"Time-out. Aguarde...\")",
        "Speak(VT_BSTR \"Configura\xC3\xA7\xC3\xA3o\")",
        "Speak(VT_BSTR \"\")",
        "PlayPrompt(VT_I4 7)",
    };
    CHECK(link.calls.size() == expected.size());
    for (std::size_t i = 0; i < expected.size() && i < link.calls.size(); ++i) {
        CHECK_EQ(link.calls[i], expected[i]);
    }
    CHECK(link.lookups[L"SetPTT"] == 1);

    link.calls.clear();
    link.rx = VARIANT_TRUE;
    link.ptt = 1;  // any non-zero value counts as True
    link.carrier = VARIANT_FALSE;
    CHECK(host->GetRX() == kLinkTrue);
    CHECK(host->GetPTT() == kLinkTrue);
    CHECK(host->GetCarrier() == kLinkFalse);
    link.rx = VARIANT_FALSE;
    link.carrier = VARIANT_TRUE;
    CHECK(host->GetRX() == kLinkFalse);
    CHECK(host->GetCarrier() == kLinkTrue);
    const std::string query = " flags " + std::to_string(DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    CHECK(link.calls.size() == 5);
    if (!link.calls.empty()) CHECK_EQ(link.calls[0], "GetRX()" + query);

    link.callsign = L"PY9ZZZ-L S\u00e3o Tom\u00e9";
    CHECK_EQ(host->GetStation().StationCallsign, "PY9ZZZ-L S\xC3\xA3o Tom\xC3\xA9");
    CHECK(stationFlags == DISPATCH_PROPERTYGET);
}

void testEventsArriveByName(relaydeck::LinkHostFactory& factory, bool throughClassInfo) {
    std::printf("events (%s)\n", throughClassInfo ? "IProvideClassInfo" : "IDispatch::GetTypeInfo");
    scenario = Scenario{};
    scenario.classInfo = throughClassInfo;
    scenario.dispatchTypeInfo = !throughClassInfo;
    auto host = factory.create();
    FakeLink* link = lastLink;
    link->AddRef();
    CHECK(link->sinkCount() == 0);  // no receiver, no connection

    Recorder recorder;
    host->setEventSink(&recorder);
    CHECK(link->sinkCount() == 1);
    host->setEventSink(&recorder);
    CHECK(link->sinkCount() == 1);
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BOOL;
    value.boolVal = VARIANT_TRUE;
    CHECK(link->fire(kCarrierDetectId, &value) == S_OK);
    VARIANT_BOOL byReference = VARIANT_FALSE;
    value.vt = VT_BOOL | VT_BYREF;
    value.pboolVal = &byReference;
    CHECK(link->fire(kRxId, &value) == S_OK);
    value.vt = VT_I2;
    value.iVal = 1;  // passed on as it came: only the receiver decides what counts as True
    CHECK(link->fire(kPttId, &value) == S_OK);
    CHECK(link->fire(kClosingId, nullptr) == S_OK);
    value.vt = VT_BOOL;
    value.boolVal = VARIANT_TRUE;
    CHECK(link->fire(1, &value) == DISP_E_MEMBERNOTFOUND);
    CHECK_EQ(recorder.seen, "CarrierDetect(-1) RX(0) PTT(1) Closing");

    host->setEventSink(nullptr);
    CHECK(link->sinkCount() == 1);  // still connected, nothing forwarded
    link->fire(kCarrierDetectId, &value);
    CHECK_EQ(recorder.seen, "CarrierDetect(-1) RX(0) PTT(1) Closing");

    host->setEventSink(&recorder);
    CHECK(link->sinkCount() == 1);
    link->fire(kClosingId, nullptr);
    CHECK_EQ(recorder.seen, "CarrierDetect(-1) RX(0) PTT(1) Closing Closing");

    host.reset();
    CHECK(link->sinkCount() == 0);
    link->Release();
}

void testMissingTypeInformation(relaydeck::LinkHostFactory& factory) {
    std::printf("no type information\n");
    scenario = Scenario{};
    scenario.classInfo = false;
    scenario.dispatchTypeInfo = false;
    const std::string error = linkErrorOf([&] { factory.create(); });
    CHECK(startsWith(error, "Reading the type information failed: "));
}

void testFailedCalls(relaydeck::LinkHostFactory& factory) {
    std::printf("failed calls\n");
    scenario = Scenario{};
    scenario.failures[L"SendCW"] = DISP_E_EXCEPTION;
    scenario.failures[L"SetAux"] = E_FAIL;
    scenario.failures[L"GetCarrier"] = E_FAIL;
    scenario.unknownName = L"Speak";
    auto host = factory.create();

    CHECK_EQ(linkErrorOf([&] { host->SendCW(kLinkFalse, "K"); }),
             "The call SendCW failed: Simulated failure (0x800A0005).");
    std::string error = linkErrorOf([&] { host->SetAux(kLinkTrue); });
    CHECK(startsWith(error, "The call SetAux failed: ") &&
          endsWith(error, " (0x80004005 E_FAIL)."));
    error = linkErrorOf([&] { host->GetCarrier(); });
    CHECK(startsWith(error, "The call GetCarrier failed: ") &&
          endsWith(error, " (0x80004005 E_FAIL)."));
    error = linkErrorOf([&] { host->Speak("ID"); });
    CHECK(startsWith(error, "The call Speak failed: ") &&
          endsWith(error, " (0x80020006 DISP_E_UNKNOWNNAME)."));
    CHECK_EQ(linkErrorOf([&] { host->SetPTT(kLinkFalse); }), "");
}

void testIncompleteLinkProgram(relaydeck::LinkHostFactory& factory) {
    std::printf("a link program without PTT and Speak\n");
    scenario = Scenario{};
    scenario.withoutPtt = true;
    scenario.unknownName = L"Speak";
    auto host = factory.create();
    const std::vector<std::string> missing = host->missingMembers();
    CHECK(missing.size() == 2);
    if (missing.size() == 2) {
        CHECK(startsWith(missing[0], "The link program has no event PTT: "));
        CHECK(startsWith(missing[1], "The link program has no operation Speak (0x80020006"));
    }
    Recorder recorder;
    host->setEventSink(&recorder);
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BOOL;
    value.boolVal = VARIANT_TRUE;
    CHECK(lastLink->fire(kCarrierDetectId, &value) == S_OK);
    CHECK(lastLink->fire(kPttId, &value) == DISP_E_MEMBERNOTFOUND);
    CHECK_EQ(recorder.seen, "CarrierDetect(-1)");
    host->SetPTT(kLinkTrue);

    scenario.unknownName = L"SetPTT";  // what it cannot run without is refused
    CHECK(startsWith(linkErrorOf([&] { factory.create(); }), "Looking up SetPTT failed: "));
}

void testNotRegistered(relaydeck::LinkHostFactory& factory) {
    std::printf("class not registered\n");
    CHECK_EQ(linkErrorOf([&] { factory.create(); }),
             "EchoLink is not installed or not registered (0x80040154 REGDB_E_CLASSNOTREG).");
}

void run(const char* name, const std::function<void()>& test) {
    try {
        test();
    } catch (const std::exception& e) {
        ++failed;
        std::printf("FAILED: %s threw: %s\n", name, e.what());
    }
}

}  // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(init)) {
        std::printf("CoInitializeEx failed\n0 passed, 1 failed\n");
        return 1;
    }

    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring typeLibPath = std::wstring(folder) + L"relaydeck-fake-echolink-" +
                                     std::to_wstring(GetCurrentProcessId()) + L".tlb";
    try {
        writeTypeLib(typeLibPath);
        must(LoadTypeLibEx(typeLibPath.c_str(), REGKIND_NONE, &typeLib), "LoadTypeLibEx");
        writeTypeLib(typeLibPath + L".noptt", L"PTT");
        must(LoadTypeLibEx((typeLibPath + L".noptt").c_str(), REGKIND_NONE, &typeLibWithoutPtt),
             "LoadTypeLibEx");
    } catch (const std::exception& e) {
        std::printf("cannot build the stand-in's type library: %s\n0 passed, 1 failed\n", e.what());
        return 1;
    }

    FakeClassFactory classFactory;
    DWORD registration = 0;
    const HRESULT registered = CoRegisterClassObject(kClsid, &classFactory, CLSCTX_INPROC_SERVER,
                                                     REGCLS_MULTIPLEUSE, &registration);
    CHECK(SUCCEEDED(registered));

    relaydeck::ComLinkHostFactory factory;
    run("operations", [&] { testOperationsReachTheObject(factory); });
    run("events", [&] { testEventsArriveByName(factory, true); });
    run("events", [&] { testEventsArriveByName(factory, false); });
    run("type information", [&] { testMissingTypeInformation(factory); });
    run("failed calls", [&] { testFailedCalls(factory); });
    run("incomplete link program", [&] { testIncompleteLinkProgram(factory); });

    CHECK(SUCCEEDED(CoRevokeClassObject(registration)));
    run("not registered", [&] { testNotRegistered(factory); });
    CHECK(liveObjects == 0);

    typeLib->Release();
    typeLibWithoutPtt->Release();
    DeleteFileW(typeLibPath.c_str());
    DeleteFileW((typeLibPath + L".noptt").c_str());
    std::printf("%d passed, %d failed\n", passed, failed);
    CoUninitialize();
    return failed == 0 ? 0 : 1;
}
