// State of the content subsystem: graphic state, colours, position, images and the content being built.
#pragma once

namespace pagora::detail {

struct ContentState {};

}  // namespace pagora::detail
