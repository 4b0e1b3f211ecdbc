#include "link/ComLinkHost.h"

#include "link/LinkOperations.h"

#include <windows.h>

#include <ocidl.h>
#include <oleauto.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
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

/// Arguments made on the caller's thread and owned by the call's job from then on.
class CallArguments {
  public:
    CallArguments& boolean(LinkBool value) {
        held_->boolean(value);
        return *this;
    }
    CallArguments& text(std::string_view utf8) {
        held_->text(utf8);
        return *this;
    }
    CallArguments& int32(std::int32_t value) {
        held_->int32(value);
        return *this;
    }
    std::shared_ptr<Arguments> held() const { return held_; }

  private:
    std::shared_ptr<Arguments> held_ = std::make_shared<Arguments>();
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

/// Where events go when they arrive on a thread of their own: posted to a window of the
/// thread that made the reference. Shared by the sink and its host, which may end first.
class EventPost {
  public:
    static constexpr UINT kMessage = WM_APP + 0x2A;

    /// @p expectCalls is told after each event is posted: the handler's calls follow soon.
    EventPost(HWND window, std::function<void()> expectCalls)
        : window_(window), expectCalls_(std::move(expectCalls)) {}
    void post(LinkEvent event, LinkBool value) {
        {
            const std::lock_guard lock(mutex_);
            if (window_ == nullptr) return;
            PostMessageW(window_, kMessage, static_cast<WPARAM>(event), static_cast<LPARAM>(value));
        }
        if (expectCalls_) expectCalls_();
    }
    void close() {
        const std::lock_guard lock(mutex_);
        window_ = nullptr;
    }

  private:
    std::mutex mutex_;
    HWND window_;
    const std::function<void()> expectCalls_;
};

/// Receives the link program's events and hands them to a LinkEvents, or posts them.
class EventSink final : public IDispatch {
  public:
    EventSink(const EventIds& ids, std::shared_ptr<EventPost> post)
        : ids_(ids), post_(std::move(post)) {}

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
                if (ids_[e] != DISPID_UNKNOWN &&
                    _wcsicmp(names[i], wideEventNames()[e].c_str()) == 0) {
                    ids[i] = ids_[e];
                }
            }
            if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT* argumentError) override {
        std::size_t index = 0;
        while (index < ids_.size() && (ids_[index] != id || id == DISPID_UNKNOWN)) ++index;
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
        if (post_) {
            post_->post(event, value);
            return S_OK;
        }
        AddRef();  // the handler may drop the last reference to this sink's host
        deliverEvent(target_, event, value);
        Release();
        return S_OK;
    }

    // An exception escaping a handler cannot cross back into the link program.
    static void deliverEvent(LinkEvents* target, LinkEvent event, LinkBool value) noexcept {
        if (target == nullptr) return;
        switch (event) {
            case LinkEvent::CarrierDetect:
                target->CarrierDetect(value);
                break;
            case LinkEvent::RX:
                target->RX(value);
                break;
            case LinkEvent::PTT:
                target->PTT(value);
                break;
            case LinkEvent::Closing:
                target->Closing();
                break;
        }
    }

  private:
    ~EventSink() = default;

    LONG refs_ = 1;
    EventIds ids_;
    std::shared_ptr<EventPost> post_;
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

/// What Relaydeck does without each event when the link program lacks it; "" where it
/// cannot run without it.
constexpr std::array<std::string_view, kLinkEventNames.size()> kWithoutEvent = {
    "",
    "",
    "the TX lamp stays grey",
    "Relaydeck notices the link program's end only when a call fails",
};

/// The operations Relaydeck cannot run without; any other one that is missing fails
/// only when it is used.
constexpr bool isRequired(LinkOperation op) {
    return op == LinkOperation::SetPTT || op == LinkOperation::SendCW ||
           op == LinkOperation::SetControlMode || op == LinkOperation::GetStation;
}

/// The DISPIDs of the events, looked up by name in the event interface's description;
/// an event Relaydeck can do without may be missing (DISPID_UNKNOWN, told in @p missing).
EventIds eventIds(IDispatch* object, std::vector<std::string>& missing) {
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
        if (ids[e] != DISPID_UNKNOWN) continue;
        const std::string name(kLinkEventNames[e]);
        if (kWithoutEvent[e].empty())
            throw LinkError("The event interface has no event " + name + ".");
        missing.push_back("The link program has no event " + name + ": " +
                          std::string(kWithoutEvent[e]) + ".");
    }
    return ids;
}

using Op = LinkOperation;

}  // namespace

// ---- where the calls run ----

/// Runs the link program's calls for the references of one factory.
class LinkCallRunner {
  public:
    virtual ~LinkCallRunner() = default;
    /// Runs @p job, which owns whatever it uses, and waits for its end; rethrows what it threw.
    /// After @p quietMs without an answer the wait lets the window paint and take input.
    virtual void run(std::function<void()> job, std::int64_t quietMs = kQuietMs) = 0;
    /// How long a call waits before the link program counts as not answering.
    static constexpr std::int64_t kQuietMs = 1000;
    /// The same for the creation, which starts the link program's server (about 1 s):
    /// until it is done, no operator action (the startup dialog's) runs in the middle.
    static constexpr std::int64_t kCreationQuietMs = 5000;
    /// Runs @p job without waiting for its end (a reference's release).
    virtual void runLater(std::function<void()> job) = 0;
    /// True when events arrive on other threads and are posted to the reference's thread.
    virtual bool postsEvents() const = 0;
    virtual void setWatcher(LinkWatcher* watcher) = 0;
    /// True while a call has waited for the link program longer than it should.
    virtual bool notAnswering() const = 0;
    /// What to tell the runner when an event has been posted, so that the calls its handler
    /// makes start without waiting for a thread to wake; empty when that does not apply.
    virtual std::function<void()> callsExpected() { return {}; }
};

namespace {

using CallRunner = LinkCallRunner;

/// Every call on the thread that makes it, events inside its message loop.
class CallsHere final : public CallRunner {
  public:
    void run(std::function<void()> job, std::int64_t) override { job(); }
    void runLater(std::function<void()> job) override { job(); }
    bool postsEvents() const override { return false; }
    void setWatcher(LinkWatcher*) override {}
    bool notAnswering() const override { return false; }
};

std::int64_t steadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::int64_t steadyUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

/// One call handed to the link thread.
struct Job {
    std::function<void()> work;
    std::exception_ptr error;
    std::atomic<bool> done{false};
};

/// What the link thread and the references' thread share; it outlives either of them.
struct JobQueue {
    std::mutex mutex;
    std::deque<std::shared_ptr<Job>> jobs;
    bool stopping = false;
    HANDLE wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    /// When the running job began (steadyMs), -1 while none runs.
    std::atomic<std::int64_t> busySinceMs{-1};
    /// Until when the link thread looks for jobs without sleeping (steadyUs): a posted event's
    /// handler calls within a few milliseconds, and waking a sleeping thread costs about as much
    /// as the call itself under Wine.
    std::atomic<std::int64_t> watchUntilUs{0};
    /// True while the link thread waits for `wake` (under the mutex).
    bool sleeping = false;

    JobQueue() = default;
    JobQueue(const JobQueue&) = delete;
    JobQueue& operator=(const JobQueue&) = delete;
    ~JobQueue() {
        CloseHandle(wake);
        CloseHandle(finished);
    }
};

/// The link thread: runs the jobs in order, in the multithreaded apartment.
DWORD WINAPI serveJobs(void* parameter) {
    const std::unique_ptr<std::shared_ptr<JobQueue>> owned(
        static_cast<std::shared_ptr<JobQueue>*>(parameter));
    JobQueue& queue = **owned;
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    for (;;) {
        std::shared_ptr<Job> job;
        bool sleep = false;
        {
            const std::lock_guard lock(queue.mutex);
            if (!queue.jobs.empty()) {
                job = std::move(queue.jobs.front());
                queue.jobs.pop_front();
            } else if (queue.stopping) {
                break;
            } else {
                sleep = steadyUs() >= queue.watchUntilUs;
            }
            queue.sleeping = sleep;
        }
        if (!job) {
            if (sleep) {
                WaitForSingleObject(queue.wake, INFINITE);
            } else {
                SwitchToThread();
            }
            continue;
        }
        queue.busySinceMs = steadyMs();
        try {
            job->work();
        } catch (...) {
            job->error = std::current_exception();
        }
        job->work = nullptr;  // what it held is released here, in its apartment
        queue.busySinceMs = -1;
        job->done = true;
        SetEvent(queue.finished);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}

/// Every call on a thread of its own, so that a link program that does not answer never
/// holds the window thread: while a call waits longer than kQuiet, the thread paints,
/// takes the operator's input and reports the wait, but runs no timer tick, posted task
/// or event (those wait for the call's end, as they would behind any long handler).
class CallThread final : public CallRunner {
  public:
    static constexpr DWORD kReportMs = 1000;
    static constexpr DWORD kDrainMs = 3000;
    static constexpr std::int64_t kWatchAfterEventUs = 3000;

    CallThread() : queue_(std::make_shared<JobQueue>()) {
        auto* shared = new std::shared_ptr<JobQueue>(queue_);
        thread_ = CreateThread(nullptr, 0, serveJobs, shared, 0, nullptr);
        if (thread_ == nullptr) {
            delete shared;
            fail("Starting the link thread", HRESULT_FROM_WIN32(GetLastError()));
        }
    }
    ~CallThread() override {
        {
            const std::lock_guard lock(queue_->mutex);
            queue_->stopping = true;
        }
        SetEvent(queue_->wake);
        // Releases still queued get a moment; a call that is not answered is left behind.
        const std::int64_t busy = queue_->busySinceMs;
        if (busy < 0 || steadyMs() - busy < kQuietMs) WaitForSingleObject(thread_, kDrainMs);
        CloseHandle(thread_);
    }
    CallThread(const CallThread&) = delete;
    CallThread& operator=(const CallThread&) = delete;

    void run(std::function<void()> work, std::int64_t quietMs) override {
        const auto job = std::make_shared<Job>();
        job->work = std::move(work);
        enqueue(job);
        wait(*job, quietMs);
        noticeAnswering();
        if (job->error) std::rethrow_exception(job->error);
    }
    void runLater(std::function<void()> work) override {
        const auto job = std::make_shared<Job>();
        job->work = std::move(work);
        enqueue(job);
    }
    bool postsEvents() const override { return true; }
    std::function<void()> callsExpected() override {
        return [queue = std::weak_ptr<JobQueue>(queue_)] {
            if (const auto held = queue.lock()) {
                held->watchUntilUs = steadyUs() + kWatchAfterEventUs;
                SetEvent(held->wake);
            }
        };
    }
    void setWatcher(LinkWatcher* watcher) override { watcher_ = watcher; }
    bool notAnswering() const override { return notAnswering_; }

  private:
    void enqueue(std::shared_ptr<Job> job) {
        bool sleeping = false;
        {
            const std::lock_guard lock(queue_->mutex);
            queue_->jobs.push_back(std::move(job));
            sleeping = queue_->sleeping;
        }
        // A link thread that watches for calls takes it without being woken.
        if (sleeping) SetEvent(queue_->wake);
    }

    void wait(const Job& job, std::int64_t quietMs) {
        const std::int64_t start = steadyMs();
        for (;;) {
            ResetEvent(queue_->finished);
            if (job.done) return;
            const std::int64_t left = quietMs - (steadyMs() - start);
            if (left <= 0) break;
            WaitForSingleObject(queue_->finished, static_cast<DWORD>(left));
        }
        if (!notAnswering_) {
            const std::int64_t busy = queue_->busySinceMs;
            episodeJobMs_ = busy >= 0 ? busy : start;
            notAnswering_ = true;
            lastReportMs_ = -1;
        }
        for (;;) {
            report();
            ResetEvent(queue_->finished);
            if (job.done) return;
            MsgWaitForMultipleObjectsEx(1, &queue_->finished, kReportMs, QS_ALLINPUT, 0);
            if (!dispatchWhileWaiting()) {
                throw LinkError("The call was given up: EchoLink does not answer.");
            }
            noticeAnswering();
        }
    }

    /// Tells the watcher how long the link program has not answered, once a second.
    void report() {
        if (!notAnswering_ || watcher_ == nullptr) return;
        const std::int64_t now = steadyMs();
        if (lastReportMs_ >= 0 && now - lastReportMs_ < kReportMs) return;
        lastReportMs_ = now;
        watcher_->linkNotAnswering(std::chrono::milliseconds(now - episodeJobMs_));
    }

    /// Ends the episode once the call that was not answered has been.
    void noticeAnswering() {
        if (!notAnswering_) return;
        const std::int64_t busy = queue_->busySinceMs;
        if (busy >= 0 && busy <= episodeJobMs_) return;
        notAnswering_ = false;
        if (watcher_ != nullptr) {
            watcher_->linkAnswering(std::chrono::milliseconds(steadyMs() - episodeJobMs_));
        }
    }

    /// Paints and takes input; false when the program is to end (WM_QUIT, posted again).
    static bool dispatchWhileWaiting() {
        const auto range = [](UINT first, UINT last) {
            MSG message;
            while (PeekMessageW(&message, nullptr, first, last, PM_REMOVE)) {
                if (message.message == WM_QUIT) {
                    PostQuitMessage(static_cast<int>(message.wParam));
                    return false;
                }
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            return true;
        };
        return range(0, WM_TIMER - 1) && range(WM_TIMER + 1, WM_APP - 1);
    }

    std::shared_ptr<JobQueue> queue_;
    HANDLE thread_ = nullptr;
    LinkWatcher* watcher_ = nullptr;
    bool notAnswering_ = false;
    std::int64_t episodeJobMs_ = 0;
    std::int64_t lastReportMs_ = -1;
};

// ---- one reference ----

/// The link program's objects of one reference, used and released where the calls run.
struct Remote {
    ComPtr<IDispatch> object;
    std::array<DISPID, kLinkOperations.size()> ids{};
    std::array<HRESULT, kLinkOperations.size()> lookups{};
    std::vector<std::string> missing;
    ComPtr<IConnectionPoint> point;
    ComPtr<EventSink> sink;
    DWORD cookie = 0;
    bool advised = false;

    /// Reads the events' and the operations' DISPIDs and finds the events' connection.
    void attach(const std::shared_ptr<EventPost>& post) {
        const EventIds eventDispids = eventIds(object.get(), missing);
        for (const LinkOperationDefinition& op : kLinkOperations) {
            const auto index = static_cast<std::size_t>(op.operation);
            std::wstring wide = toWide(op.name);
            LPOLESTR names[] = {wide.data()};
            ids[index] = DISPID_UNKNOWN;
            lookups[index] =
                object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &ids[index]);
            if (SUCCEEDED(lookups[index])) continue;
            ids[index] = DISPID_UNKNOWN;
            if (isRequired(op.operation))
                fail("Looking up " + std::string(op.name), lookups[index]);
            missing.push_back("The link program has no operation " + std::string(op.name) + " (" +
                              codeText(lookups[index]) + "): Relaydeck fails when it needs it.");
        }

        ComPtr<IConnectionPointContainer> container;
        HRESULT hr = object->QueryInterface(IID_IConnectionPointContainer, container.putVoid());
        if (FAILED(hr)) fail("Connecting to the events", hr);
        hr = container->FindConnectionPoint(kEventsIid, point.put());
        if (FAILED(hr)) fail("Connecting to the events", hr);
        sink = ComPtr<EventSink>(new EventSink(eventDispids, post));
    }

    void advise() {
        if (advised) return;
        const HRESULT hr = point->Advise(sink.get(), &cookie);
        if (FAILED(hr)) fail("Connecting to the events", hr);
        advised = true;
    }

    /// Leaves the events; a link program that is gone already is not an error here.
    void disconnect() {
        if (!advised) return;
        advised = false;
        point->Unadvise(cookie);
    }

    Variant invoke(Op op, Arguments& args, WORD flags) {
        const auto index = static_cast<std::size_t>(op);
        const std::string step = theCall(nameOf(op));
        if (ids[index] == DISPID_UNKNOWN) fail(step, lookups[index]);
        return invokeDispatch(object.get(), ids[index], flags, args, step);
    }
};

/// The window that receives a reference's posted events.
constexpr wchar_t kEventWindowClass[] = L"RelaydeckLinkEvents";

class ComLinkHost final : public LinkHost {
  public:
    ComLinkHost(std::shared_ptr<CallRunner> runner, std::shared_ptr<Remote> remote,
                HWND eventWindow, std::shared_ptr<EventPost> post)
        : runner_(std::move(runner)),
          remote_(std::move(remote)),
          eventWindow_(eventWindow),
          post_(std::move(post)) {
        if (eventWindow_ != nullptr) {
            SetWindowLongPtrW(eventWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        }
    }

    ~ComLinkHost() override {
        target_ = nullptr;
        if (post_) post_->close();
        if (eventWindow_ != nullptr) DestroyWindow(eventWindow_);
        runner_->runLater([remote = std::move(remote_)] {
            if (remote->sink) remote->sink->setTarget(nullptr);
            remote->disconnect();
        });
    }

    ComLinkHost(const ComLinkHost&) = delete;
    ComLinkHost& operator=(const ComLinkHost&) = delete;

    /// The window procedure of the posted events' window. An event that comes while a
    /// call waits for the link program (inside a box's or a menu's loop) is held, and
    /// handed over in order once the link program answers again.
    static LRESULT CALLBACK eventWindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
        auto* host = reinterpret_cast<ComLinkHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (host == nullptr || (message != EventPost::kMessage && message != WM_TIMER)) {
            return DefWindowProcW(window, message, wParam, lParam);
        }
        if (message == EventPost::kMessage) {
            host->held_.emplace_back(static_cast<LinkEvent>(wParam), static_cast<LinkBool>(lParam));
        }
        if (host->runner_->notAnswering()) {
            host->retrying_ = SetTimer(window, kRetryTimer, kRetryMs, nullptr) != 0;
            return 0;
        }
        // Only when set: every timer call is a round trip to the window system's server.
        if (host->retrying_) KillTimer(window, kRetryTimer);
        host->retrying_ = false;
        while (!host->held_.empty() && !host->runner_->notAnswering()) {
            const auto [event, value] = host->held_.front();
            host->held_.pop_front();
            // The handler may release this reference: nothing of it is used afterwards.
            const bool last = host->held_.empty();
            EventSink::deliverEvent(host->target_, event, value);
            if (last) break;
        }
        return 0;
    }

    // Only a reference that was given a receiver is advised: every advised sink costs the
    // link program one cross-process call per event, even where nobody listens. Detaching
    // the receiver makes no call (it may happen inside an event, while the program ends);
    // the connection then lasts until the reference is released.
    void setEventSink(LinkEvents* sink) override {
        target_ = sink;
        if (!post_) remote_->sink->setTarget(sink);
        if (sink == nullptr || advised_) return;
        try {
            runner_->run([remote = remote_] { remote->advise(); });
        } catch (...) {
            target_ = nullptr;
            if (!post_) remote_->sink->setTarget(nullptr);
            throw;
        }
        advised_ = true;
    }
    void setWatcher(LinkWatcher* watcher) override { runner_->setWatcher(watcher); }
    std::vector<std::string> missingMembers() const override { return remote_->missing; }

    void SetPTT(LinkBool on) override { call(Op::SetPTT, CallArguments().boolean(on)); }
    LinkBool GetRX() override { return queryBool(Op::GetRX); }
    LinkBool GetPTT() override { return queryBool(Op::GetPTT); }
    LinkBool GetCarrier() override { return queryBool(Op::GetCarrier); }
    void SendCW(LinkBool flag, const std::string& text) override {
        call(Op::SendCW, CallArguments().boolean(flag).text(text));
    }
    StationInfo GetStation() override;
    void SetAux(LinkBool on) override { call(Op::SetAux, CallArguments().boolean(on)); }
    void SendStationText(const std::string& text) override {
        call(Op::SendStationText, CallArguments().text(text));
    }
    void SetControlMode(LinkBool on) override {
        call(Op::SetControlMode, CallArguments().boolean(on));
    }
    void Speak(const std::string& text) override { call(Op::Speak, CallArguments().text(text)); }
    void PlayPrompt(std::int32_t number) override {
        call(Op::PlayPrompt, CallArguments().int32(number));
    }

  private:
    static constexpr WORD kQuery = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

    void call(Op op, CallArguments& args) {
        runner_->run([remote = remote_, op, held = args.held()] {
            remote->invoke(op, *held, DISPATCH_METHOD);
        });
    }

    LinkBool queryBool(Op op) {
        auto answer = std::make_shared<LinkBool>(kLinkFalse);
        runner_->run([remote = remote_, op, answer] {
            Arguments none;
            Variant result = remote->invoke(op, none, kQuery);
            Variant number;
            const HRESULT hr = VariantChangeType(number.get(), result.get(), 0, VT_I2);
            if (FAILED(hr)) fail(theCall(nameOf(op)), hr);
            *answer = number.get()->iVal != 0 ? kLinkTrue : kLinkFalse;
        });
        return *answer;
    }

    std::shared_ptr<CallRunner> runner_;
    std::shared_ptr<Remote> remote_;
    HWND eventWindow_ = nullptr;
    std::shared_ptr<EventPost> post_;
    LinkEvents* target_ = nullptr;
    bool advised_ = false;
    /// True while the retry timer for held events is set.
    bool retrying_ = false;
    std::deque<std::pair<LinkEvent, LinkBool>> held_;
    static constexpr UINT_PTR kRetryTimer = 1;
    static constexpr UINT kRetryMs = 250;
};

/// The StationCallsign of the station object @p value holds.
std::string stationCallsign(Variant& value) {
    Variant object;
    HRESULT hr = VariantChangeType(object.get(), value.get(), 0, VT_DISPATCH);
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
    Arguments none;
    Variant property = invokeDispatch(station.get(), id, DISPATCH_PROPERTYGET, none, step);
    Variant text;
    hr = VariantChangeType(text.get(), property.get(), 0, VT_BSTR);
    if (FAILED(hr)) fail(step, hr);
    return toUtf8(text.get()->bstrVal);
}

StationInfo ComLinkHost::GetStation() {
    auto callsign = std::make_shared<std::string>();
    runner_->run([remote = remote_, callsign] {
        Arguments none;
        Variant result = remote->invoke(Op::GetStation, none, kQuery);
        *callsign = stationCallsign(result);
    });
    return StationInfo{std::move(*callsign)};
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

/// A message-only window of this thread for posted events.
HWND createEventWindow() {
    static const bool registered = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &ComLinkHost::eventWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kEventWindowClass;
        return RegisterClassW(&windowClass) != 0;
    }();
    HWND window = registered
                      ? CreateWindowExW(0, kEventWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                        nullptr, GetModuleHandleW(nullptr), nullptr)
                      : nullptr;
    if (window == nullptr) fail("Creating the event window", HRESULT_FROM_WIN32(GetLastError()));
    return window;
}

/// Creates the link program's object and reads what the reference needs of it.
void createRemote(Remote& remote, const std::shared_ptr<EventPost>& post) {
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
        remote.object = std::move(dual);
    } else {
        remote.object = std::move(created);
    }
    remote.attach(post);
}

}  // namespace

ComLinkHostFactory::ComLinkHostFactory(LinkCalls calls) : calls_(calls) {}

ComLinkHostFactory::~ComLinkHostFactory() = default;

std::unique_ptr<LinkHost> ComLinkHostFactory::create() {
    thread_local const ComApartment apartment;
    if (!runner_) {
        if (calls_ == LinkCalls::OnTheirOwnThread) {
            runner_ = std::make_shared<CallThread>();
        } else {
            runner_ = std::make_shared<CallsHere>();
        }
    }
    HWND eventWindow = nullptr;
    std::shared_ptr<EventPost> post;
    if (runner_->postsEvents()) {
        eventWindow = createEventWindow();
        post = std::make_shared<EventPost>(eventWindow, runner_->callsExpected());
    }
    auto remote = std::make_shared<Remote>();
    try {
        runner_->run([remote, post] { createRemote(*remote, post); },
                     LinkCallRunner::kCreationQuietMs);
    } catch (...) {
        if (eventWindow != nullptr) DestroyWindow(eventWindow);
        // Whatever was made is released where it was made.
        runner_->runLater([remote] {});
        throw;
    }
    return std::make_unique<ComLinkHost>(runner_, std::move(remote), eventWindow, std::move(post));
}

}  // namespace relaydeck
