#pragma once
// The relay function codes a new setup gives the terminal card relays.

namespace RelayFunction {

constexpr int kStandbyMode = 46;         // terminal card relay K7 default
constexpr int kDiscGenBreaker = 66;      // terminal card relay K9 default

} // namespace RelayFunction
