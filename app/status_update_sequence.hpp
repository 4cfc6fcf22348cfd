// The program's one run, from "update wlan status" to the update flag.
#pragma once

#include <cstdint>

namespace uws {

inline constexpr const char* NETWORK_NAME_KEY = "TAVRINO SSID";
inline constexpr std::int16_t UPDATE_EVENT_CODE = 3;
inline constexpr std::int32_t UPDATE_EVENT_ARGUMENT = 0;
inline constexpr std::int32_t UPDATE_STATUS_SLOT = 0;
inline constexpr std::uint8_t WLAN_MODE_VALUE = 0;
inline constexpr unsigned UPDATE_WAIT_SECONDS = 5;
inline constexpr std::uint8_t UPDATE_STATE_FINISHED = 3;
inline constexpr std::int32_t UPDATE_RESULT = 0;
inline constexpr std::int32_t UPDATE_FLAG_VALUE = 1;

// Announces the run, reads the network name, opens status slot 0, publishes
// the WLAN block, waits five seconds, closes the slot and sets the update
// flag. A failing step prints its own line and the run goes on; the result
// is always 0, the program's exit status.
int status_update_sequence();

}  // namespace uws
