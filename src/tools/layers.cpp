#include "tools/layers.h"

#include "i18n/msg.h"
#include "tools/editor.h"
#include "writers/tablewriters.h"

#include <cmath>
#include <string>

#include "document/numbers.h"
#include "editing/properties.h"
#include "file/encoding.h"
#include "writers/insertcode.h"

namespace vestrel {

namespace {

// One 2-byte UTF-8 letter in upper case: Latin-1, Latin Extended-A, Greek
// and Cyrillic, the letters of the languages the program speaks.
std::uint32_t UpperLetter(std::uint32_t c) {
  if ((c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) || (c >= 0x430 && c <= 0x44F))
    return c - 0x20;
  if (c == 0xFF) return 0x178;
  if (c == 0x3C2) return 0x3A3;  // final sigma
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  // Latin Extended-A: pairs of upper and lower case, the upper case first
  // (even) but between Ĺ and ň and from Ź on (odd); the Turkish i's are
  // left as they are.
  const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
  const bool pairs = (c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177) || oddUpper;
  if (pairs && (c % 2 == 1) != oddUpper) return c - 1;
  return c;
}

// A name (UTF-8) as names are compared: blanks around it left out, letters
// in upper case.
std::string NameKey(std::string_view name) {
  name = Trim(name);
  std::string key;
  key.reserve(name.size());
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto b = static_cast<unsigned char>(name[i]);
    if (b >= 'a' && b <= 'z') {
      key += static_cast<char>(b - 'a' + 'A');
    } else if (b >= 0xC2 && b <= 0xDF && i + 1 < name.size() &&
               (static_cast<unsigned char>(name[i + 1]) & 0xC0) == 0x80) {
      const std::uint32_t c = UpperLetter(((b & 0x1Fu) << 6) | (static_cast<unsigned char>(name[++i]) & 0x3Fu));
      key += static_cast<char>(0xC0 | (c >> 6));
      key += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      key += static_cast<char>(b);
    }
  }
  return key;
}

}  // namespace

namespace {

constexpr std::int32_t kLockedFlag = 4;

std::string ColourText(const LayerDialogValues& v, std::int32_t n) {
  const std::int32_t a = n < 0 ? -n : n;
  if (a >= 1 && a <= 9) return v.colours[static_cast<std::size_t>(a - 1)];
  return std::to_string(a);
}

std::int32_t ColourNumber(const LayerDialogValues& v, const std::string& text) {
  for (std::size_t i = 0; i < v.colours.size(); ++i)
    if (v.colours[i] == text) return static_cast<std::int32_t>(i + 1);
  if (const auto n = ParseInt(text)) return *n;
  return 7;
}

}  // namespace

LayerDialogValues ProposeLayers(const Drawing& d, const std::function<std::string(int)>& message) {
  LayerDialogValues v;
  for (int nr : {msg::Red, msg::Yellow, msg::Green, msg::LightBlue, msg::Blue, msg::Pink, msg::Black, msg::Grey,
                 msg::LightGrey})
    v.colours.push_back(message(nr));
  v.visible = message(msg::Visible), v.invisible = message(msg::Invisible);
  v.locked = message(msg::Locked), v.unlocked = message(msg::Unlocked);
  NewLayerDialogValues lists;
  ProposeNewLayer(d, lists);
  v.linetypes = std::move(lists.linetypes);
  const TextEncoding enc = d.dxf.encoding;
  const std::string newObjects = NewObjectLayer(d);
  for (std::int32_t i = 0; i < d.anzlayer; ++i) {
    const TLayer& l = d.layers[static_cast<std::size_t>(i)];
    if (v.current < 0 && l.name == newObjects) v.current = i;
    v.rows.push_back({DecodeUnicode(l.name, enc), ColourText(v, l.colornr), l.colornr < 0 ? v.invisible : v.visible,
                      l.flag & kLockedFlag ? v.locked : v.unlocked, DecodeUnicode(l.ltname, enc),
                      FloatToDxf(l.lineweight / 100.0)});
  }
  return v;
}

bool WriteLayers(DocumentContext& c, const LayerDialogValues& v) {
  Drawing& d = c.drawing;
  const TextEncoding enc = d.dxf.encoding;
  // The lines to write, found first: a round trip that changes nothing
  // leaves no step (and what can be redone stays).
  std::vector<std::pair<std::int32_t, std::string>> lines;
  auto write = [&](bool present, std::int32_t line, bool differs, std::string text) {
    if (present && differs && line > 0 && static_cast<std::size_t>(line) < d.dxf.size())
      lines.emplace_back(line, std::move(text));
  };
  const std::size_t n = std::min(v.rows.size(), static_cast<std::size_t>(std::max(d.anzlayer, 0)));
  for (std::size_t i = 0; i < n; ++i) {
    const TLayer& l = d.layers[i];
    const LayerRow& r = v.rows[i];
    std::int32_t colour = ColourNumber(v, r.Farbe);
    if (r.Sichtbar == v.invisible) colour = -colour;
    std::int32_t flag = l.flag;
    if (r.Gesperrt == v.locked) flag |= kLockedFlag;
    if (r.Gesperrt == v.unlocked) flag &= ~kLockedFlag;
    const std::string ltname = EncodeUnicode(r.Linienstil, enc, d.cadver);
    write(l.colorpresent, l.colorlinenr, colour != l.colornr, std::to_string(colour));
    write(l.flagpresent, l.flaglinenr, flag != l.flag, std::to_string(flag));
    write(l.ltnamepresent, l.ltnamelinenr, ltname != l.ltname, ltname);
    if (const auto mm = ParseDouble(r.Linienbreite); mm && std::isfinite(*mm) && std::abs(*mm) < 1e6) {
      const auto weight = static_cast<std::int32_t>(std::lround(*mm * 100));
      write(l.linweightpresent, l.lineweightlinenr, weight != l.lineweight, std::to_string(weight));
    }
  }
  // The row made current, where it is not the layer new objects go to.
  const std::string* made = v.current >= 0 && v.current < d.anzlayer ? &d.layers[static_cast<std::size_t>(v.current)].name : nullptr;
  if (made && *made == NewObjectLayer(d)) made = nullptr;
  if (lines.empty() && !made) return false;
  ChangeStep step(c.undos, d.dxf);
  for (const auto& [line, text] : lines) step.overwrite(line, text);
  // The header comes before the tables: what was overwritten stays where it is.
  if (made) SetHeaderVariable(step, d, current::Layer, *made);
  processdxf(d);
  return true;
}

std::vector<double> LineStylePattern(std::string_view memo) {
  std::vector<double> parts;
  while (!memo.empty()) {
    const std::size_t nl = memo.find('\n');
    std::string line(Trim(memo.substr(0, nl)));
    for (char& ch : line)
      if (ch == ',') ch = '.';
    if (const auto v = ParseDouble(line); v && std::isfinite(*v)) parts.push_back(*v);
    if (nl == std::string_view::npos) break;
    memo.remove_prefix(nl + 1);
  }
  return parts;
}

int NewLineStyleProblem(const Drawing& d, const LineStyleDialogValues& v, const std::vector<double>& parts) {
  const std::string_view name = v.Edit1;
  if (Trim(name).empty()) return msg::NoLineTypeName;
  if (parts.empty()) return msg::NoLengths;
  const std::string key = NameKey(name);
  for (std::int32_t i = 0; i < d.anzlt; ++i)
    if (NameKey(DecodeUnicode(d.linetype[static_cast<std::size_t>(i)].name, d.dxf.encoding)) == key)
      return msg::LineTypeExists;
  if (!IsValidName(Trim(name), d.dxf.encoding)) return msg::BadLineTypeName;
  if (HasControlCharacter(Trim(v.Edit2))) return msg::ControlCharacter;
  return 0;
}

void ProposeNewLayer(const Drawing& d, NewLayerDialogValues& values) {
  values.linetypes.clear();
  for (std::int32_t i = 0; i < d.anzlt; ++i) {
    const std::string& name = d.linetype[static_cast<std::size_t>(i)].name;
    // These two stand for no line type of a layer's own, whatever their case.
    const std::string key = NameKey(name);
    if (key == "BYLAYER" || key == "BYBLOCK") continue;
    values.linetypes.push_back(DecodeUnicode(name, d.dxf.encoding));
  }
  values.LineCombo = values.ColorComboBox = values.LineWeightBox = 0;
}

int NewLayerNameProblem(const Drawing& d, std::string_view name) {
  if (Trim(name).empty()) return msg::NoLayerName;
  // The name as the drawing will hold it: a character its encoding lacks
  // becomes "?".
  const TextEncoding enc = d.dxf.encoding;
  const std::string stored = EncodeUnicode(Trim(name), enc);
  const std::string key = NameKey(DecodeUnicode(stored, enc));
  for (std::int32_t i = 0; i < d.anzlayer; ++i)
    if (NameKey(DecodeUnicode(d.layers[static_cast<std::size_t>(i)].name, enc)) == key) return msg::LayerExists;
  if (!IsValidName(Trim(name), enc)) return msg::BadLayerName;
  return 0;
}

void Editor::LayerBtnClick() {
  LayerDialogValues v = ProposeLayers(drawing, [this](int nr) { return platform.Message(nr); });
  if (platform.ShowLayerDialog(v) != DialogResult::Ok) return;
  // What the buttons changed; a look that changed nothing changes nothing.
  if (WriteLayers(doc, v)) SetChanged(doc);
  if (v.newLayer) {
    NewLayerDialogValues& n = dialogs.newLayer;
    ProposeNewLayer(drawing, n);
    if (platform.ShowNewLayerDialog(n) == DialogResult::Ok) {
      if (const int problem = NewLayerNameProblem(drawing, n.Edit1)) {
        platform.ShowMessage(problem, "", MsgIcon::Error);
      } else {
        const TextEncoding enc = drawing.dxf.encoding;
        auto at = [](const std::vector<std::string>& items, int i) {
          return i >= 0 && static_cast<std::size_t>(i) < items.size() ? items[static_cast<std::size_t>(i)] : "";
        };
        const int weight = n.LineWeightBox >= 0 && static_cast<std::size_t>(n.LineWeightBox) < std::size(kLayerLineWeights)
                               ? kLayerLineWeights[n.LineWeightBox]
                               : kLayerLineWeights[0];
        const int ver = drawing.cadver;
        Report(Write(doc, AddNewLayer, EncodeUnicode(Trim(n.Edit1), enc, ver), EncodeUnicode(at(n.linetypes, n.LineCombo), enc, ver),
                           std::to_string(weight), std::to_string(n.ColorComboBox + 1)));
      }
    }
  }
  Repaint();
}

void Editor::Linienstile1Click() {
  LineStyleDialogValues& v = dialogs.lineStyle;
  if (platform.ShowLineStyleDialog(v) != DialogResult::Ok) return;
  const std::vector<double> parts = LineStylePattern(v.Memo1);
  if (const int problem = NewLineStyleProblem(drawing, v, parts))
    return platform.ShowMessage(problem, "", MsgIcon::Error);
  const TextEncoding enc = drawing.dxf.encoding;
  Report(Write(doc, AddLineStil, EncodeUnicode(Trim(v.Edit1), enc, drawing.cadver), EncodeUnicode(Trim(v.Edit2), enc, drawing.cadver),
                     parts));
  Repaint();
}

}  // namespace vestrel
