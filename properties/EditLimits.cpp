#include "properties/EditLimits.h"

#include "core/XmlNode.h"
#include "properties/ValueTexts.h"

namespace {

// The detached format element the value texts read.
class TFormatElement {
 public:
  explicit TFormatElement(const TLimitFormat& format) : node_("Format") {
    node_.SetAttr("Length", format.length);
    node_.SetAttr("Prec", format.prec);
    node_.SetAttr("Align", format.align);
    if (!format.time.empty()) node_.SetAttr("Time", format.time);
  }
  const TmyXmlNode* Node() const { return &node_; }

 private:
  TmyXmlNode node_;
};

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string NormaliseLimitText(const std::string& text, const TLimitFormat& format, const TPinVariable& info) {
  const TFormatElement element(format);
  const TPlcValue value = PlcValueFromText(info, text, element.Node());
  return Trimmed(FormatPlcValueText(element.Node(), info, value.Low(), value.High()));
}

double LimitSpan(const std::string& high, const std::string& low, const TLimitFormat& format,
                 const TPinVariable& info) {
  const TFormatElement element(format);
  return ComparePlcValueTexts(high, low, element.Node(), info);
}
