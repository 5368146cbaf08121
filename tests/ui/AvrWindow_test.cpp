// The window with an AVR selected: the "AVR 8-bit RISC   Lock Bit/FuseBit" group follows the part,
// its buttons write lock and fuse bits to the simulated AT90S chip, and the SPIEN question.
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "WindowSupport.h"
#include "buffer/FileCommands.h"
#include "core/ImageBuffer.h"
#include "sim/mcu/SimAvr.h"

using namespace tavrin;
using namespace tavrin::ui;
using namespace tavrin::ui::test;

namespace {

sim::SimAvr& chip(TfrmEprom& w) {
    auto* c = dynamic_cast<sim::SimAvr*>(board(w).chip());
    if (!c) qFatal("no AVR chip in the socket");
    return *c;
}

QCheckBox* fuseBox(TfrmEprom& w, int bit) {
    return child<QCheckBox>(w, qPrintable(QString("cbFbit%1").arg(bit)));
}

void click(TfrmEprom& w, const char* name) {
    QTest::mouseClick(child<QAbstractButton>(w, name), Qt::LeftButton);
}

QColor statusColour(TfrmEprom& w) {
    auto* line = child<QLabel>(w, "StatusBar");
    return line->palette().color(line->foregroundRole());
}

}  // namespace

class AvrWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void groupFollowsThePart();
    void lockModeIsWrittenAndReadBack();
    void fuseByteIsWrittenAndReadBack();
    void spienIsUnprogrammedOnlyWhenTheUserSaysYes();
    void aFuseWriteThatDoesNotTakeIsAnError();
    void aBoardThatDoesNotAnswerGetsTheHardwareError();
    void aLoneEepFileProgramsTheEepromAlone();
};

void AvrWindowTest::groupFollowsThePart() {
    SettingsFolder folder;
    auto w = makeWindow();
    chooseDevice(*w, "AT90S2313   DIP20");
    auto* group = child<QGroupBox>(*w, "pAVRsetting");
    QVERIFY(group->isVisible());
    QCOMPARE(group->title(), QString("AVR 8-bit RISC   Lock Bit/FuseBit"));
    QVERIFY(!child<QWidget>(*w, "pPICSettings")->isVisible());
    QVERIFY(child<QRadioButton>(*w, "rbAVRm1")->isChecked());
    QCOMPARE(child<QRadioButton>(*w, "rbAVRm2")->text(),
             QString("2. Further programming of the  Flash/EEPROM is disabled "));
    QCOMPARE(fuseBox(*w, 0)->text(), QString("FSTRT"));
    QCOMPARE(fuseBox(*w, 5)->text(), QString("SPIEN"));
    for (int bit = 0; bit < 6; ++bit) {
        QVERIFY(fuseBox(*w, bit)->isChecked());
        QCOMPARE(fuseBox(*w, bit)->isEnabled(), bit == 0 || bit == 5);
    }
    QCOMPARE(child<QLineEdit>(*w, "edEPRFuse")->text(), QString(" 0xFF"));
    // Every control sits inside the group, whole.
    for (QWidget* c : group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        QVERIFY2(group->rect().contains(c->geometry()), qPrintable(c->objectName()));

    chooseDevice(*w, "AT90S4433   DIP28");
    QCOMPARE(fuseBox(*w, 0)->text(), QString("CKSEL0"));
    QCOMPARE(fuseBox(*w, 2)->text(), QString("CKSEL2 "));
    for (int bit = 0; bit < 6; ++bit) QVERIFY(fuseBox(*w, bit)->isEnabled());
    QTest::mouseClick(fuseBox(*w, 1), Qt::LeftButton);
    QCOMPARE(child<QLineEdit>(*w, "edEPRFuse")->text(), QString(" 0xFD"));
    QVERIFY(!fuseBox(*w, 1)->isChecked());

    // Another family hides the group; coming back starts from the defaults again.
    chooseDevice(*w, "27C256");
    QVERIFY(!group->isVisible());
    chooseDevice(*w, "AT90S4433   DIP28");
    QVERIFY(fuseBox(*w, 1)->isChecked());
    QCOMPARE(child<QLineEdit>(*w, "edEPRFuse")->text(), QString(" 0xFF"));
}

void AvrWindowTest::lockModeIsWrittenAndReadBack() {
    SettingsFolder folder;
    auto w = makeWindow();
    chooseDevice(*w, "AT90S2313   DIP20");
    click(*w, "rbAVRm2");
    QCOMPARE(w->context().profile.avrLockMode, 2);
    click(*w, "sbAVRlockbit");
    QCOMPARE(status(*w), QString("Device AVR LockBit "));
    QCOMPARE(chip(*w).lockMode(), 2);
    QVERIFY(!board(*w).socketPowered());

    // Get ID reads the lock byte back onto the Electronic ID panel.
    QTest::keyClick(w.get(), Qt::Key_I, Qt::ControlModifier);
    QVERIFY(child<QWidget>(*w, "pIDcode")->isVisible());
    QCOMPARE(child<QLineEdit>(*w, "edLockMode")->text(), QString(" Lockbit Mode 2"));
    QCOMPARE(child<QLabel>(*w, "edDeviceName")->text(), QString(" AT90S2313"));
    QTest::mouseClick(child<QPushButton>(*w, "btnOK_ID"), Qt::LeftButton);

    // Mode 3 on top of mode 2 takes; going back to mode 1 needs a chip erase, and says so.
    click(*w, "rbAVRm3");
    click(*w, "sbAVRlockbit");
    QCOMPARE(status(*w), QString("Device AVR LockBit "));
    QCOMPARE(chip(*w).lockMode(), 3);
    click(*w, "rbAVRm1");
    click(*w, "sbAVRlockbit");
    QVERIFY(status(*w).contains("until a chip erase"));
    QCOMPARE(statusColour(*w), QColor(Qt::red));
    QCOMPARE(chip(*w).lockMode(), 3);
    QVERIFY(!board(*w).socketPowered());
}

void AvrWindowTest::fuseByteIsWrittenAndReadBack() {
    SettingsFolder folder;
    auto w = makeWindow();
    chooseDevice(*w, "AT90S4433   DIP28");
    // CKSEL1 and SPIEN programmed (boxes cleared); no question for a byte that keeps SPIEN.
    QTest::mouseClick(fuseBox(*w, 1), Qt::LeftButton);
    QTest::mouseClick(fuseBox(*w, 5), Qt::LeftButton);
    QCOMPARE(child<QLineEdit>(*w, "edEPRFuse")->text(), QString(" 0xDD"));
    QString asked;
    answerNextBox(QMessageBox::No, &asked);
    click(*w, "bbAVRfuse");
    QCOMPARE(status(*w), QString("Device AVR FuseBit "));
    QCOMPARE(chip(*w).fuses() & chip(*w).type().fuseMask, 0xDD & chip(*w).type().fuseMask);
    QVERIFY(!board(*w).socketPowered());
    QTest::qWait(50);
    QVERIFY2(asked.isEmpty(), qPrintable(asked));
    QVERIFY(!QApplication::activeModalWidget());
}

void AvrWindowTest::spienIsUnprogrammedOnlyWhenTheUserSaysYes() {
    SettingsFolder folder;
    auto w = makeWindow();
    chooseDevice(*w, "AT90S2313   DIP20");
    chip(*w).setFuses(0xDF);  // SPIEN programmed, as shipped
    // The defaults of the selection (all boxes checked) would unprogram SPIEN: asked, No.
    QString asked;
    answerNextBox(QMessageBox::No, &asked);
    click(*w, "bbAVRfuse");
    QVERIFY(asked.contains("SPIEN"));
    QCOMPARE(status(*w), QString("Device AVR FuseBit not written"));
    QCOMPARE(chip(*w).fuses() & 0x21, 0x01);
    QCOMPARE(chip(*w).log().writes, uint64_t(0));
    QVERIFY(!board(*w).socketPowered());

    QVERIFY(activate(*w));
    answerNextBox(QMessageBox::Yes, &asked);
    click(*w, "bbAVRfuse");
    QCOMPARE(status(*w), QString("Device AVR FuseBit "));
    QCOMPARE(chip(*w).fuses() & 0x21, 0x21);
    QVERIFY(!board(*w).socketPowered());
}

void AvrWindowTest::aFuseWriteThatDoesNotTakeIsAnError() {
    SettingsFolder folder;
    auto w = makeWindow();
    chooseDevice(*w, "AT90S8515   DIP40");
    chip(*w).setFusePulseMinUs(5000);  // cells that need more than the 1.40 ms pulse
    QTest::mouseClick(fuseBox(*w, 0), Qt::LeftButton);  // FSTRT programmed
    QTest::mouseClick(fuseBox(*w, 5), Qt::LeftButton);  // SPIEN kept programmed
    click(*w, "bbAVRfuse");
    QVERIFY2(status(*w).startsWith("Device AVR FuseBit did not take"), qPrintable(status(*w)));
    QCOMPARE(statusColour(*w), QColor(Qt::red));
    QCOMPARE(chip(*w).log().shortFusePulses, uint64_t(1));
    QVERIFY(!board(*w).socketPowered());
}

void AvrWindowTest::aBoardThatDoesNotAnswerGetsTheHardwareError() {
    SettingsFolder folder;
    auto w = makeWindow();
    chooseDevice(*w, "AT90S1200   DIP20");
    board(*w).setPowered(false);
    for (const char* button : {"sbAVRlockbit", "bbAVRfuse"}) {
        click(*w, button);
        QCOMPARE(status(*w), QString("Hardware Error :  Check Power && connection"));
        QVERIFY(!board(*w).socketPowered());
    }
    QCOMPARE(chip(*w).log().writes, uint64_t(0));
    // The tool bar and the group work again after the refused run.
    QVERIFY(child<QWidget>(*w, "pICON")->isEnabled());
    QVERIFY(child<QWidget>(*w, "sbAVRlockbit")->isEnabled());
}

void AvrWindowTest::aLoneEepFileProgramsTheEepromAlone() {
    SettingsFolder folder;
    QTemporaryDir files;
    auto w = makeWindow();
    chooseDevice(*w, "AT90S2313   DIP20");
    Context& ctx = w->context();
    std::vector<uint8_t> flash(2048), eeprom(128);
    for (size_t i = 0; i < flash.size(); ++i) flash[i] = uint8_t(i * 5 + 3);
    for (size_t i = 0; i < eeprom.size(); ++i) eeprom[i] = uint8_t(i * 11 + 1);
    std::copy(flash.begin(), flash.end(), ctx.Buffer.begin());
    std::copy(eeprom.begin(), eeprom.end(), ctx.Buffer.begin() + 0x40000);
    const std::string hex = files.filePath("app.hex").toStdString();
    const std::string eep = files.filePath("data.eep").toStdString();
    QVERIFY(SaveImage(ctx, hex, FileFormat::IntelHex, SaveNaming::AsGiven));
    QVERIFY(SaveImage(ctx, eep, FileFormat::Eep, SaveNaming::AsGiven));
    ClearBuf(ctx, 1);
    chip(*w).flash() = flash;  // programmed earlier

    loadThroughDialog(*w, QString::fromStdString(eep));
    QCOMPARE(status(*w), QString("EEPROM (Hex) File loaded OK"));
    QTest::keyClick(w.get(), Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(status(*w), QString("Device Verify OK"));
    QCOMPARE(chip(*w).eeprom(), eeprom);
    QCOMPARE(chip(*w).flash(), flash);
    QVERIFY(!board(*w).socketPowered());

    // The flash file first, the EEPROM file second: both areas, after a chip erase.
    QTest::keyClick(w.get(), Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(chip(*w).flash(), std::vector<uint8_t>(2048, 0xFF));
    loadThroughDialog(*w, QString::fromStdString(hex));
    loadThroughDialog(*w, QString::fromStdString(eep));
    QTest::keyClick(w.get(), Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(status(*w), QString("Device Verify OK"));
    QCOMPARE(chip(*w).flash(), flash);
    QCOMPARE(chip(*w).eeprom(), eeprom);
    QVERIFY(!board(*w).socketPowered());
}

QTEST_MAIN(AvrWindowTest)
#include "AvrWindow_test.moc"
