#include "live_objects.h"

#include <atomic>

namespace simhost {

namespace {

std::atomic<long> live_objects{0};

} // namespace

live_object::live_object() noexcept { ++live_objects; }
live_object::live_object(const live_object&) noexcept { ++live_objects; }
live_object::~live_object() { --live_objects; }

long live_object_count() noexcept { return live_objects.load(); }

} // namespace simhost
