#pragma once
// Error information: the description of the last failure, kept per thread, so
// that a caller that got a failing result code can ask what went wrong.
//
// The failing side makes a record with CreateErrorInfo, fills it through
// ICreateErrorInfo and hands it to SetErrorInfo; the caller takes it back
// with GetErrorInfo, which also clears the thread's record.

#include "platform/com/Bstr.h"
#include "platform/com/Unknown.h"

// {1CF2B120-547D-101B-8E65-08002B2BD119}
inline constexpr IID IID_IErrorInfo = {0x1CF2B120, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
// {22F03340-547D-101B-8E65-08002B2BD119}
inline constexpr IID IID_ICreateErrorInfo = {
    0x22F03340, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};

class IErrorInfo : public IUnknown {
 public:
  // Position 3: the interface that reported the failure.
  virtual HRESULT GetGUID(GUID* guid) = 0;
  // Positions 4 to 7: texts as new BSTRs that the caller frees.
  virtual HRESULT GetSource(BSTR* source) = 0;
  virtual HRESULT GetDescription(BSTR* description) = 0;
  virtual HRESULT GetHelpFile(BSTR* helpFile) = 0;
  virtual HRESULT GetHelpContext(std::uint32_t* context) = 0;

 protected:
  ~IErrorInfo() = default;
};

class ICreateErrorInfo : public IUnknown {
 public:
  virtual HRESULT SetGUID(REFGUID guid) = 0;
  virtual HRESULT SetSource(LPCOLESTR source) = 0;
  virtual HRESULT SetDescription(LPCOLESTR description) = 0;
  virtual HRESULT SetHelpFile(LPCOLESTR helpFile) = 0;
  virtual HRESULT SetHelpContext(std::uint32_t context) = 0;

 protected:
  ~ICreateErrorInfo() = default;
};

// A new, empty record (one reference), asked as ICreateErrorInfo; it answers
// IErrorInfo too.
HRESULT CreateErrorInfo(ICreateErrorInfo** record);
// Replaces the calling thread's record (null clears it); the thread takes a
// reference of its own. `reserved` must be 0.
HRESULT SetErrorInfo(std::uint32_t reserved, IErrorInfo* record);
// Hands the thread's record to the caller (S_OK) and clears it, or answers
// S_FALSE with null when there is none.
HRESULT GetErrorInfo(std::uint32_t reserved, IErrorInfo** record);

// Fills a new record with interface, source and description (8-bit texts of
// the ANSI code page) and sets it for the thread; the plug-in's way to report
// an exception at the host boundary. Answers `code`.
HRESULT ReportComError(REFIID iid, const std::string& source, const std::string& description, HRESULT code);
