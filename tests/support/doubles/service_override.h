#pragma once

namespace platterly::ui {

// Installs a stand-in for a process-wide service of platform/ui for the life of the guard,
// through the service's setter (which returns the one installed before), then puts back the
// one that was installed before.
template <typename Service, Service* (*install)(Service*)>
class ServiceOverride
{
public:
    explicit ServiceOverride(Service& replacement) : m_previous(install(&replacement)) {}
    ~ServiceOverride() { install(m_previous); }
    ServiceOverride(const ServiceOverride&) = delete;
    ServiceOverride& operator=(const ServiceOverride&) = delete;

private:
    Service* m_previous;
};

} // namespace platterly::ui
