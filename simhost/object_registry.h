#pragma once
// The live objects of one class of the simulated host by COM identity, so that
// an interface pointer a caller hands back can be recognised as one of them.
// Each object adds itself when made and removes itself when destroyed.

#include <com/com_ptr.h>

#include <mutex>
#include <unordered_map>

namespace simhost {

template <class T> class object_registry {
public:
    void add(IUnknown* identity, T* object)
    {
        std::lock_guard guard(mutex_);
        objects_.emplace(identity, object);
    }

    void remove(IUnknown* identity) noexcept
    {
        std::lock_guard guard(mutex_);
        objects_.erase(identity);
    }

    // Calls `use` with the object behind `pointer` if it is one of them, while
    // it cannot be destroyed; false when it is not.
    template <class F> bool visit(IUnknown* pointer, F&& use)
    {
        const com::com_ptr<IUnknown> identity = com::identity_of(pointer);
        if (!identity) return false;
        std::lock_guard guard(mutex_);
        const auto found = objects_.find(identity.get());
        if (found == objects_.end()) return false;
        use(*found->second);
        return true;
    }

private:
    std::mutex mutex_;
    std::unordered_map<IUnknown*, T*> objects_; // guarded by mutex_
};

} // namespace simhost
