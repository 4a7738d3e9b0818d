// A per-line array: at most six entries (line 1 first), held inline.
//
// Charts and analysis records hold a dozen of these each, and a cast builds two charts;
// keeping the entries inline spares every cast its heap allocations. Entries beyond the
// sixth are ignored: no builder ever appends more, since every chart has six lines.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "base/Text.h"

namespace orvenna {

template <typename T>
class LineArray {
public:
    static constexpr std::size_t Capacity = 6;
    using value_type = T;
    using iterator = T*;
    using const_iterator = const T*;
    using size_type = std::size_t;

    LineArray() = default;
    LineArray(std::initializer_list<T> values) {
        for (const T& value : values) push_back(value);
    }

    void push_back(T value) {
        if (size_ < Capacity) items_[size_++] = std::move(value);
    }
    // Assigns into the slot, so a text slot keeps its storage instead of taking a temporary.
    template <typename Arg>
    void emplace_back(Arg&& arg) {
        if (size_ >= Capacity) return;
        T& item = items_[size_++];
        if constexpr (std::is_same_v<T, std::wstring> && std::is_convertible_v<Arg, std::wstring_view>) {
            assignText(item, std::wstring_view(arg));
        } else {
            item = std::forward<Arg>(arg);
        }
    }
    // Forgets the entries. Their values stay in their slots, out of reach (only the first
    // size() are ever read), so that the next cast writes a text over the last one in place,
    // mostly one of the same length.
    void clear() { size_ = 0; }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T& operator[](std::size_t i) { return items_[i]; }
    const T& operator[](std::size_t i) const { return items_[i]; }
    const T& back() const { return items_[size_ - 1]; }
    T* begin() { return items_.data(); }
    T* end() { return items_.data() + size_; }
    const T* begin() const { return items_.data(); }
    const T* end() const { return items_.data() + size_; }

    friend bool operator==(const LineArray& a, const LineArray& b) {
        if (a.size_ != b.size_) return false;
        for (std::size_t i = 0; i < a.size_; ++i) {
            if (!(a.items_[i] == b.items_[i])) return false;
        }
        return true;
    }

private:
    std::array<T, Capacity> items_{};
    std::size_t size_ = 0;
};

// The empty value lineEntry() gives past an array's end.
template <typename T>
inline const T EmptyLineEntry{};

// Entry i of a per-line array, or an empty value past its end (a chart that was not built).
// A reference, so that reading a text entry copies nothing.
template <typename Lines>
const typename Lines::value_type& lineEntry(const Lines& values, std::size_t i) {
    return i < values.size() ? values[i] : EmptyLineEntry<typename Lines::value_type>;
}

}  // namespace orvenna
