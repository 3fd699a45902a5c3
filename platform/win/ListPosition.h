// Inside the window layer: POSITION over the lists it keeps as vectors (a document's views,
// a template's documents, the application's templates): the index plus one, NULL for none.
#pragma once

#include "platform/core/Types.h"

#include <vector>

namespace kel::win {

template <class T> POSITION FirstPosition(const std::vector<T>& list) {
    return list.empty() ? nullptr : reinterpret_cast<POSITION>(static_cast<UINT_PTR>(1));
}

// The element at pos, and pos moved to the next one (NULL after the last).
template <class T> T NextAt(const std::vector<T>& list, POSITION& pos) {
    const size_t i = reinterpret_cast<UINT_PTR>(pos) - 1;
    if (pos == nullptr || i >= list.size()) {
        pos = nullptr;
        return T();
    }
    pos = i + 1 < list.size() ? reinterpret_cast<POSITION>(static_cast<UINT_PTR>(i + 2)) : nullptr;
    return list[i];
}

} // namespace kel::win
