// The stream encoders that WriteStream applies. None is available yet: a chosen encoder is not
// applied and its filter is not named.
#include "pdf/writer/writer.h"

namespace pagora::detail {

bool ApplyStreamEncoder(StreamEncoder encoder, std::string& data, int level) {
    (void)encoder;
    (void)data;
    (void)level;
    return false;
}

} // namespace pagora::detail
