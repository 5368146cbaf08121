#include "ui/PortsPanel.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "hardware/PortDiscovery.h"

namespace tavrin::ui {

PortsPanel::PortsPanel(QWidget* parent) : QDialog(parent) {
    setObjectName("pPorts");
    setWindowTitle("Parallel ports");
    auto* layout = new QVBoxLayout(this);
    list_ = new QPlainTextEdit;
    list_->setObjectName("edPortList");
    list_->setReadOnly(true);
    list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    layout->addWidget(list_);
    auto* again = new QPushButton("Look again");
    again->setObjectName("btnPortsRefresh");
    layout->addWidget(again);
    connect(again, &QPushButton::clicked, this, [this] { refresh(); });
    resize(520, 220);
}

void PortsPanel::refresh() {
    QStringList lines;
    for (const ParallelPortInfo& port : DiscoverParallelPorts())
        lines << QString::fromStdString(DescribePort(port));
    if (lines.isEmpty()) lines << kNoParallelPort;
    list_->setPlainText(lines.join('\n'));
}

QString PortsPanel::text() const {
    return list_->toPlainText();
}

PortsPanel* ShowPortsPanel(QWidget* window) {
    auto* panel = window->findChild<PortsPanel*>("pPorts");
    if (!panel) panel = new PortsPanel(window);
    panel->refresh();
    panel->show();
    panel->raise();
    return panel;
}

}  // namespace tavrin::ui
