#pragma once
// An insertion-ordered table with unique keys: every collection of the component.
// add, exists, find, item and remove take O(1) on average, keys O(n). Keys are texts
// (compared exactly: letter case, spaces and embedded NUL characters all count),
// 32-bit integers, or object identities (see object_key). A table is shared by
// reference between its owner and its iterators (std::shared_ptr), never copied.

#include <cassert>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace common {

// Hash and equality that let a text table be searched with a wstring_view.
// Deliberately not noexcept: an unordered_map may then keep each key's hash in
// its node (libstdc++ does), so that a lookup compares hashes instead of hashing
// every key it passes in a bucket again.
struct text_hash {
    using is_transparent = void;
    std::size_t operator()(std::wstring_view text) const { return std::hash<std::wstring_view>{}(text); }
};

template <class Key> struct key_traits {
    using hash = std::hash<Key>;
    using equal = std::equal_to<Key>;
};
template <> struct key_traits<std::wstring> {
    using hash = text_hash;
    using equal = std::equal_to<>;
};

// The failures of the table's own operations.
class duplicate_key : public std::logic_error {
public:
    duplicate_key() : std::logic_error("key exists") {}
};
class missing_key : public std::logic_error {
public:
    missing_key() : std::logic_error("no such key") {}
};

template <class Key, class Value> class keyed_table {
    // Each entry links to its neighbours in insertion order. Elements of an
    // unordered_map stay where they are while it rehashes, so the order costs
    // pointers rather than a second copy of the keys.
    struct entry {
        Value value;
        const Key* key = nullptr;
        entry* previous = nullptr;
        entry* next = nullptr;
    };
    using map = std::unordered_map<Key, entry, typename key_traits<Key>::hash, typename key_traits<Key>::equal>;

public:
    keyed_table() = default;
    keyed_table(const keyed_table&) = delete;
    keyed_table& operator=(const keyed_table&) = delete;

    std::size_t count() const noexcept { return entries_.size(); }

    template <class K> bool exists(const K& key) const { return entries_.find(key) != entries_.end(); }

    // The value under the key, or null when there is none.
    template <class K> const Value* find(const K& key) const
    {
        auto found = entries_.find(key);
        return found == entries_.end() ? nullptr : &found->second.value;
    }

    template <class K> const Value& item(const K& key) const
    {
        if (const Value* value = find(key)) return *value;
        throw missing_key();
    }

    // Appends an entry; fails on an existing key.
    void add(Key key, Value value)
    {
        auto [position, inserted] = entries_.try_emplace(std::move(key), entry{std::move(value)});
        if (!inserted) throw duplicate_key();
        entry& added = position->second;
        added.key = &position->first;
        added.previous = last_;
        (last_ ? last_->next : first_) = &added;
        last_ = &added;
        assert_ends();
    }

    // Removes the entry under the key; fails when there is none.
    template <class K> void remove(const K& key)
    {
        auto found = entries_.find(key);
        if (found == entries_.end()) throw missing_key();
        entry& removed = found->second;
        assert(!removed.previous || removed.previous->next == &removed); // 3
        assert(!removed.next || removed.next->previous == &removed);     // 3
        (removed.previous ? removed.previous->next : first_) = removed.next;
        (removed.next ? removed.next->previous : last_) = removed.previous;
        entries_.erase(found);
        assert_ends();
    }

    // A copy of the keys in insertion order.
    std::vector<Key> keys() const
    {
        std::vector<Key> result;
        result.reserve(entries_.size());
        for (const entry* e = first_; e; e = e->next)
            result.push_back(*e->key);
        assert(result.size() == entries_.size()); // 1
        return result;
    }

    // Visits the entries in insertion order.
    template <class Visit> void for_each(Visit&& visit) const
    {
        for (const entry* e = first_; e; e = e->next)
            visit(*e->key, e->value);
    }

private:
    // Invariants, between any two calls:
    // 1. The chain from first_ along `next` visits every entry of entries_
    //    exactly once, in the order add put them there; remove unlinks an entry
    //    and leaves the others in their order.
    // 2. first_ and last_ are null exactly when entries_ is empty; otherwise
    //    first_->previous and last_->next are null.
    // 3. For two entries a and b, a->next == b exactly when b->previous == a.
    // 4. An entry's `key` points at the map's own copy of its key, which stays
    //    where it is while the map rehashes (so entries hold no copy of it).
    map entries_;
    entry* first_ = nullptr;
    entry* last_ = nullptr;

    void assert_ends() const noexcept
    {
        assert((first_ == nullptr) == entries_.empty() && (last_ == nullptr) == entries_.empty());    // 2
        assert(!first_ || (!first_->previous && *first_->key == entries_.find(*first_->key)->first)); // 2, 4
        assert(!last_ || !last_->next);                                                               // 2
    }
};

template <class Key, class Value> using shared_table = std::shared_ptr<keyed_table<Key, Value>>;

template <class Key, class Value> shared_table<Key, Value> make_table()
{
    return std::make_shared<keyed_table<Key, Value>>();
}

} // namespace common
