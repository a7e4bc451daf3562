// A list of hooked event handlers.
#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

// Handlers are hooked with the object that owns them (the receiver) and are
// called in the order they were hooked. A handler hooked or unhooked while the
// event is being delivered takes effect from the next delivery, so handlers may
// unhook themselves safely.
//
//     re.OnGrepping.Hook(this, [this](RegularExpression* re, const REMatchList& m,
//                                     unsigned line, unsigned lineStart, bool& more) { ... });
//     re.Grep();
//     re.OnGrepping.Unhook(this);
template <class... Args>
class REEvent {
public:
    using Handler = std::function<void(Args...)>;

    REEvent() = default;
    // Handlers belong to one object: copies start empty.
    REEvent(const REEvent&) {}
    REEvent& operator=(const REEvent&) { return *this; }

    void Hook(const void* receiver, Handler handler)
    {
        if (handler)
            m_entries.push_back(std::make_shared<const Entry>(Entry{receiver, std::move(handler)}));
    }

    // Removes every handler hooked by receiver.
    void Unhook(const void* receiver)
    {
        // Written for C++17, the oldest standard a client of the library may use.
        m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                       [receiver](const auto& e) { return e->receiver == receiver; }),
                        m_entries.end());
    }

    void Clear() { m_entries.clear(); }
    bool Empty() const { return m_entries.empty(); }
    std::size_t Size() const { return m_entries.size(); }

    // Calls every hooked handler in order with the same arguments.
    void operator()(Args... args) const
    {
        if (m_entries.size() == 1) {
            const auto keep = m_entries.front();
            keep->handler(std::forward<Args>(args)...);
            return;
        }
        const auto snapshot = m_entries;
        for (const auto& e : snapshot)
            e->handler(args...);
    }

private:
    struct Entry {
        const void* receiver;
        Handler handler;
    };
    std::vector<std::shared_ptr<const Entry>> m_entries;
};
