// The OPTS menu's commands on the measurement memory: deleting the route,
// deleting the off-route points and erasing the memory after a memory error.
// Each leaves the selection on a point the store still holds. Worker thread
// only.
#include "device/Deviceioemulation.h"
#include "firmware/Offlinemode.h"
#include "resources/StringIds.h"

namespace {

// Off-route point number 1: loaded from the store when it holds it, else
// made the new point's slot.
void SelectFirstOffRoutePoint() {
    TRouteCounts counts;
    RouteGetCounts(counts);
    MenuState.SelectedPoint = OFFROUTE_FIRST_INDEX;
    if (counts[0] == 0)
        NewOffRouteRecord(1);
    else
        RouteGetPoint(OFFROUTE_FIRST_INDEX, CurrentPoint);
}

} // namespace

bool RecordStoreResult(int16_t rc) {
    MenuState.MemStatus = rc;
    if (rc != MEM_ERROR) return false;
    ShowMessage(LcdStr(TEXT_MEMORY_ERROR), 1, 1);
    MenuState.MenuItem = ITEM_MEAS;
    return true;
}

void DeleteRoute() {
    if (MenuState.MemStatus == MEM_ERROR) return;
    if (AskYesNo(LcdStr(TEXT_DELETE_ROUTE_ASK), 1, HINT_ASK_DELETE_ROUTE) == 0) return;
    if (RecordStoreResult(RouteDelete())) return;
    ShowMessage(LcdStr(TEXT_ROUTE_DELETED), 1, 1);
    TRouteCounts counts;
    RouteGetCounts(counts);
    // Below the off-route indices in use: it was a route point, gone now.
    if (MenuState.SelectedPoint < OFFROUTE_FIRST_INDEX - counts[0]) SelectFirstOffRoutePoint();
}

void DeleteOffRoutePoints() {
    if (MenuState.MemStatus == MEM_ERROR) return;
    if (AskYesNo(LcdStr(TEXT_DELETE_OFFROUTE_ASK), 0, HINT_ASK_DELETE_OFFROUTE) == 0) return;
    if (RecordStoreResult(OffRouteDelete())) return;
    ShowMessage(LcdStr(TEXT_OFFROUTE_DELETED), 0, 1);
    TRouteCounts counts;
    RouteGetCounts(counts);
    // Above the route: it was an off-route point, gone now.
    if (MenuState.SelectedPoint > counts[1]) {
        MenuState.SelectedPoint = OFFROUTE_FIRST_INDEX;
        NewOffRouteRecord(1);
    }
}

void EraseMemory() {
    if (MenuState.MemStatus != MEM_ERROR) {
        ShowMessage(LcdStr(TEXT_ERASE_NOTICE), 0, 1);
        return;
    }
    ShowMessage(LcdStr(TEXT_ERASING), 1, 0);
    if (RecordStoreResult(MemoryErase())) return;
    SelectFirstOffRoutePoint();
    // Keys pressed while the memory was being erased are not meant for the menu.
    FlushKey();
}

// The emulated instrument keeps its measurements as status words that stay
// valid; there is nothing to erase.
int16_t MemoryErase() {
    return 0;
}
