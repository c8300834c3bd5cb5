#include "designer/CustomColors.h"

#include "platform/vcl/Registry.h"
#include "platform/vcl/StringList.h"

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

std::string StoreCustomColors(const TStringList& colors) {
  try {
    TRegistry registry;
    if (!registry.OpenKey(kCustomColorsKey, true)) return std::string(kCannotOpen) + kCustomColorsKey;
    registry.WriteString(kCustomColorsValue, colors.Text());
    registry.CloseKey();
  } catch (const ERegistryException& e) {
    return e.Message();
  }
  return std::string();
}
