// processdxf: the one parser. A single forward pass over the line list, one
// pair of lines at a time, with a look-ahead of one pair: a sub-reader that
// stops at the next "0" pair leaves it for the main loop to look at again.
#include <algorithm>

#include "document/reader.h"
#include "document/workers.h"

namespace vestrel {

std::vector<std::string> Drawing::code(const tpoly& p) const {
  std::vector<std::string> out;
  const auto last = std::min<std::size_t>(static_cast<std::size_t>(p.linebis) + 1, dxf.size());
  for (auto i = static_cast<std::size_t>(p.linefrom); i < last; ++i) out.emplace_back(Trim(dxf[i]));
  return out;
}

namespace {

void ReadAll(Drawing& d, std::size_t splinesAheadFrom) {
  if (d.dxf.size() < splinesAheadFrom || WorkerCount() < 2) return reader::Reader(d).run();
  reader::SplinesAhead ahead(d.dxf);
  RunTasks(2, [&](int task) {
    if (task == 1) return ahead.work();
    struct Done {
      reader::SplinesAhead& ahead;
      ~Done() { ahead.stop(); }
    } done{ahead};
    reader::Reader(d, &ahead).run();
  });
}

}  // namespace

void processdxf(Drawing& d, std::size_t splinesAheadFrom) {
  // Every parse gets a number no parse had before, whatever drawing it is.
  static std::uint64_t parses = 0;
  const std::uint64_t before = d.generation;
  d.generation = ++parses;
  try {
    if (!reader::Reader(d).reparse(before)) {
      ReadAll(d, splinesAheadFrom);
      d.reparsed = {before, true, {}};
    }
  } catch (...) {
    // What was built is not all there is: nothing is shown rather than a
    // part, and its memory goes back. The lines stay as they are.
    d.eachTable([](auto& table, tables::Id) { table = {}; });
    d.parserecord = {};
    d.reparsed = {before, true, {}};
    throw;
  }
  d.dxf.forgetChanges();
}

namespace reader {

void Reader::readPair() {
  codepos_ = pos_;
  code_ = Trim(readLine());
  value_ = Trim(readLine());
  group_ = GroupCode(code_);
  // Every handle in the file counts, wherever it stands, so that a new
  // handle can never repeat one, even when $HANDSEED is behind. The one
  // exception is the seed's own value.
  const bool seedValue = handseedNameJustRead_;
  handseedNameJustRead_ = false;
  pairCounted_ = (group_ == 5 || group_ == 105) && !seedValue;
  if (pairCounted_)
    if (const auto h = ParseHandle(value_)) raiseMaxHandle(*h);
}

std::uint8_t Reader::sections() const {
  return static_cast<std::uint8_t>((inEntities_ ? kInEntities : 0) | (inBlocks_ ? kInBlocks : 0) |
                                   (inBlock_ ? kInBlock : 0) | (inTables_ ? kInTables : 0) |
                                   (inObjects_ ? kInObjects : 0) | (expectingSectionName_ ? kExpectingSection : 0));
}

void Reader::reset() {
  d_.eachTable([](auto& table, tables::Id) { table.clear(); });
  d_.parserecord = {};
  for (std::int32_t* line : d_.positions()) *line = -1;
  d_.maxviewportid = 2;
  d_.plotstylereaded.clear();
  d_.steppedover.clear();
  d_.linetype.resize(10);
  d_.layers.resize(10);
  d_.anzlt = 0;
  d_.layouts.clear();
  d_.blocks.clear();
  d_.anzlayer = 0;
  d_.maxhandle = 0;
}

void Reader::run() {
  reset();
  while (!atEnd()) {
    if (!reuse_) readPair();
    reuse_ = false;

    // The tests below look at the current pair one after the other; a test
    // that reads on leaves the next "0" pair as the current one for the
    // tests after it.
    if (is(0, "ENDSEC")) {
      if (inEntities_ && d_.insertlinepos == -1) d_.insertlinepos = codeLine();
      if (inHeader_ && d_.headerendpos == -1) d_.headerendpos = codeLine();
      inTables_ = inBlocks_ = inBlock_ = inEntities_ = false;
    }
    if (group_ == 9) {
      inHandseed_ = value_ == "$HANDSEED";
      inAcadver_ = value_ == "$ACADVER";
      handseedNameJustRead_ = inHandseed_;
      inCurrent_ = -1;
      for (std::size_t k = 0; k < current::kVariables.size(); ++k)
        if (value_ == current::kVariables[k].name && d_.currentpos[k] == -1) inCurrent_ = static_cast<int>(k);
    }
    if (inCurrent_ >= 0 && group_ == current::kVariables[static_cast<std::size_t>(inCurrent_)].group) {
      d_.currentpos[static_cast<std::size_t>(inCurrent_)] = valueLine();
      inCurrent_ = -1;
    }
    if (inHandseed_ && group_ == 5) {
      d_.handleseedpos = valueLine();
      inHandseed_ = false;
      // What an earlier seed added is one of the handles outside entries
      // now; the last seed's part is kept apart, so that a new seed value
      // alone can be read again.
      outside_ = std::max(outside_, seed_);
      seed_ = 0;
      seedPaired_ = pairCounted_;
      if (const auto seed = ParseHandle(value_); seed && *seed > 0) {
        seed_ = *seed - 1;
        d_.maxhandle = std::max(d_.maxhandle, seed_);
      }
    }
    if (inAcadver_ && group_ == 1) {
      inAcadver_ = false;
      d_.acadverpos = valueLine();
      if (value_.size() > 2)
        if (const auto v = ParseInt(value_.substr(2))) d_.cadver = *v;
    }
    if (isZero() && (value_ == "SECTION" || value_ == "ENDSEC")) {
      inEntities_ = inBlock_ = inObjects_ = inTables_ = inHeader_ = false;
      inCurrent_ = -1;
      if (value_ == "SECTION") expectingSectionName_ = true;
    }
    if (group_ == 2 && expectingSectionName_) {
      if (value_ == "HEADER") {
        inHeader_ = true;
      } else if (value_ == "ENTITIES") {
        inEntities_ = true;
        inBlock_ = inHandseed_ = false;
      } else if (value_ == "BLOCKS") {
        inBlocks_ = true;
      } else if (value_ == "OBJECTS") {
        inObjects_ = true;
      } else if (value_ == "TABLES") {
        inTables_ = true;
      } else {
        inTables_ = inBlocks_ = inBlock_ = false;
      }
      expectingSectionName_ = false;
    }
    if (inObjects_ && is(0, "LAYOUT")) readLayout();
    if (inTables_ && is(0, "TABLE")) readTable();
    if (inBlocks_) {
      if (is(0, "BLOCK")) readBlockHeader();
      if (is(0, "ENDBLK")) {
        if (!d_.blocks.empty()) d_.blocks.back().linetoinsert = codeLine();
        inBlock_ = false;
      }
    }
    if ((inEntities_ || (inBlocks_ && inBlock_)) && isZero()) {
      const Kind kind = KindOf(value_);
      if (kind != Kind::None)
        readEntity(kind);
      else
        skipObject();
    }
  }
  resolveLateLayers();
  sortLayouts();
  d_.parserecord = {true, outside_, seed_, seedPaired_, tablesEnd_, dxf_.identity()};
}

void Reader::readTable() {
  std::string tableName;
  bool inLtypeEntry = false, inLayerEntry = false;
  TLayer* layer = nullptr;
  TLineType* ltype = nullptr;
  while (!atEnd()) {
    readPair();
    switch (group_) {
      case 2:
        if (inLtypeEntry)
          ltype->name = value_;
        else if (inLayerEntry)
          layer->name = value_;
        else
          tableName = value_;
        break;
      case 3:
        if (inLtypeEntry) ltype->desc = value_;
        break;
      case 70:
        if (inLayerEntry) {
          if (const auto v = ParseInt(value_)) layer->flag = *v;
          layer->flaglinenr = valueLine();
          layer->flagpresent = true;
        }
        break;
      case 62:
        if (inLayerEntry) {
          if (const auto v = ParseInt(value_)) layer->colornr = *v;
          layer->colorlinenr = valueLine();
          layer->colorpresent = true;
        }
        break;
      case 6:
        if (inLayerEntry) {
          layer->ltname = value_;
          layer->ltnamelinenr = valueLine();
          layer->ltnamepresent = true;
        }
        break;
      case 390:
        if (inLayerEntry) d_.plotstylereaded = value_;
        break;
      case 370:
        if (inLayerEntry) {
          if (const auto v = ParseInt(value_)) layer->lineweight = *v;
          layer->lineweightlinenr = valueLine();
          layer->linweightpresent = true;
        }
        break;
      case 290:
        if (inLayerEntry)
          if (const auto v = ParseInt(value_)) layer->plotflag = *v;
        break;
      case 49:
        if (inLtypeEntry)
          if (const auto v = ParseDouble(value_)) ltype->parts.push_back(static_cast<float>(*v));
        break;
      case 0:
        if (tableName == "LTYPE" && value_ == "LTYPE") {
          if (d_.anzlt >= static_cast<std::int32_t>(d_.linetype.size()) - 1) d_.linetype.resize(d_.linetype.size() + 10);
          ltype = &d_.linetype[static_cast<std::size_t>(d_.anzlt++)];
          ltype->parts.clear();
          inLtypeEntry = true;
        } else if (tableName == "LAYER" && value_ == "LAYER") {
          if (d_.anzlayer >= static_cast<std::int32_t>(d_.layers.size()) - 1) d_.layers.resize(d_.layers.size() + 10);
          layer = &d_.layers[static_cast<std::size_t>(d_.anzlayer++)];
          layer->colorpresent = false;
          layer->linweightpresent = false;
          inLayerEntry = true;
        } else if (value_ == "ENDTAB") {
          if (inLtypeEntry) d_.ltypeinsetlinenr = codeLine();
          if (inLayerEntry) d_.layerinsertlinenr = codeLine();
          inLtypeEntry = inLayerEntry = false;
        }
        break;
      default:
        break;
    }
    if (is(0, "ENDTAB")) break;
  }
  tablesEnd_ = std::max(tablesEnd_, valueLine());
  reuse_ = true;
}

// The block's name is its group 2, as every CAD program reads it; group 3
// repeats it and stands in only where a writer left group 2 out. What a
// header does not say is not taken from the block before.
void Reader::readBlockHeader() {
  inBlock_ = true;
  blockName_.clear();
  blockOwner_ = 0;
  blockBaseX_ = blockBaseY_ = blockBaseZ_ = 0;
  bool named = false;
  while (!atEnd()) {
    readPair();
    if (isZero()) break;
    switch (group_) {
      case 2:
        blockName_ = value_;
        named = true;
        break;
      case 3:
        if (!named) blockName_ = value_;
        break;
      case 330:
        if (const auto h = ParseHandle(value_)) blockOwner_ = *h;
        break;
      case 10:
        if (const auto v = ParseDouble(value_)) blockBaseX_ = *v;
        break;
      case 20:
        if (const auto v = ParseDouble(value_)) blockBaseY_ = *v;
        break;
      case 30:
        if (const auto v = ParseDouble(value_)) blockBaseZ_ = *v;
        break;
      default: break;
    }
  }
  reuse_ = true;
  d_.blocks.push_back({blockName_, 0, blockOwner_, blockBaseX_, blockBaseY_, blockBaseZ_});
  block_ = static_cast<std::int32_t>(d_.blocks.size()) - 1;
}

void Reader::readLayout() {
  Tlayout& l = d_.layouts.emplace_back();
  while (!atEnd()) {
    readPair();
    if (isZero()) break;
    switch (group_) {
      case 10: real(l.lminx); break;
      case 20: real(l.lminy); break;
      case 30: real(l.lminz); break;
      case 11: real(l.lmaxx); break;
      case 21: real(l.lmaxy); break;
      case 31: real(l.lmaxz); break;
      case 14: real(l.eminx); break;
      case 24: real(l.eminy); break;
      case 34: real(l.eminz); break;
      case 15: real(l.emaxx); break;
      case 25: real(l.emaxy); break;
      case 35: real(l.emaxz); break;
      case 40: real(l.marginleft); break;
      case 41: real(l.marginbottom); break;
      case 42: real(l.marginright); break;
      case 43: real(l.margintop); break;
      case 44: real(l.paperwidth), l.plotsettings = true; break;
      case 45: real(l.paperheight), l.plotsettings = true; break;
      case 142: real(l.scalenumerator); break;
      case 143: real(l.scaledenominator); break;
      case 72:
        if (const auto v = ParseInt(value_)) l.paperunits = *v;
        break;
      case 73:
        if (const auto v = ParseInt(value_)) l.plotrotation = *v;
        break;
      case 100:
        if (value_ == "AcDbPlotSettings") l.plotsettings = true;
        break;
      case 1: l.name = value_; break;
      case 71:
        if (const auto v = ParseInt(value_)) l.order = *v;
        break;
      case 330:
        if (const auto h = ParseHandle(value_)) l.layhan = *h;
        break;
      default: break;
    }
  }
  reuse_ = true;
}

// "Model" first, the other layouts by their order (group 71); layouts of
// the same order keep the order of the file.
void Reader::sortLayouts() {
  std::stable_sort(d_.layouts.begin(), d_.layouts.end(), [](const Tlayout& a, const Tlayout& b) {
    const bool am = a.name == "Model", bm = b.name == "Model";
    return am != bm ? am : a.order < b.order;
  });
}

}  // namespace reader
}  // namespace vestrel
