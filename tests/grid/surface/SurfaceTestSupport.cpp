#include "tests/grid/surface/SurfaceTestSupport.h"

#include <sys/stat.h>

#include <dirent.h>
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>

#include "core/IecTypes.h"
#include "core/UiText.h"
#include "grid/PictureLoading.h"
#include "grid/ScrollPositions.h"
#include "grid/VariableInfo.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Painting.h"
#include "platform/vcl/PngWriter.h"
#include "platform/win/Resources.h"

namespace surfacetest {

namespace {

void DemoLookup(const std::string& name, TPinVariable& record) {
  static const std::map<std::string, std::string> types = {
      {"P1Running", "BOOL"},
      {"P2Running", "BOOL"},
      {"ValveOpen", "BOOL"},
      {"HighLevel", "BOOL"},
      {"P2Enabled", "BOOL"},
      {"TankLevel", "UINT"},
      {"LevelPercent", "USINT"},
      {"Flow", "REAL"},
      {"OutletPressure", "REAL"},
      {"StatusColor", "DWORD"},
      {"P1Hours", "UDINT"},
      {"StartLevel", "UINT"},
      {"StopLevel", "UINT"},
      {"AlternateTime", "TIME"},
      {"StartP1Cmd", "BOOL"},
      {"AlarmAck", "BOOL"},
      {"ResetCounters", "BOOL"},
      {"ParamFile", "STRING[40]"},
      {"TrendPicture", "STRING[40]"},
      {"EventPage", "STRING[40]"},
      {"Mode", "ENUM"},
      {"Canvas1.buf", "ARRAY"},
      // The host project's type catalogue, which the drawing and sizing cases use.
      {"Speed", "INT"},
      {"MotorOn", "BOOL"},
      {"Lamp", "BOOL"},
      {"StartButton", "BOOL"},
      {"DoorOpen", "BOOL"},
      {"Setpoint", "UINT"},
      {"Uptime", "TIME"},
      {"Percent", "USINT"},
      {"Level", "SINT"},
      {"SysFlags", "DWORD"},
      {"Message", "STRING[40]"},
      {"Title", "STRING"},
      {"Temperature", "REAL"},
      {"Counter", "DINT"},
      {"Width", "DINT"},
      {"Canvas2.buf", "ARRAY"}};
  record.name = name;
  const auto it = types.find(name);
  if (it == types.end()) {
    record.typeName.clear();
    record.typeCode = -1;
    return;
  }
  record.typeName = it->second;
  record.typeCode = TypeCodeOfName(it->second.c_str());
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The demo's picture of a name: the file itself, or the file whose name
// without extension is the name (the project's long names).
const char* DemoImagePath(const std::string& name) {
  static std::string path;
  const std::string folder = SourcePath("examples/demo/Tarnwell/Images");
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return nullptr;
  std::string found;
  while (dirent* entry = ::readdir(dir)) {
    const std::string file = entry->d_name;
    const std::size_t dot = file.rfind('.');
    if (Lower(file) == Lower(name) || (dot != std::string::npos && Lower(file.substr(0, dot)) == Lower(name))) {
      found = file;
      break;
    }
  }
  ::closedir(dir);
  if (found.empty()) return nullptr;
  path = folder + "/" + found;
  return path.c_str();
}

}  // namespace

std::string SourcePath(const std::string& relative) { return std::string(TARNWELL_SOURCE_DIR) + "/" + relative; }

std::string OutputPath(const std::string& fileName) {
  const std::string folder = std::string(TARNWELL_BINARY_DIR) + "/surface";
  ::mkdir(folder.c_str(), 0777);
  return folder + "/" + fileName;
}

TTestItem::TTestItem(TComponent* owner, int unitPixels, int posX, int posY, int w, int h)
    : TGridGraphic(owner, unitPixels) {
  if (auto* parent = dynamic_cast<TWinControl*>(owner)) SetParent(parent);
  SetBounds(0, 0, w, h);
  SetPosition(posX, posY);
}

void TTestItem::SetPosition(int posX, int posY) {
  FPosX = posX;
  FPosY = posY;
  int sx = 0, sy = 0;
  ScrollPositionsOf(this, sx, sy);
  SetBounds((posX - 1) * FUnitPixels - sx, (posY - 1) * FUnitPixels - sy, Width(), Height());
}

void SurfaceTest::SetUp() {
  LoadDefaultUiTable(HInstance);
  gGridVariableLookup = DemoLookup;
  designer_ = std::make_unique<TFormDesign1>(nullptr);
  gGridImagePath = DemoImagePath;
  designer_->SetBounds(0, 0, 700, 560);
  // The surface alone, at its own size, directly on the window.
  box()->SetAlign(alNone);
  box()->SetParent(designer_.get());
  box()->SetBounds(0, 0, 640, 480);
  box()->SetColor(clWhite);
  box()->Font()->Name = "Verdana";
  designer_->FUnitPixels = 8;
}

void SurfaceTest::TearDown() {
  designer_.reset();
  gGridVariableLookup = nullptr;
  gGridImagePath = nullptr;
}

TGridWebElement* SurfaceTest::Make(int kind, int posX, int posY) {
  TFormDesign1& d = *designer_;
  auto* e = new TGridWebElement(box(), &d.FGlobalWebData, d.FLayers, d.FUnitPixels, 0, 0, 1, 1, kind, nullptr);
  e->SetLiveModeFlag(&d.FLiveMode);
  e->FGridX = &d.FGridX;
  e->FGridY = &d.FGridY;
  e->SetParent(box());
  e->SetPosition(posX, posY);
  return e;
}

void SurfaceTest::PaintSurface(TBitmap& bitmap) {
  PaintClientToBitmap(box(), bitmap);
  PaintClientToBitmap(box(), bitmap);
}

void SurfaceTest::DrawAlone(TGridWebElement* e, TBitmap& bitmap, int w, int h, int x, int y, TColor fill) {
  bitmap.SetSize(w, h);
  for (int pass = 0; pass < 2; ++pass) {
    bitmap.Canvas->Brush->Style = bsSolid;
    bitmap.Canvas->Brush->Color = fill;
    bitmap.Canvas->FillRect({0, 0, w, h});
    e->Draw(x, y, bitmap.Canvas);
  }
}

TColor PixelAt(const TBitmap& bitmap, int x, int y) {
  if (x < 0 || y < 0 || x >= bitmap.Width() || y >= bitmap.Height()) return -1;
  const std::uint32_t p = static_cast<const std::uint32_t*>(bitmap.ScanLine(y))[x];
  // BGRA in memory: blue in the low byte of the 32-bit value.
  const std::uint32_t b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
  return static_cast<TColor>(r | (g << 8) | (b << 16));
}

int CountColor(const TBitmap& bitmap, const TRect& rect, TColor colour) {
  int n = 0;
  for (int y = rect.Top; y < rect.Bottom; ++y)
    for (int x = rect.Left; x < rect.Right; ++x)
      if (PixelAt(bitmap, x, y) == colour) ++n;
  return n;
}

void SaveCrop(const TBitmap& bitmap, const TRect& rect, int factor, const std::string& path) {
  TBitmap crop;
  const int w = static_cast<int>(rect.Width()), h = static_cast<int>(rect.Height());
  crop.SetSize(w * factor, h * factor);
  for (int y = 0; y < h * factor; ++y) {
    auto* row = static_cast<std::uint32_t*>(crop.ScanLine(y));
    for (int x = 0; x < w * factor; ++x) {
      const int sx = rect.Left + x / factor, sy = rect.Top + y / factor;
      row[x] = (sx >= 0 && sy >= 0 && sx < bitmap.Width() && sy < bitmap.Height())
                   ? static_cast<const std::uint32_t*>(bitmap.ScanLine(sy))[sx]
                   : 0xFF808080u;
    }
  }
  SaveBitmapAsPng(crop, path);
}

}  // namespace surfacetest

namespace surfacetest {

void SetLiveValue(TGridWebElement* e, const std::string& typeName, long long value) {
  e->FVarInfo.typeName = typeName;
  e->FVarInfo.typeCode = TypeCodeOfName(typeName.c_str());
  for (int i = 0; i < 8; ++i)
    e->FValueBuf[i] = static_cast<std::uint8_t>(static_cast<unsigned long long>(value) >> (8 * i));
}

void SetLiveText(TGridWebElement* e, const std::string& typeName, const std::string& text) {
  e->FVarInfo.typeName = typeName;
  e->FVarInfo.typeCode = TypeCodeOfName(typeName.c_str());
  std::fill(std::begin(e->FValueBuf), std::end(e->FValueBuf), 0);
  std::copy_n(text.begin(), std::min<std::size_t>(text.size(), 255), e->FValueBuf);
}

}  // namespace surfacetest
