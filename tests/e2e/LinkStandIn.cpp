// A stand-in for the link program's automation server, run as its own process.
//
//   link_standin.exe /RegServer [/log FILE] [/control FILE]
//       writes and registers the type library beside the exe and registers the exe as the
//       class's local server, started with the given paths (default: calls.log and
//       control.txt beside the exe)
//   link_standin.exe /UnregServer
//   link_standin.exe [/log FILE] [/control FILE] [-Embedding]
//       serves the class until its last object is released or "quit" is asked
//
// Every call, connection and raised event is written to the log as one line:
//   <milliseconds since start, 3 decimals> <what>
// The control file is polled every 20 ms for lines added since the server started:
//   carrier 1|0    sets the carrier state and raises CarrierDetect(True|False)
//   rx 1|0         sets the Internet-audio state and raises RX(True|False)
//   ptt 1|0        sets the transmitter state and raises PTT(True|False)
//   closing        raises Closing
//   callsign TEXT  the station callsign from now on
//   mark TEXT      writes TEXT to the log
//   hang SECONDS   the next call (any operation) answers only after SECONDS, the server's
//                  thread blocked meanwhile as in a link program that stops answering
//   quit           disconnects every client and ends the server
// A SetPTT call that changes the transmitter state raises PTT once the call has returned.

#include <windows.h>

#include <ocidl.h>
#include <oleauto.h>
#include <olectl.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "StandInTypeLib.h"
#include "StandInTypes.h"

namespace standin {
namespace {

std::string utf8(const wchar_t* wide, std::size_t size) {
    if (wide == nullptr || size == 0) return {};
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(size), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(size), text.data(), length, nullptr,
                        nullptr);
    return text;
}

std::string utf8(const std::wstring& wide) {
    return utf8(wide.data(), wide.size());
}

std::wstring wide(const std::string& text) {
    if (text.empty()) return {};
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                        length);
    return result;
}

std::string hex(HRESULT hr) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
    return code;
}

/// The call log: one time-stamped line per record, flushed at once.
class Log {
  public:
    void open(const std::wstring& path) {
        file_ = _wfopen(path.c_str(), L"ab");
        QueryPerformanceFrequency(&frequency_);
        QueryPerformanceCounter(&start_);
    }
    ~Log() {
        if (file_ != nullptr) std::fclose(file_);
    }

    double nowMs() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - start_.QuadPart) * 1000.0 /
               static_cast<double>(frequency_.QuadPart);
    }

    void write(const std::string& what) {
        if (file_ == nullptr) return;
        std::fprintf(file_, "%.3f %s\n", nowMs(), what.c_str());
        std::fflush(file_);
    }

  private:
    std::FILE* file_ = nullptr;
    LARGE_INTEGER frequency_{};
    LARGE_INTEGER start_{};
};

/// A state of the link program as a 16-bit Boolean: True is -1.
VARIANT_BOOL linkBool(bool on) {
    return on ? VARIANT_TRUE : VARIANT_FALSE;
}

class LinkObject;

/// Everything one server process shares between its objects.
struct Server {
    Log log;
    std::wstring controlPath;
    bool carrier = false;
    bool rx = false;
    bool ptt = false;
    std::wstring callsign = L"N0CALL-R";
    ITypeLib* typeLib = nullptr;
    std::set<LinkObject*> links;
    long liveObjects = 0;
    bool everServed = false;
    int nextObjectNumber = 1;
    HWND window = nullptr;
    // Events wait here until no other event is out, so that they leave in order.
    std::deque<std::pair<Event, VARIANT_BOOL>> pending;
    bool raising = false;
    bool quitting = false;
    DWORD hangNextCallMs = 0;
};

Server server;

constexpr UINT kRaisePending = WM_APP + 1;
constexpr UINT_PTR kPollTimer = 1;
constexpr UINT_PTR kLifetimeTimer = 2;
constexpr UINT kPollMs = 20;
constexpr UINT kLifetimeMs = 15 * 60 * 1000;

void objectCreated() {
    ++server.liveObjects;
    server.everServed = true;
}

void objectDestroyed() {
    if (--server.liveObjects == 0 && server.everServed) {
        server.log.write("last object released");
        PostQuitMessage(0);
    }
}

void queueEvent(Event event, VARIANT_BOOL value) {
    server.pending.emplace_back(event, value);
    PostMessageW(server.window, kRaisePending, 0, 0);
}

/// The station object GetStation hands out.
class StationObject final : public IStationDual {
  public:
    explicit StationObject(std::wstring callsign) : callsign_(std::move(callsign)) {
        objectCreated();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, kStationIid)) {
            *object = static_cast<IStationDual*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (info == nullptr) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        return server.typeLib->GetTypeInfoOfGuid(kStationIid, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        if (names == nullptr || ids == nullptr) return E_POINTER;
        HRESULT hr = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = i == 0 && _wcsicmp(names[i], L"StationCallsign") == 0 ? kCallsignId
                                                                           : DISPID_UNKNOWN;
            if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT*) override {
        if (id != kCallsignId || (flags & DISPATCH_PROPERTYGET) == 0) return DISP_E_MEMBERNOTFOUND;
        if (params != nullptr && params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
        if (result == nullptr) return S_OK;
        VariantInit(result);
        result->vt = VT_BSTR;
        return get_StationCallsign(&result->bstrVal);
    }
    HRESULT STDMETHODCALLTYPE get_StationCallsign(BSTR* result) override {
        if (result == nullptr) return E_POINTER;
        server.log.write("station StationCallsign");
        *result = SysAllocStringLen(callsign_.data(), static_cast<UINT>(callsign_.size()));
        return *result != nullptr ? S_OK : E_OUTOFMEMORY;
    }

  private:
    ~StationObject() { objectDestroyed(); }

    ULONG refs_ = 1;
    std::wstring callsign_;
};

/// One instance of the link program's automation object, as a client created it.
class LinkObject final : public ILinkDual,
                         public IConnectionPointContainer,
                         public IConnectionPoint,
                         public IProvideClassInfo {
  public:
    LinkObject() : number_(server.nextObjectNumber++) {
        objectCreated();
        server.links.insert(this);
        record("created");
    }

    /// Raises @p event on every sink of this object; failures are logged, not fatal.
    void raise(Event event, const VARIANT* argument) {
        std::vector<std::pair<DWORD, IDispatch*>> targets(sinks_.begin(), sinks_.end());
        for (auto& [cookie, sink] : targets) sink->AddRef();
        AddRef();
        for (auto& [cookie, sink] : targets) {
            VARIANT copy;
            VariantInit(&copy);
            if (argument != nullptr) VariantCopy(&copy, const_cast<VARIANT*>(argument));
            DISPPARAMS params{argument != nullptr ? &copy : nullptr, nullptr,
                              argument != nullptr ? 1u : 0u, 0};
            const HRESULT hr =
                sink->Invoke(kEventIds[static_cast<int>(event)], IID_NULL, LOCALE_USER_DEFAULT,
                             DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
            VariantClear(&copy);
            if (FAILED(hr)) {
                record("sink " + std::to_string(cookie) + " failed " + hex(hr));
            }
            sink->Release();
        }
        Release();
    }

    std::size_t sinkCount() const { return sinks_.size(); }

    void disconnect() {
        for (auto& [cookie, sink] : sinks_) sink->Release();
        sinks_.clear();
        CoDisconnectObject(static_cast<ILinkDual*>(this), 0);
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, kLinkIid)) {
            *object = static_cast<ILinkDual*>(this);
        } else if (IsEqualIID(iid, IID_IConnectionPointContainer)) {
            *object = static_cast<IConnectionPointContainer*>(this);
        } else if (IsEqualIID(iid, IID_IConnectionPoint)) {
            *object = static_cast<IConnectionPoint*>(this);
        } else if (IsEqualIID(iid, IID_IProvideClassInfo)) {
            *object = static_cast<IProvideClassInfo*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (info == nullptr) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        return server.typeLib->GetTypeInfoOfGuid(kLinkIid, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        if (names == nullptr || ids == nullptr) return E_POINTER;
        HRESULT hr = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            for (int op = 0; op < kOpCount && i == 0; ++op) {
                if (_wcsicmp(names[i], kOpNames[op]) == 0) ids[i] = kFirstOpId + op;
            }
            if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT* argumentError) override;

    // The dual interface's own methods.
    HRESULT STDMETHODCALLTYPE SetPTT(VARIANT_BOOL on) override {
        record("call SetPTT(" + std::to_string(on) + ")");
        const bool keyed = on != 0;
        if (keyed != server.ptt) {
            server.ptt = keyed;
            queueEvent(Event::PTT, linkBool(keyed));
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetRX(VARIANT_BOOL* result) override {
        return answer("GetRX", server.rx, result);
    }
    HRESULT STDMETHODCALLTYPE GetPTT(VARIANT_BOOL* result) override {
        return answer("GetPTT", server.ptt, result);
    }
    HRESULT STDMETHODCALLTYPE GetCarrier(VARIANT_BOOL* result) override {
        return answer("GetCarrier", server.carrier, result);
    }
    HRESULT STDMETHODCALLTYPE SendCW(VARIANT_BOOL flag, VARIANT text) override {
        VARIANT asText;
        VariantInit(&asText);
        const HRESULT hr = VariantChangeType(&asText, &text, 0, VT_BSTR);
        if (FAILED(hr)) {
            record("call SendCW(" + std::to_string(flag) + ", vt " + std::to_string(text.vt) +
                   ") refused " + hex(hr));
            return hr;
        }
        record("call SendCW(" + std::to_string(flag) + ", " + quoted(asText.bstrVal) + ")");
        VariantClear(&asText);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetStation(IDispatch** result) override {
        if (result == nullptr) return E_POINTER;
        record("call GetStation()");
        *result = new StationObject(server.callsign);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetAux(VARIANT_BOOL on) override {
        record("call SetAux(" + std::to_string(on) + ")");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SendStationText(BSTR text) override {
        record("call SendStationText(" + quoted(text) + ")");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetControlMode(VARIANT_BOOL on) override {
        record("call SetControlMode(" + std::to_string(on) + ")");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Speak(BSTR text) override {
        record("call Speak(" + quoted(text) + ")");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PlayPrompt(LONG number) override {
        record("call PlayPrompt(" + std::to_string(number) + ")");
        return S_OK;
    }

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
        if (point == nullptr) return E_POINTER;
        *point = nullptr;
        if (!IsEqualIID(iid, kEventsIid)) return CONNECT_E_NOCONNECTION;
        *point = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }

    // IConnectionPoint
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
        if (iid == nullptr) return E_POINTER;
        *iid = kEventsIid;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE
    GetConnectionPointContainer(IConnectionPointContainer** container) override {
        if (container == nullptr) return E_POINTER;
        *container = static_cast<IConnectionPointContainer*>(this);
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
        if (sink == nullptr || cookie == nullptr) return E_POINTER;
        // Like ATL-style servers: the sink must answer for the event interface itself.
        IDispatch* events = nullptr;
        const HRESULT hr = sink->QueryInterface(kEventsIid, reinterpret_cast<void**>(&events));
        if (FAILED(hr) || events == nullptr) {
            record("advise refused " + hex(hr));
            return CONNECT_E_CANNOTCONNECT;
        }
        *cookie = nextCookie_++;
        sinks_[*cookie] = events;
        record("advise " + std::to_string(*cookie));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
        const auto sink = sinks_.find(cookie);
        if (sink == sinks_.end()) {
            record("unadvise " + std::to_string(cookie) + " unknown");
            return CONNECT_E_NOCONNECTION;
        }
        IDispatch* events = sink->second;
        sinks_.erase(sink);
        events->Release();
        record("unadvise " + std::to_string(cookie));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    // IProvideClassInfo
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override {
        if (info == nullptr) return E_POINTER;
        return server.typeLib->GetTypeInfoOfGuid(kClsid, info);
    }

  private:
    ~LinkObject() {
        for (auto& [cookie, sink] : sinks_) sink->Release();
        server.links.erase(this);
        record("released");
        objectDestroyed();
    }

    void record(const std::string& what) const {
        server.log.write("#" + std::to_string(number_) + " " + what);
        if (server.hangNextCallMs > 0 && what.starts_with("call ")) {
            const DWORD hangMs = std::exchange(server.hangNextCallMs, 0);
            server.log.write("hang begins");
            Sleep(hangMs);
            server.log.write("hang ends");
        }
    }

    static std::string quoted(BSTR text) { return "\"" + utf8(text, SysStringLen(text)) + "\""; }

    HRESULT answer(const char* name, bool state, VARIANT_BOOL* result) const {
        if (result == nullptr) return E_POINTER;
        *result = linkBool(state);
        record(std::string("call ") + name + "() = " + std::to_string(*result));
        return S_OK;
    }

    ULONG refs_ = 1;
    int number_;
    std::map<DWORD, IDispatch*> sinks_;
    DWORD nextCookie_ = 1;
};

/// One argument of an IDispatch call, converted to @p type (by-reference values included).
class Argument {
  public:
    Argument() { VariantInit(&value_); }
    Argument(const Argument&) = delete;
    Argument& operator=(const Argument&) = delete;
    ~Argument() { VariantClear(&value_); }

    HRESULT read(const DISPPARAMS* params, UINT position, VARTYPE type) {
        // rgvarg holds the last argument first.
        VARIANT& given = params->rgvarg[params->cArgs - 1 - position];
        if (type == VT_VARIANT) {
            return VariantCopyInd(&value_, &given);
        }
        return VariantChangeType(&value_, &given, 0, type);
    }
    VARIANT& get() { return value_; }

  private:
    VARIANT value_;
};

HRESULT STDMETHODCALLTYPE LinkObject::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params,
                                             VARIANT* result, EXCEPINFO*, UINT* argumentError) {
    const DISPID index = id - kFirstOpId;
    if (index < 0 || index >= kOpCount) return DISP_E_MEMBERNOTFOUND;
    const auto op = static_cast<Op>(index);
    static constexpr UINT kArgumentCounts[kOpCount] = {1, 0, 0, 0, 2, 0, 1, 1, 1, 1, 1};
    const UINT given = params != nullptr ? params->cArgs : 0;
    if (given != kArgumentCounts[index]) {
        record("call " + utf8(kOpNames[index], std::wcslen(kOpNames[index])) + " with " +
               std::to_string(given) + " arguments refused");
        return DISP_E_BADPARAMCOUNT;
    }
    if (params != nullptr && params->cNamedArgs != 0) return DISP_E_NONAMEDARGS;

    Argument first;
    Argument second;
    static constexpr VARTYPE kFirstTypes[kOpCount] = {VT_BOOL, VT_EMPTY, VT_EMPTY, VT_EMPTY,
                                                      VT_BOOL, VT_EMPTY, VT_BOOL,  VT_BSTR,
                                                      VT_BOOL, VT_BSTR,  VT_I4};
    if (given >= 1) {
        const HRESULT hr = first.read(params, 0, kFirstTypes[index]);
        if (FAILED(hr)) {
            if (argumentError != nullptr) *argumentError = given - 1;
            return DISP_E_TYPEMISMATCH;
        }
    }
    if (given >= 2) {
        const HRESULT hr = second.read(params, 1, VT_VARIANT);
        if (FAILED(hr)) {
            if (argumentError != nullptr) *argumentError = 0;
            return DISP_E_TYPEMISMATCH;
        }
    }

    VARIANT_BOOL answered = VARIANT_FALSE;
    HRESULT hr = S_OK;
    switch (op) {
        case Op::SetPTT:
            return SetPTT(first.get().boolVal);
        case Op::GetRX:
            hr = GetRX(&answered);
            break;
        case Op::GetPTT:
            hr = GetPTT(&answered);
            break;
        case Op::GetCarrier:
            hr = GetCarrier(&answered);
            break;
        case Op::SendCW:
            return SendCW(first.get().boolVal, second.get());
        case Op::GetStation: {
            IDispatch* station = nullptr;
            hr = GetStation(&station);
            if (SUCCEEDED(hr)) {
                if (result != nullptr) {
                    VariantInit(result);
                    result->vt = VT_DISPATCH;
                    result->pdispVal = station;
                } else {
                    station->Release();
                }
            }
            return hr;
        }
        case Op::SetAux:
            return SetAux(first.get().boolVal);
        case Op::SendStationText:
            return SendStationText(first.get().bstrVal);
        case Op::SetControlMode:
            return SetControlMode(first.get().boolVal);
        case Op::Speak:
            return Speak(first.get().bstrVal);
        case Op::PlayPrompt:
            return PlayPrompt(first.get().lVal);
    }
    if (SUCCEEDED(hr) && result != nullptr) {
        VariantInit(result);
        result->vt = VT_BOOL;
        result->boolVal = answered;
    }
    return hr;
}

class ClassFactory final : public IClassFactory {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
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
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        if (server.quitting) return CO_E_SERVER_STOPPING;
        auto* link = new LinkObject;
        const HRESULT hr = link->QueryInterface(iid, object);
        link->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

void raiseOnAll(Event event, VARIANT_BOOL value) {
    const int index = static_cast<int>(event);
    std::string what = utf8(kEventNames[index], std::wcslen(kEventNames[index]));
    if (event != Event::Closing) what += "(" + std::to_string(value) + ")";
    std::size_t sinks = 0;
    std::vector<LinkObject*> targets(server.links.begin(), server.links.end());
    for (LinkObject* link : targets) {
        sinks += link->sinkCount();
        link->AddRef();
    }
    server.log.write("raise " + what + " to " + std::to_string(sinks) + " sink(s)");
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_BOOL;
    argument.boolVal = value;
    for (LinkObject* link : targets) {
        link->raise(event, event == Event::Closing ? nullptr : &argument);
        link->Release();
    }
    server.log.write("raised " + what);
}

/// Raises the waiting events one after the other; never nested inside another raise.
void raisePending() {
    if (server.raising) return;
    server.raising = true;
    while (!server.pending.empty()) {
        const auto [event, value] = server.pending.front();
        server.pending.pop_front();
        raiseOnAll(event, value);
    }
    server.raising = false;
}

void quit() {
    if (server.quitting) return;
    server.quitting = true;
    server.log.write("quit");
    std::vector<LinkObject*> targets(server.links.begin(), server.links.end());
    for (LinkObject* link : targets) link->disconnect();
    PostQuitMessage(0);
}

/// Reads the control file's lines that were not read yet.
class Control {
  public:
    /// Leaves what the file holds now unread: it was meant for an earlier server process.
    void skipExisting() {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (GetFileAttributesExW(server.controlPath.c_str(), GetFileExInfoStandard, &data)) {
            read_ = (static_cast<std::size_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        }
    }

    void poll() {
        if (server.controlPath.empty()) return;
        HANDLE file = CreateFileW(server.controlPath.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return;
        LARGE_INTEGER offset{};
        offset.QuadPart = static_cast<LONGLONG>(read_);
        SetFilePointerEx(file, offset, nullptr, FILE_BEGIN);
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
            partial_.append(buffer, got);
            read_ += got;
        }
        CloseHandle(file);

        std::size_t end = 0;
        while ((end = partial_.find('\n')) != std::string::npos) {
            std::string line = partial_.substr(0, end);
            partial_.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty()) perform(line);
        }
    }

  private:
    static void perform(const std::string& line) {
        const std::size_t space = line.find(' ');
        const std::string verb = line.substr(0, space);
        const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
        const bool on = rest == "1" || rest == "-1" || rest == "true" || rest == "True";
        if (verb == "carrier") {
            server.carrier = on;
            queueEvent(Event::CarrierDetect, linkBool(on));
        } else if (verb == "rx") {
            server.rx = on;
            queueEvent(Event::RX, linkBool(on));
        } else if (verb == "ptt") {
            server.ptt = on;
            queueEvent(Event::PTT, linkBool(on));
        } else if (verb == "closing") {
            queueEvent(Event::Closing, VARIANT_FALSE);
        } else if (verb == "callsign") {
            server.callsign = wide(rest);
            server.log.write("callsign " + rest);
        } else if (verb == "mark") {
            server.log.write("mark " + rest);
        } else if (verb == "hang") {
            server.hangNextCallMs =
                static_cast<DWORD>(std::strtoul(rest.c_str(), nullptr, 10) * 1000);
            server.log.write("hang armed");
        } else if (verb == "quit") {
            quit();
        } else {
            server.log.write("unknown control line: " + line);
        }
    }

    std::size_t read_ = 0;
    std::string partial_;
};

Control control;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kRaisePending:
            raisePending();
            return 0;
        case WM_TIMER:
            if (wParam == kPollTimer) {
                control.poll();
                if (!server.pending.empty()) raisePending();
            } else if (wParam == kLifetimeTimer) {
                server.log.write("lifetime over");
                quit();
            }
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

std::wstring modulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring besideModule(const wchar_t* name) {
    std::wstring path = modulePath();
    path.erase(path.find_last_of(L"\\/") + 1);
    return path + name;
}

std::wstring fullPath(const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 4];
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH * 4, buffer, nullptr);
    return length > 0 && length < MAX_PATH * 4 ? std::wstring(buffer, length) : path;
}

std::wstring clsidText() {
    wchar_t text[64];
    StringFromGUID2(kClsid, text, 64);
    return text;
}

bool setValue(HKEY root, const std::wstring& key, const std::wstring& value) {
    HKEY handle = nullptr;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    const LONG result =
        RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

int registerServer(const std::wstring& logPath, const std::wstring& controlPath) {
    const std::wstring libPath = besideModule(L"link_standin.tlb");
    const std::string failure = writeTypeLib(libPath);
    if (!failure.empty()) {
        std::fprintf(stderr, "link_standin: building the type library: %s\n", failure.c_str());
        return 1;
    }
    ITypeLib* lib = nullptr;
    HRESULT hr = LoadTypeLibEx(libPath.c_str(), REGKIND_NONE, &lib);
    if (SUCCEEDED(hr)) {
        hr = RegisterTypeLib(lib, const_cast<OLECHAR*>(libPath.c_str()), nullptr);
        lib->Release();
    }
    if (FAILED(hr)) {
        std::fprintf(stderr, "link_standin: registering the type library failed with %s\n",
                     hex(hr).c_str());
        return 1;
    }
    const std::wstring command = L"\"" + modulePath() + L"\" /log \"" + fullPath(logPath) +
                                 L"\" /control \"" + fullPath(controlPath) + L"\"";
    const std::wstring key = L"CLSID\\" + clsidText();
    if (!setValue(HKEY_CLASSES_ROOT, key, L"Link program stand-in") ||
        !setValue(HKEY_CLASSES_ROOT, key + L"\\LocalServer32", command)) {
        std::fprintf(stderr, "link_standin: writing the class registration failed\n");
        return 1;
    }
    std::printf("registered: %s\n", utf8(command).c_str());
    return 0;
}

int unregisterServer() {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + clsidText()).c_str());
    UnRegisterTypeLib(kLibId, 1, 0, 0, SYS_WIN64);
    return 0;
}

int serve() {
    HRESULT hr = LoadTypeLibEx(besideModule(L"link_standin.tlb").c_str(), REGKIND_NONE,
                               &server.typeLib);
    if (FAILED(hr)) {
        server.log.write("cannot load the type library: " + hex(hr));
        return 1;
    }
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"RelaydeckLinkStandIn";
    RegisterClassW(&windowClass);
    server.window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                    nullptr, windowClass.hInstance, nullptr);
    SetTimer(server.window, kPollTimer, kPollMs, nullptr);
    SetTimer(server.window, kLifetimeTimer, kLifetimeMs, nullptr);
    control.skipExisting();

    ClassFactory factory;
    DWORD registration = 0;
    hr = CoRegisterClassObject(kClsid, &factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                               &registration);
    if (FAILED(hr)) {
        server.log.write("CoRegisterClassObject failed " + hex(hr));
        return 1;
    }
    server.log.write("serving, pid " + std::to_string(GetCurrentProcessId()));

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    CoRevokeClassObject(registration);
    server.log.write("ended");
    server.typeLib->Release();
    server.typeLib = nullptr;
    return 0;
}

}  // namespace
}  // namespace standin

int wmain(int argc, wchar_t** argv) {
    using namespace standin;
    std::wstring logPath = besideModule(L"calls.log");
    std::wstring controlPath = besideModule(L"control.txt");
    bool doRegister = false;
    bool doUnregister = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (_wcsicmp(argument.c_str(), L"/RegServer") == 0 ||
            _wcsicmp(argument.c_str(), L"-RegServer") == 0) {
            doRegister = true;
        } else if (_wcsicmp(argument.c_str(), L"/UnregServer") == 0 ||
                   _wcsicmp(argument.c_str(), L"-UnregServer") == 0) {
            doUnregister = true;
        } else if (argument == L"/log" && i + 1 < argc) {
            logPath = argv[++i];
        } else if (argument == L"/control" && i + 1 < argc) {
            controlPath = argv[++i];
        }
        // -Embedding, added by COM when it starts the server, needs nothing.
    }

    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int status = 0;
    if (doUnregister) {
        status = unregisterServer();
    } else if (doRegister) {
        status = registerServer(logPath, controlPath);
    } else {
        server.log.open(logPath);
        server.controlPath = controlPath;
        status = serve();
    }
    CoUninitialize();
    return status;
}
