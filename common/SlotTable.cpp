#include "SlotTable.h"

namespace chain {

SlotTable::SlotTable(int count) : m_slots(static_cast<std::size_t>(count)) {}

bool SlotTable::isSet(int index) const {
    return index >= 0 && index < size() && m_slots[static_cast<std::size_t>(index)].has_value();
}

QString SlotTable::text(int index) const {
    return isSet(index) ? *m_slots[static_cast<std::size_t>(index)] : QString();
}

void SlotTable::set(int index, const QString& value) {
    if (index >= 0 && index < size())
        m_slots[static_cast<std::size_t>(index)] = value;
}

void SlotTable::unset(int index) {
    if (index >= 0 && index < size())
        m_slots[static_cast<std::size_t>(index)].reset();
}

} // namespace chain
