#pragma once
// Room for the longer texts of other UI languages in the property dialogs,
// whose controls stand where their component tables put them.
//
// On every parent (the form and each windowed control in it), a control
// whose text needs more room than it has (an autosized label, or a check
// box, radio button or button whose caption is wider than its box) first
// grows into the free space to its right. Where a control of a row (label,
// check box, radio button, button, edit, drop-down list, colour swatch)
// stands in the way, that control moves right to stand a small gap after
// it; an edit or drop-down list keeps its right edge and gets narrower
// instead when it cannot move. Panels, group boxes, list views and pictures
// stand still, and nothing passes the parent's right edge: a text that does
// not fit even then stays cut. Controls only grow and move right, so running
// it again changes nothing.

class TWinControl;

void FitControlsToTexts(TWinControl& parent);
