#pragma once
// The number of live simulated objects (services, host objects, collections and
// enumerators), which tests read to find objects the component leaks. Every such
// class holds a live_object member, through its base simulated<> (simulated.h).

namespace simhost {

class live_object {
public:
    live_object() noexcept;
    live_object(const live_object&) noexcept;
    live_object& operator=(const live_object&) noexcept = default;
    ~live_object();
};

long live_object_count() noexcept;

} // namespace simhost
