#pragma once
// The parallel ports of this machine beside the port list: each /dev/parport* node with the
// kernel's base address, the driver that holds it and whether this user may open it.

#include <QDialog>

class QPlainTextEdit;

namespace tavrin::ui {

class PortsPanel : public QDialog {
    Q_OBJECT
  public:
    explicit PortsPanel(QWidget* parent);
    // Looks again and shows what it found.
    void refresh();
    QString text() const;

  private:
    QPlainTextEdit* list_ = nullptr;
};

// The window's one panel (object name "pPorts"), made on first use, refreshed and shown.
PortsPanel* ShowPortsPanel(QWidget* window);

}  // namespace tavrin::ui
