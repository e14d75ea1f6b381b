// The points a reduction knows by name, and the stores of the names and codes it keeps:
// the reduction's own, as an input's strings are gone once their setup is reduced.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace stadix::reduction {

// An index among the names of one input, or what is counted by them; an input holds
// fewer than 2^31 names (KnownPoints checks).
using NameIndex = std::uint32_t;
constexpr NameIndex kNoIndex = std::numeric_limits<NameIndex>::max();
constexpr std::size_t kMostNames = std::size_t{1} << 31;

// A text kept in a TextStore.
struct TextRef {
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
};

// Texts one after the other in one string: a name or code costs its characters only.
class TextStore {
  public:
    TextRef Add(std::string_view text) {
        if (text_.size() + text.size() > std::numeric_limits<std::uint32_t>::max())
            throw std::length_error("too many point names");
        const TextRef ref{static_cast<std::uint32_t>(text_.size()),
                          static_cast<std::uint32_t>(text.size())};
        text_ += text;
        return ref;
    }
    std::string_view At(TextRef ref) const {
        return std::string_view(text_).substr(ref.offset, ref.size);
    }

  private:
    std::string text_;
};

// What the reduction knows of a point by its name: the coordinates a station's or
// backsight's record gives, which come before those a given point gives; its entry among
// the computed points, whose setups so far give its mean; whether a record line of that
// name is written; and whether a station or backsight asked for its coordinates. Kept
// small: there is one for nearly every observation.
struct KnownPoint {
    NameIndex recorded = kNoIndex; // index into the given positions
    NameIndex given = kNoIndex;    // index into the given positions
    NameIndex computed = kNoIndex; // index into the computed points, once computed
    bool listed = false;
    bool askedFor = false;
    NameIndex Given() const { return recorded != kNoIndex ? recorded : given; }
};

// The points known by name, each name once. Open addressing over a table kept at least
// twice as large as the names, so that a name is found in about one probe: an input
// holds a new name in nearly every observation. The slots are kept small, as the table
// is read at random.
class KnownPoints {
  public:
    KnownPoints() { Resize(1024); }
    // Makes room for that many names at once.
    void Reserve(std::size_t names) {
        if (names >= kMostNames)
            throw std::length_error("too many point names");
        std::size_t size = slots_.size();
        while (size < 2 * names)
            size *= 2;
        if (size > slots_.size())
            Resize(size);
        names_.reserve(names);
        points_.reserve(names);
    }
    // The index of the name's point, added when the name is new.
    NameIndex IndexOf(std::string_view name) {
        const std::size_t hash = Hash(name);
        std::size_t at = SlotOf(name, hash);
        if (slots_[at].point != kNoIndex)
            return slots_[at].point;
        if (2 * (points_.size() + 1) > slots_.size()) {
            if (points_.size() + 1 >= kMostNames)
                throw std::length_error("too many point names");
            Resize(2 * slots_.size());
            at = SlotOf(name, hash);
        }
        slots_[at] = {static_cast<std::uint32_t>(hash), static_cast<NameIndex>(points_.size())};
        names_.push_back(text_.Add(name));
        points_.emplace_back();
        return slots_[at].point;
    }
    KnownPoint& At(NameIndex index) { return points_[index]; }
    const KnownPoint& At(NameIndex index) const { return points_[index]; }
    std::string_view NameOf(NameIndex index) const { return text_.At(names_[index]); }
    std::size_t Count() const { return points_.size(); }
    // Asks for the slot where the name is looked for first, ahead of the lookup, so that
    // walking a long list of names does not wait on memory at every name.
    void Prefetch(std::string_view name) const {
#if defined(__GNUC__) || defined(__clang__)
        __builtin_prefetch(&slots_[Hash(name) & (slots_.size() - 1)]);
#else
        (void)name;
#endif
    }

  private:
    struct Slot {
        std::uint32_t hash; // the low bits of the name's hash
        NameIndex point;    // kNoIndex: an empty slot
    };

    static std::size_t Hash(std::string_view name) {
        return std::hash<std::string_view>()(name);
    }

    // The slots anew at that size, each name where its hash puts it.
    void Resize(std::size_t size) {
        std::vector<Slot> old(size, {0, kNoIndex});
        old.swap(slots_);
        const std::size_t mask = size - 1;
        for (const Slot& slot : old) {
            if (slot.point == kNoIndex)
                continue;
            std::size_t at = slot.hash & mask;
            while (slots_[at].point != kNoIndex)
                at = (at + 1) & mask;
            slots_[at] = slot;
        }
    }

    // The slot that holds the name, or the empty one where it goes.
    std::size_t SlotOf(std::string_view name, std::size_t hash) const {
        const std::size_t mask = slots_.size() - 1;
        const auto tag = static_cast<std::uint32_t>(hash);
        std::size_t at = hash & mask;
        while (slots_[at].point != kNoIndex &&
               (slots_[at].hash != tag || NameOf(slots_[at].point) != name))
            at = (at + 1) & mask;
        return at;
    }

    std::vector<Slot> slots_;
    TextStore text_;
    std::vector<TextRef> names_;
    std::vector<KnownPoint> points_;
};

} // namespace stadix::reduction
