// The window's inspection tools on the simulated board: the checksums panel, the halves choice
// of the file dialogs.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include "WindowSupport.h"
#include "hardware/PortDiscovery.h"
#include "ui/DifferencePanel.h"
#include "ui/PortsPanel.h"

using namespace tavrin;
using namespace tavrin::ui;
using namespace tavrin::ui::test;

class DiagnosticWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void checksumPanelShowsEverySumForTheDeviceAndARange();
    void loadDialogMergesAPairAndSaveDialogWritesOneHalf();
    void failedVerifyMarksEveryDifferenceAndStepsThroughThem();
    void portsPanelBesideThePortListShowsWhatTheMachineHas();
};

void DiagnosticWindowTest::checksumPanelShowsEverySumForTheDeviceAndARange() {
    SettingsFolder folder;
    auto w = makeWindow();
    QVERIFY(w->selectDeviceEntry("27C256"));
    const std::string text = "123456789";
    std::copy(text.begin(), text.end(), w->context().Buffer.begin());
    w->winstat();
    QTest::mouseClick(child<QPushButton>(*w, "btnChecksums"), Qt::LeftButton);
    auto* panel = child<QWidget>(*w, "pChecksums");
    QVERIFY(panel->isVisible());
    QCOMPARE(child<QLineEdit>(*panel, "edSumLast")->text(), QString("007FFF"));
    // The byte sum over the device agrees with edChecksum's "16 Bit Addition".
    QCOMPARE(child<QLineEdit>(*panel, "edSum_sum16")->text(),
             child<QLineEdit>(*w, "edChecksum")->text().trimmed());

    child<QLineEdit>(*panel, "edSumLast")->setText("8");
    QTest::mouseClick(child<QPushButton>(*panel, "btnSumCompute"), Qt::LeftButton);
    QCOMPARE(child<QLineEdit>(*panel, "edSum_crc32")->text(), QString("0xCBF43926"));
    QCOMPARE(child<QLineEdit>(*panel, "edSum_crc16")->text(), QString("0x29B1"));
    QCOMPARE(child<QLineEdit>(*panel, "edSum_sha256")->text(),
             QString("15e2b0d3c33891ebb0f1ef609ec419420c20e320ce94c65fbc8c3312448eb225"));

    child<QLineEdit>(*panel, "edSumFirst")->setText("10");
    QTest::mouseClick(child<QPushButton>(*panel, "btnSumCompute"), Qt::LeftButton);
    QVERIFY(child<QWidget>(*panel, "lbSumRangeError")->isVisible());
    QVERIFY(child<QLineEdit>(*panel, "edSum_crc32")->text().isEmpty());
    QTest::mouseClick(child<QPushButton>(*panel, "btnSumDevice"), Qt::LeftButton);
    QVERIFY(!child<QWidget>(*panel, "lbSumRangeError")->isVisible());
    QCOMPARE(child<QLineEdit>(*panel, "edSumFirst")->text(), QString("000000"));
}

namespace {

// Answers the next file dialog named `name`: the halves choice, the file, the type entry.
void answerFileDialog(const char* name, int halves, const QString& file, int typeIndex = -1) {
    auto tries = std::make_shared<int>(0);
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [=] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != name) {
            if (++*tries < 500) QTimer::singleShot(10, *poll);
            return;
        }
        if (halves >= 0) dialog->findChild<QComboBox*>("cbHalves")->setCurrentIndex(halves);
        if (typeIndex >= 0)
            dialog->findChild<QComboBox*>("fileTypeCombo")->setCurrentIndex(typeIndex);
        dialog->selectFile(file);
        static_cast<QDialog*>(dialog)->accept();
    };
    QTimer::singleShot(0, *poll);
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

void DiagnosticWindowTest::loadDialogMergesAPairAndSaveDialogWritesOneHalf() {
    SettingsFolder folder;
    QTemporaryDir dir;
    auto w = makeWindow();
    QVERIFY(w->selectDeviceEntry("27C1024"));
    const QString even = dir.filePath("even.bin"), odd = dir.filePath("odd.bin");
    for (const auto& [name, bytes] : {std::pair{even, QByteArray("\x11\x22\x33")},
                                      std::pair{odd, QByteArray("\xAA\xBB\xCC")}}) {
        QFile f(name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    answerFileDialog("FileOpen", 1, even);
    answerFileDialog("FileOpenOdd", -1, odd);
    child<QAction>(*w, "mnuLoad")->trigger();
    const auto& buffer = w->context().Buffer;
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(buffer.data()), 7),
             QByteArray("\x11\xAA\x22\xBB\x33\xCC\xFF"));
    QCOMPARE(w->context().profile.bufferLoaded, 6u);

    // Save -> Binary, odd bytes only: half the device, the buffer untouched.
    answerFileDialog("FileSave", 2, dir.filePath("high.bin"), 0);
    child<QAction>(*w, "mnuSave")->trigger();
    const QByteArray high = fileBytes(dir.filePath("high.bin"));
    QCOMPARE(high.size(), 65536);
    QCOMPARE(high.left(4), QByteArray("\xAA\xBB\xCC\xFF"));
    QCOMPARE(buffer[1], uint8_t(0xAA));
    // The type lists keep their entries.
    answerFileDialog("FileSave", 0, dir.filePath("whole.bin"), 0);
    child<QAction>(*w, "mnuSave")->trigger();
    QCOMPARE(fileBytes(dir.filePath("whole.bin")).size(), 131072);
}

void DiagnosticWindowTest::failedVerifyMarksEveryDifferenceAndStepsThroughThem() {
    SettingsFolder folder;
    auto w = makeWindow();
    QVERIFY(w->selectDeviceEntry("27C256"));
    Context& ctx = w->context();
    for (int i = 0; i < 32768; ++i) ctx.Buffer[i] = uint8_t(i * 13 + 7);
    ctx.Buffer[0x10] = 0xF0, ctx.Buffer[0x200] = 0xFF, ctx.Buffer[0x7FFF] = 0x0F;
    ctx.profile.bufferLoaded = 32768;
    child<QAction>(*w, "mnuProgram")->trigger();
    QCOMPARE(status(*w), QString("Device Programed OK"));
    // The file now differs from the chip in three bytes.
    ctx.Buffer[0x10] = 0xF1, ctx.Buffer[0x200] = 0x7F, ctx.Buffer[0x7FFF] = 0xF0;

    child<QAction>(*w, "mnuVerify")->trigger();
    QVERIFY2(!w->findChild<QWidget*>("pDifferences"), "no report unless asked");
    const QString firstError = status(*w);
    QVERIFY2(firstError.contains("0x000010"), qPrintable(firstError));

    child<QCheckBox>(*w, "cbDiffReport")->setChecked(true);
    child<QAction>(*w, "mnuVerify")->trigger();
    QCOMPARE(status(*w), firstError);  // the status line keeps the first error
    auto* panel = child<DifferencePanel>(*w, "pDifferences");
    QVERIFY(panel->isVisible());
    QCOMPARE(child<QLabel>(*panel, "lbDiffSummary")->text(),
             QString("3 bytes of 32768 differ (bits 1->0: 5, 0->1: 5)"));
    QVERIFY(child<QLabel>(*panel, "lbDiffHint")->isVisible());  // the 0 at 0x10 needs an erase
    auto* list = child<QTableWidget>(*panel, "twDifferences");
    QCOMPARE(list->rowCount(), 3);
    QCOMPARE(list->item(1, 0)->text(), QString("0x000200"));
    QCOMPARE(list->item(1, 1)->text(), QString("0xFF"));
    QCOMPARE(list->item(1, 2)->text(), QString("0x7F"));
    QCOMPARE(ctx.Buffer[0x200], uint8_t(0x7F));  // the file image is back

    auto* grid = child<QTableView>(*w, "HexGrid");
    const auto mark = [&](uint32_t a) {
        return grid->model()->index(int(a / 16), int(a % 16) + 1).data(Qt::BackgroundRole);
    };
    QVERIFY(mark(0x10).isValid());
    QVERIFY(mark(0x200).isValid());
    QVERIFY(mark(0x7FFF).isValid());
    QVERIFY(!mark(0x11).isValid());
    QTest::mouseClick(child<QPushButton>(*panel, "btnDiffNext"), Qt::LeftButton);
    QCOMPARE(panel->currentAddress(), 0x10);
    QTest::mouseClick(child<QPushButton>(*panel, "btnDiffNext"), Qt::LeftButton);
    QCOMPARE(panel->currentAddress(), 0x200);
    QVERIFY(mark(0x200) != mark(0x10));  // the current one stands out
    QTest::mouseClick(child<QPushButton>(*panel, "btnDiffPrev"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(*panel, "btnDiffPrev"), Qt::LeftButton);
    QCOMPARE(panel->currentAddress(), 0x7FFF);  // wraps around
    panel->close();
    QVERIFY(!mark(0x200).isValid());
    QVERIFY(!board(*w).socketPowered());
}

void DiagnosticWindowTest::portsPanelBesideThePortListShowsWhatTheMachineHas() {
    SettingsFolder folder;
    auto w = makeWindow();
    const QStringList items{"LPT1 (0x378)", "LPT2 (0x278)", "LPT3 (0x3BC)", ""};
    auto* cbPort = child<QComboBox>(*w, "cbPort");
    QCOMPARE(cbPort->count(), 4);  // the port list keeps its items
    for (int i = 0; i < 4; ++i) QCOMPARE(cbPort->itemText(i), items[i]);
    QTest::mouseClick(child<QToolButton>(*w, "btnPorts"), Qt::LeftButton);
    auto* panel = child<PortsPanel>(*w, "pPorts");
    QVERIFY(panel->isVisible());
    QString expected;
    for (const ParallelPortInfo& port : DiscoverParallelPorts())
        expected += (expected.isEmpty() ? "" : "\n") + QString::fromStdString(DescribePort(port));
    if (expected.isEmpty()) expected = kNoParallelPort;
    QCOMPARE(panel->text(), expected);
}

QTEST_MAIN(DiagnosticWindowTest)
#include "DiagnosticWindow_test.moc"
