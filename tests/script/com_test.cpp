#include "script/com.h"

#include <gtest/gtest.h>

#include <thread>

namespace quillmere {
namespace {

// CoInitialize gives S_OK only to a thread whose apartment is not (or no longer) initialised.
HRESULT InitialiseAgainAndUndo() {
  const HRESULT result = CoInitialize(nullptr);
  if (SUCCEEDED(result)) CoUninitialize();
  return result;
}

TEST(ComApartment, BalancesEveryInitialisationIncludingTheRepeatedOne) {
  HRESULT afterwards = E_FAIL;
  std::thread([&] {
    {
      const ComApartment outer;
      const ComApartment inner;  // S_FALSE: already initialised, and still counted
      EXPECT_EQ(InitialiseAgainAndUndo(), S_FALSE);
    }
    afterwards = InitialiseAgainAndUndo();
  }).join();
  EXPECT_EQ(afterwards, S_OK);
}

class ComTest : public testing::Test {
 protected:
  ComApartment apartment_;
};

ULONG ReferenceCount(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

TEST_F(ComTest, ComPtrHoldsOneReferencePerOwner) {
  ComPtr<IDispatch> expression;
  ASSERT_EQ(CreateDispatch(L"VBScript.RegExp", expression), S_OK);
  const ULONG alone = ReferenceCount(expression.Get());
  {
    const ComPtr<IDispatch> copy = expression;
    EXPECT_EQ(ReferenceCount(expression.Get()), alone + 1);
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(copy.Query(unknown), S_OK);
    EXPECT_TRUE(unknown);
  }
  EXPECT_EQ(ReferenceCount(expression.Get()), alone);
  ComPtr<IDispatch> moved = std::move(expression);
  EXPECT_FALSE(expression);
  EXPECT_EQ(ReferenceCount(moved.Get()), alone);
  moved.Reset();
  EXPECT_FALSE(moved);

  ComPtr<IUnknown> none;
  EXPECT_EQ(moved.Query(none), E_POINTER);
}

TEST_F(ComTest, TextsCrossAsGbkWhateverTheAnsiCodePage) {
  const UniqueBstr bstr("中文 text");
  EXPECT_EQ(std::wstring(bstr.Get()), L"\u4E2D\u6587 text");
  EXPECT_EQ(bstr.ToText(), "中文 text");
  const UniqueVariant variant = UniqueVariant::FromText("查询");
  EXPECT_EQ(variant.Type(), VT_BSTR);
  EXPECT_EQ(variant.ToText(), "查询");
  EXPECT_EQ(UniqueBstr().ToText(), "");
}

TEST_F(ComTest, VariantConversionsGiveEmptyValuesWhenTheyFail) {
  EXPECT_EQ(UniqueVariant::FromInt(42).ToText(), "42");
  EXPECT_DOUBLE_EQ(UniqueVariant::FromText("2.5").ToDouble(), 2.5);
  EXPECT_EQ(UniqueVariant::FromText("abc").ToDouble(), 0);
  EXPECT_TRUE(UniqueVariant::FromText("1").ToBool());
  EXPECT_FALSE(UniqueVariant::FromText("abc").ToBool());
  EXPECT_EQ(UniqueVariant::FromBool(false).ToText(), "0");
  EXPECT_EQ(UniqueVariant().ToText(), "");
  EXPECT_FALSE(UniqueVariant::FromInt(3).ToDispatch());
}

TEST_F(ComTest, BytesBecomeAnArrayOfUnsignedBytes) {
  const std::string bytes("a\0\xFF", 3);
  const UniqueVariant variant = UniqueVariant::FromBytes(bytes);
  ASSERT_EQ(variant.Type(), VT_ARRAY | VT_UI1);
  SAFEARRAY* array = variant.Get().parray;
  EXPECT_EQ(array->rgsabound[0].cElements, 3u);
  EXPECT_EQ(std::string(static_cast<const char*>(array->pvData), 3), bytes);
}

TEST_F(ComTest, PropertiesAndMethodsByName) {
  ComPtr<IDispatch> expression;
  ASSERT_EQ(CreateDispatch(L"VBScript.RegExp", expression), S_OK);
  EXPECT_EQ(PutProperty(expression.Get(), L"Pattern", UniqueVariant::FromText("查(.)")), S_OK);
  UniqueVariant pattern;
  EXPECT_EQ(GetProperty(expression.Get(), L"Pattern", pattern), S_OK);
  EXPECT_EQ(pattern.ToText(), "查(.)");

  UniqueVariant replaced;
  EXPECT_EQ(CallMethod(expression.Get(), L"Replace", &replaced, UniqueVariant::FromText("批量查询"),
                       UniqueVariant::FromText("[$1]")),
            S_OK);
  EXPECT_EQ(replaced.ToText(), "批量[询]");

  // The component has no "Singleline"; the regular-expression object writes it all the same.
  EXPECT_EQ(PutProperty(expression.Get(), L"Singleline", UniqueVariant::FromBool(true)), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(GetProperty(nullptr, L"Pattern", pattern), E_POINTER);
  EXPECT_EQ(CreateDispatch(L"Quillmere.NoSuchClass", expression), CO_E_CLASSSTRING);
  EXPECT_FALSE(expression);
}

}  // namespace
}  // namespace quillmere
