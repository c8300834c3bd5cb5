// The public-variable list is filled while variables resolve (WebVariables);
// here it only gets its stand-in, its CRC line and its file.

#include "generator/PublicVariableList.h"

#include "base/Crc.h"
#include "core/UiText.h"
#include "generator/CompileContext.h"
#include "generator/GeneratedFiles.h"
#include "platform/vcl/SysUtils.h"

namespace {}  // namespace

std::string PublicVariableCrcLine(const std::string& linesText) {
  const std::uint16_t crc = Crc16(linesText.data(), static_cast<std::int32_t>(linesText.size()));
  return Format(";* Crc=\"%04X\"", static_cast<unsigned>(crc));
}

void WritePublicVariableList(TCompileContext& context) {
  TCompileState& state = context.state;
  if (state.outputRoot.empty()) return;
  TStringList standIn;
  TStringList& list = state.publicVariables != nullptr ? *state.publicVariables : standIn;
  if (list.Count() == 0) list.Add(kPublicVariableStandIn);
  const std::string crcLine = PublicVariableCrcLine(list.Text());
  // The CRC line stays last: the list is no longer sorted from here on.
  list.SetSorted(false);
  list.Add(crcLine);
  const std::string path = state.outputRoot + kPublicVariableFileName;
  if (!context.files.WriteGeneratedFile(path, list.Text())) {
    context.files.ReportWriteFailure(path);
    return;
  }
  context.files.StepCompileProgress();
}
