#include "link/ComLinkHost.h"

#include "link/LinkOperations.h"

#include <windows.h>

#include <ocidl.h>
#include <oleauto.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace relaydeck {
namespace {

constexpr CLSID kEchoLinkClsid = {
    0xD1FB3C9A, 0xBB2D, 0x446A, {0xA7, 0x4A, 0xE7, 0x71, 0xF1, 0x34, 0xED, 0x56}};
constexpr IID kEchoLinkIid = {
    0x7733112C, 0x4577, 0x4432, {0x9D, 0xB0, 0xA9, 0x39, 0x81, 0x84, 0xEA, 0xF6}};
constexpr IID kStationIid = {
    0xACD8531B, 0xB0CE, 0x4F14, {0x94, 0x05, 0x6A, 0xB8, 0xAC, 0x5C, 0x9E, 0xFA}};
constexpr IID kEventsIid = {
    0x6F55F7AF, 0x8DA6, 0x400F, {0x96, 0xEB, 0xC3, 0x71, 0xF0, 0x31, 0x16, 0x11}};

/// Owns one reference to a COM interface.
template <class T>
class ComPtr {
  public:
    ComPtr() = default;
    explicit ComPtr(T* owned) : p_(owned) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { reset(); }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T** put() {
        reset();
        return &p_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }
    void reset() {
        if (p_ != nullptr) std::exchange(p_, nullptr)->Release();
    }

  private:
    T* p_ = nullptr;
};

/// Owns one VARIANT.
class Variant {
  public:
    Variant() { VariantInit(&v_); }
    Variant(Variant&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    Variant& operator=(Variant&&) = delete;
    ~Variant() { VariantClear(&v_); }

    VARIANT* get() { return &v_; }

  private:
    VARIANT v_;
};

/// Owns one BSTR.
class Bstr {
  public:
    Bstr() = default;
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(b_); }

    BSTR get() const { return b_; }
    BSTR* put() {
        SysFreeString(std::exchange(b_, nullptr));
        return &b_;
    }

  private:
    BSTR b_ = nullptr;
};

std::wstring toWide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        length);
    return wide;
}

std::string toUtf8(const wchar_t* wide, std::size_t size) {
    if (wide == nullptr || size == 0) return {};
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(size), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(size), utf8.data(), length, nullptr,
                        nullptr);
    return utf8;
}

std::string toUtf8(BSTR text) {
    return toUtf8(text, SysStringLen(text));
}

BSTR allocBstr(std::string_view utf8) {
    const std::wstring wide = toWide(utf8);
    BSTR text = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (text == nullptr) throw std::bad_alloc();
    return text;
}

std::string systemMessage(HRESULT hr) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = toUtf8(buffer, length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return text.empty() ? std::string("unknown error") : text;
}

/// The symbolic name of a result code a link-host call commonly ends with; "" for others.
std::string_view knownName(HRESULT hr) {
    struct Known {
        HRESULT code;
        std::string_view name;
    };
    static constexpr std::array<Known, 30> kKnown = {{
        {E_FAIL, "E_FAIL"},
        {E_UNEXPECTED, "E_UNEXPECTED"},
        {E_NOTIMPL, "E_NOTIMPL"},
        {E_NOINTERFACE, "E_NOINTERFACE"},
        {E_POINTER, "E_POINTER"},
        {E_INVALIDARG, "E_INVALIDARG"},
        {E_OUTOFMEMORY, "E_OUTOFMEMORY"},
        {E_ACCESSDENIED, "E_ACCESSDENIED"},
        {REGDB_E_CLASSNOTREG, "REGDB_E_CLASSNOTREG"},
        {CLASS_E_NOAGGREGATION, "CLASS_E_NOAGGREGATION"},
        {CO_E_NOTINITIALIZED, "CO_E_NOTINITIALIZED"},
        {CO_E_SERVER_EXEC_FAILURE, "CO_E_SERVER_EXEC_FAILURE"},
        {CO_E_SERVER_STOPPING, "CO_E_SERVER_STOPPING"},
        {DISP_E_EXCEPTION, "DISP_E_EXCEPTION"},
        {DISP_E_MEMBERNOTFOUND, "DISP_E_MEMBERNOTFOUND"},
        {DISP_E_UNKNOWNNAME, "DISP_E_UNKNOWNNAME"},
        {DISP_E_TYPEMISMATCH, "DISP_E_TYPEMISMATCH"},
        {DISP_E_BADPARAMCOUNT, "DISP_E_BADPARAMCOUNT"},
        {DISP_E_PARAMNOTFOUND, "DISP_E_PARAMNOTFOUND"},
        {DISP_E_OVERFLOW, "DISP_E_OVERFLOW"},
        {TYPE_E_LIBNOTREGISTERED, "TYPE_E_LIBNOTREGISTERED"},
        {TYPE_E_ELEMENTNOTFOUND, "TYPE_E_ELEMENTNOTFOUND"},
        {RPC_E_DISCONNECTED, "RPC_E_DISCONNECTED"},
        {RPC_E_SERVERFAULT, "RPC_E_SERVERFAULT"},
        {RPC_E_CALL_REJECTED, "RPC_E_CALL_REJECTED"},
        {RPC_E_SERVERCALL_RETRYLATER, "RPC_E_SERVERCALL_RETRYLATER"},
        {RPC_E_WRONG_THREAD, "RPC_E_WRONG_THREAD"},
        {RPC_E_CHANGED_MODE, "RPC_E_CHANGED_MODE"},
        {HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE), "RPC_S_SERVER_UNAVAILABLE"},
        {HRESULT_FROM_WIN32(RPC_S_CALL_FAILED), "RPC_S_CALL_FAILED"},
    }};
    for (const Known& known : kKnown) {
        if (known.code == hr) return known.name;
    }
    return {};
}

/// "0x80020009 DISP_E_EXCEPTION": the code in hex, and its name when it is known.
std::string codeText(HRESULT hr) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
    std::string text = code;
    if (const std::string_view name = knownName(hr); !name.empty()) {
        text += " ";
        text += name;
    }
    return text;
}

std::string describe(const std::string& text, HRESULT hr) {
    return text + " (" + codeText(hr) + ")";
}

// The message box already says "EchoLink failed: ": the texts name the step, not EchoLink.
// "The call SendCW failed: Exception occurred. (0x80020009 DISP_E_EXCEPTION)."
[[noreturn]] void fail(std::string_view step, HRESULT hr) {
    throw LinkError(std::string(step) + " failed: " + describe(systemMessage(hr), hr) + ".");
}

/// The step of calling @p name, as the failure texts name it.
std::string theCall(std::string_view name) {
    return "The call " + std::string(name);
}

/// The text of an exception the server raised; frees the EXCEPINFO's strings.
std::string describeException(EXCEPINFO& info) {
    if (info.pfnDeferredFillIn != nullptr) info.pfnDeferredFillIn(&info);
    const HRESULT code = info.scode != 0 ? info.scode : DISP_E_EXCEPTION;
    std::string text =
        SysStringLen(info.bstrDescription) > 0 ? toUtf8(info.bstrDescription) : systemMessage(code);
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    info = EXCEPINFO{};
    return describe(text, code);
}

/// The arguments of one call, held in IDispatch's reversed order.
class Arguments {
  public:
    Arguments() = default;
    Arguments(const Arguments&) = delete;
    Arguments& operator=(const Arguments&) = delete;
    ~Arguments() {
        for (VARIANT& v : reversed_) VariantClear(&v);
    }

    Arguments& boolean(LinkBool value) {
        VARIANT& v = prepend();
        v.vt = VT_BOOL;
        v.boolVal = value != 0 ? VARIANT_TRUE : VARIANT_FALSE;
        return *this;
    }
    Arguments& text(std::string_view utf8) {
        VARIANT& v = prepend();
        v.bstrVal = allocBstr(utf8);
        v.vt = VT_BSTR;
        return *this;
    }
    Arguments& int32(std::int32_t value) {
        VARIANT& v = prepend();
        v.vt = VT_I4;
        v.lVal = value;
        return *this;
    }

    DISPPARAMS params() {
        return DISPPARAMS{reversed_.empty() ? nullptr : reversed_.data(), nullptr,
                          static_cast<UINT>(reversed_.size()), 0};
    }

  private:
    VARIANT& prepend() {
        VARIANT empty;
        VariantInit(&empty);
        return *reversed_.insert(reversed_.begin(), empty);
    }

    std::vector<VARIANT> reversed_;
};

/// The DISPID of member @p name; @p step names the failure.
DISPID dispidOf(IDispatch* target, std::string_view name, std::string_view step) {
    std::wstring wide = toWide(name);
    LPOLESTR names[] = {wide.data()};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = target->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) fail(step, hr);
    return id;
}

Variant invokeDispatch(IDispatch* target, DISPID id, WORD flags, Arguments& args,
                       std::string_view what) {
    DISPPARAMS params = args.params();
    Variant result;
    EXCEPINFO exception{};
    UINT argumentError = 0;
    const HRESULT hr = target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                      result.get(), &exception, &argumentError);
    if (hr == DISP_E_EXCEPTION) {
        throw LinkError(std::string(what) + " failed: " + describeException(exception) + ".");
    }
    if (FAILED(hr)) fail(what, hr);
    return result;
}

/// The first value of an IDispatch call's parameters as a 16-bit number.
HRESULT readShort(const DISPPARAMS* params, LinkBool& value) {
    if (params == nullptr || params->cArgs == 0) return DISP_E_BADPARAMCOUNT;
    VARIANT& first = params->rgvarg[params->cArgs - 1];
    VARIANT number;
    VariantInit(&number);
    const HRESULT hr = VariantChangeType(&number, &first, 0, VT_I2);
    if (SUCCEEDED(hr)) value = number.iVal;
    VariantClear(&number);
    return hr;
}

using EventIds = std::array<DISPID, kLinkEventNames.size()>;

/// The event names as COM compares them.
const std::array<std::wstring, kLinkEventNames.size()>& wideEventNames() {
    static const std::array<std::wstring, kLinkEventNames.size()> names = [] {
        std::array<std::wstring, kLinkEventNames.size()> wide;
        for (std::size_t e = 0; e < wide.size(); ++e) wide[e] = toWide(kLinkEventNames[e]);
        return wide;
    }();
    return names;
}

/// Receives the link program's events and hands them to a LinkEvents.
class EventSink final : public IDispatch {
  public:
    explicit EventSink(const EventIds& ids) : ids_(ids) {}

    void setTarget(LinkEvents* target) { target_ = target; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, kEventsIid)) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info != nullptr) *info = nullptr;
        return DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        if (names == nullptr || ids == nullptr) return E_POINTER;
        HRESULT hr = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            for (std::size_t e = 0; e < ids_.size(); ++e) {
                if (_wcsicmp(names[i], wideEventNames()[e].c_str()) == 0) ids[i] = ids_[e];
            }
            if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT* argumentError) override {
        std::size_t index = 0;
        while (index < ids_.size() && ids_[index] != id) ++index;
        if (index == ids_.size()) return DISP_E_MEMBERNOTFOUND;
        const auto event = static_cast<LinkEvent>(index);
        LinkBool value = kLinkFalse;
        if (event != LinkEvent::Closing) {
            const HRESULT hr = readShort(params, value);
            if (FAILED(hr)) {
                if (argumentError != nullptr) *argumentError = 0;
                return hr;
            }
        }
        AddRef();  // the handler may drop the last reference to this sink's host
        deliver(event, value);
        Release();
        return S_OK;
    }

  private:
    ~EventSink() = default;

    // An exception escaping a handler cannot cross back into the link program.
    void deliver(LinkEvent event, LinkBool value) noexcept {
        if (target_ == nullptr) return;
        switch (event) {
            case LinkEvent::CarrierDetect:
                target_->CarrierDetect(value);
                break;
            case LinkEvent::RX:
                target_->RX(value);
                break;
            case LinkEvent::PTT:
                target_->PTT(value);
                break;
            case LinkEvent::Closing:
                target_->Closing();
                break;
        }
    }

    LONG refs_ = 1;
    EventIds ids_;
    LinkEvents* target_ = nullptr;
};

/// The type library the object was built from, found through its class or its interface.
ComPtr<ITypeLib> containingTypeLib(IDispatch* object) {
    ComPtr<ITypeLib> library;
    UINT index = 0;
    ComPtr<IProvideClassInfo> provider;
    ComPtr<ITypeInfo> classInfo;
    if (SUCCEEDED(object->QueryInterface(IID_IProvideClassInfo, provider.putVoid())) && provider &&
        SUCCEEDED(provider->GetClassInfo(classInfo.put())) && classInfo &&
        SUCCEEDED(classInfo->GetContainingTypeLib(library.put(), &index)) && library) {
        return library;
    }
    ComPtr<ITypeInfo> info;
    HRESULT hr = object->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.put());
    if (SUCCEEDED(hr) && !info) hr = TYPE_E_ELEMENTNOTFOUND;
    if (FAILED(hr)) fail("Reading the type information", hr);
    hr = info->GetContainingTypeLib(library.put(), &index);
    if (SUCCEEDED(hr) && !library) hr = TYPE_E_LIBNOTREGISTERED;
    if (FAILED(hr)) fail("Reading the type library", hr);
    return library;
}

/// The DISPIDs of the four events, looked up by name in the event interface's description.
EventIds eventIds(IDispatch* object) {
    const ComPtr<ITypeLib> library = containingTypeLib(object);
    ComPtr<ITypeInfo> events;
    HRESULT hr = library->GetTypeInfoOfGuid(kEventsIid, events.put());
    if (FAILED(hr)) fail("Finding the event interface", hr);

    TYPEATTR* attributes = nullptr;
    hr = events->GetTypeAttr(&attributes);
    if (FAILED(hr)) fail("Reading the event interface", hr);
    const UINT functions = attributes->cFuncs;
    events->ReleaseTypeAttr(attributes);

    EventIds ids;
    ids.fill(DISPID_UNKNOWN);
    for (UINT i = 0; i < functions; ++i) {
        FUNCDESC* function = nullptr;
        hr = events->GetFuncDesc(i, &function);
        if (FAILED(hr)) fail("Reading the event interface", hr);
        const MEMBERID member = function->memid;
        events->ReleaseFuncDesc(function);
        Bstr name;
        hr = events->GetDocumentation(member, name.put(), nullptr, nullptr, nullptr);
        if (FAILED(hr)) fail("Reading the event interface", hr);
        for (std::size_t e = 0; e < ids.size(); ++e) {
            if (name.get() != nullptr && _wcsicmp(name.get(), wideEventNames()[e].c_str()) == 0) {
                ids[e] = member;
            }
        }
    }
    for (std::size_t e = 0; e < ids.size(); ++e) {
        if (ids[e] == DISPID_UNKNOWN) {
            throw LinkError("The event interface has no event " + std::string(kLinkEventNames[e]) +
                            ".");
        }
    }
    return ids;
}

using Op = LinkOperation;

class ComLinkHost final : public LinkHost {
  public:
    explicit ComLinkHost(ComPtr<IDispatch> object) : object_(std::move(object)) {
        ids_.fill(DISPID_UNKNOWN);
        const EventIds eventDispids = eventIds(object_.get());

        ComPtr<IConnectionPointContainer> container;
        HRESULT hr = object_->QueryInterface(IID_IConnectionPointContainer, container.putVoid());
        if (FAILED(hr)) fail("Connecting to the events", hr);
        hr = container->FindConnectionPoint(kEventsIid, point_.put());
        if (FAILED(hr)) fail("Connecting to the events", hr);
        sink_ = ComPtr<EventSink>(new EventSink(eventDispids));
    }

    ~ComLinkHost() override {
        sink_->setTarget(nullptr);
        disconnect();
    }

    ComLinkHost(const ComLinkHost&) = delete;
    ComLinkHost& operator=(const ComLinkHost&) = delete;

    // Only a reference that was given a receiver is advised: every advised sink costs the
    // link program one cross-process call per event, even where nobody listens. Detaching
    // the receiver makes no call (it may happen inside an event, while the program ends);
    // the connection then lasts until the reference is released.
    void setEventSink(LinkEvents* sink) override {
        sink_->setTarget(sink);
        if (sink == nullptr || advised_) return;
        const HRESULT hr = point_->Advise(sink_.get(), &cookie_);
        if (FAILED(hr)) {
            sink_->setTarget(nullptr);
            fail("Connecting to the events", hr);
        }
        advised_ = true;
    }

    void SetPTT(LinkBool on) override { call(Op::SetPTT, Arguments().boolean(on)); }
    LinkBool GetRX() override { return queryBool(Op::GetRX); }
    LinkBool GetPTT() override { return queryBool(Op::GetPTT); }
    LinkBool GetCarrier() override { return queryBool(Op::GetCarrier); }
    void SendCW(LinkBool flag, const std::string& text) override {
        call(Op::SendCW, Arguments().boolean(flag).text(text));
    }
    StationInfo GetStation() override;
    void SetAux(LinkBool on) override { call(Op::SetAux, Arguments().boolean(on)); }
    void SendStationText(const std::string& text) override {
        call(Op::SendStationText, Arguments().text(text));
    }
    void SetControlMode(LinkBool on) override { call(Op::SetControlMode, Arguments().boolean(on)); }
    void Speak(const std::string& text) override { call(Op::Speak, Arguments().text(text)); }
    void PlayPrompt(std::int32_t number) override {
        call(Op::PlayPrompt, Arguments().int32(number));
    }

  private:
    static constexpr WORD kQuery = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

    /// Leaves the events; a link program that is gone already is not an error here.
    void disconnect() {
        if (!advised_) return;
        advised_ = false;
        point_->Unadvise(cookie_);
    }

    Variant call(Op op, Arguments& args, WORD flags = DISPATCH_METHOD) {
        const auto index = static_cast<std::size_t>(op);
        const std::string step = theCall(nameOf(op));
        if (ids_[index] == DISPID_UNKNOWN) ids_[index] = dispidOf(object_.get(), nameOf(op), step);
        return invokeDispatch(object_.get(), ids_[index], flags, args, step);
    }

    LinkBool queryBool(Op op) {
        Arguments none;
        Variant result = call(op, none, kQuery);
        Variant number;
        const HRESULT hr = VariantChangeType(number.get(), result.get(), 0, VT_I2);
        if (FAILED(hr)) fail(theCall(nameOf(op)), hr);
        return number.get()->iVal != 0 ? kLinkTrue : kLinkFalse;
    }

    ComPtr<IDispatch> object_;
    std::array<DISPID, kLinkOperations.size()> ids_;
    ComPtr<IConnectionPoint> point_;
    ComPtr<EventSink> sink_;
    DWORD cookie_ = 0;
    bool advised_ = false;
};

StationInfo ComLinkHost::GetStation() {
    Arguments none;
    Variant result = call(Op::GetStation, none, kQuery);
    Variant object;
    HRESULT hr = VariantChangeType(object.get(), result.get(), 0, VT_DISPATCH);
    if (SUCCEEDED(hr) && object.get()->pdispVal == nullptr) hr = E_POINTER;
    if (FAILED(hr)) fail(theCall("GetStation"), hr);

    ComPtr<IDispatch> station;
    if (FAILED(object.get()->pdispVal->QueryInterface(kStationIid, station.putVoid())) ||
        !station) {
        object.get()->pdispVal->AddRef();
        station = ComPtr<IDispatch>(object.get()->pdispVal);
    }

    constexpr std::string_view kProperty = "StationCallsign";
    const std::string step = "Reading " + std::string(kProperty);
    const DISPID id = dispidOf(station.get(), kProperty, step);
    Variant value = invokeDispatch(station.get(), id, DISPATCH_PROPERTYGET, none, step);
    Variant text;
    hr = VariantChangeType(text.get(), value.get(), 0, VT_BSTR);
    if (FAILED(hr)) fail(step, hr);
    return StationInfo{toUtf8(text.get()->bstrVal)};
}

/// COM for the calling thread, kept until the thread ends.
class ComApartment {
  public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {
        if (FAILED(result_) && result_ != RPC_E_CHANGED_MODE) fail("Initialising COM", result_);
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }

  private:
    HRESULT result_;
};

}  // namespace

std::unique_ptr<LinkHost> ComLinkHostFactory::create() {
    thread_local const ComApartment apartment;

    ComPtr<IDispatch> created;
    const HRESULT hr =
        CoCreateInstance(kEchoLinkClsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                         IID_IDispatch, created.putVoid());
    if (hr == REGDB_E_CLASSNOTREG) {
        throw LinkError("EchoLink is not installed or not registered (" + codeText(hr) + ").");
    }
    if (FAILED(hr)) fail("Creating the automation object", hr);

    ComPtr<IDispatch> dual;
    if (SUCCEEDED(created->QueryInterface(kEchoLinkIid, dual.putVoid())) && dual) {
        return std::make_unique<ComLinkHost>(std::move(dual));
    }
    return std::make_unique<ComLinkHost>(std::move(created));
}

}  // namespace relaydeck
