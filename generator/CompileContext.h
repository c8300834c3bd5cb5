#pragma once
// Everything one compile works with, handed from the save-and-compile command
// (or the compile driver of the host's build) to the project compiler, the
// page compiler and the object writers: the project, the run's state, the
// host, the generated-file table, the variables document and the project's
// pictures, plus what the project compiler prepares for the pages (the alarm
// variables and the template pages). Nothing here is owned: the command
// keeps every part alive for the run.

#include <array>
#include <string>
#include <vector>

#include "generator/CompileHost.h"
#include "generator/CompileState.h"

class TGeneratedFiles;
class TWebVariables;
class TProjectImages;
class TmyXmlNode;

// One alarm whose variable is known: its identifier and its `alarm` element,
// in the alarms' priority (document) order.
struct TAlarmVariable {
  std::string identifier;
  TmyXmlNode* alarm = nullptr;
};

// Slots 1 to 9 of the template pages ("#TEMPFG%i.XML", "#TEMPBG%i.XML"); slot 0
// stays empty.
using TTemplatePages = std::array<TmyXmlNode*, 10>;

struct TCompileContext {
  TCompileProject& project;
  TCompileState& state;
  TCompileHost& host;
  TGeneratedFiles& files;
  TWebVariables& variables;
  TProjectImages& images;

  std::vector<TAlarmVariable> alarmVariables;
  TTemplatePages foregroundTemplates{};
  TTemplatePages backgroundTemplates{};

  // One line in the host's message window (text and source; dropped without
  // the host's compiler-message interface).
  void AddHostMessage(const std::string& text, const std::string& source) { host.AddCompilerMessage(text, source); }
};
