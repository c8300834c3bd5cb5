#include "bench/xml/ProjectText.h"

#include <cstdint>
#include <cstdio>

namespace {

const char* const kKinds[] = {"label",  "edit",     "edit",     "image",  "submit", "picture", "camera",  "block",
                              "mulimg", "postfile", "imagebtn", "strimg", "canvas", "iframe",  "dropdown"};

struct Rng {
  std::uint32_t s = 12345;
  std::uint32_t Next() {
    s = s * 1664525u + 1013904223u;
    return s >> 8;
  }
};

void Line(std::string& out, int depth, const char* text) {
  out.append(static_cast<std::size_t>(depth), '\t');
  out += text;
  out += "\r\n";
}

void Object(std::string& out, Rng& rng, int id) {
  char buf[640];
  int kind = static_cast<int>(rng.Next() % 15);
  std::snprintf(buf, sizeof buf,
                "<object X=\"%u\" Y=\"%u\" xoff=\"%u\" yoff=\"%u\" width=\"%u\" height=\"%u\" layer=\"%u\" "
                "uid=\"%08X\" kind=\"%d\">",
                rng.Next() % 100 + 1, rng.Next() % 80 + 1, rng.Next() % 8, rng.Next() % 8, rng.Next() % 400 + 8,
                rng.Next() % 200 + 8, rng.Next() % 16, rng.Next(), kind);
  Line(out, 3, buf);
  std::snprintf(
      buf, sizeof buf,
      "<%s caption=\"Tlak &amp; teplota %d\" hint=\"Vstup &lt;%d&gt;\" variable=\"PLC_PRG.aValues[%d].fTemp\" "
      "visvar=\"PLC_PRG.bVisible%d\" level=\"%u\" font=\"Arial\" fontsize=\"10\" color=\"%u\" "
      "bgcolor=\"%u\" align=\"left\" format=\"%%5.2f\" min=\"-100\" max=\"100\" />",
      kKinds[kind], id, id % 97, id % 50, id % 13, rng.Next() % 10, rng.Next() & 0xFFFFFF, rng.Next() & 0xFFFFFF);
  Line(out, 4, buf);
  std::snprintf(buf, sizeof buf,
                "<lang l1=\"Teplota \xE8\x6Bslo %d\" l2=\"Temperatur Nr. %d\" l3=\"Temperatura nr %d\" l4=\"\" />", id,
                id, id);
  Line(out, 4, buf);
  if (id % 7 == 0) {
    std::snprintf(buf, sizeof buf, "<text>Popis objektu %d s del\xB9\xEDm textem</text>", id);
    Line(out, 4, buf);
  }
  Line(out, 3, "</object>");
}

}  // namespace

std::string MakeProjectText(std::size_t aMinBytes) {
  std::string out;
  out.reserve(aMinBytes + 4096);
  Rng rng;
  Line(out, 0, "<?xml version=\"1.0\" encoding=\"windows-1250\" ?>");
  Line(out, 0, "<!-- Tarnwell web project -->");
  Line(out, 0, "<web version=\"8.1\" name=\"Demo\" languages=\"3\" editorlang=\"1\">");
  Line(out, 1, "<globalset newdim=\"1\" gridx=\"8\" gridy=\"8\" codepage=\"1250\" />");
  Line(out, 1, "<placeholders>");
  Line(out, 2, "<item key=\"{MOTOR}\" value=\"PLC_PRG.Motor1\" />");
  Line(out, 1, "</placeholders>");
  int group = 0;
  int id = 0;
  while (out.size() < aMinBytes) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "<group name=\"Skupina %d\" locked=\"false\" level=\"0\">", ++group);
    Line(out, 1, buf);
    for (int page = 1; page <= 8 && out.size() < aMinBytes; ++page) {
      std::snprintf(
          buf, sizeof buf,
          "<page name=\"Str\xE1nka %d-%d\" width=\"800\" height=\"600\" bgcolor=\"16777215\" refresh=\"1000\">", group,
          page);
      Line(out, 2, buf);
      Line(out, 3, "<!-- objects -->");
      for (int o = 0; o < 40; ++o) Object(out, rng, ++id);
      Line(out, 2, "</page>");
    }
    Line(out, 1, "</group>");
  }
  Line(out, 0, "</web>");
  return out;
}
