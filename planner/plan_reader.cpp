#include "plan_reader.h"

#include "json_scan.h"

#include <nlohmann/json.hpp>
#include <rapidjson/error/en.h>
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <optional>
#include <limits>
#include <set>
#include <unordered_map>

namespace planner {

namespace {

using json = nlohmann::ordered_json;

// Deeper than any plan needs; it keeps a hostile document from costing much.
constexpr int max_depth = 64;
constexpr std::size_t progress_step = 65536;

[[noreturn]] void fail(const std::string& where, const std::string& what) { throw plan_error(where + ": " + what); }

std::string shown(const json& value)
{
    std::string text = value.dump(-1, ' ', false, json::error_handler_t::replace);
    if (text.size() > 40) text = text.substr(0, 37) + "...";
    return text;
}

std::string in_quotes(std::string_view text) { return shown(json(std::string(text))); }

std::int32_t to_int32(const json& value, const std::string& where)
{
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        if (number <= static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()))
            return static_cast<std::int32_t>(number);
    } else if (value.is_number_integer()) {
        const auto number = value.get<std::int64_t>();
        if (number >= std::numeric_limits<std::int32_t>::min() && number <= std::numeric_limits<std::int32_t>::max())
            return static_cast<std::int32_t>(number);
    }
    fail(where, "expected a 32-bit integer, got " + shown(value));
}

std::string to_text(const json& value, const std::string& where)
{
    if (!value.is_string()) fail(where, "expected a text, got " + shown(value));
    return value.get<std::string>();
}

std::int32_t decimal_key(const std::string& key, const std::string& where)
{
    std::int32_t number = 0;
    const char* end = key.data() + key.size();
    const auto [stop, error] = std::from_chars(key.data(), end, number);
    if (key.empty() || error != std::errc() || stop != end) fail(where, "expected a 32-bit integer in decimal");
    return number;
}

void expect_object(const json& value, const std::string& where)
{
    if (!value.is_object()) fail(where, "expected an object, got " + shown(value));
}

void expect_array(const json& value, const std::string& where)
{
    if (!value.is_array()) fail(where, "expected an array, got " + shown(value));
}

// An object with exactly the fields named, the required ones present.
class fields {
public:
    fields(const json& object, std::string where, std::initializer_list<std::string_view> known)
        : object_(object), where_(std::move(where))
    {
        expect_object(object_, where_);
        for (const auto& [key, value] : object_.items()) {
            bool listed = false;
            for (std::string_view name : known)
                listed = listed || name == key;
            if (!listed) fail(where_, "unknown field " + in_quotes(key));
        }
    }

    const json* find(std::string_view name) const
    {
        const auto it = object_.find(name);
        return it == object_.end() ? nullptr : &*it;
    }
    const json& require(std::string_view name) const
    {
        if (const json* value = find(name)) return *value;
        fail(where_, "missing field \"" + std::string(name) + "\"");
    }
    std::string at(std::string_view name) const { return where_ + "." + std::string(name); }

    std::int32_t integer(std::string_view name) const { return to_int32(require(name), at(name)); }
    std::int32_t integer_or(std::string_view name, std::int32_t otherwise) const
    {
        const json* value = find(name);
        return value ? to_int32(*value, at(name)) : otherwise;
    }
    std::string text(std::string_view name) const { return to_text(require(name), at(name)); }

private:
    const json& object_;
    std::string where_;
};

std::string indexed(std::string_view list, std::size_t index)
{
    return std::string(list) + "[" + std::to_string(index) + "]";
}

// One field of an object in "objects", as the parser met it: a text kept as
// it is (the common case), anything else as a JSON value for the checks.
struct field_value {
    bool present = false;
    bool is_text = false;
    std::string text;
    json other;

    void set_text(const char* data, std::size_t size)
    {
        present = true;
        is_text = true;
        text.assign(data, size);
    }
    json& set_other()
    {
        present = true;
        is_text = false;
        other = json();
        return other;
    }
    json as_json() const { return is_text ? json(text) : other; }
};

enum class object_field { id, name, type, subtype, folder, related, unknown };

object_field field_named(std::string_view key)
{
    if (key == "id") return object_field::id;
    if (key == "name") return object_field::name;
    if (key == "type") return object_field::type;
    if (key == "subtype") return object_field::subtype;
    if (key == "folder") return object_field::folder;
    if (key == "related") return object_field::related;
    return object_field::unknown;
}

// Hashes that look texts up by view, so that a lookup makes no text.
struct text_hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const noexcept { return std::hash<std::string_view>{}(text); }
};
using text_index = std::unordered_map<std::string, std::uint32_t, text_hash, std::equal_to<>>;

// The objects by id: open addressing over object indexes, the ids being the
// objects' own. Each slot keeps a part of its id's hash too, so that a probe
// rarely has to look at an object: eight bytes a slot, at most half of the
// slots taken, instead of a node with a copy of the id for each object.
class id_index {
public:
    explicit id_index(const std::vector<plan_object>& objects) : objects_(objects) {}

    void reserve(std::size_t objects)
    {
        std::size_t size = 16;
        while (size / 2 < objects)
            size *= 2;
        if (size > slots_.size()) rehash(size);
    }

    std::optional<std::uint32_t> find(std::string_view id) const
    {
        if (slots_.empty()) return std::nullopt;
        const slot& found = slots_[probe(id, hash_of(id))];
        if (found.object == 0) return std::nullopt;
        return found.object - 1;
    }

    // Adds objects[index], whose id is not in the index yet.
    void add(std::uint32_t index) { add_unique(index); }

    // Adds objects[index]; false, adding nothing, when its id is in the index already.
    bool add_unique(std::uint32_t index)
    {
        if ((count_ + 1) * 2 > slots_.size()) rehash(slots_.empty() ? 16 : slots_.size() * 2);
        const std::string_view id = objects_[index].id;
        const std::size_t hash = hash_of(id);
        slot& here = slots_[probe(id, hash)];
        if (here.object != 0) return false;
        here = {index + 1, static_cast<std::uint32_t>(hash)};
        ++count_;
        return true;
    }

private:
    struct slot {
        std::uint32_t object = 0; // the object's index + 1; 0 is free
        std::uint32_t hash = 0;   // the low bits of its id's hash
    };

    static std::size_t hash_of(std::string_view id) noexcept { return std::hash<std::string_view>{}(id); }

    // The slot of `id`, or the free slot where it would go.
    std::size_t probe(std::string_view id, std::size_t hash) const
    {
        const std::size_t mask = slots_.size() - 1;
        const auto low = static_cast<std::uint32_t>(hash);
        for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
            const slot& here = slots_[at];
            if (here.object == 0 || (here.hash == low && objects_[here.object - 1].id == id)) return at;
        }
    }

    void rehash(std::size_t size)
    {
        std::vector<slot> old(size);
        old.swap(slots_);
        const std::size_t mask = slots_.size() - 1;
        for (const slot& moved : old) {
            if (moved.object == 0) continue;
            // The full hash again, for the bits above the low ones kept.
            std::size_t at = hash_of(objects_[moved.object - 1].id) & mask;
            while (slots_[at].object != 0)
                at = (at + 1) & mask;
            slots_[at] = moved;
        }
    }

    const std::vector<plan_object>& objects_;
    std::vector<slot> slots_;
    std::size_t count_ = 0;
};

// The "{" in a text, eight bytes at a time.
std::size_t count_braces(std::string_view text) noexcept
{
    constexpr std::uint64_t ones = 0x0101010101010101u;
    constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7Fu;
    std::size_t count = 0;
    std::size_t at = 0;
    for (; at + 8 <= text.size(); at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + at, 8);
        word ^= ones * '{';
        // The high bit of each byte that is 0 now, that is of each "{"; the
        // multiplication adds the eight bits up in the top byte.
        const std::uint64_t zero = ~(((word & low7) + low7) | word | low7);
        count += static_cast<std::size_t>(((zero >> 7) * ones) >> 56);
    }
    for (; at < text.size(); ++at)
        count += text[at] == '{' ? 1 : 0;
    return count;
}

// How a reader goes through the elements of "objects".
enum class pace {
    quick,  // a plain element is read by the scanner, the first other one stops the reader
    general // every element through the parser's events, as the rest of the plan
};

// The parser's events (RapidJSON's SAX interface), streamed into the plan: each
// element of "objects" goes straight into a plan_object and each element of
// "resolve" into an id, without a JSON document; the rest of the plan is small
// and is built as a document for the field checks. A failure is kept and the
// parse stopped; read() throws it.
//
// At the quick pace the plain elements of "objects" (the known fields, each
// once, with texts and integers of 32 bits) are read by a scanner over the text
// instead, which spares the parser's events, its copies of every text and its
// character-by-character UTF-8 check. The first element it does not know, or
// an id given twice, stops the reader, and the whole plan is then read again at
// the general pace, so that every malformed plan gets the same message as before.
class reader {
public:
    // Progress is reported only past `reported` objects: a reader at the
    // general pace after a quick one does not count from 0 again.
    reader(const read_progress& progress, pace pace, std::size_t reported)
        : progress_(progress), pace_(pace), reported_(reported)
    {}

    // The plan; nothing when the quick pace met an element it leaves to the general one.
    std::optional<plan> read(std::string_view text)
    {
        // Each object of "objects" opens a brace, so their count bounds the
        // objects: room for them at once spares the copies of a growing list
        // and of a growing index, and the spare room growth leaves.
        const std::size_t braces = count_braces(text);
        plan_.objects.reserve(braces);
        index_.reserve(braces);
        rapidjson::MemoryStream stream(text.data(), text.size());
        stream_ = &stream;
        rapidjson::Reader parser;
        constexpr unsigned flags = rapidjson::kParseIterativeFlag | rapidjson::kParseValidateEncodingFlag |
                                   rapidjson::kParseNumbersAsStringsFlag;
        const rapidjson::ParseResult parsed = parser.Parse<flags>(stream, *this);
        stream_ = nullptr;
        if (stepped_aside_) return std::nullopt;
        if (failure_) throw plan_error(*failure_);
        if (!parsed) malformed(parsed.Code(), parsed.Offset());
        // A NUL byte looks like the end to the parser; whatever follows it is not JSON.
        if (stream.Tell() != text.size()) malformed(rapidjson::kParseErrorDocumentRootNotSingular, stream.Tell());

        if (!root_.is_object()) fail("plan", "expected a JSON object, got " + shown(root_));
        fields top(
            root_, "plan",
            {"$schema", "description", "objects", "categories", "rules", "options", "logs", "actionNames", "resolve"});
        // "$schema" names the plan's JSON Schema for editors; the reader needs nothing of it.
        if (const json* schema = top.find("$schema")) to_text(*schema, "$schema");
        if (const json* description = top.find("description")) plan_.description = to_text(*description, "description");
        expect_array(top.require("objects"), "objects");
        finish_objects();
        if (const json* categories = top.find("categories")) read_categories(*categories);
        if (const json* rules = top.find("rules")) read_rules(*rules);
        if (const json* options = top.find("options")) read_options(*options);
        if (const json* logs = top.find("logs")) read_logs(*logs);
        if (const json* names = top.find("actionNames")) read_action_names(*names);
        if (const json* resolve = top.find("resolve")) {
            expect_array(*resolve, "resolve");
            finish_resolve();
        } else {
            plan_.resolve.reserve(plan_.objects.size());
            for (std::uint32_t i = 0; i < plan_.objects.size(); ++i)
                plan_.resolve.push_back(i);
        }
        return std::move(plan_);
    }

    // The most objects reported so far.
    std::size_t reported() const noexcept { return reported_; }

    // ---- The parser's events ----
    bool Null() { return value(json(nullptr)); }
    bool Bool(bool b) { return value(json(b)); }
    // Numbers come as their text (RapidJSON's own conversion of some doubles is
    // undefined behaviour): integers of 64 bits here, anything else as nlohmann
    // reads it, so that values and messages stay what they were.
    bool Int(int) { return false; }
    bool Uint(unsigned) { return false; }
    bool Int64(std::int64_t) { return false; }
    bool Uint64(std::uint64_t) { return false; }
    bool Double(double) { return false; }
    bool RawNumber(const char* data, rapidjson::SizeType size, bool)
    {
        const char* const end = data + size;
        if (size > 0 && data[0] == '-') {
            std::int64_t number = 0;
            const auto [stop, error] = std::from_chars(data, end, number);
            if (error == std::errc() && stop == end) return value(json(number));
        } else {
            std::uint64_t number = 0;
            const auto [stop, error] = std::from_chars(data, end, number);
            if (error == std::errc() && stop == end) return value(json(number));
        }
        try {
            return value(json::parse(data, end));
        } catch (const json::exception& error) {
            failure_ = std::string("unusable JSON: ") + error.what();
            return false;
        }
    }
    bool String(const char* data, rapidjson::SizeType size, bool)
    {
        if (!well_formed(data, size)) return false;
        if (dom_.empty() && state_ == state::in_object && field_ != object_field::unknown &&
            (field_ == object_field::id || field_ == object_field::name || field_ == object_field::folder)) {
            slot().set_text(data, size);
            return true;
        }
        if (dom_.empty() && state_ == state::in_resolve) {
            resolve_ids_.emplace_back(data, size);
            return true;
        }
        return value(json(std::string(data, size)));
    }
    bool Key(const char* data, rapidjson::SizeType size, bool)
    {
        if (!well_formed(data, size)) return false;
        const std::string_view key(data, size);
        if (!dom_.empty()) {
            dom_key_.assign(key);
            return true;
        }
        if (state_ == state::in_object) {
            field_ = field_named(key);
            if (field_ == object_field::unknown && !unknown_) unknown_ = std::string(key);
            return true;
        }
        // A key of the plan itself.
        top_key_.assign(key);
        if (stream_) after_key_ = stream_->src_;
        if (!top_keys_.insert(top_key_).second) return stop(top_key_, "given twice");
        return true;
    }
    bool StartObject() { return start(false); }
    bool StartArray() { return start(true); }
    bool EndObject(rapidjson::SizeType) { return end(); }
    bool EndArray(rapidjson::SizeType) { return end(); }

private:
    // Where the parser is, apart from values built as documents (dom_).
    enum class state { before_root, in_plan, in_objects, in_object, in_resolve, after_root };

    bool stop(const std::string& where, const std::string& what)
    {
        failure_ = where + ": " + what;
        return false;
    }

    [[noreturn]] void malformed(rapidjson::ParseErrorCode code, std::size_t offset)
    {
        // RapidJSON's words, except where the plan's users know other ones.
        std::string what = code == rapidjson::kParseErrorNumberTooBig            ? "number overflow"
                           : code == rapidjson::kParseErrorStringInvalidEncoding ? "ill-formed UTF-8"
                                                                                 : rapidjson::GetParseError_En(code);
        if (!what.empty() && what.back() == '.') what.pop_back();
        throw plan_error("malformed JSON: " + what + " at byte " + std::to_string(offset));
    }

    // The input's bytes are checked as UTF-8, but a \u escape can still name
    // half of a surrogate pair alone, which comes out as ED A0..ED BF.
    bool well_formed(const char* data, std::size_t size)
    {
        for (const char* at = static_cast<const char*>(std::memchr(data, '\xED', size)); at;
             at = static_cast<const char*>(
                 std::memchr(at + 1, '\xED', size - static_cast<std::size_t>(at + 1 - data)))) {
            if (at + 1 < data + size && static_cast<unsigned char>(at[1]) >= 0xA0) {
                failure_ = "malformed JSON: ill-formed UTF-8 (a lone surrogate in a \\u escape)";
                return false;
            }
        }
        return true;
    }

    std::string depth_where() const
    {
        if (state_ == state::in_objects || state_ == state::in_object) return indexed("objects", plan_.objects.size());
        return top_key_.empty() ? "plan" : top_key_;
    }

    bool start(bool array)
    {
        if (open_ >= max_depth)
            return stop(depth_where(), "nested deeper than " + std::to_string(max_depth) + " levels");
        ++open_;
        if (!dom_.empty()) return open_dom(array);
        switch (state_) {
        case state::before_root:
            if (array) return open_dom(array);
            state_ = state::in_plan;
            root_ = json::object();
            return true;
        case state::in_plan:
            if (array && top_key_ == "objects") {
                state_ = state::in_objects;
                root_[top_key_] = json::array();
                return pace_ == pace::general || scan_objects();
            }
            if (array && top_key_ == "resolve") {
                state_ = state::in_resolve;
                root_[top_key_] = json::array();
                return true;
            }
            return open_dom(array);
        case state::in_objects:
            if (array) return open_dom(array);
            state_ = state::in_object;
            begin_object();
            return true;
        case state::in_object:
        case state::in_resolve:
        case state::after_root:
            return open_dom(array);
        }
        return true;
    }

    bool end()
    {
        --open_;
        if (!dom_.empty()) {
            dom_.pop_back();
            return dom_.empty() ? dom_done() : true;
        }
        switch (state_) {
        case state::in_plan:
            state_ = state::after_root;
            return true;
        case state::in_objects:
        case state::in_resolve:
            state_ = state::in_plan;
            return true;
        case state::in_object:
            state_ = state::in_objects;
            try {
                return add_object();
            } catch (const plan_error& error) {
                // Kept, so that nothing is thrown through the parser.
                failure_ = error.what();
                return false;
            }
        case state::before_root:
        case state::after_root:
            break;
        }
        return true;
    }

    // A value outside any document being built, or inside one.
    bool value(json&& v)
    {
        if (!dom_.empty()) {
            json& parent = *dom_.back();
            if (parent.is_array())
                parent.push_back(std::move(v));
            else
                parent[dom_key_] = std::move(v);
            return true;
        }
        dom_value_ = std::move(v);
        return dom_done();
    }

    // Starts a document for the value that begins here.
    bool open_dom(bool array)
    {
        json made = array ? json::array() : json::object();
        if (dom_.empty()) {
            dom_value_ = std::move(made);
            dom_.push_back(&dom_value_);
            return true;
        }
        json& parent = *dom_.back();
        json* child = nullptr;
        if (parent.is_array()) {
            parent.push_back(std::move(made));
            child = &parent.back();
        } else {
            child = &(parent[dom_key_] = std::move(made));
        }
        dom_.push_back(child);
        return true;
    }

    // A whole value is in dom_value_: it goes where the parser is.
    bool dom_done()
    {
        switch (state_) {
        case state::before_root:
            root_ = std::move(dom_value_);
            state_ = state::after_root;
            return true;
        case state::in_plan:
            root_[top_key_] = std::move(dom_value_);
            return true;
        case state::in_objects:
            // An element that is no object.
            return stop(indexed("objects", plan_.objects.size()), "expected an object, got " + shown(dom_value_));
        case state::in_object:
            if (field_ != object_field::unknown) slot().set_other() = std::move(dom_value_);
            return true;
        case state::in_resolve:
            return stop(indexed("resolve", resolve_ids_.size()), "expected a text, got " + shown(dom_value_));
        case state::after_root:
            break;
        }
        return true;
    }

    field_value& slot() { return slots_[static_cast<std::size_t>(field_)]; }

    void begin_object()
    {
        for (field_value& field : slots_)
            field.present = false;
        unknown_.reset();
        field_ = object_field::unknown;
    }

    bool add_object()
    {
        const std::size_t index = plan_.objects.size();
        const auto where = [index] { return indexed("objects", index); };
        const auto at = [&](std::string_view name) { return where() + "." + std::string(name); };
        const auto field = [this](object_field f) -> const field_value& { return slots_[static_cast<std::size_t>(f)]; };
        if (index >= std::numeric_limits<std::uint32_t>::max()) return stop("objects", "too many objects");
        if (unknown_) return stop(where(), "unknown field " + in_quotes(*unknown_));

        plan_object result;
        const field_value& id = field(object_field::id);
        if (!id.present) return stop(where(), "missing field \"id\"");
        if (!id.is_text) return stop(at("id"), "expected a text, got " + shown(id.other));
        if (id.text.empty()) return stop(at("id"), "must not be empty");
        const field_value& name = field(object_field::name);
        if (name.present && !name.is_text) return stop(at("name"), "expected a text, got " + shown(name.other));
        const field_value& type = field(object_field::type);
        if (!type.present) return stop(where(), "missing field \"type\"");
        result.type = to_int32(type.as_json(), at("type"));
        const field_value& subtype = field(object_field::subtype);
        if (subtype.present) result.subtype = to_int32(subtype.as_json(), at("subtype"));
        const field_value& folder = field(object_field::folder);
        if (folder.present) {
            if (!folder.is_text) return stop(at("folder"), "expected a text, got " + shown(folder.other));
            result.folder = intern_folder(folder.text);
        }
        const field_value& related = field(object_field::related);
        if (related.present) {
            const json value = related.as_json();
            expect_array(value, at("related"));
            std::vector<std::string> ids;
            for (std::size_t i = 0; i < value.size(); ++i)
                ids.push_back(to_text(value[i], indexed(at("related"), i)));
            if (!ids.empty()) related_ids_.emplace_back(static_cast<std::uint32_t>(index), std::move(ids));
        }
        if (const auto known = index_.find(id.text))
            return stop(at("id"), in_quotes(id.text) + " is already the id of " + indexed("objects", *known));
        result.id = plan_.texts.keep(id.text);
        result.name = name.present ? plan_.texts.keep(name.text) : result.id;
        add(result);
        return true;
    }

    void add(const plan_object& object, bool indexed = true)
    {
        plan_.objects.push_back(object);
        if (indexed) index_.add(static_cast<std::uint32_t>(plan_.objects.size() - 1));
        if (plan_.objects.size() % progress_step == 0) report_progress();
    }

    void report_progress()
    {
        if (progress_ && plan_.objects.size() > reported_) {
            reported_ = plan_.objects.size();
            progress_(reported_);
        }
    }

    // ---- The quick pace ----

    // Reads the plain elements of "objects" straight from the text, and leaves
    // the stream where the parser goes on: before the closing bracket, or at the
    // first element that is not plain (which stops the reader).
    //
    // RapidJSON's iterative parser reports an array's start before it takes the
    // "[": the stream is left on the last byte read, which the parser then takes.
    // Where the stream is not on that "[" (after the key, the colon and spaces
    // alone), the parser reads the elements itself.
    bool scan_objects()
    {
        const char* const end = stream_->end_;
        const char* at = json_scan::skip_space(after_key_, end);
        if (at == end || *at != ':') return true;
        at = json_scan::skip_space(at + 1, end);
        if (at != stream_->src_ || at == end || *at != '[') return true;
        const char* last = at; // the last byte read
        at = json_scan::skip_space(at + 1, end);
        if (at == end || *at != '{') return true; // an empty list or no object first: left to the parser
        for (;;) {
            at = scan_object(at + 1, end);
            if (!at) return step_aside();
            last = at - 1;
            at = json_scan::skip_space(at, end);
            if (at == end) return step_aside();
            if (*at == ']') break;
            if (*at != ',') return step_aside();
            at = json_scan::skip_space(at + 1, end);
            if (at == end || *at != '{') return step_aside();
        }
        // The ids are indexed all at once, which is quicker than one at a time
        // between the elements; an id given twice is left to the general pace.
        for (std::uint32_t i = 0; i < plan_.objects.size(); ++i)
            if (!index_.add_unique(i)) return step_aside();
        stream_->src_ = last;
        return true;
    }

    bool step_aside()
    {
        stepped_aside_ = true;
        return false;
    }

    // One element of "objects" after its "{"; the position after its "}", or nullptr.
    const char* scan_object(const char* at, const char* const end)
    {
        enum : unsigned {
            seen_id = 1,
            seen_name = 2,
            seen_type = 4,
            seen_subtype = 8,
            seen_folder = 16,
            seen_related = 32
        };
        unsigned seen = 0;
        plan_object result;
        std::vector<std::string> related;
        id_.clear();
        name_.clear();
        at = json_scan::skip_space(at, end);
        if (at == end || *at != '"') return nullptr; // an empty object lacks its id
        for (;;) {
            const char* const key = at + 1;
            at = json_scan::plain_string(key, end);
            if (!at) return nullptr;
            const object_field field = field_named(std::string_view(key, static_cast<std::size_t>(at - 1 - key)));
            const unsigned bit = field == object_field::unknown ? 0 : 1u << static_cast<unsigned>(field);
            if (bit == 0 || (seen & bit) != 0) return nullptr; // unknown or given twice
            seen |= bit;
            at = json_scan::skip_space(at, end);
            if (at == end || *at != ':') return nullptr;
            at = json_scan::skip_space(at + 1, end);
            if (at == end) return nullptr;
            switch (field) {
            case object_field::id:
                at = *at == '"' ? json_scan::string(at + 1, end, id_) : nullptr;
                break;
            case object_field::name:
                at = *at == '"' ? json_scan::string(at + 1, end, name_) : nullptr;
                break;
            case object_field::type:
                at = json_scan::int32(at, end, result.type);
                break;
            case object_field::subtype:
                at = json_scan::int32(at, end, result.subtype);
                break;
            case object_field::folder:
                at = *at == '"' ? scan_folder(at + 1, end, result.folder) : nullptr;
                break;
            case object_field::related:
                at = *at == '[' ? scan_related(at + 1, end, related) : nullptr;
                break;
            case object_field::unknown:
                return nullptr;
            }
            if (!at) return nullptr;
            at = json_scan::skip_space(at, end);
            if (at == end) return nullptr;
            if (*at == '}') break;
            if (*at != ',') return nullptr;
            at = json_scan::skip_space(at + 1, end);
            if (at == end || *at != '"') return nullptr;
        }
        // What the general pace would refuse, it reports itself.
        if ((seen & seen_id) == 0 || (seen & seen_type) == 0 || id_.empty()) return nullptr;
        const std::size_t index = plan_.objects.size();
        if (index >= std::numeric_limits<std::uint32_t>::max()) return nullptr;
        result.id = plan_.texts.keep(id_);
        result.name = (seen & seen_name) != 0 ? plan_.texts.keep(name_) : result.id;
        if (!related.empty()) related_ids_.emplace_back(static_cast<std::uint32_t>(index), std::move(related));
        add(result, false);
        return at + 1;
    }

    const char* scan_folder(const char* at, const char* end, std::uint32_t& folder)
    {
        folder_.clear();
        at = json_scan::string(at, end, folder_);
        if (at) folder = intern_folder(folder_);
        return at;
    }

    // A "related" list of texts after its "[".
    const char* scan_related(const char* at, const char* end, std::vector<std::string>& ids)
    {
        at = json_scan::skip_space(at, end);
        if (at != end && *at == ']') return at + 1;
        for (;;) {
            if (at == end || *at != '"') return nullptr;
            at = json_scan::string(at + 1, end, ids.emplace_back());
            if (!at) return nullptr;
            at = json_scan::skip_space(at, end);
            if (at == end) return nullptr;
            if (*at == ']') return at + 1;
            if (*at != ',') return nullptr;
            at = json_scan::skip_space(at + 1, end);
        }
    }

    std::uint32_t intern_folder(std::string_view path)
    {
        if (path.empty()) return 0;
        // Objects come folder by folder, so the last path is usually the one.
        if (last_folder_ != 0 && plan_.folder_paths[last_folder_] == path) return last_folder_;
        if (const auto known = folders_.find(path); known != folders_.end()) return last_folder_ = known->second;
        last_folder_ = static_cast<std::uint32_t>(plan_.folder_paths.size());
        folders_.emplace(std::string(path), last_folder_);
        plan_.folder_paths.emplace_back(path);
        return last_folder_;
    }

    void finish_objects()
    {
        if (progress_) {
            reported_ = std::max(reported_, plan_.objects.size());
            progress_(plan_.objects.size());
        }
        for (const auto& [from, ids] : related_ids_) {
            const auto first = static_cast<std::uint32_t>(plan_.relations.size());
            for (const std::string& id : ids) {
                // Ids that name no object are skipped, as the host skips them.
                if (const auto to = index_.find(id)) plan_.relations.push_back(*to);
            }
            plan_.related_ranges.emplace_back(first, static_cast<std::uint32_t>(plan_.relations.size()) - first);
            plan_.objects[from].related = static_cast<std::uint32_t>(plan_.related_ranges.size());
        }
        related_ids_.clear();
        // A folder is found by its full path, so two folders must not share one.
        std::unordered_map<std::string, std::uint32_t> folder_paths;
        for (std::uint32_t i = 0; i < plan_.objects.size(); ++i) {
            const plan_object& object = plan_.objects[i];
            if (object.type != folder_type) continue;
            const auto [known, added] = folder_paths.try_emplace(plan_.full_path(object), i);
            if (!added)
                fail(indexed("objects", i), "a folder with the full path \"" + known->first + "\"" + " is already " +
                                                indexed("objects", known->second));
        }
    }

    void finish_resolve()
    {
        plan_.resolve.reserve(resolve_ids_.size());
        for (std::size_t i = 0; i < resolve_ids_.size(); ++i) {
            const auto object = index_.find(resolve_ids_[i]);
            if (!object) fail(indexed("resolve", i), in_quotes(resolve_ids_[i]) + " names no object");
            plan_.resolve.push_back(*object);
        }
        resolve_ids_.clear();
    }

    void read_categories(const json& categories)
    {
        expect_object(categories, "categories");
        for (const auto& [key, value] : categories.items()) {
            const std::string where = "categories[" + in_quotes(key) + "]";
            plan_.categories.emplace_back(decimal_key(key, where), to_int32(value, where));
        }
    }

    template <class Rule, class Read>
    void read_rule_list(const fields& rules, std::string_view kind, std::vector<Rule>& into, Read read)
    {
        const json* list = rules.find(kind);
        if (!list) return;
        expect_array(*list, rules.at(kind));
        for (std::size_t i = 0; i < list->size(); ++i)
            into.push_back(read((*list)[i], indexed(rules.at(kind), i)));
    }

    void read_rules(const json& value)
    {
        const fields rules(value, "rules", {"category", "type", "object", "folder"});
        read_rule_list(rules, "category", plan_.category_rules, [](const json& rule, const std::string& where) {
            const fields f(rule, where, {"category", "action"});
            return category_rule{f.integer("category"), f.integer("action")};
        });
        read_rule_list(rules, "type", plan_.type_rules, [](const json& rule, const std::string& where) {
            const fields f(rule, where, {"type", "action"});
            return type_rule{f.integer("type"), f.integer("action")};
        });
        read_rule_list(rules, "object", plan_.object_rules, [](const json& rule, const std::string& where) {
            const fields f(rule, where, {"id", "type", "action"});
            return object_rule{f.text("id"), f.integer("type"), f.integer("action")};
        });
        read_rule_list(rules, "folder", plan_.folder_rules, [](const json& rule, const std::string& where) {
            const fields f(rule, where, {"path", "action"});
            return folder_rule{f.text("path"), f.integer("action")};
        });
    }

    void read_options(const json& options)
    {
        expect_object(options, "options");
        for (const auto& [key, value] : options.items()) {
            const std::string where = "options." + key;
            const auto option = option_named(key);
            if (!option) fail(where, "no such merge option");
            plan_.options.push_back({*option, to_int32(value, where)});
        }
    }

    void read_logs(const json& logs)
    {
        expect_array(logs, "logs");
        for (std::size_t i = 0; i < logs.size(); ++i) {
            const fields f(logs[i], indexed("logs", i), {"file", "level"});
            plan_.logs.push_back({f.text("file"), f.integer_or("level", 0)});
        }
    }

    void read_action_names(const json& names)
    {
        expect_object(names, "actionNames");
        for (const auto& [key, value] : names.items()) {
            const std::string where = "actionNames[" + in_quotes(key) + "]";
            plan_.action_names[decimal_key(key, where)] = to_text(value, where);
        }
    }

    const read_progress& progress_;
    const pace pace_;
    std::size_t reported_;
    rapidjson::MemoryStream* stream_ = nullptr;
    const char* after_key_ = nullptr; // where the stream was after the plan's last key
    bool stepped_aside_ = false;
    plan plan_;
    json root_;
    state state_ = state::before_root;
    int open_ = 0; // containers open where the parser is
    std::string top_key_;
    std::set<std::string> top_keys_;
    std::optional<std::string> failure_;

    // A value being built as a document: the containers open in it.
    std::vector<json*> dom_;
    json dom_value_;
    std::string dom_key_;

    // The object of "objects" being read.
    std::array<field_value, 6> slots_;
    object_field field_ = object_field::unknown;
    std::optional<std::string> unknown_;

    id_index index_{plan_.objects};
    text_index folders_;
    std::uint32_t last_folder_ = 0;
    std::vector<std::pair<std::uint32_t, std::vector<std::string>>> related_ids_;
    std::vector<std::string> resolve_ids_;

    // The texts of the element being scanned, reused from one to the next.
    std::string id_;
    std::string name_;
    std::string folder_;
};

} // namespace

plan read_plan(std::string_view text, const read_progress& progress)
{
    std::size_t reported = 0;
    {
        reader quick(progress, pace::quick, 0);
        if (std::optional<plan> read = quick.read(text)) return std::move(*read);
        reported = quick.reported();
    }
    return std::move(*reader(progress, pace::general, reported).read(text));
}

} // namespace planner
