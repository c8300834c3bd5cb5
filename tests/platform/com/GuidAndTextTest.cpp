#include <gtest/gtest.h>

#include "platform/com/Bstr.h"
#include "platform/com/Guid.h"
#include "platform/com/ResultCodes.h"

namespace {

constexpr GUID kSample = {0x856AD462, 0x70C8, 0x467C, {0x90, 0x61, 0xDE, 0x72, 0x69, 0x1E, 0x6A, 0x67}};

TEST(GuidText, PrintsUpperCaseWithBracesAndParsesBack) {
  EXPECT_EQ(GuidToString(kSample), "{856AD462-70C8-467C-9061-DE72691E6A67}");
  GUID parsed{};
  ASSERT_TRUE(StringToGuid("{856ad462-70c8-467c-9061-de72691e6a67}", parsed));
  EXPECT_EQ(parsed, kSample);
  EXPECT_EQ(GuidToString(GUID_NULL), "{00000000-0000-0000-0000-000000000000}");
  EXPECT_EQ(GuidFromText(GuidToString(kSample)), kSample);
}

TEST(GuidText, RefusesMalformedTextsAndLeavesTheGuid) {
  const char* bad[] = {
      "",
      "856AD462-70C8-467C-9061-DE72691E6A67",     // no braces
      "{856AD462-70C8-467C-9061-DE72691E6A6}",    // short
      "{856AD462-70C8-467C-9061-DE72691E6A677}",  // long
      "{856AD462+70C8-467C-9061-DE72691E6A67}",   // wrong separator
      "{856AD46G-70C8-467C-9061-DE72691E6A67}",   // not hexadecimal
      " {856AD462-70C8-467C-9061-DE72691E6A67}",  // blank around
  };
  for (const char* text : bad) {
    GUID g = kSample;
    EXPECT_FALSE(StringToGuid(text, g)) << text;
    EXPECT_EQ(g, kSample) << text;
  }
  EXPECT_EQ(GuidFromText("nonsense"), GUID_NULL);
}

TEST(GuidText, WideFormRoundTrips) {
  std::u16string wide = GuidToWide(kSample);
  CLSID clsid{};
  EXPECT_EQ(CLSIDFromString(wide.c_str(), &clsid), S_OK);
  EXPECT_EQ(clsid, kSample);
  EXPECT_EQ(CLSIDFromString(u"{zz}", &clsid), E_INVALIDARG);
  EXPECT_EQ(CLSIDFromString(nullptr, &clsid), E_INVALIDARG);
  EXPECT_EQ(CLSIDFromString(wide.c_str(), nullptr), E_INVALIDARG);
}

TEST(ResultCodes, FacilityAndCodeOfKnownResults) {
  EXPECT_EQ(HRESULT_FACILITY(static_cast<HRESULT>(0x80040200u)), FACILITY_ITF);
  EXPECT_EQ(HRESULT_FACILITY(E_INVALIDARG), FACILITY_WIN32);
  EXPECT_EQ(HRESULT_FACILITY(DISP_E_EXCEPTION), FACILITY_DISPATCH);
  EXPECT_EQ(HRESULT_FACILITY(E_FAIL), FACILITY_NULL);
  EXPECT_EQ(HRESULT_CODE(E_INVALIDARG), 0x57);
  EXPECT_EQ(MAKE_HRESULT(1, FACILITY_ITF, 0x200), static_cast<HRESULT>(0x80040200u));
  EXPECT_EQ(HRESULT_FROM_WIN32(87), E_INVALIDARG);
  EXPECT_EQ(HRESULT_FROM_WIN32(0), S_OK);
  EXPECT_EQ(static_cast<std::uint32_t>(E_FAIL), 0x80004005u);
  EXPECT_EQ(static_cast<std::uint32_t>(DISP_E_EXCEPTION), 0x80020009u);
  EXPECT_TRUE(FAILED(CLASS_E_CLASSNOTAVAILABLE));
  EXPECT_TRUE(SUCCEEDED(S_FALSE));
}

TEST(Bstr, KeepsLengthAndEmbeddedNuls) {
  BSTR text = SysAllocString(u"Tarnwell");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(SysStringLen(text), 8u);
  EXPECT_EQ(text[8], 0);
  EXPECT_EQ(BstrToWide(text), u"Tarnwell");
  SysFreeString(text);

  std::u16string withNul(u"a\0b", 3);
  BSTR other = SysAllocStringOf(withNul);
  EXPECT_EQ(SysStringLen(other), 3u);
  EXPECT_EQ(BstrToWide(other), withNul);
  SysFreeString(other);

  BSTR zeroed = SysAllocStringLen(nullptr, 4);
  EXPECT_EQ(SysStringLen(zeroed), 4u);
  EXPECT_EQ(zeroed[0], 0);
  SysFreeString(zeroed);

  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  SysFreeString(nullptr);
  EXPECT_EQ(BstrToWide(nullptr), u"");
}

TEST(VariantBool, IsMinusOneAndZero) {
  EXPECT_EQ(ToVariantBool(true), -1);
  EXPECT_EQ(ToVariantBool(false), 0);
  EXPECT_TRUE(FromVariantBool(VARIANT_TRUE));
  EXPECT_TRUE(FromVariantBool(1));
  EXPECT_FALSE(FromVariantBool(VARIANT_FALSE));
}

}  // namespace
