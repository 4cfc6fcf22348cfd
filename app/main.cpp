// update_wlan_status: publishes the device's WLAN settings to the switch
// driver. Takes no arguments (any given are ignored) and always exits 0.
#include "status_update_sequence.hpp"

int main() {
    return uws::status_update_sequence();
}
