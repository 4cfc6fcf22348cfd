#include "status_update_sequence.hpp"

#include <unistd.h>

#include <cstdio>

#include "config_lookup.hpp"
#include "status_slot.hpp"
#include "wlan_info.hpp"

namespace uws {

// Statuses are not examined: each operation has printed its own failure, and
// every later step still has its work to do. Standard output is left to its
// default buffering and written at exit.
int status_update_sequence() {
    std::puts("update wlan status");

    // Zero-filled, so a missing key or an unreadable file leaves an empty name.
    config_value name{};
    config_lookup(NETWORK_NAME_KEY, name);

    status_slot_open(UPDATE_EVENT_CODE, UPDATE_EVENT_ARGUMENT, UPDATE_STATUS_SLOT);
    wlan_info_publish(name.data(), WLAN_MODE_VALUE);

    // Nothing is held open across the wait.
    ::sleep(UPDATE_WAIT_SECONDS);

    status_slot_close(UPDATE_STATUS_SLOT, UPDATE_STATE_FINISHED, UPDATE_RESULT);
    update_flag_set(UPDATE_FLAG_VALUE);
    return 0;
}

}  // namespace uws
