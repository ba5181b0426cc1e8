#pragma once

#include <memory>

#include "eventview/eventlists.h"

namespace vek {

// The lists of a view through the engine it shares with every other view whose options
// decide the same lists: one of them builds after a change, the others take that build
// as long as the event table has not changed since.
class SharedLists final : public ListBuilder
{
public:
    SharedLists() = default;
    ~SharedLists() override;
    SharedLists(const SharedLists &) = delete;
    SharedLists &operator=(const SharedLists &) = delete;

    EventLists build(const ViewOptions &options) override;

    struct Shared;

private:
    std::shared_ptr<Shared> m_shared;
};

} // namespace vek
