#include "lists/liststores.h"

ListStores::ListStores(std::array<int32_t, 7>& itemCounts)
{
    for (int k = 1; k <= 6; ++k) {
        auto rows = std::make_unique<platform::forms::ListRows>();
        // The lists take several rows at once from the start.
        rows->setMultiSelect(true);
        platform::forms::ListRows* r = rows.get();
        const auto follow = [r, &itemCounts, k] { itemCounts[static_cast<size_t>(k)] = r->count(); };
        QObject::connect(r, &QAbstractItemModel::rowsInserted, r, follow);
        QObject::connect(r, &QAbstractItemModel::rowsRemoved, r, follow);
        QObject::connect(r, &QAbstractItemModel::modelReset, r, follow);
        itemCounts[static_cast<size_t>(k)] = 0;
        rows_[static_cast<size_t>(k)] = std::move(rows);
    }
}

ListStores::~ListStores() = default;

platform::forms::ListRows* ListStores::at(int kind) const
{
    return validKind(kind) ? rows_[static_cast<size_t>(kind)].get() : nullptr;
}
