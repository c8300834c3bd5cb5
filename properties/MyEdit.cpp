#include "properties/MyEdit.h"

#include "platform/vcl/SysUtils.h"

TmyEdit::TmyEdit(TComponent* owner) : TEdit(owner) {}

void TmyEdit::SetValue(std::int32_t n) {
  Value = n;
  RewriteText();
}

std::int32_t TmyEdit::GetValue() {
  Value = StrToIntDef(Text(), 0);
  RewriteText();
  return Value;
}

void TmyEdit::RewriteText() {
  const bool outer = normalising_;
  normalising_ = true;
  SetText(IntToStr(Value));
  normalising_ = outer;
}
