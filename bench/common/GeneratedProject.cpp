#include "bench/common/GeneratedProject.h"

#include <cstdio>
#include <string>

namespace benchproject {

namespace {

constexpr int kPagesPerGroup = 10;

const char* const kKindElements[] = {
    "<label />",
    // One element in two literals, joined on purpose.
    ("<block dynamic=\"true\" width=\"40\" height=\"10\" border=\"true\" horz=\"1\" natv=\"0\" variable=\"V%d\" "
     "type=\"INT\" />"),
    "<picture img=\"\" />",
    "<iframe type=\"\" variable=\"\" href=\"http://127.0.0.1/\" height=\"100\" width=\"200\" />",
    "<camera href=\"http://127.0.0.1/cam.jpg\" refresh=\"0\" width=\"160\" height=\"120\" delimiter=\"?\" />",
    "<strimg variable=\"V%d\" type=\"INT\" />",
};

std::string ObjectText(int uid, int kind, int x, int y) {
  char element[256];
  std::snprintf(element, sizeof element, kKindElements[kind], uid % kVariables);
  return "<object caption=\"Object " + std::to_string(uid) + "\" X=\"" + std::to_string(x) + "\" Y=\"" +
         std::to_string(y) +
         "\" xoff=\"0\" yoff=\"0\" level=\"0\" readonly=\"false\" front=\"0\" back=\"-1\" strong=\"false\" "
         "italic=\"false\" size=\"13\" transparent=\"true\" visneg=\"false\" Uid=\"" +
         std::to_string(uid) + "\">" + element + "</object>\r\n";
}

}  // namespace

// `pages` pages in groups of ten, `objects` objects spread evenly, every kind
// in turn.
std::string ProjectText(int pages, int objects) {
  std::string text = "<web version=\"8.1\" encoding=\"windows-1250\" width=\"980\" height=\"560\">\r\n";
  int uid = 10;
  for (int page = 0; page < pages; ++page) {
    if (page % kPagesPerGroup == 0) {
      if (page > 0) text += "</group>\r\n";
      text += "<group caption=\"Group " + std::to_string(page / kPagesPerGroup) + "\">\r\n";
    }
    text += "<page caption=\"Page " + std::to_string(page) + "\" name=\"P" + std::to_string(page) + ".XML" +
            "\" ajax=\"true\" pause=\"1000\"" + (page == 0 ? " default=\"true\"" : "") + ">\r\n";
    const int count = objects / pages + (page < objects % pages ? 1 : 0);
    for (int i = 0; i < count; ++i, ++uid) text += ObjectText(uid, uid % 6, uid % 90, uid % 50);
    text += "</page>\r\n";
  }
  return text + "</group>\r\n</web>\r\n";
}

std::string LabelsProjectText(int labels) {
  constexpr int kPerRow = 12;
  std::string text =
      "<web version=\"8.1\" encoding=\"windows-1250\" width=\"980\" height=\"560\">\r\n"
      "<group caption=\"Group 0\">\r\n"
      "<page caption=\"Empty\" name=\"P0.XML\" ajax=\"true\" pause=\"1000\" default=\"true\">\r\n"
      "</page>\r\n"
      "<page caption=\"Labels\" name=\"P1.XML\" ajax=\"true\" pause=\"1000\">\r\n";
  for (int i = 0; i < labels; ++i) text += ObjectText(10 + i, 0, i % kPerRow * 80, i / kPerRow * 20);
  return text + "</page>\r\n</group>\r\n</web>\r\n";
}

}  // namespace benchproject
