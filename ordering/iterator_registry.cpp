#include "iterator_registry.h"

#include "com/error.h"

#include <vector>

namespace ordering {

iterator_registry::iterator_registry() : iterators_(make_empty()) {}

void iterator_registry::add(IUnknown* iterator, com::com_ptr<IKSQIteratorNotify> notify)
{
    iterators_->add(common::object_key(iterator), std::move(notify));
}

void iterator_registry::remove(IUnknown* iterator)
{
    const common::object_key key(iterator);
    if (iterators_->exists(key)) iterators_->remove(key);
}

void iterator_registry::clear() { iterators_ = make_empty(); }

void iterator_registry::notify_all(long code) const
{
    // The round works on a copy, so that whatever a Notify call does to the
    // registry cannot disturb it.
    std::vector<com::com_ptr<IKSQIteratorNotify>> recipients;
    recipients.reserve(iterators_->count());
    iterators_->for_each([&](const common::object_key&, const com::com_ptr<IKSQIteratorNotify>& iterator) {
        recipients.push_back(iterator);
    });
    for (const auto& iterator : recipients)
        com::check(iterator->Notify(code), iterator.get());
}

} // namespace ordering
