// GBK's two-byte characters as Unicode, read once from the system's own
// converter (iconv, or Windows code page 936) into a table, so that a line
// is decoded without a call into the converter for each character.
#pragma once

namespace tovane {

// The character GBK writes as `lead` `trail`; U+FFFD when it has none there.
char32_t gbkPair(unsigned char lead, unsigned char trail);

}  // namespace tovane
