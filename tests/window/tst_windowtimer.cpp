// The window's timers on Qt's event loop: an unchanged interval or enabled state must not
// restart the countdown (QTimer itself restarts on every setInterval and start).

#include "app/windowtimer.h"

#include <QElapsedTimer>
#include <QTest>

using namespace duva;

class TestWindowTimer : public QObject
{
    Q_OBJECT

private:
    // Fires timer and returns the milliseconds from start to the first expiry, while touch runs
    // at halfway through.
    static qint64 firstExpiry(WindowTimer& timer, const std::function<void()>& touch)
    {
        QElapsedTimer elapsed;
        qint64 firedAt = -1;
        timer.onTimer = [&] {
            if (firedAt < 0)
                firedAt = elapsed.elapsed();
        };
        elapsed.start();
        timer.setEnabled(true);
        QTest::qWait(timer.interval() / 2);
        touch();
        QElapsedTimer waiting;
        waiting.start();
        while (firedAt < 0 && waiting.elapsed() < 5000)
            QTest::qWait(5);
        return firedAt;
    }

private slots:
    void unchangedSettingsKeepTheCountdown()
    {
        auto timer = qtTimerFactory()(400, false);
        const qint64 firedAt = firstExpiry(*timer, [&] {
            timer->setInterval(400);
            timer->setEnabled(true);
        });
        QVERIFY2(firedAt < 560, qPrintable(QString::number(firedAt)));
    }

    void aChangedIntervalRestartsTheCountdown()
    {
        auto timer = qtTimerFactory()(400, false);
        const qint64 firedAt = firstExpiry(*timer, [&] { timer->setInterval(401); });
        QVERIFY2(firedAt >= 560, qPrintable(QString::number(firedAt)));
    }

    void disabledTimerDoesNotFireAndAChangedIntervalDoesNotStartIt()
    {
        auto timer = qtTimerFactory()(50, false);
        int fired = 0;
        timer->onTimer = [&] { ++fired; };
        timer->setInterval(60);
        QTest::qWait(200);
        QCOMPARE(fired, 0);
        timer->setEnabled(true);
        QTRY_VERIFY(fired >= 2); // an enabled timer fires every interval
        timer->setEnabled(false);
        const int firedBefore = fired;
        QTest::qWait(150);
        QCOMPARE(fired, firedBefore);
    }
};

QTEST_GUILESS_MAIN(TestWindowTimer)
#include "tst_windowtimer.moc"
