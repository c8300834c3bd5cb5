#include "designer/CustomColors.h"

#include <cerrno>

#include "platform/vcl/Registry.h"
#include "platform/vcl/StringList.h"
#include "platform/win/SystemError.h"

namespace {

constexpr const char* kCannotOpen = "cannot open the registry key ";

void SetDefaults(TStringList& colors) {
  colors.Clear();
  for (const char* line : kDefaultCustomColors) colors.Add(line);
}

}  // namespace

std::string LoadCustomColors(TStringList& colors) {
  std::string failure;
  try {
    TRegistry registry;
    if (registry.OpenKey(kCustomColorsKey, true)) {
      if (registry.ValueExists(kCustomColorsValue)) colors.SetText(registry.ReadString(kCustomColorsValue));
      registry.CloseKey();
    } else {
      failure = std::string(kCannotOpen) + kCustomColorsKey;
    }
  } catch (const ERegistryException& e) {
    failure = e.Message();
  }
  if (colors.Count() == 0) SetDefaults(colors);
  return failure;
}

int StoreCustomColors(const TStringList& colors) {
  // The store sets the last error from the file's errno when a change fails.
  const auto failure = [] { return LastErrorErrno() != 0 ? LastErrorErrno() : EIO; };
  try {
    TRegistry registry;
    if (!registry.OpenKey(kCustomColorsKey, true)) return failure();
    registry.WriteString(kCustomColorsValue, colors.Text());
    registry.CloseKey();
  } catch (const ERegistryException&) {
    return failure();
  }
  return 0;
}
