// Window benchmark: time from construction to an idle, painted window, and the time to scroll the
// byte grid through a 4 MB image page by page (every page painted) and in one jump to the end.
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/ImageBuffer.h"
#include "ui/MainWindow.h"

using tavrin::ui::TfrmEprom;

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    qputenv("TAVRIN_PORT", "sim");
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Tavrin");
    QApplication::setApplicationName("Eprom");

    // Start-up: construction (port, settings, 4 MB clear, refresh) until the window has painted
    // and the event queue is empty.
    std::vector<double> startup;
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer t;
        t.start();
        auto* w = new TfrmEprom;
        w->show();
        if (!QTest::qWaitForWindowExposed(w)) return 1;
        QCoreApplication::processEvents();
        startup.push_back(t.nsecsElapsed() / 1e6);
        w->close();
        delete w;
    }
    std::printf("start-up to idle window      median %8.2f ms  (min %.2f, max %.2f, 7 runs)\n",
                median(startup), *std::min_element(startup.begin(), startup.end()),
                *std::max_element(startup.begin(), startup.end()));

    TfrmEprom w;
    w.show();
    if (!QTest::qWaitForWindowExposed(&w)) return 1;
    tavrin::SetBufferSize(w.context(), 4 * 1024 * 1024);
    w.winstat();
    w.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(1);
    auto* grid = w.findChild<QTableView*>("HexGrid");
    QCoreApplication::processEvents();
    QScrollBar* bar = grid->verticalScrollBar();
    const int rows = grid->model()->rowCount();
    const int pageStep = std::max(1, bar->pageStep());

    QElapsedTimer t;
    t.start();
    int pages = 0;
    for (int v = 0; v <= bar->maximum(); v += pageStep, ++pages) {
        bar->setValue(v);
        grid->viewport()->repaint();
    }
    bar->setValue(bar->maximum());
    grid->viewport()->repaint();
    const double pagedMs = t.nsecsElapsed() / 1e6;
    const QString last = grid->model()->index(rows - 1, 0).data().toString();

    // The cells alone: formatting every cell of the grid without painting.
    t.restart();
    long long chars = 0;
    for (int r = 0; r < rows; r += 16)
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            chars += grid->model()->index(r, c).data().toString().size();
    const double cellsMs = t.nsecsElapsed() / 1e6 * 16;

    std::vector<double> jumps;
    for (int i = 0; i < 20; ++i) {
        bar->setValue(0);
        grid->viewport()->repaint();
        t.restart();
        bar->setValue(bar->maximum());
        grid->viewport()->repaint();
        jumps.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf(
        "byte grid 0 -> 4 MB, paged   %8.2f ms  (%d pages of %d rows, %.1f us per page, %d rows)\n",
        pagedMs, pages, pageStep, pagedMs * 1000 / std::max(1, pages), rows);
    std::printf("cell texts of all 4 MB (est.) %8.2f ms  (%lld characters in a 1/16 sample)\n",
                cellsMs, chars);
    std::printf("byte grid 0 -> 4 MB, jump    median %8.3f ms  (last row %s)\n", median(jumps),
                qPrintable(last));
    return 0;
}
