#include "pdf/writer/Pagora.h"

#include "pdf/writer/members.h"

namespace pagora {

Pagora::Pagora(std::shared_ptr<PagoraHost> host) : m_(std::make_unique<Members>()) {
    m_->host = host ? std::move(host) : DefaultHost();
}

Pagora::~Pagora() = default;

}  // namespace pagora
