#pragma once
// The host's message window (IQendMessages) and its compiler messages
// (IQendCompiler, asked of the project manager for each compilation).

#include "hostapi/HostTypes.h"

// {9A9A917B-0599-4314-B84A-14FA57FBD5AD}
inline constexpr IID IID_IQendMessages = {0x9A9A917B, 0x0599, 0x4314, {0xB8, 0x4A, 0x14, 0xFA, 0x57, 0xFB, 0xD5, 0xAD}};
// {4A6DA2E7-F125-40DF-8072-FAFD519B4A5B}
inline constexpr IID IID_IQendCompiler = {0x4A6DA2E7, 0xF125, 0x40DF, {0x80, 0x72, 0xFA, 0xFD, 0x51, 0x9B, 0x4A, 0x5B}};

class IQendMessages : public IUnknown {
 public:
  // Position 3: one line with its source (a file name).
  virtual HRESULT AddMessage(const char* text, const char* source) = 0;
  // Position 4: brings the message page forward and empties it (the system
  // passes 1, false before a compilation of its own).
  virtual HRESULT ResetMessages(HostLong page, VARIANT_BOOL keep) = 0;

 protected:
  ~IQendMessages() = default;
};

class IQendCompiler : public IUnknown {
 public:
  // Position 3: one compiler message (kind 0, 0, text, source, 1, 1).
  virtual HRESULT AddCompilerMessage(HostLong kind, HostLong value, const char* text, const char* source,
                                     HostLong flag1, HostLong flag2) = 0;

 protected:
  ~IQendCompiler() = default;
};
