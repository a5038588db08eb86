// Where each of many keys (hashes of headings) is first and last found,
// by candidate: one flat table of open addressing that doubles when half
// full, so that a key costs a few bytes and no allocation of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tovane {

class KeyPlaces {
public:
    static constexpr std::uint32_t kNowhere = 0xFFFFFFFF;

    KeyPlaces();

    // `key` is found at `place`; places come in rising order.
    void see(std::uint64_t key, std::uint32_t place);
    // Its first and last place, or kNowhere; and how often it was seen.
    std::uint32_t first(std::uint64_t key) const;
    std::uint32_t last(std::uint64_t key) const;
    std::uint32_t count(std::uint64_t key) const;

private:
    struct Slot {
        std::uint64_t key = 0;  // 0: empty
        std::uint32_t first = kNowhere;
        std::uint32_t last = kNowhere;
        std::uint32_t count = 0;
    };
    const Slot* find(std::uint64_t key) const;
    void grow();

    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
    std::size_t used_ = 0;
};

}  // namespace tovane
