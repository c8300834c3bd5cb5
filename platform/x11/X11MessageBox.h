#pragma once
// Message boxes and message dialogs that no handler answered, shown to a
// person as a modal form: the icon its flags (or its dialog type) name, the
// text (wrapped at about 420 pixels), one button
// for each answer the box can give, the default button answering Enter and
// Cancel (when the box has it) answering Escape and the close box.

#include <functional>
#include <string>
#include <vector>

#include "platform/win/MessageBox.h"

// The answer the person gave (one of `answers`), or 0 when the box was
// closed without one.
int ShowX11MessageBox(const MessageBoxRecord& box, const std::vector<int>& answers);

// The caption of the button that gives `answer` in a box of that kind.
const char* MessageBoxButtonCaption(MessageBoxRecord::Kind kind, int answer);

// The lines of `text` wrapped so that each is at most `maxWidth` wide as
// `measure` measures it (a single word longer than that keeps its line).
std::vector<std::string> WrapText(const std::string& text, int maxWidth,
                                  const std::function<int(const std::string&)>& measure);
