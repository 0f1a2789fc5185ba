#include "app/platform/config.h"

namespace kerbolt {

const ServerConfig& DefaultServerConfig() {
    static const ServerConfig config;
    return config;
}

} // namespace kerbolt
