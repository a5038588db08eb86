// The two-byte codes GBK and Big5 share: a lead byte 0x81..0xFE and a trail
// byte 0x40..0xFE but 0x7F, kept in tables of 190 trails a lead.
#pragma once

namespace tovane::double_byte {

inline constexpr unsigned kTrails = 190;

constexpr bool isLead(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}
constexpr bool isTrail(unsigned char c) {
    return c >= 0x40 && c <= 0xFE && c != 0x7F;
}
// The place of the code `lead` `trail` in such a table.
constexpr unsigned placeOf(unsigned char lead, unsigned char trail) {
    return (lead - 0x81u) * kTrails + (trail < 0x7F ? trail - 0x40u : trail - 0x41u);
}
// The trail byte at `column` of a lead's row.
constexpr unsigned trailAt(unsigned column) {
    return column < 0x3F ? 0x40 + column : 0x41 + column;
}

}  // namespace tovane::double_byte
