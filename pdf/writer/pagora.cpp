#include "pdf/writer/Pagora.h"

#include "pdf/writer/members.h"

namespace pagora {

Pagora::Pagora(std::shared_ptr<PagoraHost> host) : m_(std::make_unique<Members>()) {
    m_->host = host ? std::move(host) : DefaultHost();
    Abort();
}

// An output file still open is closed as it stands (the state's file handle owns it), so that
// dropping an unfinished document never leaks the handle.
Pagora::~Pagora() = default;

} // namespace pagora
