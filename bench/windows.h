#pragma once

// The windows the benchmarks measure: the configurator's, and plain Qt doing the same work.

#include "app/mainwindow.h"

#include <QListWidget>
#include <QUdpSocket>
#include <QWidget>
#include <memory>

namespace duva::bench
{

// Reports the window's errors on standard error; shows no box.
class NullPresenter : public MessagePresenter
{
public:
    void information(QWidget*, const QString&) override {}
    void error(QWidget*, const QString&, const QString& text) override;
    void beep() override {}
};

// The window as the program makes it, on a port of its own so that several can run side by
// side, shown offscreen; its local network is 127.0.0.0/24.
std::unique_ptr<TForm1> makeWindow();

// Plain Qt: a QUdpSocket whose readyRead lists each datagram's address in a QListWidget.
struct BareReceiver {
    QWidget window;
    QListWidget* list;
    QUdpSocket socket;
    int accepted = 0;
    BareReceiver();
    void clear();
};

} // namespace duva::bench
