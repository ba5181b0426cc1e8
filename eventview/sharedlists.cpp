#include "sharedlists.h"

#include <algorithm>
#include <vector>

#include "core/eventtable.h"
#include "core/receivestate.h"
#include "platform/clock.h"

namespace vek {

namespace {

// The options decide the same lists: the lock mode changes columns only, and the date
// counts only for the date filter.
bool sameLists(const ViewOptions &a, const ViewOptions &b)
{
    return a.showHE == b.showHE && a.filter == b.filter && a.sortCol == b.sortCol &&
           a.heName == b.heName && (a.filter != FilterDate || a.pickerDate == b.pickerDate);
}

} // namespace

struct SharedLists::Shared
{
    ViewOptions options;
    EventListEngine engine;
    // The last build and what it read: the table's stamps, the day and the minutes of
    // "less than".
    EventLists last;
    bool built = false;
    quint64 stamp = 0;
    quint64 clearedAt = 0;
    QDate today;
    qint16 lessThan = 0;

    bool lastHolds() const
    {
        return built && stamp == Events().lastStamp() && clearedAt == Events().clearedAt() &&
               today == Clock::today() && lessThan == LessThanMinutes();
    }
};

namespace {

std::vector<std::weak_ptr<SharedLists::Shared>> &allShared()
{
    static std::vector<std::weak_ptr<SharedLists::Shared>> all;
    return all;
}

} // namespace

SharedLists::~SharedLists() = default;

EventLists SharedLists::build(const ViewOptions &options)
{
    if (!m_shared || !sameLists(m_shared->options, options)) {
        std::vector<std::weak_ptr<Shared>> &all = allShared();
        std::erase_if(all, [](const std::weak_ptr<Shared> &w) { return w.expired(); });
        std::shared_ptr<Shared> own = std::move(m_shared);
        for (const std::weak_ptr<Shared> &w : all) {
            std::shared_ptr<Shared> s = w.lock();
            if (s && s != own && sameLists(s->options, options)) {
                m_shared = std::move(s);
                break;
            }
        }
        if (!m_shared && own && own.use_count() == 1) {
            // No other view reads these lists: the engine goes on with the new options and
            // what it has read (a re-sort or a new filter), rather than a first build.
            m_shared = std::move(own);
            m_shared->options = options;
            m_shared->built = false;
        } else if (!m_shared) {
            m_shared = std::make_shared<Shared>();
            m_shared->options = options;
            all.push_back(m_shared);
        }
    }
    Shared &s = *m_shared;
    if (!s.lastHolds()) {
        s.last = s.engine.build(options);
        s.built = true;
        s.stamp = Events().lastStamp();
        s.clearedAt = Events().clearedAt();
        s.today = Clock::today();
        s.lessThan = LessThanMinutes();
    }
    return s.last;
}

} // namespace vek
