// Compile-time readings of a declaration in the notation of the measured layout
// files: the kind of a type ("i" signed, "u" unsigned, "f" float, "p" pointer, "F"
// function pointer, "e" enum, "s" struct, "U" union, "a:x" array of x) and a
// function pointer's signature ("i4(p8,u4,...)": return, then arguments, each a
// kind with its size in bytes; "v" for void).
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

namespace abi {

// The declared type of a member, as decltype names it through an lvalue.
template <class T>
using MemberType = std::remove_reference_t<T>;

template <class T>
constexpr char kindLetter() {
    if constexpr (std::is_array_v<T>) return 'a';
    else if constexpr (std::is_pointer_v<T> && std::is_function_v<std::remove_pointer_t<T>>) return 'F';
    else if constexpr (std::is_pointer_v<T>) return 'p';
    else if constexpr (std::is_enum_v<T>) return 'e';
    else if constexpr (std::is_floating_point_v<T>) return 'f';
    else if constexpr (std::is_integral_v<T>) return std::is_signed_v<T> ? 'i' : 'u';
    else if constexpr (std::is_union_v<T>) return 'U';
    else if constexpr (std::is_class_v<T>) return 's';
    else return '?';
}

template <class T>
constexpr bool kindIs(const char* kind) {
    if constexpr (std::is_array_v<T>) {
        return kind[0] == 'a' && kind[1] == ':' && kind[2] == kindLetter<std::remove_extent_t<T>>() &&
               kind[3] == '\0';
    } else {
        return kind[0] == kindLetter<T>() && kind[1] == '\0';
    }
}

constexpr bool sameText(const char* a, const char* b) {
    while (*a != '\0' && *a == *b) ++a, ++b;
    return *a == *b;
}

// Reads one type code at text[at] ("v", or a kind letter and a size) and moves past it.
template <class T>
constexpr bool readCode(const char* text, std::size_t& at) {
    if constexpr (std::is_void_v<T>) {
        return text[at++] == 'v';
    } else {
        if (text[at++] != kindLetter<T>()) return false;
        std::size_t size = 0;
        bool digits = false;
        while (text[at] >= '0' && text[at] <= '9') size = size * 10 + std::size_t(text[at++] - '0'), digits = true;
        return digits && size == sizeof(T);
    }
}

template <class... Args>
constexpr bool readArguments(const char* text, std::size_t& at) {
    bool ok = true;
    bool first = true;
    ((ok = ok && (first || text[at++] == ',') && readCode<Args>(text, at), first = false), ...);
    return ok;
}

template <class F>
struct Signature {
    static constexpr bool is(const char*) { return false; }
};

template <class R, class... Args>
struct Signature<R (*)(Args...)> {
    static constexpr bool is(const char* text) {
        std::size_t at = 0;
        return readCode<R>(text, at) && text[at++] == '(' && readArguments<Args...>(text, at) &&
               text[at] == ')' && text[at + 1] == '\0';
    }
};

template <class R, class... Args>
struct Signature<R (*)(Args..., ...)> {
    static constexpr bool is(const char* text) {
        std::size_t at = 0;
        return readCode<R>(text, at) && text[at++] == '(' && readArguments<Args...>(text, at) &&
               (sizeof...(Args) == 0 || text[at++] == ',') && sameText(text + at, "...)");
    }
};

template <class F>
constexpr bool signatureIs(const char* text) {
    return Signature<F>::is(text);
}

}  // namespace abi

// A member the host's record does not have must not be declared in ours.
#define ABI_EXPECT_NO_MEMBER(Record, member, what)                                                      \
    template <class T, class = void>                                                                    \
    struct abi_has_##member##_in_##Record : std::false_type {};                                         \
    template <class T>                                                                                  \
    struct abi_has_##member##_in_##Record<T, std::void_t<decltype(std::declval<T&>().member)>>          \
        : std::true_type {};                                                                            \
    static_assert(!abi_has_##member##_in_##Record<Record>::value, what)
