#include "ui/Spi25CPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QSignalBlocker>

#include "core/Context.h"
#include "devices/SpiProtection.h"

namespace tavrin {

void BuildSpi25CPanel(QGroupBox* group, Context& ctx, std::function<void()> changed) {
    auto* label = new QLabel("Block Write Protect", group);
    label->setGeometry(10, 24, 120, 20);
    auto* list = new QComboBox(group);
    list->setObjectName("cb25CxxxBP");
    list->setGeometry(10, 46, 180, 22);
    auto* wpen = new QCheckBox("WPEN ", group);
    wpen->setObjectName("cbWPEN25C");
    wpen->setGeometry(10, 76, 120, 20);
    auto apply = [&ctx, list, wpen, changed] {
        cb25CxxxBPChange(ctx, list->currentIndex(), wpen->isChecked());
        if (changed) changed();
    };
    QObject::connect(list, &QComboBox::currentIndexChanged, group, [apply](int) { apply(); });
    QObject::connect(wpen, &QCheckBox::clicked, group, [apply](bool) { apply(); });
}

void RefreshSpi25CPanel(QGroupBox* group, const Context& ctx) {
    auto* list = group->findChild<QComboBox*>("cb25CxxxBP");
    auto* wpen = group->findChild<QCheckBox*>("cbWPEN25C");
    if (!list || !wpen) return;
    const OptionControls& c = ctx.controls;
    const QSignalBlocker blockList(list);
    const QSignalBlocker blockBox(wpen);
    QStringList items;
    for (const std::string& item : c.cb25CxxxBPItems) items << QString::fromStdString(item);
    QStringList shown;
    for (int i = 0; i < list->count(); ++i) shown << list->itemText(i);
    if (shown != items) {
        list->clear();
        list->addItems(items);
    }
    list->setCurrentIndex(c.cb25CxxxBPItem);
    wpen->setVisible(c.cbWPEN25CVisible);
    wpen->setChecked(c.cbWPEN25CChecked);
}

}  // namespace tavrin
