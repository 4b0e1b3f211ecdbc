#pragma once
/// @file
/// @brief Identities and vtable layouts of the link program's automation object, as the
///        stand-in serves them.

#include <windows.h>

#include <oaidl.h>

namespace standin {

inline constexpr CLSID kClsid = {
    0xD1FB3C9A, 0xBB2D, 0x446A, {0xA7, 0x4A, 0xE7, 0x71, 0xF1, 0x34, 0xED, 0x56}};
inline constexpr IID kLinkIid = {
    0x7733112C, 0x4577, 0x4432, {0x9D, 0xB0, 0xA9, 0x39, 0x81, 0x84, 0xEA, 0xF6}};
inline constexpr IID kStationIid = {
    0xACD8531B, 0xB0CE, 0x4F14, {0x94, 0x05, 0x6A, 0xB8, 0xAC, 0x5C, 0x9E, 0xFA}};
inline constexpr IID kEventsIid = {
    0x6F55F7AF, 0x8DA6, 0x400F, {0x96, 0xEB, 0xC3, 0x71, 0xF0, 0x31, 0x16, 0x11}};
/// The stand-in's own type library (not the link program's: this one is ours alone).
inline constexpr GUID kLibId = {
    0x3E5B7C21, 0x9A44, 0x4F0D, {0x8B, 0x61, 0x2C, 0x7E, 0x90, 0xD5, 0x14, 0xA8}};

/// The eleven operations in the order of the interface.
enum class Op {
    SetPTT,
    GetRX,
    GetPTT,
    GetCarrier,
    SendCW,
    GetStation,
    SetAux,
    SendStationText,
    SetControlMode,
    Speak,
    PlayPrompt,
};
inline constexpr int kOpCount = 11;
inline constexpr const wchar_t* kOpNames[kOpCount] = {
    L"SetPTT", L"GetRX",           L"GetPTT",         L"GetCarrier", L"SendCW",    L"GetStation",
    L"SetAux", L"SendStationText", L"SetControlMode", L"Speak",      L"PlayPrompt"};
/// DISPID of operation i is kFirstOpId + i.
inline constexpr DISPID kFirstOpId = 0x60030000;
inline constexpr DISPID kCallsignId = 0x68030000;

/// The events, at DISPIDs that are neither 1..4 nor in declaration order.
enum class Event { CarrierDetect, RX, PTT, Closing };
inline constexpr int kEventCount = 4;
inline constexpr const wchar_t* kEventNames[kEventCount] = {L"CarrierDetect", L"RX", L"PTT",
                                                            L"Closing"};
inline constexpr const wchar_t* kEventParameters[kEventCount] = {L"bCD", L"bRX", L"bPTT",
                                                                 nullptr};
inline constexpr DISPID kEventIds[kEventCount] = {3, 1, 2, 4};

/// The dual interface's vtable after IDispatch, in the order of the interface.
struct ILinkDual : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE SetPTT(VARIANT_BOOL on) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRX(VARIANT_BOOL* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPTT(VARIANT_BOOL* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCarrier(VARIANT_BOOL* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE SendCW(VARIANT_BOOL flag, VARIANT text) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStation(IDispatch** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetAux(VARIANT_BOOL on) = 0;
    virtual HRESULT STDMETHODCALLTYPE SendStationText(BSTR text) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetControlMode(VARIANT_BOOL on) = 0;
    virtual HRESULT STDMETHODCALLTYPE Speak(BSTR text) = 0;
    virtual HRESULT STDMETHODCALLTYPE PlayPrompt(LONG number) = 0;
};

/// The station interface's vtable after IDispatch.
struct IStationDual : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_StationCallsign(BSTR* result) = 0;
};

}  // namespace standin
