// Writes the stand-in's type library: the dual link interface with its eleven operations,
// the dual station interface, the event dispinterface and the class that ties them.

#include "StandInTypeLib.h"

#include <oleauto.h>

#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace standin {
namespace {

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

class Failure {
  public:
    Failure(const char* step, HRESULT hr) : step_(step), hr_(hr) {}
    std::string text() const {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr_));
        return std::string(step_) + " failed with " + code;
    }

  private:
    const char* step_;
    HRESULT hr_;
};

void must(HRESULT hr, const char* step) {
    if (FAILED(hr)) throw Failure(step, hr);
}

LPOLESTR olestr(const wchar_t* text) {
    return const_cast<LPOLESTR>(text);
}

/// A parameter or result type: VT_x, or a pointer to VT_x when @p pointer.
struct Type {
    TYPEDESC pointee{};
    ELEMDESC element{};

    Type(VARTYPE vt, bool pointer, USHORT flags) {
        pointee.vt = vt;
        if (pointer) {
            element.tdesc.vt = VT_PTR;
            element.tdesc.lptdesc = &pointee;
        } else {
            element.tdesc.vt = vt;
        }
        element.paramdesc.wParamFlags = flags;
    }
    Type(const Type&) = delete;
    Type& operator=(const Type&) = delete;
};

/// Declares one method of a dual interface: either one [in] parameter of @p in or, when
/// @p out is not VT_EMPTY, one [out, retval] pointer to @p out; the result is an HRESULT.
void addMethod(ICreateTypeInfo* info, UINT index, MEMBERID id, INVOKEKIND kind,
               const wchar_t* name, const std::initializer_list<VARTYPE>& in,
               const std::initializer_list<const wchar_t*>& inNames, VARTYPE out) {
    std::vector<ELEMDESC> parameters;
    std::vector<std::unique_ptr<Type>> owned;  // the pointer types point into these
    for (VARTYPE vt : in) {
        owned.push_back(std::make_unique<Type>(vt, false, PARAMFLAG_FIN));
        parameters.push_back(owned.back()->element);
    }
    if (out != VT_EMPTY) {
        owned.push_back(std::make_unique<Type>(out, true, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL));
        parameters.push_back(owned.back()->element);
    }
    FUNCDESC description{};
    description.memid = id;
    description.funckind = FUNC_PUREVIRTUAL;
    description.invkind = kind;
    description.callconv = CC_STDCALL;
    description.cParams = static_cast<SHORT>(parameters.size());
    description.lprgelemdescParam = parameters.empty() ? nullptr : parameters.data();
    description.elemdescFunc.tdesc.vt = VT_HRESULT;
    must(info->AddFuncDesc(index, &description), "AddFuncDesc");

    std::vector<LPOLESTR> names{olestr(name)};
    for (const wchar_t* parameter : inNames) names.push_back(olestr(parameter));
    if (out != VT_EMPTY && kind == INVOKE_FUNC) names.push_back(olestr(L"result"));
    must(info->SetFuncAndParamNames(index, names.data(), static_cast<UINT>(names.size())),
         "SetFuncAndParamNames");
}

void makeDual(ICreateTypeLib2* lib, ITypeInfo* dispatchInfo, const wchar_t* name, const GUID& id,
              Ref<ICreateTypeInfo>& out) {
    must(lib->CreateTypeInfo(olestr(name), TKIND_INTERFACE, out.put()), "CreateTypeInfo");
    must(out->SetGuid(id), "SetGuid");
    must(out->SetTypeFlags(TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FHIDDEN),
         "SetTypeFlags");
    HREFTYPE base = 0;
    must(out->AddRefTypeInfo(dispatchInfo, &base), "AddRefTypeInfo(IDispatch)");
    must(out->AddImplType(0, base), "AddImplType(IDispatch)");
}

void build(const std::wstring& path) {
    Ref<ICreateTypeLib2> lib;
    must(CreateTypeLib2(SYS_WIN64, path.c_str(), lib.put()), "CreateTypeLib2");
    must(lib->SetGuid(kLibId), "SetGuid");
    must(lib->SetName(olestr(L"LinkStandIn")), "SetName");
    must(lib->SetVersion(1, 0), "SetVersion");
    must(lib->SetLcid(0), "SetLcid");

    Ref<ITypeLib> stdole;
    must(LoadTypeLib(L"stdole2.tlb", stdole.put()), "LoadTypeLib(stdole2.tlb)");
    Ref<ITypeInfo> dispatchInfo;
    must(stdole->GetTypeInfoOfGuid(IID_IDispatch, dispatchInfo.put()), "IDispatch type info");

    Ref<ICreateTypeInfo> link;
    makeDual(lib.p, dispatchInfo.p, L"_LinkHost", kLinkIid, link);
    struct Operation {
        std::initializer_list<VARTYPE> in;
        std::initializer_list<const wchar_t*> inNames;
        VARTYPE out;
    };
    const Operation operations[kOpCount] = {
        {{VT_BOOL}, {L"bPTT"}, VT_EMPTY},                          // SetPTT
        {{}, {}, VT_BOOL},                                         // GetRX
        {{}, {}, VT_BOOL},                                         // GetPTT
        {{}, {}, VT_BOOL},                                         // GetCarrier
        {{VT_BOOL, VT_VARIANT}, {L"bFlag", L"vText"}, VT_EMPTY},  // SendCW
        {{}, {}, VT_DISPATCH},                                     // GetStation
        {{VT_BOOL}, {L"bAux"}, VT_EMPTY},                          // SetAux
        {{VT_BSTR}, {L"sText"}, VT_EMPTY},                         // SendStationText
        {{VT_BOOL}, {L"bMode"}, VT_EMPTY},                         // SetControlMode
        {{VT_BSTR}, {L"sText"}, VT_EMPTY},                         // Speak
        {{VT_I4}, {L"lPrompt"}, VT_EMPTY},                         // PlayPrompt
    };
    for (int i = 0; i < kOpCount; ++i) {
        const Operation& op = operations[i];
        addMethod(link.p, static_cast<UINT>(i), kFirstOpId + i, INVOKE_FUNC, kOpNames[i], op.in,
                  op.inNames, op.out);
    }
    must(link->LayOut(), "LayOut(_LinkHost)");

    Ref<ICreateTypeInfo> station;
    makeDual(lib.p, dispatchInfo.p, L"_StationInfo", kStationIid, station);
    addMethod(station.p, 0, kCallsignId, INVOKE_PROPERTYGET, L"StationCallsign", {}, {}, VT_BSTR);
    must(station->LayOut(), "LayOut(_StationInfo)");

    Ref<ICreateTypeInfo> events;
    must(lib->CreateTypeInfo(olestr(L"__LinkHost"), TKIND_DISPATCH, events.put()),
         "CreateTypeInfo(events)");
    must(events->SetGuid(kEventsIid), "SetGuid(events)");
    HREFTYPE base = 0;
    must(events->AddRefTypeInfo(dispatchInfo.p, &base), "AddRefTypeInfo(IDispatch)");
    must(events->AddImplType(0, base), "AddImplType(IDispatch)");
    for (int i = 0; i < kEventCount; ++i) {
        ELEMDESC parameter{};
        parameter.tdesc.vt = VT_BOOL;
        parameter.paramdesc.wParamFlags = PARAMFLAG_FIN;
        const bool hasParameter = kEventParameters[i] != nullptr;
        FUNCDESC description{};
        description.memid = kEventIds[i];
        description.funckind = FUNC_DISPATCH;
        description.invkind = INVOKE_FUNC;
        description.callconv = CC_STDCALL;
        description.cParams = hasParameter ? 1 : 0;
        description.lprgelemdescParam = hasParameter ? &parameter : nullptr;
        description.elemdescFunc.tdesc.vt = VT_VOID;
        must(events->AddFuncDesc(static_cast<UINT>(i), &description), "AddFuncDesc(event)");
        LPOLESTR names[] = {olestr(kEventNames[i]), olestr(kEventParameters[i])};
        must(events->SetFuncAndParamNames(static_cast<UINT>(i), names, hasParameter ? 2 : 1),
             "SetFuncAndParamNames(event)");
    }
    must(events->LayOut(), "LayOut(__LinkHost)");

    Ref<ICreateTypeInfo> coclass;
    must(lib->CreateTypeInfo(olestr(L"LinkHost"), TKIND_COCLASS, coclass.put()),
         "CreateTypeInfo(coclass)");
    must(coclass->SetGuid(kClsid), "SetGuid(coclass)");
    must(coclass->SetTypeFlags(TYPEFLAG_FCANCREATE), "SetTypeFlags(coclass)");
    Ref<ITypeInfo> linkInfo;
    Ref<ITypeInfo> eventsInfo;
    must(link->QueryInterface(IID_ITypeInfo, linkInfo.putVoid()), "ITypeInfo(_LinkHost)");
    must(events->QueryInterface(IID_ITypeInfo, eventsInfo.putVoid()), "ITypeInfo(__LinkHost)");
    HREFTYPE reference = 0;
    must(coclass->AddRefTypeInfo(linkInfo.p, &reference), "AddRefTypeInfo(_LinkHost)");
    must(coclass->AddImplType(0, reference), "AddImplType(_LinkHost)");
    must(coclass->SetImplTypeFlags(0, IMPLTYPEFLAG_FDEFAULT), "SetImplTypeFlags(_LinkHost)");
    must(coclass->AddRefTypeInfo(eventsInfo.p, &reference), "AddRefTypeInfo(__LinkHost)");
    must(coclass->AddImplType(1, reference), "AddImplType(__LinkHost)");
    must(coclass->SetImplTypeFlags(1, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE),
         "SetImplTypeFlags(__LinkHost)");
    must(coclass->LayOut(), "LayOut(coclass)");
    must(lib->SaveAllChanges(), "SaveAllChanges");
}

}  // namespace

std::string writeTypeLib(const std::wstring& path) {
    try {
        build(path);
    } catch (const Failure& failure) {
        return failure.text();
    }
    return {};
}

}  // namespace standin
