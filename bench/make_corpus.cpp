// Writes a seeded Chinese novel-like text of a given size for the benchmark:
// GBK with CR LF endings, lines of varied length, some empty and a few very
// long ones, and a chapter heading (第N章) every 300 lines or so (the
// benchmark makes the UTF-8, UTF-16 and LF versions from it).
// The same seed gives the same bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct SplitMix64 {
    std::uint64_t state;
    std::uint64_t next() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::uint64_t below(std::uint64_t n) { return next() % n; }
};

// One GB2312 hanzi as GBK bytes.
void appendHanzi(SplitMix64& rng, std::string& out) {
    const auto lead = static_cast<char>(0xB0 + rng.below(0xD6 - 0xB0 + 1));  // fully assigned rows
    const auto trail = static_cast<char>(0xA1 + rng.below(0xFE - 0xA1 + 1));
    out += lead;
    out += trail;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_corpus OUTPUT MEBIBYTES [SEED]\n");
        return 2;
    }
    const std::uint64_t target = std::strtoull(argv[2], nullptr, 10) << 20;
    SplitMix64 rng{argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 20261207};
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    std::string chunk;
    std::uint64_t written = 0;
    const char* punctuation = ",.!?;:";
    std::uint64_t chapter = 0;
    while (written + chunk.size() < target) {
        const std::uint64_t roll = rng.below(10000);
        if (roll >= 9967) {
            chunk += "\xB5\xDA" + std::to_string(++chapter) + "\xD5\xC2 ";  // 第N章
            for (int i = 0; i < 6; ++i) appendHanzi(rng, chunk);
            chunk += "\r\n";
            continue;
        }
        std::uint64_t characters;
        if (roll < 200) {
            characters = 0;  // an empty line between paragraphs
        } else if (roll < 202) {
            characters = 50000 + rng.below(400000);  // a very long line
        } else {
            characters = 10 + rng.below(190);
        }
        for (std::uint64_t i = 0; i < characters; ++i) {
            if (rng.below(12) == 0) {
                chunk += punctuation[rng.below(6)];
            } else {
                appendHanzi(rng, chunk);
            }
        }
        chunk += "\r\n";
        if (chunk.size() >= (1u << 20)) {
            std::fwrite(chunk.data(), 1, chunk.size(), out);
            written += chunk.size();
            chunk.clear();
        }
    }
    // Whole lines only: the file ends with its last line's CR LF, just past the size asked.
    std::fwrite(chunk.data(), 1, chunk.size(), out);
    return std::fclose(out) == 0 ? 0 : 1;
}
