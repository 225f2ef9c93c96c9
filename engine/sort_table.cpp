#include "engine/sort_table.h"

#include <cstring>
#include <vector>

#include "engine/frame_sort.h"
#include "engine/log.h"

namespace engine {

namespace {

enum { FLARE_ENTRIES = 32 };

// Capacities of the tables handed out; scenes come and go one at a time, so this stays tiny.
struct TableRecord {
    const void* table;
    int capacity;
};
std::vector<TableRecord>& tableRecords() {
    static std::vector<TableRecord> records;
    return records;
}

} // namespace

int AllocFaceSortTable(scene::Scene* scene) {
    if (!scene) return 0;
    FreeFaceSortTable(scene);
    long faces = 0;
    for (scene::WorldNode* n = scene->worldFirst; n; n = n->next)
        if (n->kind == scene::WORLD_OBJECT && n->record) {
            const int count = static_cast<scene::Object*>(n->record)->faceCount;
            if (count > 0) faces += count;
        }
    const long entries = faces + FLARE_ENTRIES;
    void* table = EngineCalloc(static_cast<std::size_t>(entries), sizeof(SortEntry), RELEASE_SOURCE,
                               71, "face_sort_table[]");
    scene->faceSortTable = table;
    if (!table) return 0;
    tableRecords().push_back({table, static_cast<int>(entries)});
    // Large zeroed blocks come from the system unmapped; writing them now maps their pages
    // before the first frame instead of during it, and so does the sort's own room.
    std::memset(table, 0, static_cast<std::size_t>(entries) * sizeof(SortEntry));
    ReserveFrameSort(static_cast<int>(entries));
    return 1;
}

void FreeFaceSortTable(scene::Scene* scene) {
    if (!scene || !scene->faceSortTable) return;
    auto& records = tableRecords();
    for (std::size_t i = 0; i < records.size(); ++i)
        if (records[i].table == scene->faceSortTable) {
            records.erase(records.begin() + static_cast<long>(i));
            break;
        }
    EngineFree(scene->faceSortTable, RELEASE_SOURCE, 57);
    scene->faceSortTable = nullptr;
}

int FaceSortCapacity(const scene::Scene* scene) {
    if (!scene || !scene->faceSortTable) return 0;
    for (const TableRecord& r : tableRecords())
        if (r.table == scene->faceSortTable) return r.capacity;
    return 0;
}

} // namespace engine
