#pragma once
// The host's message window (IQendMessages) and its compiler messages
// (IQendCompiler). Every line is kept in the order it came, with its source;
// a reset empties the window but not the kept log, which the host prints.

#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "host/sim/HostInterface.h"
#include "hostapi/HostMessages.h"

struct HostMessageLine {
  enum class Origin { Message, Compiler };
  Origin origin = Origin::Message;
  std::string text;
  std::string source;
  HostLong kind = 0;  // compiler messages: the kind the plug-in gave
};

class HostMessageLog {
 public:
  void Add(HostMessageLine line);
  void Reset();
  // Every line since the host started.
  std::vector<HostMessageLine> All() const;
  // The lines the window shows (since the last reset).
  std::vector<HostMessageLine> Window() const;
  int ResetCount() const;
  // One line each: "[source] text" ("compiler: " in front of compiler lines),
  // as the terminal shows it (ShownText).
  void Print(std::ostream& out) const;
  // One line as Print writes it, without its line end.
  static std::string Shown(const HostMessageLine& line);
  // Called with each line as it comes, on the thread that adds it (null:
  // nobody): the window shows a line at once, while the log is printed later.
  void SetOnLine(std::function<void(const HostMessageLine&)> onLine);

 private:
  mutable std::mutex mutex_;
  std::vector<HostMessageLine> all_;
  std::function<void(const HostMessageLine&)> onLine_;
  std::size_t windowStart_ = 0;
  int resets_ = 0;
};

class HostMessages final : public HostInterface<IQendMessages> {
 public:
  using HostInterface::HostInterface;
  HRESULT AddMessage(const char* text, const char* source) override;
  HRESULT ResetMessages(HostLong page, VARIANT_BOOL keep) override;
};

class HostCompiler final : public HostInterface<IQendCompiler> {
 public:
  using HostInterface::HostInterface;
  HRESULT AddCompilerMessage(HostLong kind, HostLong value, const char* text, const char* source, HostLong flag1,
                             HostLong flag2) override;
};
