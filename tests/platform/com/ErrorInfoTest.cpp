#include <gtest/gtest.h>

#include <thread>

#include "platform/com/ErrorInfo.h"
#include "platform/com/ResultCodes.h"

namespace {

constexpr IID kSomeIid = {0x3016711B, 0xDFF0, 0x40E4, {0x8E, 0x47, 0x02, 0x95, 0x5E, 0xEA, 0x99, 0xBC}};

std::u16string Take(HRESULT (IErrorInfo::*get)(BSTR*), IErrorInfo* info) {
  BSTR text = nullptr;
  EXPECT_EQ((info->*get)(&text), S_OK);
  std::u16string result = BstrToWide(text);
  SysFreeString(text);
  return result;
}

TEST(ErrorInfo, RecordIsFilledSetAndTakenOnce) {
  ICreateErrorInfo* create = nullptr;
  ASSERT_EQ(CreateErrorInfo(&create), S_OK);
  create->SetGUID(kSomeIid);
  create->SetSource(u"Tarnwell.TarnwellCoClass");
  create->SetDescription(u"Broken");
  IErrorInfo* info = nullptr;
  ASSERT_EQ(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)), S_OK);
  EXPECT_EQ(SetErrorInfo(0, info), S_OK);
  info->Release();
  create->Release();

  IErrorInfo* got = nullptr;
  ASSERT_EQ(GetErrorInfo(0, &got), S_OK);
  GUID guid{};
  got->GetGUID(&guid);
  EXPECT_EQ(guid, kSomeIid);
  EXPECT_EQ(Take(&IErrorInfo::GetSource, got), u"Tarnwell.TarnwellCoClass");
  EXPECT_EQ(Take(&IErrorInfo::GetDescription, got), u"Broken");
  EXPECT_EQ(Take(&IErrorInfo::GetHelpFile, got), u"");
  // Taken: the thread's record is gone and this was the last reference.
  EXPECT_EQ(got->Release(), 0u);
  IErrorInfo* none = reinterpret_cast<IErrorInfo*>(1);
  EXPECT_EQ(GetErrorInfo(0, &none), S_FALSE);
  EXPECT_EQ(none, nullptr);
}

TEST(ErrorInfo, IsKeptPerThread) {
  ReportComError(kSomeIid, "main", "on the main thread", E_FAIL);
  std::thread other([] {
    IErrorInfo* info = nullptr;
    EXPECT_EQ(GetErrorInfo(0, &info), S_FALSE);
    EXPECT_EQ(ReportComError(kSomeIid, "other", "elsewhere", DISP_E_EXCEPTION), DISP_E_EXCEPTION);
  });
  other.join();
  IErrorInfo* info = nullptr;
  ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
  BSTR text = nullptr;
  info->GetDescription(&text);
  EXPECT_EQ(BstrToWide(text), u"on the main thread");
  SysFreeString(text);
  info->Release();
}

TEST(ErrorInfo, SetNullClearsAndBadArgumentsAreRefused) {
  ReportComError(kSomeIid, "s", "d", E_FAIL);
  EXPECT_EQ(SetErrorInfo(0, nullptr), S_OK);
  IErrorInfo* info = nullptr;
  EXPECT_EQ(GetErrorInfo(0, &info), S_FALSE);
  EXPECT_EQ(GetErrorInfo(0, nullptr), E_INVALIDARG);
  EXPECT_EQ(SetErrorInfo(1, nullptr), E_INVALIDARG);
  EXPECT_EQ(CreateErrorInfo(nullptr), E_INVALIDARG);
}

}  // namespace
