#include "document/journal.h"

#include <algorithm>
#include <map>

namespace vestrel {

ChangeStep::ChangeStep(Journal& j, LineList& dxf) : j_(j), dxf_(dxf), index_(j.undos.size()) {
  if (j.listener) j.listener->StepBegun();
  j.redos.clear();
  j.undos.emplace_back();
}

void ChangeStep::insert(std::int32_t at, const std::vector<std::string>& lines) {
  if (j_.listener) j_.listener->Inserted(at, lines);
  step().actions.push_back({0, at, static_cast<std::int32_t>(lines.size()), 0, {}});
  dxf_.insert(static_cast<std::size_t>(at), lines);
}

void ChangeStep::insert(const std::vector<LineList::Insertion>& insertions) {
  recordInsertions(insertions);
  dxf_.insert(insertions);
}

void ChangeStep::recordInsertions(const std::vector<LineList::Insertion>& insertions) {
  // The last place first; at one place the last given first, so that they
  // stand in the order given.
  std::vector<std::size_t> order(insertions.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return insertions[a].at != insertions[b].at ? insertions[a].at > insertions[b].at : a > b;
  });
  for (const std::size_t i : order) {
    if (j_.listener) j_.listener->Inserted(static_cast<std::int32_t>(insertions[i].at), *insertions[i].lines);
    step().actions.push_back(
        {0, static_cast<std::int32_t>(insertions[i].at), static_cast<std::int32_t>(insertions[i].lines->size()), 0, {}});
  }
}

void InsertSteps(Journal& j, LineList& dxf, const std::vector<std::vector<LineList::Insertion>>& steps) {
  // The lines the steps so far put at each place.
  std::map<std::size_t, std::size_t> before;
  std::vector<LineList::Insertion> all, now;
  for (const std::vector<LineList::Insertion>& insertions : steps) {
    // Where each place stands after the steps before: moved by what they
    // put at it and before it.
    std::vector<std::size_t> order(insertions.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return insertions[a].at < insertions[b].at; });
    now = insertions;
    std::size_t moved = 0;
    auto next = before.begin();
    for (const std::size_t i : order) {
      for (; next != before.end() && next->first <= insertions[i].at; ++next) moved += next->second;
      now[i].at += moved;
    }
    ChangeStep(j, dxf).recordInsertions(now);
    for (const LineList::Insertion& i : insertions) {
      before[i.at] += i.lines->size();
      all.push_back(i);
    }
  }
  dxf.insert(std::move(all));
}

void ChangeStep::overwrite(std::int32_t at, std::string_view text) {
  if (j_.listener) j_.listener->Overwritten(at, text);
  step().actions.push_back({2, at, 1, 0, {std::string(dxf_[static_cast<std::size_t>(at)])}});
  dxf_.replace(static_cast<std::size_t>(at), text);
}

void ChangeStep::erase(std::int32_t at, std::int32_t count) {
  if (j_.listener) j_.listener->Erased(at, count);
  step().actions.push_back(
      {1, at, count, 0, dxf_.copy(static_cast<std::size_t>(at), static_cast<std::size_t>(count))});
  dxf_.erase(static_cast<std::size_t>(at), static_cast<std::size_t>(count));
}

void ChangeStep::splice(const std::vector<LineList::Splice>& splices) {
  for (auto s = splices.rbegin(); s != splices.rend(); ++s) {
    const auto at = static_cast<std::int32_t>(s->at);
    if (s->erase > 0) {
      const auto count = static_cast<std::int32_t>(s->erase);
      if (j_.listener) j_.listener->Erased(at, count);
      step().actions.push_back({1, at, count, 0, dxf_.copy(s->at, s->erase)});
    }
    if (s->lines && !s->lines->empty()) {
      if (j_.listener) j_.listener->Inserted(at, *s->lines);
      step().actions.push_back({0, at, static_cast<std::int32_t>(s->lines->size()), 0, {}});
    }
  }
  dxf_.splice(splices);
}

// Each splice is undone in the list as it stood right after it, so the
// step goes backwards from its last splice to its first, and forwards again
// for a redo. A step keeps the lines that are not in the document: taken
// back, an insertion keeps the lines it takes out and an overwrite the text
// it replaces; done again, a deletion keeps its lines again.
//
// The splices are played in as few passes over the lines as their order
// allows: a run of them each wholly after the one before (as the lines
// stand after it) or each wholly before it is one pass, so that the undo
// of an edit of every object costs what the edit cost.
namespace {

// What playing an action does: takes `erase` lines out at its start (they
// become its texts) and puts its texts in, or not.
struct Play {
  taction* action;
  std::size_t at;  // in the lines as they stand before the pass
  std::size_t erase;
  bool puts;
  std::size_t put() const { return puts ? action->ustrs.size() : 0; }
};

Play Played(taction& a, bool backwards) {
  const auto at = static_cast<std::size_t>(a.start), len = static_cast<std::size_t>(a.len);
  switch (a.typ) {
    case 0: return backwards ? Play{&a, at, len, false} : Play{&a, at, 0, true};
    case 1: return backwards ? Play{&a, at, 0, true} : Play{&a, at, len, false};
    default: return Play{&a, at, a.ustrs.empty() ? std::size_t{0} : std::size_t{1}, !a.ustrs.empty()};  // an overwrite swaps its two texts
  }
}

class Pass {
 public:
  explicit Pass(LineList& dxf) : dxf_(dxf) {}

  // Plays `p` (its place as the lines stand after those added before), in
  // this pass when it can; what is added is played at the latest by flush().
  void add(Play p) {
    if (p.erase == 0 && p.put() == 0) return void(p.action->ustrs.clear());
    if (!plays_.empty()) {
      const std::size_t at = p.at;
      if (order_ != Order::Down && at >= last_ + lastPut_) {
        order_ = Order::Up;
        p.at = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(at) - shift_);
      } else if (order_ != Order::Up && at + p.erase <= last_) {
        order_ = Order::Down;
      } else {
        flush();
      }
      last_ = at;
    } else {
      last_ = p.at;
    }
    lastPut_ = p.put();
    shift_ += static_cast<std::ptrdiff_t>(p.put()) - static_cast<std::ptrdiff_t>(p.erase);
    plays_.push_back(p);
  }

  void flush() {
    if (plays_.empty()) return;
    if (order_ == Order::Down) std::reverse(plays_.begin(), plays_.end());
    // Overwrites alone move no line: each swaps its text in place, the
    // line it takes out kept in the room of the text it puts.
    if (shift_ == 0 && std::all_of(plays_.begin(), plays_.end(), [](const Play& p) { return p.erase == 1 && p.put() == 1; })) {
      std::string now;
      for (const Play& p : plays_) {
        std::string& text = p.action->ustrs.front();
        now.assign(dxf_[p.at]);
        dxf_.replace(p.at, text);
        text.assign(now);
      }
      plays_.clear();
      order_ = Order::Any;
      return;
    }
    // The lines taken out, one after another, kept until the actions take
    // them over in the texts they hold (an overwrite in the room of the
    // text it puts back).
    taken_.clear();
    ends_.clear();
    splices_.clear();
    for (const Play& p : plays_) {
      for (std::size_t i = p.at; i < p.at + p.erase; ++i) {
        taken_.append(dxf_[i]);
        ends_.push_back(taken_.size());
      }
      splices_.push_back({p.at, p.erase, p.puts ? &p.action->ustrs : nullptr});
    }
    dxf_.splice(splices_);
    std::size_t line = 0;
    for (const Play& p : plays_) {
      std::vector<std::string>& texts = p.action->ustrs;
      texts.resize(p.erase);
      for (std::string& t : texts) {
        const std::size_t from = line == 0 ? 0 : ends_[line - 1];
        t.assign(taken_, from, ends_[line++] - from);
      }
    }
    plays_.clear();
    order_ = Order::Any;
    shift_ = 0;
  }

 private:
  enum class Order { Any, Up, Down };
  LineList& dxf_;
  std::vector<Play> plays_;
  Order order_ = Order::Any;
  std::ptrdiff_t shift_ = 0;  // what the pass puts in less what it takes out
  std::size_t last_ = 0, lastPut_ = 0;  // where the last play stands now, and what it puts
  std::string taken_;
  std::vector<std::size_t> ends_;
  std::vector<LineList::Splice> splices_;
};

}  // namespace

bool UndoLastStep(Journal& j, LineList& dxf) {
  if (j.undos.empty()) return false;
  tundo& step = j.undos.back();
  if (j.listener) j.listener->Undoing(step);
  Pass pass(dxf);
  for (auto a = step.actions.rbegin(); a != step.actions.rend(); ++a) pass.add(Played(*a, true));
  pass.flush();
  j.redos.push_back(std::move(step));
  j.undos.pop_back();
  return true;
}

bool RedoLastStep(Journal& j, LineList& dxf) {
  if (j.redos.empty()) return false;
  tundo& step = j.redos.back();
  if (j.listener) j.listener->Redoing(step);
  Pass pass(dxf);
  for (taction& a : step.actions) pass.add(Played(a, false));
  pass.flush();
  j.undos.push_back(std::move(step));
  j.redos.pop_back();
  return true;
}

void OverwriteKept(Journal& j, LineList& dxf, std::size_t at, std::string_view text) {
  if (j.listener) j.listener->Kept(static_cast<std::int32_t>(at), text);
  dxf.replace(at, text);
}

}  // namespace vestrel
