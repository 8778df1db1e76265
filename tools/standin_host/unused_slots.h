// The slots of the host's function tables that the effect never calls. The
// stand-in host lays out every table as the host does and fills each such slot
// with a function that stops the process, naming table and slot, so a call
// through a misplaced slot is found instead of landing in a neighbour.
#pragma once

#include <cstddef>
#include <cstring>
#include <utility>

#include "platform/drawbot.h"
#include "platform/pf_custom_ui.h"
#include "platform/pf_effect.h"
#include "platform/pf_smart_render.h"
#include "platform/pf_suites.h"
#include "platform/sp_basic_suite.h"

namespace standin {

// Reports the call on standard error and aborts.
[[noreturn]] void unusedSlotCalled(const char* table, std::size_t slot);

template <class Table>
constexpr const char* unusedSlotTable = nullptr;
// Inline: clang gives an explicit specialization of a variable template one
// definition per object file otherwise.
#define STANDIN_HOST_TABLE(Table) \
    template <>                   \
    inline constexpr const char* unusedSlotTable<Table> = #Table
STANDIN_HOST_TABLE(PF_InteractCallbacks);
STANDIN_HOST_TABLE(PF_UtilCallbacks);
STANDIN_HOST_TABLE(SPBasicSuite);
STANDIN_HOST_TABLE(PF_PreRenderCallbacks);
STANDIN_HOST_TABLE(PF_SmartRenderCallbacks);
STANDIN_HOST_TABLE(PF_HandleSuite1);
STANDIN_HOST_TABLE(PF_WorldSuite2);
STANDIN_HOST_TABLE(PF_PixelFormatSuite1);
STANDIN_HOST_TABLE(PF_UtilitySuite4);
STANDIN_HOST_TABLE(PF_EffectCustomUISuite1);
STANDIN_HOST_TABLE(DRAWBOT_DrawbotSuite1);
STANDIN_HOST_TABLE(DRAWBOT_SupplierSuite1);
STANDIN_HOST_TABLE(DRAWBOT_SurfaceSuite2);
STANDIN_HOST_TABLE(DRAWBOT_PathSuite1);
#undef STANDIN_HOST_TABLE

template <class Table, std::size_t Slot>
void unusedSlot() {
    unusedSlotCalled(unusedSlotTable<Table>, Slot);
}

template <class Table, std::size_t... Slots>
void fillUnusedSlots(Table& table, std::index_sequence<Slots...>) {
    const PF_ReservedSlot slots[] = {&unusedSlot<Table, Slots>...};
    std::memcpy(static_cast<void*>(&table), slots, sizeof slots);
}

// Points every slot of the table at its unused-slot function; the caller then
// sets the slots the effect uses. Every table is a run of pointer-sized slots.
template <class Table>
void fillUnusedSlots(Table& table) {
    static_assert(unusedSlotTable<Table> != nullptr, "a host table the stand-in host knows");
    static_assert(sizeof(Table) % sizeof(PF_ReservedSlot) == 0, "a table of whole slots");
    fillUnusedSlots(table, std::make_index_sequence<sizeof(Table) / sizeof(PF_ReservedSlot)>());
}

// A table through which the effect may call nothing: for tests in which a suite
// only has to be handed out.
template <class Table>
Table unusedTable() {
    Table table;
    fillUnusedSlots(table);
    return table;
}

}  // namespace standin
