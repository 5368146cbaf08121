// Editing the image in the Buffer page's grids: typing, fill, find, go to, undo and redo, and the
// "Modified" mark that a load clears.
#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include "WindowSupport.h"
#include "core/ImageBuffer.h"

using namespace tavrin;
using namespace tavrin::ui;
using namespace tavrin::ui::test;

class BufferEditWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void typeFillFindUndoInTheByteGrid();
    void picWordsKeepFourteenBitsAndDataBytesTheirHighByte();
};

namespace {

QTableView* bufferPage(TfrmEprom& w, const char* grid) {
    child<QTabWidget>(w, "PageControl1")->setCurrentIndex(1);
    auto* view = child<QTableView>(w, grid);
    view->setFocus();
    return view;
}

// Types `text` into the cell as a user would: the first key opens the editor, Enter commits.
void typeInto(QTableView* grid, int row, int column, const QString& text) {
    grid->setCurrentIndex(grid->model()->index(row, column));
    QTest::keyClicks(grid, text.left(1));
    QWidget* editor = QApplication::focusWidget();
    QVERIFY(editor != grid);
    QTest::keyClicks(editor, text.mid(1));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
}

void key(QWidget* target, int k, Qt::KeyboardModifiers m = Qt::ControlModifier) {
    QTest::keyClick(target, Qt::Key(k), m);
    QCoreApplication::processEvents();
}

}  // namespace

void BufferEditWindowTest::typeFillFindUndoInTheByteGrid() {
    SettingsFolder folder;
    auto w = makeWindow();
    chooseDevice(*w, "27C256");
    auto& buf = w->context().Buffer;
    auto* grid = bufferPage(*w, "HexGrid");
    auto* mark = child<QLabel>(*w, "lbModified");
    auto* checksum = child<QLineEdit>(*w, "edChecksum");
    QCOMPARE(checksum->text(), QString("0x8000"));
    QVERIFY(mark->text().isEmpty());

    typeInto(grid, 0, 1, "41");
    QCOMPARE(buf[0], uint8_t(0x41));
    QCOMPARE(grid->model()->index(0, 1).data().toString(), QString("41"));
    QCOMPARE(grid->currentIndex(), grid->model()->index(0, 2));  // on to the next byte
    QCOMPARE(checksum->text(), QString("0x7F42"));
    QCOMPARE(mark->text(), QString("Modified"));
    typeInto(grid, 1, 17, "Hi");  // the Ascii column types over from the row's first byte
    QCOMPARE(buf[0x10], uint8_t('H'));
    QCOMPARE(buf[0x11], uint8_t('i'));
    QCOMPARE(buf[0x12], uint8_t(0xFF));

    key(grid, Qt::Key_Z);
    QCOMPARE(buf[0x10], uint8_t(0xFF));
    QCOMPARE(grid->currentIndex(), grid->model()->index(1, 1));  // shows where it undid
    key(grid, Qt::Key_Y);
    QCOMPARE(buf[0x11], uint8_t('i'));
    key(grid, Qt::Key_Z);
    key(grid, Qt::Key_Z);
    QCOMPARE(buf[0], uint8_t(0xFF));
    QCOMPARE(checksum->text(), QString("0x8000"));
    QVERIFY(mark->text().isEmpty());  // back to the image as loaded
    key(grid, Qt::Key_Y);
    key(grid, Qt::Key_Y);
    QCOMPARE(mark->text(), QString("Modified"));

    // Fill, from the grid's tool bar.
    key(grid, Qt::Key_D);
    auto* from = child<QLineEdit>(*w, "edToolFrom");
    QVERIFY(from->isVisible());
    from->setText("100");
    child<QLineEdit>(*w, "edToolTo")->setText("1ff");
    child<QLineEdit>(*w, "edToolValue")->setText("00");
    QTest::keyClick(from, Qt::Key_Return);
    QCOMPARE(buf[0xFF], uint8_t(0xFF));
    QCOMPARE(buf[0x100], uint8_t(0x00));
    QCOMPARE(buf[0x1FF], uint8_t(0x00));
    QCOMPARE(buf[0x200], uint8_t(0xFF));
    auto* result = child<QLabel>(*w, "lbToolResult");
    QCOMPARE(result->text(), QString("Filled $000100 to $0001ff"));
    child<QLineEdit>(*w, "edToolTo")->setText("8000");
    QTest::keyClick(from, Qt::Key_Return);
    QCOMPARE(result->text(), QString("Beyond the end of the buffer"));

    // Find text, then hex bytes, then the next hit with F3.
    grid->setFocus();
    key(grid, Qt::Key_F);
    auto* find = child<QLineEdit>(*w, "edToolFind");
    QVERIFY(find->hasFocus());
    child<QComboBox>(*w, "cbToolFindKind")->setCurrentIndex(1);
    find->setText("Hi");
    QTest::keyClick(find, Qt::Key_Return);
    // The search starts after the current cell, $000010 where the last redo left it.
    QCOMPARE(result->text(), QString("Found at $000010 (from the start)"));
    QCOMPARE(grid->currentIndex(), grid->model()->index(1, 1));
    child<QComboBox>(*w, "cbToolFindKind")->setCurrentIndex(0);
    find->setText("00 00");
    QTest::keyClick(find, Qt::Key_Return);
    QCOMPARE(result->text(), QString("Found at $000100"));
    grid->setFocus();
    key(grid, Qt::Key_F3, Qt::NoModifier);
    QCOMPARE(result->text(), QString("Found at $000101"));
    QCOMPARE(grid->currentIndex(), grid->model()->index(0x10, 2));
    find->setText("12 34");
    QTest::keyClick(find, Qt::Key_Return);
    QCOMPARE(result->text(), QString("Not found"));

    // Go to address.
    grid->setFocus();
    key(grid, Qt::Key_G);
    from->setText("7ff3");
    QTest::keyClick(from, Qt::Key_Return);
    QCOMPARE(grid->currentIndex(), grid->model()->index(0x7FF, 4));
    QVERIFY(grid->hasFocus());

    // A save clears the mark, an undo after it sets it again, a read clears it.
    const QString saved = folder.dir.filePath("saved.bin");
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        dialog->findChild<QComboBox*>("fileTypeCombo")->setCurrentIndex(0);
        dialog->selectFile(saved);
        static_cast<QDialog*>(dialog)->accept();
    });
    child<QAction>(*w, "mnuSave")->trigger();
    activate(*w);
    QVERIFY(QFile::exists(saved));
    QVERIFY(mark->text().isEmpty());
    grid->setFocus();
    key(grid, Qt::Key_Z);
    QCOMPARE(mark->text(), QString("Modified"));
    child<QAction>(*w, "mnuRead")->trigger();
    QVERIFY(mark->text().isEmpty());
    QCOMPARE(buf[0], uint8_t(0xFF));  // the blank chip in the simulated socket

    // A load replaces the image: no mark, nothing left to undo.
    const QString path = folder.dir.filePath("image.bin");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(16, 'x'));
    file.close();
    loadThroughDialog(*w, path);
    QVERIFY(mark->text().isEmpty());
    QCOMPARE(buf[0], uint8_t('x'));
    grid->setFocus();
    key(grid, Qt::Key_Z);
    QCOMPARE(buf[0], uint8_t('x'));
    QVERIFY(mark->text().isEmpty());
}

void BufferEditWindowTest::picWordsKeepFourteenBitsAndDataBytesTheirHighByte() {
    SettingsFolder folder;
    auto w = makeWindow();
    Context& ctx = w->context();
    ctx.profile.PIC = 1;
    ctx.profile.eep = 16;
    ctx.profile.picDataBytes = 64;
    SetBufferSize(ctx, 1024);
    ClearBuf(ctx, 1);
    w->winstat();
    auto* prog = bufferPage(*w, "ProgGrid");
    typeInto(prog, 0, 2, "ffff");
    QCOMPARE(BufferWord(ctx, 1), uint16_t(0x3FFF));  // unchanged: 14 bits, as a load keeps them
    typeInto(prog, 0, 2, "1234");
    QCOMPARE(BufferWord(ctx, 1), uint16_t(0x1234));
    QCOMPARE(prog->model()->index(0, 2).data().toString(), QString("1234"));
    typeInto(prog, 0, 9, " AB");  // the word grid's Ascii column: a blank, then low bytes
    QCOMPARE(BufferWord(ctx, 0), uint16_t(0x3F41));
    QCOMPARE(BufferWord(ctx, 1), uint16_t(0x1242));

    auto* data = bufferPage(*w, "HexGrid");
    typeInto(data, 0, 3, "5a");
    QCOMPARE(ctx.Buffer[0x4200 + 4], uint8_t(0x5A));
    QCOMPARE(ctx.Buffer[0x4200 + 5], uint8_t(0x00));
    QCOMPARE(data->model()->index(0, 3).data().toString(), QString("5a"));
    key(data, Qt::Key_Z);
    QCOMPARE(ctx.Buffer[0x4200 + 4], uint8_t(0x00));

    // The AVR flash: words above, each byte in the Ascii column; text is found byte by byte.
    ctx.profile.PIC = 0;
    ctx.profile.eep = 14;
    ctx.profile.avrEepromSize = 512;
    SetBufferSize(ctx, 8192);
    w->winstat();
    prog = bufferPage(*w, "ProgGrid");
    typeInto(prog, 1, 9, "xAB");
    QCOMPARE(BufferWord(ctx, 8), uint16_t(0x4178));
    QCOMPARE(ctx.Buffer[0x12], uint8_t('B'));
    prog->setCurrentIndex(prog->model()->index(0, 1));
    key(prog, Qt::Key_F);
    child<QComboBox>(*w, "cbToolFindKind")->setCurrentIndex(1);
    auto* find = child<QLineEdit>(*w, "edToolFind");
    find->setText("AB");
    QTest::keyClick(find, Qt::Key_Return);
    QCOMPARE(child<QLabel>(*w, "lbToolResult")->text(), QString("Found at $000008"));
}

QTEST_MAIN(BufferEditWindowTest)
#include "BufferEditWindow_test.moc"
