// FieldList: a type's fields described once, by name, for every form that
// carries the type field by field: the JSON lines of records (the child's to
// the parent, --json, the page) and the child's job. `fieldsOf(Tag<T>())`
// returns a tuple of fields. A field reaches a member (or a member of a member)
// and says when it is written (always, unless given); a reader takes every
// field that is there and leaves the others as the type's defaults. A derived
// field is made from the others for a reader of the form and never read back.
// An enum is carried by name: `nameOf(value)` and `valueOf(name, value)`.
#pragma once

#include <tuple>

template <class T> struct Tag {};

struct Always {
    template <class R> bool operator()(const R&) const { return true; }
};

template <class Reach, class When> struct Field {
    const char* name;
    Reach reach; // (const) R& -> (const) member&
    When when;   // const R& -> whether it is written
};

template <class Make> struct Derived {
    const char* name;
    Make make; // const R& -> the value written
};

template <class R, class T, class When = Always>
auto field(const char* name, T R::*member, When when = When()) {
    const auto reach = [member](auto& record) -> auto& {
        return record.*member;
    };
    return Field<decltype(reach), When>{name, reach, when};
}

// A field kept in a member of a member: `reach` takes the outer object.
template <class Reach, class When = Always>
auto reached(const char* name, Reach reach, When when = When()) {
    return Field<Reach, When>{name, reach, when};
}

template <class Make> auto derived(const char* name, Make make) {
    return Derived<Make>{name, make};
}
