#include "host/sim/web/WebForm.h"

#include "host/sim/web/WebValues.h"

const std::string* WebForm::Find(const std::string& name) const {
  for (const auto& field : fields)
    if (field.first == name) return &field.second;
  return nullptr;
}

std::optional<std::string> PercentDecoded(const std::string& text, bool plusIsBlank) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '%') {
      if (i + 2 >= text.size()) return std::nullopt;
      const int high = HexDigitValue(text[i + 1]);
      const int low = HexDigitValue(text[i + 2]);
      if (high < 0 || low < 0) return std::nullopt;
      c = static_cast<char>(high * 16 + low);
      i += 2;
    } else if (c == '+' && plusIsBlank) {
      c = ' ';
    }
    if (c == '\0') return std::nullopt;
    out += c;
  }
  return out;
}

std::optional<WebForm> ParseUrlEncodedForm(const std::string& body) {
  WebForm form;
  std::size_t start = 0;
  while (start <= body.size()) {
    const std::size_t end = std::min(body.find('&', start), body.size());
    const std::string piece = body.substr(start, end - start);
    start = end + 1;
    if (piece.empty()) continue;
    const std::optional<std::string> decoded = PercentDecoded(piece, true);
    if (!decoded) return std::nullopt;
    const std::size_t equals = decoded->find('=');
    form.fields.emplace_back(decoded->substr(0, equals),
                             equals == std::string::npos ? std::string() : decoded->substr(equals + 1));
  }
  return form;
}
