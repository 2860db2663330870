// Where the reader and the writer find the record field of an attribute.
#pragma once

#include <ctime>
#include <string>

namespace tarvik::xml {

enum class FieldType { Text, Int, Amount, Date };

// The address of one record field with its type.
struct FieldAddr {
    FieldType type;
    const void* field;

    const std::string& Text() const { return *static_cast<const std::string*>(field); }
    int Int() const { return *static_cast<const int*>(field); }
    double Amount() const { return *static_cast<const double*>(field); }
    time_t Date() const { return *static_cast<const time_t*>(field); }
};

inline FieldAddr Addr(const std::string& f) { return {FieldType::Text, &f}; }
inline FieldAddr Addr(const int& f) { return {FieldType::Int, &f}; }
inline FieldAddr Addr(const double& f) { return {FieldType::Amount, &f}; }
inline FieldAddr Addr(const time_t& f) { return {FieldType::Date, &f}; }

// Finds one field in a record of type R.
template <class R>
using Locator = FieldAddr (*)(const R&);

}  // namespace tarvik::xml

// A locator of the field at `path` inside a record of type R (a type alias
// in scope).
#define TARVIK_FIELD(path) [](const R& r) { return ::tarvik::xml::Addr(r.path); }
