#pragma once

// The rows of the six lists, kept for the window's life: the pane's list
// views show them while they exist. Each list's item count follows its rows
// after every change.

#include "platform/win/listrows.h"

#include <array>
#include <cstdint>
#include <memory>

class ListStores {
public:
    // itemCounts[k] is kept equal to list k's row count.
    explicit ListStores(std::array<int32_t, 7>& itemCounts);
    ~ListStores();
    ListStores(const ListStores&) = delete;
    ListStores& operator=(const ListStores&) = delete;

    // The rows of list kind 1-6; nullptr for any other kind.
    platform::forms::ListRows* at(int kind) const;
    // The rows of a kind that must be valid.
    platform::forms::ListRows& operator[](int kind) const { return *rows_.at(static_cast<size_t>(kind)); }

    static bool validKind(int kind) { return kind >= 1 && kind <= 6; }

private:
    std::array<std::unique_ptr<platform::forms::ListRows>, 7> rows_;
};
