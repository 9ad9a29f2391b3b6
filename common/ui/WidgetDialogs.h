#pragma once

#include "Dialogs.h"

class QWidget;

namespace chain {

// The real boxes: QMessageBox for messages and questions, QFileDialog for folders.
// Each box is modal and owned by the given window.
class WidgetDialogs : public Dialogs {
  public:
    explicit WidgetDialogs(QWidget* owner = nullptr) : m_owner(owner) {}
    void setOwner(QWidget* owner) { m_owner = owner; }

    void message(const QString& title, const QString& text, Icon icon = Icon::None,
                 const QString& details = {}) override;
    bool question(const QString& title, const QString& text) override;
    std::optional<QString> pickFolder(const QString& title, const QString& startFolder,
                                      const QString& filter = {}) override;

  private:
    QWidget* m_owner;
};

} // namespace chain
