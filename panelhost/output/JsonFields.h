// JsonFields: JSON of every type described by a field list (records/FieldList.h):
// an object with a member per field written, read back member by member. Texts
// are bytes (JsonBytes.h); an optional text is null when absent; an enum is
// its name; a container is an array (a map of pairs, a pair or tuple of its
// items); a type with `positionsOf` is an array of those members, in order;
// a type with a form of its own has `toJsonForm` and `fromJsonForm`.
// Reading leaves a member that is absent or of another shape as it was, and
// fails only for an enum name that names nothing.
#pragma once

#include "output/JsonBytes.h"
#include "records/FieldList.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

struct JsonForm {
    using json = nlohmann::json;

    template <class T> static json to(const T& value) {
        if constexpr (std::is_same_v<T, bool> || std::is_arithmetic_v<T>) {
            return value;
        } else if constexpr (std::is_enum_v<T>) {
            return nameOf(value);
        } else {
            return composite(value);
        }
    }

    // False for a value that names nothing; a value of another shape is left.
    template <class T> static bool from(const json& in, T& value) {
        if constexpr (std::is_same_v<T, bool>) {
            if (in.is_boolean()) {
                value = in.get<bool>();
            }
        } else if constexpr (std::is_integral_v<T>) {
            if (in.is_number_integer()) {
                value = in.get<T>();
            }
        } else if constexpr (std::is_floating_point_v<T>) {
            if (in.is_number()) {
                value = in.get<T>();
            }
        } else if constexpr (std::is_enum_v<T>) {
            return in.is_string() && valueOf(in.get<std::string>(), value);
        } else {
            return fromComposite(in, value);
        }
        return true;
    }

    // The object of a described value: each field written, and each derived one.
    template <class T> static json object(const T& value) {
        json out = json::object();
        std::apply([&](const auto&... fields) { (write(out, value, fields), ...); },
                   fieldsOf(Tag<T>()));
        return out;
    }
    template <class T> static bool readObject(const json& in, T& value) {
        if (!in.is_object()) {
            return true;
        }
        bool known = true;
        std::apply(
            [&](const auto&... fields) { ((known = read(in, value, fields) && known), ...); },
            fieldsOf(Tag<T>()));
        return known;
    }

private:
    static json composite(const std::string& text) { return jsonBytes(text); }
    static json composite(const std::optional<std::string>& text) {
        return text ? jsonBytes(*text) : json(nullptr);
    }
    template <class T> static json composite(const std::vector<T>& items) { return many(items); }
    template <class T> static json composite(const std::set<T>& items) { return many(items); }
    template <class K, class V> static json composite(const std::map<K, V>& items) {
        return many(items);
    }
    template <class A, class B> static json composite(const std::pair<A, B>& pair) {
        return json::array({to(pair.first), to(pair.second)});
    }
    template <class... T> static json composite(const std::tuple<T...>& tuple) {
        return std::apply([](const auto&... items) { return json::array({to(items)...}); }, tuple);
    }
    template <class T>
    static auto composite(const T& value) -> decltype(positionsOf(Tag<T>()), json()) {
        return std::apply([&](auto... members) { return json::array({to(value.*members)...}); },
                          positionsOf(Tag<T>()));
    }
    template <class T>
    static auto composite(const T& value) -> decltype(fieldsOf(Tag<T>()), json()) {
        return object(value);
    }
    template <class T> static auto composite(const T& value) -> decltype(toJsonForm(value)) {
        return toJsonForm(value);
    }
    template <class Items> static json many(const Items& items) {
        json out = json::array();
        for (const auto& item : items) {
            out.push_back(to(item));
        }
        return out;
    }

    static bool fromComposite(const json& in, std::string& text) {
        text = bytesOf(in);
        return true;
    }
    static bool fromComposite(const json& in, std::optional<std::string>& text) {
        text = in.is_string() ? std::optional<std::string>(bytesOf(in)) : std::nullopt;
        return true;
    }
    template <class T> static bool fromComposite(const json& in, std::vector<T>& items) {
        return readMany<T>(in, [&](T&& item) { items.push_back(std::move(item)); });
    }
    template <class T> static bool fromComposite(const json& in, std::set<T>& items) {
        return readMany<T>(in, [&](T&& item) { items.insert(std::move(item)); });
    }
    template <class K, class V> static bool fromComposite(const json& in, std::map<K, V>& items) {
        return readMany<std::pair<K, V>>(in, [&](std::pair<K, V>&& item) {
            items[std::move(item.first)] = std::move(item.second);
        });
    }
    template <class A, class B> static bool fromComposite(const json& in, std::pair<A, B>& pair) {
        return in.is_array() && in.size() == 2 && from(in[0], pair.first) &&
               from(in[1], pair.second);
    }
    template <class... T> static bool fromComposite(const json& in, std::tuple<T...>& tuple) {
        if (!in.is_array() || in.size() != sizeof...(T)) {
            return false;
        }
        std::size_t at = 0;
        return std::apply([&](auto&... items) { return (from(in[at++], items) && ...); }, tuple);
    }
    template <class T>
    static auto fromComposite(const json& in, T& value) -> decltype(positionsOf(Tag<T>()), bool()) {
        if (!in.is_array() || in.size() != std::tuple_size_v<decltype(positionsOf(Tag<T>()))>) {
            return false;
        }
        std::size_t at = 0;
        return std::apply([&](auto... members) { return (from(in[at++], value.*members) && ...); },
                          positionsOf(Tag<T>()));
    }
    template <class T>
    static auto fromComposite(const json& in, T& value) -> decltype(fieldsOf(Tag<T>()), bool()) {
        return readObject(in, value);
    }
    template <class T>
    static auto fromComposite(const json& in, T& value) -> decltype(fromJsonForm(in, value)) {
        return fromJsonForm(in, value);
    }
    // Items of an array; one of another shape is left out.
    template <class T, class Add> static bool readMany(const json& in, Add add) {
        if (in.is_array()) {
            for (const json& each : in) {
                T item{};
                if (from(each, item)) {
                    add(std::move(item));
                }
            }
        }
        return true;
    }

    template <class T, class Reach, class When>
    static void write(json& out, const T& value, const Field<Reach, When>& field) {
        if (field.when(value)) {
            out[field.name] = to(field.reach(value));
        }
    }
    template <class T, class Make>
    static void write(json& out, const T& value, const Derived<Make>& field) {
        out[field.name] = to(field.make(value));
    }
    template <class T, class Reach, class When>
    static bool read(const json& in, T& value, const Field<Reach, When>& field) {
        const auto found = in.find(field.name);
        return found == in.end() || from(*found, field.reach(value));
    }
    template <class T, class Make> static bool read(const json&, T&, const Derived<Make>&) {
        return true;
    }
};
