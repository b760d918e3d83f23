// Wrappers of the device manager's components: each holds one handle and
// calls one operation a method; a non-zero result raises the exception of its
// code (exceptions.h), named after the component.
#pragma once

#include <string>
#include <vector>

#include <kddevmgr/kddevmgr.h>

namespace kdTORVANE::acquire {

// Raises the exception of a non-zero `result`, with the name of `component`.
void Check(int32_t result, HOBJ component);
// Raises TorvaneAcquireException `text` with the code of a non-zero `result`.
void Require(int32_t result, const std::string& text);
// The name of `component`, or "" when it has none to give.
std::string NameOf(HOBJ component);

class ComponentAccess {
public:
    // Raises EInvalidListID for a handle the device manager does not know.
    explicit ComponentAccess(HOBJ handle);

    HOBJ handle() const { return handle_; }
    std::string name() const;
    int32_t type() const;   // KD_TYPE_*
    int32_t access() const; // KD_ACCESS_*
    // The next component on the same level (KD_INVALID_HANDLE after the last).
    HOBJ NextSibling() const;

protected:
    HOBJ handle_;
};

class PropertyAccess : public ComponentAccess {
public:
    // Raises ENotAProperty for a component that is not a property.
    explicit PropertyAccess(HOBJ handle);

    int32_t ValueCount() const;
    // Whether there is a value at `index` (the maximum, minimum and step at -1, -2, -3).
    bool HasValue(int32_t index) const;
    // Entries of the translation dictionary (0: none).
    int32_t DictionarySize() const;

    int32_t ReadInt(int32_t index = 0) const;
    void WriteInt(int32_t value, int32_t index = 0) const;
    // A value of the third integer kind (KD_TYPE_INT64), which has its own read.
    int64_t ReadInt64(int32_t index = 0) const;
    double ReadReal(int32_t index = 0) const;
    void WriteReal(double value, int32_t index = 0) const;
    // Values as texts, through the dictionary where there is one.
    std::string ReadText(int32_t index = 0) const;
    void WriteText(const std::string& text, int32_t index = 0) const;
    // The texts of the translation dictionary of an integer or real property.
    std::vector<std::string> DictionaryTexts() const;
};

class ListAccess : public ComponentAccess {
public:
    // Raises ENotAList for a component that is not a list.
    explicit ListAccess(HOBJ handle);

    int32_t Count() const;
    int32_t ChangeCounter() const;
    HOBJ FirstChild() const;
    // The entry `name` (list or property); raises when there is none.
    HOBJ Find(const std::string& name) const;
    PropertyAccess Property(const std::string& name) const { return PropertyAccess(Find(name)); }
    ListAccess List(const std::string& name) const { return ListAccess(Find(name)); }
    // A setting takes the values of "Base" again.
    void Reset() const;
};

} // namespace kdTORVANE::acquire
