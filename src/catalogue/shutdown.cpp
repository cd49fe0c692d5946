#include "catalogue/shutdown.h"

#include <QCoreApplication>
#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

namespace platterly::catalogue {

namespace {

struct CloseAction
{
    std::uint64_t id;
    std::function<void()> close;
};

// Resources may be opened on worker threads, so the registry is guarded. Actions run with the
// lock released: a close action may well destroy its own registration.
struct Registry
{
    std::mutex mutex;
    std::vector<CloseAction> actions; // in the order of registration
    std::uint64_t lastId = 0;
    std::function<void()> unloadAllForms;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

void unregister(std::uint64_t id)
{
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    std::erase_if(r.actions, [id](const CloseAction& action) { return action.id == id; });
}

} // namespace

CloseRegistration::CloseRegistration(CloseRegistration&& other) noexcept
    : m_id(std::exchange(other.m_id, 0))
{
}

CloseRegistration& CloseRegistration::operator=(CloseRegistration&& other) noexcept
{
    if (this != &other) {
        reset();
        m_id = std::exchange(other.m_id, 0);
    }
    return *this;
}

CloseRegistration::~CloseRegistration()
{
    reset();
}

void CloseRegistration::reset()
{
    if (m_id != 0)
        unregister(std::exchange(m_id, 0));
}

CloseRegistration registerCloseAction(std::function<void()> close)
{
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    const std::uint64_t id = ++r.lastId;
    r.actions.push_back({id, std::move(close)});
    return CloseRegistration(id);
}

void CloseAllFiles()
{
    Registry& r = registry();
    for (;;) {
        std::function<void()> close;
        {
            const std::lock_guard lock(r.mutex);
            if (r.actions.empty())
                return;
            close = std::move(r.actions.back().close);
            r.actions.pop_back();
        }
        if (close)
            close();
    }
}

void setUnloadAllForms(std::function<void()> unloadAll)
{
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    r.unloadAllForms = std::move(unloadAll);
}

void UnloadAllForms()
{
    std::function<void()> unloadAll;
    {
        Registry& r = registry();
        const std::lock_guard lock(r.mutex);
        unloadAll = r.unloadAllForms;
    }
    if (unloadAll)
        unloadAll();
}

void QuitProgram()
{
    CloseAllFiles();
    UnloadAllForms();
    QCoreApplication::quit();
}

} // namespace platterly::catalogue
