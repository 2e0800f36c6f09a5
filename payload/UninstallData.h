#pragma once
#include "core/String.h"
#include <cstdint>

// One extra value that the installation writes into the product's Uninstall entry.
struct UninstallData {
    String name;
    uint8_t type = 0;
    String value;
};
