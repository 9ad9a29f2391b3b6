#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace chain {

// A program's settings and engine state: numbered slots of text, each either unset or
// holding a value. An unset slot differs from one holding "" or "0".
class SlotTable {
  public:
    explicit SlotTable(int count);

    int size() const { return static_cast<int>(m_slots.size()); }
    bool isSet(int index) const;
    // The slot's text, or an empty text when it is unset.
    QString text(int index) const;
    void set(int index, const QString& value);
    void unset(int index);

  private:
    std::vector<std::optional<QString>> m_slots;
};

} // namespace chain
