// Start-up and idle: the configurator's window, started as a child process, against a bare
// window with the same controls.

#include "bench/benchmarks.h"
#include "bench/harness/child.h"
#include "bench/harness/proc.h"
#include "bench/windows.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QTimer>

#include <cstdio>

namespace duva::bench
{

namespace
{

// The same kinds and numbers of controls as the configurator's window, nothing else.
QWidget* bareWindow()
{
    auto* w = new QWidget;
    w->setFixedSize(786, 571);
    auto* panel2 = new QFrame(w);
    panel2->setGeometry(6, 48, 471, 518);
    auto* panel1 = new QFrame(panel2);
    panel1->setGeometry(19, 28, 190, 33);
    auto* group = new QGroupBox(QStringLiteral("group"), panel2);
    group->setGeometry(223, 243, 228, 113);
    int slot = 0;
    const auto at = [&slot](QWidget* c, int width = 70) {
        c->setGeometry(10 + (slot % 6) * 75, 10 + (slot / 6) * 24, width, 21);
        ++slot;
    };
    for (int i = 0; i < 17; ++i)
        at(new QLabel(QStringLiteral("Label %1").arg(i), panel2));
    auto* image = new QLabel(w);
    QPixmap logo(75, 41);
    logo.fill(Qt::darkBlue);
    image->setPixmap(logo);
    image->setGeometry(400, 3, 75, 41);
    for (int i = 0; i < 28; ++i)
        at(new QLineEdit(panel2), 28);
    for (int i = 0; i < 5; ++i)
        at(new QCheckBox(QStringLiteral("Check %1").arg(i), panel2));
    for (int i = 0; i < 2; ++i)
        at(new QRadioButton(QStringLiteral("Radio %1").arg(i), panel2));
    for (int i = 0; i < 6; ++i)
        at(new QPushButton(QStringLiteral("Button %1").arg(i), panel2));
    for (int i = 0; i < 3; ++i) {
        auto* list = new QListWidget(w);
        list->setGeometry(488 + i * 95, 17, 81, 528);
    }
    return w;
}

} // namespace

// In the child: shows the window (the configurator's or the bare one), and once it has been
// painted prints the CPU time and peak RSS since the process started; then idles.
int startupChild(int argc, char** argv, const QString& mode)
{
    QApplication app(argc, argv);
    // The text cursor of the focused edit blinks twice a second in any Qt window; off in both
    // windows, so that the idle count shows the program's own wake-ups.
    QApplication::setCursorFlashTime(0);
    std::unique_ptr<QWidget> window;
    if (mode == QLatin1String("app")) {
        FormDeps deps = FormDeps::system(QStringLiteral("duva-configurador"));
        deps.presenter = std::make_shared<NullPresenter>(); // no modal box may stop the start
        window = std::make_unique<TForm1>(deps);
    } else {
        window.reset(bareWindow());
    }
    struct FirstPaint : QObject {
        bool done = false;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint && !done) {
                done = true;
                QTimer::singleShot(0, [] {
                    const double cpu = cpuMs();
                    const long peakKb = peakResidentKb();
                    std::printf("%.3f %ld\n", cpu, peakKb);
                    std::fflush(stdout);
                });
            }
            return false;
        }
    } firstPaint;
    window->installEventFilter(&firstPaint);
    window->show();
    return app.exec();
}

void benchStartup(Table& table, const Options& options)
{
    std::vector<double> cpu[2], rss[2], idle[2];
    const char* modes[2] = {"bare", "app"};
    // A start takes a fraction of a second, and on a shared machine one start in three can
    // meet other work on its core: three times the runs keep the medians steady.
    const int starts = 3 * options.runs;
    for (int i = 0; i < starts; ++i) {
        for (int m = 0; m < 2; ++m) {
            QProcess child;
            const std::optional<QByteArray> line =
                startChild(child, QCoreApplication::applicationFilePath(),
                           {QStringLiteral("--startup-child"), QLatin1String(modes[m])}, 30000);
            if (!line) {
                std::fprintf(stderr, "duva-bench: the %s window did not start\n", modes[m]);
                continue;
            }
            double c = 0;
            long r = 0;
            if (std::sscanf(line->constData(), "%lf %ld", &c, &r) == 2) {
                cpu[m].push_back(c);
                rss[m].push_back(r / 1024.0);
            }
            if (i < 2) {
                // Let the start settle, then count wake-ups over two idle seconds.
                QThread::msleep(300);
                const long before = contextSwitches(child.processId());
                QThread::msleep(2000);
                idle[m].push_back(contextSwitches(child.processId()) - before);
            }
            child.kill();
            child.waitForFinished();
        }
    }
    const std::string each = "start-up, " + std::to_string(starts) + " of each: ";
    Row c{each + "CPU to painted (ms)",
          "bare window, same controls",
          stats(cpu[0]),
          stats(cpu[1]),
          "<= 1.15 x",
          {},
          1};
    c.met = c.measured.valid && c.baseline.valid && c.measured.median <= 1.15 * c.baseline.median;
    Row r{each + "peak RSS (MiB)",
          "bare window, same controls",
          stats(rss[0]),
          stats(rss[1]),
          "<= 1.15 x",
          {},
          1};
    r.met = r.measured.valid && r.baseline.valid && r.measured.median <= 1.15 * r.baseline.median;
    Row w{"idle: wake-ups in 2 s (cursor blink off)",
          "bare window, same controls",
          stats(idle[0]),
          stats(idle[1]),
          "0",
          {},
          0};
    w.met = w.measured.valid && w.measured.max == 0;
    table.add(c);
    table.add(r);
    table.add(w);
}

} // namespace duva::bench
