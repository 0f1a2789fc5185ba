#include "pdf/import/source_records.h"

#include "pdf/import/reader_errors.h"

#include <algorithm>
#include <utility>

namespace pagora::detail {

const SourceXrefRecord* SourceXrefTable::Find(std::int32_t number) const {
    if (number < 0) return nullptr;
    const auto index = static_cast<std::size_t>(number);
    if (index < dense_.size()) return &dense_[index];
    const auto found = sparse_.find(number);
    return found == sparse_.end() ? nullptr : &found->second;
}

SourceXrefRecord* SourceXrefTable::FindMutable(std::int32_t number) {
    return const_cast<SourceXrefRecord*>(std::as_const(*this).Find(number));
}

SourceXrefRecord& SourceXrefTable::Slot(std::int32_t number) {
    if (number < 0 || number > kMaxSourceObjects) {
        RaiseError(kErrInvalidFileFormat, "GetInfo");
    }
    const auto index = static_cast<std::size_t>(number);
    if (index < dense_.size()) return dense_[index];
    // The dense part grows only as far as the entries actually read justify, so a section that
    // names one object near the limit costs one record, not millions.
    const std::size_t reach = 2 * listed_count_ + 4096;
    if (index < reach) {
        // Doubling keeps the moves below rare; records kept aside while the dense part was
        // shorter move into it.
        const std::size_t size = std::min(reach, std::max(index + 1, 2 * dense_.size()));
        dense_.resize(size);
        for (auto it = sparse_.begin(); it != sparse_.end();) {
            const auto moved = static_cast<std::size_t>(it->first);
            if (moved < size) {
                dense_[moved] = it->second;
                it = sparse_.erase(it);
            } else {
                ++it;
            }
        }
        return dense_[index];
    }
    return sparse_[number];
}

void SourceXrefTable::DeclareUpperBound(std::int64_t bound) {
    upper_bound_ = std::clamp<std::int64_t>(std::max(upper_bound_, bound), 0, kMaxSourceObjects);
}

} // namespace pagora::detail
