// Owners for COM and automation: a no-throw interface pointer, the apartment of a thread, BSTR and VARIANT,
// and calls on an IDispatch object by member name. Texts cross into automation as GBK through TextToWide and
// WideToText, so nothing here depends on the system's ANSI code page. No function raises; failures are
// HRESULTs or empty values.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <array>
#include <string_view>
#include <utility>

#include "text/text.h"

namespace quillmere {

// Holds one reference to an interface. Copies add a reference; Query returns the HRESULT of QueryInterface.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr& other) : pointer_(other.pointer_) { AddReference(); }
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(pointer_, other.pointer_);
    return *this;
  }
  ~ComPtr() { Reset(); }

  // Takes over a reference that the caller already owns.
  static ComPtr Attach(Interface* pointer) {
    ComPtr result;
    result.pointer_ = pointer;
    return result;
  }

  Interface* Get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

  // Releases what is held and gives the address to fill, for functions that return a new reference.
  Interface** Put() {
    Reset();
    return &pointer_;
  }

  void Reset() {
    if (pointer_ != nullptr) std::exchange(pointer_, nullptr)->Release();
  }

  template <typename Other>
  HRESULT Query(ComPtr<Other>& result) const {
    if (pointer_ == nullptr) return E_POINTER;
    return pointer_->QueryInterface(__uuidof(Other), reinterpret_cast<void**>(result.Put()));
  }

 private:
  void AddReference() {
    if (pointer_ != nullptr) pointer_->AddRef();
  }

  Interface* pointer_ = nullptr;
};

// CoInitialize for the lifetime of the object, on the thread that made it. The result S_FALSE (the thread was
// already initialised) counts as success: the call still took a reference on the apartment and needs its
// CoUninitialize. Only a failed call (a thread of another apartment kind) is not balanced.
class ComApartment {
 public:
  ComApartment() : result_(CoInitialize(nullptr)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  HRESULT result_;
};

class UniqueBstr {
 public:
  UniqueBstr() = default;
  explicit UniqueBstr(std::string_view text);
  UniqueBstr(UniqueBstr&& other) noexcept : bstr_(std::exchange(other.bstr_, nullptr)) {}
  UniqueBstr& operator=(UniqueBstr&& other) noexcept;
  UniqueBstr(const UniqueBstr&) = delete;
  UniqueBstr& operator=(const UniqueBstr&) = delete;
  ~UniqueBstr() { SysFreeString(bstr_); }

  BSTR Get() const { return bstr_; }
  BSTR Release() { return std::exchange(bstr_, nullptr); }
  Text ToText() const;

 private:
  BSTR bstr_ = nullptr;
};

// A VARIANT that is cleared with VariantClear when dropped or refilled.
class UniqueVariant {
 public:
  UniqueVariant() { VariantInit(&variant_); }
  UniqueVariant(UniqueVariant&& other) noexcept : variant_(other.variant_) { VariantInit(&other.variant_); }
  UniqueVariant& operator=(UniqueVariant&& other) noexcept;
  UniqueVariant(const UniqueVariant&) = delete;
  UniqueVariant& operator=(const UniqueVariant&) = delete;
  ~UniqueVariant() { VariantClear(&variant_); }

  static UniqueVariant FromText(std::string_view text);
  static UniqueVariant FromBool(bool value);
  static UniqueVariant FromInt(int value);
  // An array of unsigned bytes (VT_ARRAY | VT_UI1); an empty variant when it cannot be allocated.
  static UniqueVariant FromBytes(std::string_view bytes);

  const VARIANT& Get() const { return variant_; }
  // Clears what is held and gives the variant to fill.
  VARIANT* Put();
  VARTYPE Type() const { return variant_.vt; }

  // The automation layer's conversions, with the invariant locale so that numbers read the same on every
  // system. A value that does not convert gives false, an empty text or 0.
  bool ToBool() const;
  Text ToText() const;
  double ToDouble() const;
  // The object reference held by a VT_DISPATCH value; empty for every other kind.
  ComPtr<IDispatch> ToDispatch() const;

 private:
  VARIANT variant_;
};

// The object of a class given by its programmatic identifier ("VBScript.RegExp"), asked for IDispatch.
HRESULT CreateDispatch(const wchar_t* programId, ComPtr<IDispatch>& object);

HRESULT GetProperty(IDispatch* object, const wchar_t* name, UniqueVariant& value);
HRESULT PutProperty(IDispatch* object, const wchar_t* name, const UniqueVariant& value);

// Calls a method, or reads a property that takes arguments (a collection's "Item"), with the arguments in
// their natural order. `result` may be null when the caller does not want it.
HRESULT InvokeByName(IDispatch* object, const wchar_t* name, const VARIANT* arguments, std::size_t count,
                     UniqueVariant* result);

template <typename... Arguments>
HRESULT CallMethod(IDispatch* object, const wchar_t* name, UniqueVariant* result,
                   const Arguments&... arguments) {
  const std::array<VARIANT, sizeof...(Arguments)> list{arguments.Get()...};
  return InvokeByName(object, name, list.data(), list.size(), result);
}

}  // namespace quillmere
