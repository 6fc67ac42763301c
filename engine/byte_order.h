// Little-endian loads and stores of integers in byte buffers, for the stored
// layouts (registry values, database tables, saved-game blobs) that must not
// depend on the host's byte order or on the alignment of the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

namespace corvelle {

template <typename T>
T LoadLE(const uint8_t* p) {
    static_assert(std::is_integral<T>::value, "integers only");
    using U = std::make_unsigned_t<T>;
    U v = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
        v = static_cast<U>(v | static_cast<U>(p[i]) << (8 * i));
    return static_cast<T>(v);
}

template <typename T>
void StoreLE(uint8_t* p, T value) {
    static_assert(std::is_integral<T>::value, "integers only");
    const auto v = static_cast<std::make_unsigned_t<T>>(value);
    for (size_t i = 0; i < sizeof(T); ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

template <typename T>
void AppendLE(std::vector<uint8_t>& out, T value) {
    const size_t at = out.size();
    out.resize(at + sizeof(T));
    StoreLE(out.data() + at, value);
}

}  // namespace corvelle
