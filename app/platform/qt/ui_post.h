// Hands work to the user-interface thread through the application's event queue.
#pragma once

#include "app/platform/http.h"

namespace kerbolt {

// Posts each task as a queued call on the application object: it runs on the
// user-interface thread once the handler running there now has returned.
PostToUi QtPostToUi();

} // namespace kerbolt
