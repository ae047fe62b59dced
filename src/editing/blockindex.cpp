#include "editing/blockindex.h"

#include <charconv>

namespace vestrel {

void BlockIndex::index() {
  if (indexed_) return;
  indexed_ = true;
  const LineList& dxf = d_.dxf;
  const auto n = static_cast<std::int32_t>(dxf.size());
  std::string_view section;
  bool expectName = false;
  // The table entry and the definition being read.
  std::unordered_map<std::string, std::pair<std::int32_t, std::int32_t>> records;
  std::string recordName, blockName;
  std::int32_t recordFrom = -1;
  BlockLines block;
  enum class In { Nothing, Header, Members, End } in = In::Nothing;
  auto endRecord = [&](std::int32_t last) {
    if (recordFrom >= 0 && !recordName.empty()) records.try_emplace(recordName, recordFrom, last);
    recordFrom = -1;
    recordName.clear();
  };
  auto endBlock = [&](std::int32_t last) {
    block.to = last;
    // A second definition of a name: the first counts.
    if (!blockName.empty()) blocks_.try_emplace(blockName, block);
    in = In::Nothing;
  };
  for (std::int32_t k = 0; k + 1 < n; k += 2) {
    const int g = GroupCode(Trim(dxf[static_cast<std::size_t>(k)]));
    const std::string_view v = Trim(dxf[static_cast<std::size_t>(k) + 1]);
    if (g == 0) {
      endRecord(k - 1);
      if (in == In::End) {
        endBlock(k - 1);
      } else if (in == In::Header) {
        block.members = k;
        in = In::Members;
      }
    }
    if (g == 0 && v == "SECTION") expectName = true;
    if (g == 2 && expectName) section = v, expectName = false;
    if (g == 0 && v == "ENDSEC") section = {}, in = In::Nothing;
    if (section == "TABLES") {
      if (g == 0 && v == "BLOCK_RECORD") recordFrom = k;
      if (g == 2 && recordFrom >= 0 && recordName.empty()) recordName = v;
    } else if (section == "BLOCKS") {
      if (g == 0 && v == "BLOCK") {
        block = BlockLines{};
        block.from = k;
        blockName.clear();
        in = In::Header;
      } else if (g == 2 && in == In::Header && blockName.empty()) {
        blockName = v;
      } else if (g == 0 && v == "ENDBLK" && in == In::Members) {
        block.endblk = k;
        in = In::End;
      }
    }
  }
  if (in == In::End) endBlock(n - 1);
  for (const auto& [name, lines] : records)
    if (const auto it = blocks_.find(name); it != blocks_.end())
      it->second.recordFrom = lines.first, it->second.recordTo = lines.second;
  for (const auto& [name, lines] : blocks_) {
    if (name.size() < 3 || name[0] != '*' || name[1] != 'D') continue;
    std::int64_t number = 0;
    const auto r = std::from_chars(name.data() + 2, name.data() + name.size(), number);
    if (r.ec == std::errc() && r.ptr == name.data() + name.size() && number > lastNumber_) lastNumber_ = number;
  }
}

const BlockLines* BlockIndex::find(std::string_view name) {
  index();
  const auto it = blocks_.find(std::string(name));
  return it == blocks_.end() ? nullptr : &it->second;
}

int BlockIndex::references(std::string_view name) {
  if (!counted_) {
    counted_ = true;
    for (const tpoly& p : d_.polys) {
      if (p.extrakind == ExtraKind::Dimension) ++references_[std::string(d_.dimensionblock(p))];
      if (p.insertstrpresent) ++references_[std::string(d_.insertstr(p))];
    }
  }
  const auto it = references_.find(std::string(name));
  return it == references_.end() ? 0 : it->second;
}

std::string BlockIndex::newDimensionName() {
  index();
  std::string name;
  do name = "*D" + std::to_string(++lastNumber_);
  while (blocks_.count(name));
  return name;
}

}  // namespace vestrel
