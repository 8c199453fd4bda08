#pragma once

// What the window tests put in place of the real computer: timers driven by a manual clock,
// a presenter that records instead of opening modal boxes, and module stand-ins on loopback.

#include "app/mainwindow.h"

#include "protocol/datagrams.h"
#include <QFrame>
#include <QPushButton>

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QStringList>
#include <QUdpSocket>
#include <memory>
#include <vector>

namespace duva::test
{

// Timers that fire only when the test moves the clock on.
class ManualClock
{
public:
    TimerFactory factory();
    // Moves the clock on by ms, firing every timer that falls due on the way, in time order.
    void advance(int ms);
    int now() const { return m_now; }

private:
    class Timer;
    friend class Timer;
    std::vector<Timer*> m_timers;
    int m_now = 0;
};

// The caption the fixtures give the window for its error boxes.
inline const QString applicationTitle = QStringLiteral("duva-configurador");

class RecordingPresenter : public MessagePresenter
{
public:
    struct Error {
        QString caption;
        QString text;
    };
    void information(QWidget*, const QString& text) override { informations.append(text); }
    void error(QWidget*, const QString& caption, const QString& text) override
    {
        errors.push_back({caption, text});
    }
    void beep() override { ++beeps; }
    void clear()
    {
        informations.clear();
        errors.clear();
        beeps = 0;
    }
    // The texts of the error boxes; one under another caption than the application's shows
    // it in brackets, so that a comparison of texts also checks the captions.
    QStringList errorTexts() const
    {
        QStringList texts;
        for (const Error& e : errors)
            texts << (e.caption == applicationTitle ? e.text : "[" + e.caption + "] " + e.text);
        return texts;
    }

    QStringList informations;
    std::vector<Error> errors;
    int beeps = 0;
};

// A socket on every local address at port, in place of the modules: it records what the
// window sends and can answer it.
class ModulePeer
{
public:
    explicit ModulePeer(quint16 port = modulePort);
    // Waits up to timeoutMs for datagrams, returning all received so far.
    const std::vector<QNetworkDatagram>& received(int atLeast = 1, int timeoutMs = 2000);
    // Sends bytes to the window's endpoint (port 5001 on loopback).
    void answer(const QByteArray& bytes);
    // Forgets everything received so far, also what still waits on the socket.
    void clear();
    // Waits a little for stragglers, then forgets everything received.
    void drain();
    // Whether nothing arrives within a short wait.
    bool receivesNothing(int ms = 200) { return received(1, ms).empty(); }
    bool isBound() const { return m_socket.state() == QAbstractSocket::BoundState; }

private:
    QUdpSocket m_socket;
    std::vector<QNetworkDatagram> m_received;
};

// A 64-byte record: address a.b.c.d, the other fields from the given defaults.
QByteArray record(const QString& dottedAddress, quint8 dhcp = 0, quint8 clientMode = 1);

// A window with its test collaborators, shown, its start-up messages cleared.
struct Fixture {
    explicit Fixture(QString localAddress = QStringLiteral("127.0.0.1"), bool show = true);
    ~Fixture();

    ManualClock clock;
    std::shared_ptr<RecordingPresenter> presenter = std::make_shared<RecordingPresenter>();
    QString address;
    int lookups = 0; // host-name look-ups asked of the endpoint; none ever succeeds
    std::unique_ptr<TForm1> form;
    TForm1& w;

private:
    std::unique_ptr<TForm1> makeForm();
};

// A fixture whose window has had one module answer a search and has chosen it; the peer has
// forgotten the search, so that it records only what follows.
struct ChosenModule : Fixture {
    explicit ChosenModule(const QByteArray& reply = record(QStringLiteral("127.0.0.20")));
    ModulePeer peer;
};

// r with the bytes at offset replaced, or with one byte set.
QByteArray with(QByteArray r, int offset, const QByteArray& bytes);
QByteArray with(QByteArray r, int offset, quint8 value);
// Decimal lines of bytes, as the byte lists show them.
QStringList decimalLines(const QByteArray& bytes);

// Starts a search as a click on "Procurar módulos na rede" does, has peer answer it with
// replies, and waits until the window has taken them all in.
void searchAndAnswer(TForm1& form, ModulePeer& peer, const QList<QByteArray>& replies);

// Moves the clock on by ms and returns how many datagrams peer received meanwhile; they stay
// in peer.received().
int sentDuring(Fixture& f, ModulePeer& peer, int ms);

// A row of three columns, QString, QString and QStringList: a field's text before, its text
// after, and the error box's text if one comes.
void textRow(const char* tag, const char* before, const char* after, const char* error = nullptr);

// Chooses line k of the module list with a click of the left mouse button.
void chooseLine(TForm1& form, int k);

// Makes the window active: focus moves between controls only in the active window.
void activate(TForm1& form);

// Replaces an edit's text as the user does: click, select all, delete, type. Characters beyond
// ASCII arrive as the keyboard layout would deliver them: a key event carrying the character.
void retype(QLineEdit* edit, const QString& text);

// The service keys: F10 in the local-port field, then F2 in the time field.
void enterServiceMode(TForm1& form);

// Applies a manual network prefix through the F6 strip, as typed into its three fields.
void applyPrefix(TForm1& form, const QString& a, const QString& b, const QString& c);

// Lets the event loop deliver pending socket notifications.
void deliverPending(int ms = 50);

// The texts of a list box's lines.
QStringList lines(const QListWidget* list);

} // namespace duva::test
