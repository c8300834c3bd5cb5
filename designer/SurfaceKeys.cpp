#include "designer/SurfaceKeys.h"

#include <algorithm>
#include <array>
#include <memory>
#include <utility>

#include "designer/SurfaceObjects.h"
#include "grid/GridInsert.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/win/VirtualKeys.h"

namespace {

// The characters of Ctrl+D and Ctrl+U.
constexpr char kCharSendBackward = 4;
constexpr char kCharBringForward = 21;

// A key or character that moves the selection by one unit.
template <typename Key>
struct TMoveKey {
  Key key;
  int dx;
  int dy;
};

// Upper-case letters (typed with Shift or Caps Lock) move; lower-case ones
// do nothing.
constexpr std::array<TMoveKey<char>, 4> kLetterMoves = {{
    {'A', -1, 0},
    {'D', 1, 0},
    {'S', 0, 1},
    {'W', 0, -1},
}};

constexpr std::array<TMoveKey<WORD>, 4> kArrowMoves = {{
    {VK_LEFT, -1, 0},
    {VK_UP, 0, -1},
    {VK_RIGHT, 1, 0},
    {VK_DOWN, 0, 1},
}};

template <typename Key, std::size_t N>
const TMoveKey<Key>* FindMove(const std::array<TMoveKey<Key>, N>& table, Key key) {
  const auto found = std::find_if(table.begin(), table.end(), [key](const TMoveKey<Key>& m) { return m.key == key; });
  return found != table.end() ? &*found : nullptr;
}

}  // namespace

TSurfaceKeys::TSurfaceKeys(TSurfaceKeysContext context) : context_(std::move(context)) {}

void TSurfaceKeys::Attach() {
  context_.surface->OnKeyDown = {this, &TSurfaceKeys::KeyDown};
  context_.surface->OnKeyPress = {this, &TSurfaceKeys::KeyPress};
  context_.surface->OnKeyUp = {this, &TSurfaceKeys::KeyUp};
}

void TSurfaceKeys::KeyDown(TObject*, WORD& key, TShiftState) {
  if (key == VK_DELETE) DeleteSelectedObjects();
  TGridInsert* frame = context_.insertion ? context_.insertion() : nullptr;
  if (frame != nullptr) InsertionKey(*frame, key);
}

void TSurfaceKeys::InsertionKey(TGridInsert& frame, WORD key) {
  if (key == VK_ESCAPE) {
    frame.Cancel();
    return;
  }
  if (key != VK_RETURN && key != VK_SPACE) return;
  // The frame goes to the mouse (as a move of the mouse would take it) and
  // drops the objects there.
  const TPoint point = frame.ScreenToClient(Mouse->CursorPos());
  frame.MoveTo(point.x, point.y);
  frame.Drop();
}

void TSurfaceKeys::KeyPress(TObject*, char& key) {
  if (LiveView()) return;
  if (key == kCharSendBackward) {
    if (context_.sendBackward) context_.sendBackward(context_.surface);
    return;
  }
  if (key == kCharBringForward) {
    if (context_.bringForward) context_.bringForward(context_.surface);
    return;
  }
  TGridWebElement* first = FirstPageObject();
  const TMoveKey<char>* move = FindMove(kLetterMoves, key);
  if (first != nullptr && move != nullptr) first->MoveSelected(move->dx, move->dy);
}

void TSurfaceKeys::KeyUp(TObject*, WORD& key, TShiftState shift) {
  const TMoveKey<WORD>* move = FindMove(kArrowMoves, key);
  if (move == nullptr || (shift & ssCtrl) != 0 || LiveView()) return;
  // The snapshot follows the move, so it holds the moved state.
  if (TGridWebElement* first = FirstPageObject()) first->MoveSelected(move->dx, move->dy);
  PushUndo();
}

void TSurfaceKeys::DeleteSelectedObjects() {
  PushUndo();
  for (TGridWebElement* object : OwnedPageObjects(*context_.surface)) {
    if (!object->Selected() || !object->CanSelect()) continue;
    // The surface gives the object up and it is freed.
    std::unique_ptr<TGridWebElement> freed(object);
  }
}

TGridWebElement* TSurfaceKeys::FirstPageObject() const {
  const std::vector<TGridWebElement*> objects = OwnedPageObjects(*context_.surface);
  return objects.empty() ? nullptr : objects.front();
}

void TSurfaceKeys::PushUndo() {
  if (context_.pushUndo) context_.pushUndo();
}
