#include "split/chapters/key_places.h"

namespace tovane {

namespace {

// Keys are hashes already; 0 marks an empty slot, so a key of 0 is kept as 1.
std::uint64_t stored(std::uint64_t key) {
    return key == 0 ? 1 : key;
}

// The slot a key starts looking at: its bits spread by a multiply, the
// high ones taken.
std::size_t home(std::uint64_t key, std::size_t mask) {
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 32) & mask;
}

}  // namespace

KeyPlaces::KeyPlaces() : slots_(64), mask_(slots_.size() - 1) {}

void KeyPlaces::see(std::uint64_t key, std::uint32_t place) {
    key = stored(key);
    for (std::size_t at = home(key, mask_);; at = (at + 1) & mask_) {
        Slot& slot = slots_[at];
        if (slot.key == key) {
            slot.last = place;
            ++slot.count;
            return;
        }
        if (slot.key == 0) {
            slot = {key, place, place, 1};
            if (2 * ++used_ > slots_.size()) grow();
            return;
        }
    }
}

void KeyPlaces::grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    mask_ = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.key == 0) continue;
        std::size_t at = home(slot.key, mask_);
        while (slots_[at].key != 0) at = (at + 1) & mask_;
        slots_[at] = slot;
    }
}

const KeyPlaces::Slot* KeyPlaces::find(std::uint64_t key) const {
    key = stored(key);
    for (std::size_t at = home(key, mask_);; at = (at + 1) & mask_) {
        const Slot& slot = slots_[at];
        if (slot.key == key) return &slot;
        if (slot.key == 0) return nullptr;
    }
}

std::uint32_t KeyPlaces::first(std::uint64_t key) const {
    const Slot* slot = find(key);
    return slot == nullptr ? kNowhere : slot->first;
}

std::uint32_t KeyPlaces::count(std::uint64_t key) const {
    const Slot* slot = find(key);
    return slot == nullptr ? 0 : slot->count;
}

std::uint32_t KeyPlaces::last(std::uint64_t key) const {
    const Slot* slot = find(key);
    return slot == nullptr ? kNowhere : slot->last;
}

}  // namespace tovane
