// The edit commands of the designer: the common edit pop-up of edit fields
// and live page objects, the common base of variable names, finding an
// object's page by its variable, and the preview.

#include "designer/EditFieldCommands.h"

#include <array>
#include <cctype>
#include <memory>
#include <vector>

#include "core/TraceLog.h"
#include "core/UiText.h"
#include "core/WriteFailureNotice.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "designer/ZOrder.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/win/CodePage.h"
#include "platform/win/MessageBox.h"
#include "platform/win/ShellOpen.h"
#include "project/FormSimpleEdit.h"

namespace {

constexpr int kEditBaseCaptionId = 7110;
constexpr int kPreviewCaptionId = 7099;
constexpr int kRecompileQuestionId = 7100;
constexpr const char* kIndexPage = "index.xml";
constexpr const char* kOutputFolder = "SendRoot\\WWW\\";

// The code pages that map the characters of the listed ranges, in the order
// they are tried.
constexpr std::array<UINT, 6> kFallbackCodePages{1250, 1252, 1251, 1253, 1254, 1255};

struct TRange {
  char16_t first;
  char16_t last;
};
constexpr std::array<TRange, 4> kCodePageRanges{
    {{0x0100, 0x019F}, {0x02C0, 0x02DF}, {0x0380, 0x049F}, {0x200E, 0x203F}}};
constexpr std::array<char16_t, 3> kCodePageCharacters{0x20AC, 0x2116, 0x2122};

bool ByCodePages(char16_t c) {
  for (const TRange& range : kCodePageRanges)
    if (c >= range.first && c <= range.last) return true;
  for (char16_t single : kCodePageCharacters)
    if (c == single) return true;
  return false;
}

char FromCodePages(char16_t c) {
  const std::u16string one(1, c);
  for (UINT codePage : kFallbackCodePages) {
    const std::string bytes = WideToMultiByte(codePage, one);
    if (bytes.size() == 1 && bytes[0] != '?') return bytes[0];
  }
  return '?';
}

// The kinds whose variable the edit-base command renames.
bool QualifiesForEditBase(const TGridWebElement& object) {
  switch (object.Kind()) {
    case wkEdit:
    case wkEditLocal:
    case wkPostFile:
    case wkImage:
    case wkCanvas:
    case wkDropDown:
    case wkImageBtn:
    case wkMultiImage: return true;
    case wkBlock: return object.FDynamic || !object.GetVariable().empty();
    case wkSubmit: return !object.GetVariable().empty();
    default: return false;
  }
}

}  // namespace

char WideCharToAnsiByte(char16_t c) {
  if (c < 0x0100) return static_cast<char>(c);
  if (c >= 0x05B0 && c <= 0x05EA) return static_cast<char>(c - 0x05B0 + 0xC0);
  if (c >= 0x05F0 && c <= 0x05F4) return static_cast<char>(c - 0x05F0 + 0xD4);
  if (c == 0x018F) return static_cast<char>(0xC6);
  if (c == 0x0259) return static_cast<char>(0xE6);
  if (c == 0x20AA) return static_cast<char>(0x99);
  if (ByCodePages(c)) return FromCodePages(c);
  return '?';
}

std::string PastedUnicodeToProjectText(std::u16string_view text, int codePage) {
  const std::size_t end = std::min({text.find(u'\0'), text.size(), kMaxPastedUnits});
  std::string bytes;
  bytes.reserve(end);
  for (char16_t c : text.substr(0, end)) {
    if (codePage == 1251 && c == 0x20AC) c = 0x02C6;
    if (codePage == 1254 && c == 0x015E) c = 0x0162;
    if (codePage == 1254 && c == 0x015F) c = 0x0163;
    bytes.push_back(WideCharToAnsiByte(c));
  }
  return bytes;
}

std::size_t CommonPrefixLength(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] != '\0' &&
         std::toupper(static_cast<unsigned char>(a[i])) == std::toupper(static_cast<unsigned char>(b[i])))
    ++i;
  return i;
}

std::string FindObjectByVariable(TmyXmlNode* root, const std::string& variable) {
  // An empty text names no variable (the search would take it for "any").
  if (root == nullptr || variable.empty()) return std::string();
  TmyXmlNode* found = root->GetAttr("variable") == variable && root->FindAttr("variable") != nullptr
                          ? root
                          : root->FindDeepAttr("", "variable", variable);
  if (found == nullptr || found->parent == nullptr || found->parent->parent == nullptr) return std::string();
  return found->parent->parent->GetAttr("name");
}

// --- the designer's commands ---------------------------------------------------

bool TFormDesign1::PromptSimpleEdit(const std::string& caption, std::string& text) {
  const std::unique_ptr<TFormSimpleEdit> dialog = std::make_unique<TFormSimpleEdit>(this);
  dialog->SetCaption(caption);
  dialog->Edit1->SetText(text);
  if (ShowModalWithNotice(*dialog) != mrOk) return false;
  text = dialog->Edit1->Text();
  return true;
}

void TFormDesign1::CommonCopyClick(TObject*) {
  TComponent* target = CommonEditPopup1->PopupComponent;
  if (auto* edit = dynamic_cast<TCustomEdit*>(target)) {
    Clipboard()->SetAsText(edit->SelText());
  } else if (auto* object = dynamic_cast<TGridWebElement*>(target)) {
    Clipboard()->SetAsText(object->FormatValue());
  }
}

void TFormDesign1::CommonCutClick(TObject*) {
  auto* edit = dynamic_cast<TCustomEdit*>(CommonEditPopup1->PopupComponent);
  if (edit == nullptr) return;
  Clipboard()->SetAsText(edit->SelText());
  edit->SetSelText("");
}

void TFormDesign1::CommonSelectAllClick(TObject*) {
  if (auto* edit = dynamic_cast<TCustomEdit*>(CommonEditPopup1->PopupComponent)) edit->SelectAll();
}

void TFormDesign1::CommonPasteClick(TObject*) {
  auto* edit = dynamic_cast<TCustomEdit*>(CommonEditPopup1->PopupComponent);
  if (edit == nullptr) return;
  if (Clipboard()->HasFormat(CF_UNICODETEXT)) {
    edit->SetSelText(PastedUnicodeToProjectText(Clipboard()->AsUnicodeText(), document_->Settings().codePage));
    return;
  }
  edit->SetSelText(Clipboard()->AsText());
}

void TFormDesign1::Editbase1Click(TObject*) {
  std::vector<TGridWebElement*> objects;
  for (TGridWebElement* object : SelectedObjectsInCreationOrder(sbDesign1))
    if (QualifiesForEditBase(*object)) objects.push_back(object);
  std::string prefix;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    if (i == 0) {
      prefix = objects[i]->GetVariable();
      continue;
    }
    const std::size_t k = CommonPrefixLength(prefix, objects[i]->GetVariable());
    prefix = prefix.substr(0, k);
    if (k == 0) break;
  }
  const std::size_t length = prefix.size();
  std::string base = prefix;
  if (!PromptSimpleEdit(GetUiText(kEditBaseCaptionId), base)) return;
  PushUndo();
  for (TGridWebElement* object : objects) {
    const std::string& variable = object->GetVariable();
    object->SetVariable(base + (variable.size() > length ? variable.substr(length) : std::string()));
    object->ResolveVariables();
    object->Invalidate();
  }
}

void TFormDesign1::Find1Click(TObject*) {
  WriteTraceLog("Find1Click");
  std::string variable;
  if (PromptSimpleEdit(std::string(), variable)) {
    const std::string page = FindObjectByVariable(document_->Root(), variable);
    if (!page.empty()) ChangeToPageByName(page);
  }
  WriteTraceLog("Find1Click - end");
}

void TFormDesign1::tbPreview1Click(TObject*) {
  const std::string question = GetUiText(kRecompileQuestionId);
  const std::string caption = GetUiText(kPreviewCaptionId);
  if (MessageBox(Handle(), question.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES)
    btnSave1Click(nullptr);
  // The compiled start page is opened as a file; the web server's address
  // takes its place once the preview has a server to ask. Without a host
  // project there is no output folder to open.
  if (location_.hostProjectDir.empty()) return;
  const std::string index = location_.hostProjectDir + kOutputFolder + kIndexPage;
  ShellExecute(Handle(), "open", index.c_str(), nullptr, nullptr, SW_SHOW);
}
