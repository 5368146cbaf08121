// The window with a PIC selected: the "PIC Setting" controls and the configuration word, the
// identifier edit, and the device-ID panel after Get ID on the simulated board.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include "WindowSupport.h"
#include "core/ImageBuffer.h"

using namespace tavrin;
using namespace tavrin::ui;
using namespace tavrin::ui::test;

class PicWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void controlsFollowAndComposeTheConfigurationWord();
    void identifierEditWritesTheIdWords();
    void getIdFillsTheDeviceIdPanel();
};

void PicWindowTest::controlsFollowAndComposeTheConfigurationWord() {
    SettingsFolder folder;
    auto w = makeWindow();
    chooseDevice(*w, "PIC 16F628");
    SetBufferWord(w->context(), 0x2007, 0x3F62);
    w->winstat();
    QVERIFY(!child<QGroupBox>(*w, "pPICSettings")->isHidden());
    auto* osc = child<QComboBox>(*w, "cbOSC");
    QCOMPARE(osc->count(), 8);
    QCOMPARE(osc->currentText(), QString(" HS"));
    QCOMPARE(child<QComboBox>(*w, "cbCP")->currentText(), QString(" CP OFF"));
    QVERIFY(child<QCheckBox>(*w, "cbPWRTE")->isChecked());
    QVERIFY(!child<QCheckBox>(*w, "cbCPD")->isChecked());  // bit 8 is 1: data not protected
    QCOMPARE(child<QCheckBox>(*w, "cbMCLRE")->text(), QString("MCLRE/RA5"));
    QVERIFY(child<QCheckBox>(*w, "cbWRT")->isHidden());
    QVERIFY(child<QCheckBox>(*w, "cbOSCCAL")->isHidden());
    child<QCheckBox>(*w, "cbWDTE")->click();
    QCOMPARE(BufferWord(w->context(), 0x2007), uint16_t(0x3F66));
    QCOMPARE(child<QLineEdit>(*w, "edPIC_cfg")->text(), QString(" 0x3F66"));
    osc->setCurrentIndex(0);
    emit osc->activated(0);  // " LP"
    QCOMPARE(BufferWord(w->context(), 0x2007) & 0x13, 0);
    QCOMPARE(osc->currentText(), QString(" LP"));

    chooseDevice(*w, "PIC 12C508");
    QVERIFY(!child<QCheckBox>(*w, "cbOSCCAL")->isHidden());
    QVERIFY(!child<QCheckBox>(*w, "cbOSCCAL")->isChecked());
    QCOMPARE(child<QCheckBox>(*w, "cbMCLRE")->text(), QString("MCLRE/GP3"));
    child<QCheckBox>(*w, "cbOSCCAL")->click();
    QCOMPARE(w->context().profile.picWriteOsccal, 1);
}

void PicWindowTest::identifierEditWritesTheIdWords() {
    SettingsFolder folder;
    auto w = makeWindow();
    chooseDevice(*w, "PIC 16F84");
    auto* id = child<QLineEdit>(*w, "edPIC_ID");
    QCOMPARE(id->maxLength(), 4);
    id->setFocus();
    id->clear();
    QTest::keyClicks(id, "1234");
    for (int i = 0; i < 4; ++i)
        QCOMPARE(BufferWord(w->context(), 0x2000 + i), uint16_t(0x3FF1 + i));
    QCOMPARE(w->context().profile.picID, 0x1234);
}

void PicWindowTest::getIdFillsTheDeviceIdPanel() {
    SettingsFolder folder;
    auto w = makeWindow();
    chooseDevice(*w, "PIC 16F877");
    child<QToolButton>(*w, "sbGetID")->click();
    QVERIFY(!child<QFrame>(*w, "pPICdeviceID")->isHidden());
    QCOMPARE(child<QLineEdit>(*w, "edPICHex")->text(), QString(" 0x09A3"));
    QCOMPARE(child<QLineEdit>(*w, "edPICRev")->text(), QString(" 0 0011"));
    QCOMPARE(child<QLineEdit>(*w, "edPICDeviceName")->text(), QString(" PIC 16F877"));
}

QTEST_MAIN(PicWindowTest)
#include "PicWindow_test.moc"
