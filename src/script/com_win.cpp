#include "script/com.h"

#include <algorithm>
#include <vector>

#include "text/wide_text.h"

namespace quillmere {

UniqueBstr::UniqueBstr(std::string_view text) {
  const std::wstring wide = TextToWide(text);
  bstr_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

UniqueBstr& UniqueBstr::operator=(UniqueBstr&& other) noexcept {
  if (this != &other) {
    SysFreeString(bstr_);
    bstr_ = std::exchange(other.bstr_, nullptr);
  }
  return *this;
}

Text UniqueBstr::ToText() const {
  if (bstr_ == nullptr) return Text();
  return WideToText(std::wstring_view(bstr_, SysStringLen(bstr_)));
}

UniqueVariant& UniqueVariant::operator=(UniqueVariant&& other) noexcept {
  if (this != &other) {
    VariantClear(&variant_);
    variant_ = other.variant_;
    VariantInit(&other.variant_);
  }
  return *this;
}

VARIANT* UniqueVariant::Put() {
  VariantClear(&variant_);
  return &variant_;
}

UniqueVariant UniqueVariant::FromText(std::string_view text) {
  UniqueVariant result;
  UniqueBstr bstr(text);
  if (bstr.Get() == nullptr) return result;
  result.variant_.vt = VT_BSTR;
  result.variant_.bstrVal = bstr.Release();
  return result;
}

UniqueVariant UniqueVariant::FromBool(bool value) {
  UniqueVariant result;
  result.variant_.vt = VT_BOOL;
  result.variant_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return result;
}

UniqueVariant UniqueVariant::FromInt(int value) {
  UniqueVariant result;
  result.variant_.vt = VT_I4;
  result.variant_.lVal = value;
  return result;
}

UniqueVariant UniqueVariant::FromBytes(std::string_view bytes) {
  UniqueVariant result;
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  if (array == nullptr) return result;
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) {
    SafeArrayDestroy(array);
    return result;
  }
  if (!bytes.empty()) CopyMemory(data, bytes.data(), bytes.size());
  SafeArrayUnaccessData(array);
  result.variant_.vt = VT_ARRAY | VT_UI1;
  result.variant_.parray = array;
  return result;
}

namespace {

// The value converted to `type` into `converted`; false when it does not convert.
bool ConvertVariant(const VARIANT& value, VARTYPE type, UniqueVariant& converted) {
  return SUCCEEDED(
      VariantChangeTypeEx(converted.Put(), const_cast<VARIANT*>(&value), LOCALE_INVARIANT, 0, type));
}

}  // namespace

bool UniqueVariant::ToBool() const {
  UniqueVariant converted;
  return ConvertVariant(variant_, VT_BOOL, converted) && converted.Get().boolVal != VARIANT_FALSE;
}

Text UniqueVariant::ToText() const {
  UniqueVariant converted;
  if (!ConvertVariant(variant_, VT_BSTR, converted) || converted.Get().bstrVal == nullptr) return Text();
  const BSTR bstr = converted.Get().bstrVal;
  return WideToText(std::wstring_view(bstr, SysStringLen(bstr)));
}

double UniqueVariant::ToDouble() const {
  UniqueVariant converted;
  return ConvertVariant(variant_, VT_R8, converted) ? converted.Get().dblVal : 0;
}

ComPtr<IDispatch> UniqueVariant::ToDispatch() const {
  if (variant_.vt != VT_DISPATCH || variant_.pdispVal == nullptr) return ComPtr<IDispatch>();
  variant_.pdispVal->AddRef();
  return ComPtr<IDispatch>::Attach(variant_.pdispVal);
}

HRESULT CreateDispatch(const wchar_t* programId, ComPtr<IDispatch>& object) {
  object.Reset();
  CLSID classId;
  const HRESULT found = CLSIDFromProgID(programId, &classId);
  if (FAILED(found)) return found;
  return CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                          reinterpret_cast<void**>(object.Put()));
}

namespace {

HRESULT Invoke(IDispatch* object, const wchar_t* name, WORD flags, DISPPARAMS& parameters, VARIANT* result) {
  if (object == nullptr) return E_POINTER;
  DISPID member = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  const HRESULT found = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &member);
  if (FAILED(found)) return found;
  // The exception's texts are the callee's to fill and ours to free; nothing of them is shown.
  EXCEPINFO exception{};
  UINT badArgument = 0;
  const HRESULT invoked = object->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result,
                                         &exception, &badArgument);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  return invoked;
}

}  // namespace

HRESULT GetProperty(IDispatch* object, const wchar_t* name, UniqueVariant& value) {
  DISPPARAMS parameters{};
  return Invoke(object, name, DISPATCH_PROPERTYGET, parameters, value.Put());
}

HRESULT PutProperty(IDispatch* object, const wchar_t* name, const UniqueVariant& value) {
  VARIANT argument = value.Get();
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{&argument, &named, 1, 1};
  return Invoke(object, name, DISPATCH_PROPERTYPUT, parameters, nullptr);
}

HRESULT InvokeByName(IDispatch* object, const wchar_t* name, const VARIANT* arguments, std::size_t count,
                     UniqueVariant* result) {
  // IDispatch takes its arguments last first. The copies are shallow: the caller keeps ownership.
  std::vector<VARIANT> reversed(arguments, arguments + count);
  std::reverse(reversed.begin(), reversed.end());
  DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(count), 0};
  return Invoke(object, name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, parameters,
                result != nullptr ? result->Put() : nullptr);
}

}  // namespace quillmere
