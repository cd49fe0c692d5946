#pragma once

#include <cstdint>
#include <functional>

namespace platterly::catalogue {

// An orderly end of the program. Open resources (catalogue connections, open files) register
// how they are closed; quitting closes them all before the windows go and the event loop ends,
// so nothing is left half written however the program is ended.

// Keeps a close action registered while it lives; destroying or resetting it takes the action
// out again, for a resource that was closed in the ordinary way.
class CloseRegistration
{
public:
    CloseRegistration() = default;
    CloseRegistration(CloseRegistration&& other) noexcept;
    CloseRegistration& operator=(CloseRegistration&& other) noexcept;
    CloseRegistration(const CloseRegistration&) = delete;
    CloseRegistration& operator=(const CloseRegistration&) = delete;
    ~CloseRegistration();

    // Takes the action out of the registry now.
    void reset();
    bool isRegistered() const { return m_id != 0; }

private:
    friend CloseRegistration registerCloseAction(std::function<void()> close);
    explicit CloseRegistration(std::uint64_t id) : m_id(id) {}

    std::uint64_t m_id = 0;
};

// Registers how to close one open resource.
[[nodiscard]] CloseRegistration registerCloseAction(std::function<void()> close);

// Runs every registered close action once, the most recently registered first, and empties
// the registry. An action may register or unregister others while it runs; actions registered
// meanwhile are run too.
void CloseAllFiles();

// How the window layer closes all its windows; an empty function removes it.
void setUnloadAllForms(std::function<void()> unloadAll);

// Closes all windows through the function given to setUnloadAllForms, if any.
void UnloadAllForms();

// Ends the program: CloseAllFiles(), then UnloadAllForms(), then the application's event loop
// is told to quit.
void QuitProgram();

} // namespace platterly::catalogue
