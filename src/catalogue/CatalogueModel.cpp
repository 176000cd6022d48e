#include "catalogue/CatalogueModel.h"

#include <algorithm>

namespace Catalogue {

int CatalogueModel::FindPlaceList(int node_index) const
{
    // Slots are made in node order, so their node indexes ascend.
    auto it = std::lower_bound(PlaceLists.begin(), PlaceLists.end(), node_index,
        [](const PlaceList& slot, int index) { return slot.NodeIndex < index; });
    if (it == PlaceLists.end() || it->NodeIndex != node_index)
        return -1;
    return int(it - PlaceLists.begin());
}

} // namespace Catalogue
