// The exceptions of the camera access layer: every non-zero result of the
// device manager becomes one of them. Catching TorvaneAcquireException
// catches them all.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace kdTORVANE::acquire {

class TorvaneAcquireException : public std::exception {
public:
    TorvaneAcquireException(std::string message, int32_t code)
        : message_(std::move(message)), code_(code)
    {
    }
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& message() const { return message_; }
    // The device manager's result that caused it.
    int32_t code() const { return code_; }

private:
    std::string message_;
    int32_t code_;
};

#define KD_EXCEPTION_CLASS(Class, Base)                                                            \
    class Class : public Base {                                                                    \
    public:                                                                                        \
        using Base::Base;                                                                          \
    };

KD_EXCEPTION_CLASS(EPropertyHandling, TorvaneAcquireException)
KD_EXCEPTION_CLASS(EComponent, EPropertyHandling)
// The three groups whose messages start with their own name and ": ".
KD_EXCEPTION_CLASS(EProperty, EComponent)
KD_EXCEPTION_CLASS(EPropertyList, EComponent)
KD_EXCEPTION_CLASS(EMethod, EComponent)

// X(code, class, base, text before, what is inserted, text after): the
// exception of each device-manager code and its message, which holds the
// component's name (Name), the caller's text (Text) or nothing (None).
#define KD_EXCEPTION_TABLE(X)                                                                      \
    X(-2000, ENotAList, EComponent, "Component ", Name,                                            \
      " is not a list. Unable to perform list operation.")                                         \
    X(-2001, ENotAProperty, EComponent, "Component ", Name,                                        \
      " is not a property. Unable to perform property operation.")                                 \
    X(-2002, ENotAMethod, EComponent, "Component ", Name,                                          \
      " is not a method. Unable to perform function call operation.")                              \
    X(-2003, ENoReadRights, EComponent, "No read rights for component \"", Name, "\"")             \
    X(-2004, ENoWriteRights, EComponent, "No write rights for component \"", Name, "\"")           \
    X(-2005, ENoModifySizeRights, EComponent, "Component \"", Name,                                \
      "\"s size is fixed and therefore can't be modified")                                         \
    X(-2006, EIncompatibleComponents, EComponent, "Component ", Text,                              \
      " has been compared with an incompatible type (might differ in components, size, etc.)")     \
    X(-2007, ENoUserAllocatedMemory, EComponent, "Component ", Name,                               \
      " hasn't the cfUserAllocatedMemory flag set")                                                \
    X(-2008, EUnsupportedParameter, EPropertyHandling, "Unsupported parameter", None, "")          \
    X(-2009, ESizeMismatch, EPropertyHandling, "Size mismatch during query of values for ", Name,  \
      "")                                                                                          \
    X(-2010, EImplementationMissing, EPropertyHandling,                                            \
      "This feature hasn't been implemented so far", None, "")                                     \
    X(-2012, EInvalidValue, EProperty, "Invalid value for property \"", Name, "\"")                \
    X(-2013, ETranslationTableCorrupted, EProperty, "\"", Name, "\": Translation table corrupted") \
    X(-2014, EValIDOutOfBounds, EProperty, "Val ID out of bounds for \"", Name, "\"")              \
    X(-2015, ETranslationTableNotDefined, EProperty,                                               \
      "translation table hasn't been defined for property \"", Name, "\"")                         \
    X(-2016, EInvalidValueType, EProperty, "Property \"", Name,                                    \
      "\" does not support this value type")                                                       \
    X(-2017, EValTooLarge, EProperty,                                                              \
      "The assigned value is higher then the max. value for property \"", Name, "\"")              \
    X(-2018, EValTooSmall, EProperty,                                                              \
      "The assigned value is smaller then the min. value for property \"", Name, "\"")             \
    X(-2020, EInvalidListID, EPropertyList, "Invalid proplist ID", None, "")                       \
    X(-2021, EComponentIDInvalid, EPropertyList, "Invalid component ID", None, "")                 \
    X(-2022, EListEntryOccupied, EPropertyList, "List entry occupied already", None, "")           \
    X(-2025, ECantAccessData, EPropertyList, "Can't access data at ", Text, "")                    \
    X(-2026, EMethodPtrInvalid, EMethod, "The function pointer for Method \"", Name,               \
      "\" is invalid")                                                                             \
    X(-2027, EInvalidParameterList, EMethod, "The functions parameter list is invalid", None, "")  \
    X(-2029, EInvalidInputParameter, EPropertyHandling,                                            \
      "One or more of the input parameters are invalid ( NULL-pointers? )", None, "")              \
    X(-2031, EInputBufferTooSmall, EPropertyHandling,                                              \
      "The user supplied input buffer was too small for the result", None, "")                     \
    X(-2032, EWrongParamCount, EPropertyHandling, "Wrong parameter count", None, "")               \
    X(-2033, EUnsupportedOperation, EPropertyHandling,                                             \
      "This component does not support this operation", None, "")                                  \
    X(-2034, ECantSerializeData, EPropertyHandling, "No serialize rights for list '", Name, "'")

#define KD_EXCEPTION_LEAF(code, Class, Base, before, insert, after) KD_EXCEPTION_CLASS(Class, Base)
KD_EXCEPTION_TABLE(KD_EXCEPTION_LEAF)
#undef KD_EXCEPTION_LEAF

// Raises the exception of device-manager result `code` about the component
// `name`; `text` is the caller's text for the messages that hold one. A code
// outside the table raises EPropertyHandling "Unknown error occurred during
// processing of component " and the name.
[[noreturn]] void Raise(int32_t code, const std::string& name, const std::string& text = "");

} // namespace kdTORVANE::acquire
