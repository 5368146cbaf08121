// The read-consistency check in the window: the "Read passes" box, a flaky bit on the simulated
// board listed in the panel, the majority image in the buffer, and a plain Read with one pass.
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include "WindowSupport.h"
#include "sim/ChipFactory.h"
#include "ui/ReadCheckPanel.h"

using namespace tavrin;
using namespace tavrin::ui;
using namespace tavrin::ui::test;

class ReadCheckWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void readWithPassesListsTheFlakyBitAndKeepsTheMajority();
    void onePassIsThePlainRead();
};

void ReadCheckWindowTest::readWithPassesListsTheFlakyBitAndKeepsTheMajority() {
    SettingsFolder folder;
    auto w = makeWindow();
    QVERIFY(w->selectDeviceEntry("27C256"));
    Context& ctx = w->context();
    for (int i = 0; i < 32768; ++i) ctx.Buffer[i] = uint8_t(i * 13 + 7);
    ctx.profile.bufferLoaded = 32768;
    const std::vector<uint8_t> image(ctx.Buffer.begin(), ctx.Buffer.begin() + 32768);
    child<QAction>(*w, "mnuProgram")->trigger();
    QCOMPARE(status(*w), QString("Device Programed OK"));
    std::string error;
    QVERIFY2(ApplySimFault(board(*w), "flaky:0x4321:5", error), error.c_str());
    std::fill(ctx.Buffer.begin(), ctx.Buffer.end(), 0x00);

    child<QSpinBox>(*w, "spReadPasses")->setValue(3);
    child<QAction>(*w, "mnuRead")->trigger();
    const QString summary(
        "1 of 32768 bytes unstable over 3 reads (1 bit); the image holds the "
        "majority");
    QCOMPARE(status(*w), summary);
    auto* panel = child<ReadCheckPanel>(*w, "pReadCheck");
    QVERIFY(panel->isVisible());
    QCOMPARE(child<QLabel>(*panel, "lbReadCheckSummary")->text(), summary);
    auto* list = child<QTableWidget>(*panel, "twUnstable");
    QCOMPARE(list->rowCount(), 1);
    const uint8_t v = image[0x4321];
    QCOMPARE(list->item(0, 0)->text(), QString("0x004321"));
    QCOMPARE(list->item(0, 1)->text(), QString::asprintf("0x%02X", v));
    QCOMPARE(list->item(0, 2)->text(), QString("5"));
    QCOMPARE(list->item(0, 3)->text(), QString::asprintf("0x%02X 0x%02X 0x%02X", v, v ^ 0x20, v));
    QVERIFY(std::equal(image.begin(), image.end(), ctx.Buffer.begin()));
    QVERIFY(!board(*w).socketPowered());
    QVERIFY(!w->running());
}

void ReadCheckWindowTest::onePassIsThePlainRead() {
    SettingsFolder folder;
    auto w = makeWindow();
    QVERIFY(w->selectDeviceEntry("27C64"));
    auto* box = child<QSpinBox>(*w, "spReadPasses");
    QCOMPARE(box->value(), 1);
    QCOMPARE(box->maximum(), kMaxReadPasses);
    child<QAction>(*w, "mnuRead")->trigger();
    QVERIFY2(!status(*w).contains("reads"), qPrintable(status(*w)));
    QVERIFY(!w->findChild<QWidget*>("pReadCheck"));
    QVERIFY(!board(*w).socketPowered());
}

QTEST_MAIN(ReadCheckWindowTest)
#include "ReadCheckWindow_test.moc"
