#pragma once

#include "app/controls.h"
#include "app/messagepresenter.h"
#include "app/outerwidth.h"
#include "app/windowtimer.h"
#include "net/udpendpoint.h"

#include <QElapsedTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class QFrame;
class QGroupBox;
class QPushButton;

namespace duva
{

// What the window works with besides its own controls. Tests put in their own so that they
// drive the real window without modal boxes, real seconds or the real network.
struct FormDeps {
    // The computer's first IPv4 address as dotted text (empty: none).
    std::function<QString()> localAddress;
    std::shared_ptr<MessagePresenter> presenter;
    TimerFactory timers;
    // Host-name look-up for the endpoint; empty: the system's.
    UdpEndpoint::HostResolver resolver;
    // Caption of the standard error box.
    QString applicationTitle;
    // The real computer, the real boxes, Qt's timers.
    static FormDeps system(const QString& applicationTitle);
};

// The configurator window.
class TForm1 : public QWidget
{
public:
    static constexpr int slotCount = 100;
    static constexpr int localUdpPort = 5001;

    explicit TForm1(FormDeps deps, QWidget* parent = nullptr);
    ~TForm1() override;

    // State shared by the handlers, readable for tests.
    int replyCount() const { return m_replyCount; }
    QString selectedModuleIp() const { return m_selectedModuleIp; }
    int retryCount() const { return m_retryCount; }
    std::array<int, 3> netPrefix() const { return m_netPrefix; }
    // Slot n (1 to 100) of the module table.
    QByteArray moduleSlot(int n) const { return m_moduleTable.at(n - 1); }
    bool lastKeyWasAlt() const { return m_lastKeyWasAlt; }
    int outerWidth() const;

    // Handlers, one per event.
    void FormShow();
    void FormKeyUp(int key);
    void Label11Click();
    void Timer2Timer();
    void Timer3Timer();
    void Udp1DataReceived(UdpEndpoint& sender, int numberBytes, const QString& fromIp, int port);
    void ListBox3Click();
    void CheckBox7MouseDown();
    void CheckBox7MouseUp();
    void CheckBox8MouseDown();
    void CheckBox8MouseUp();
    void RadioButton1MouseDown();
    void RadioButton2MouseDown();
    void CheckBox1Click();
    void Edit11Exit();
    void Edit8Change();
    void Button13Click();
    bool Edit11KeyDown(int key);
    bool Edit8KeyDown(int key);
    void Button2Click();
    void Edit1DblClick();
    void Button3Click();
    void Button1Click();
    void Button21Click();
    void EditIP1Change();
    void EditIP2Change();
    void ButtonIPClick();

    // Controls, named as on the form. The window owns them through Qt's parent ownership.
    QFrame* Panel2 = nullptr;
    QFrame* Panel1 = nullptr;
    TLabel* Label11 = nullptr;
    TCheckBox* CheckBox8 = nullptr;
    TCheckBox* CheckBox7 = nullptr;
    TRadioButton* RadioButton1 = nullptr;
    TRadioButton* RadioButton2 = nullptr;
    TLabel* Label1 = nullptr;
    TEdit* Edit7 = nullptr;
    TEdit* Edit9 = nullptr;
    TEdit* Edit16 = nullptr;
    TEdit* Edit14 = nullptr;
    TLabel* Label2 = nullptr;
    TEdit* Edit11 = nullptr;
    TLabel* Label3 = nullptr;
    TEdit* Edit15 = nullptr;
    TEdit* Edit17 = nullptr;
    TEdit* Edit18 = nullptr;
    TEdit* Edit20 = nullptr;
    TLabel* Label10 = nullptr;
    TEdit* Edit3 = nullptr;
    TEdit* Edit4 = nullptr;
    TEdit* Edit5 = nullptr;
    TEdit* Edit6 = nullptr;
    TLabel* Label5 = nullptr;
    TEdit* Edit10 = nullptr;
    TEdit* Edit24 = nullptr;
    TEdit* Edit25 = nullptr;
    TEdit* Edit27 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    TLabel* Label7 = nullptr;
    TEdit* Edit2 = nullptr;
    TLabel* Label6 = nullptr;
    TEdit* Edit26 = nullptr;
    TCheckBox* CheckBox3 = nullptr;
    TLabel* Label4 = nullptr;
    TEdit* Edit1 = nullptr;
    TEdit* EditMac1 = nullptr;
    TEdit* EditMac2 = nullptr;
    TEdit* EditMac3 = nullptr;
    TLabel* Label8 = nullptr;
    TLabel* LabelNs = nullptr;
    TCheckBox* CheckBox1 = nullptr;
    TEdit* Edit8 = nullptr;
    TCheckBox* CheckBox2 = nullptr;
    TLabel* Label13 = nullptr;
    TListBox* ListBox3 = nullptr;
    TLabel* Label29 = nullptr;
    QPushButton* Button13 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    TLabel* Label14 = nullptr;
    TLabel* LabelIP = nullptr;
    TEdit* EditIP1 = nullptr;
    TEdit* EditIP2 = nullptr;
    TEdit* EditIP3 = nullptr;
    QPushButton* ButtonIP = nullptr;
    TLabel* Label18 = nullptr;
    TListBox* ListBox1 = nullptr;
    TLabel* Label19 = nullptr;
    TListBox* ListBox2 = nullptr;
    QPushButton* Button21 = nullptr;
    QPushButton* Button1 = nullptr;
    TLabel* Image1 = nullptr;

    UdpEndpoint* Udp1 = nullptr;
    std::unique_ptr<WindowTimer> Timer2;
    std::unique_ptr<WindowTimer> Timer3;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Builds every control in its design state (the form).
    void createControls();
    // Binds the controls' and the endpoint's events to the handlers.
    void bindEvents();
    // Runs a handler. An exception that ends it is shown in the standard error box; the
    // program goes on.
    void guarded(const std::function<void()>& handler);
    void information(const QString& text);
    void setOuterWidth(int width);
    // Sends datagram with Udp1 to its current RemoteHost and RemotePort.
    void send(const QByteArray& datagram);

    FormDeps m_deps;
    std::array<QByteArray, slotCount> m_moduleTable;
    int m_replyCount = 0;
    QString m_selectedModuleIp;
    int m_retryCount = 1;
    std::array<int, 3> m_netPrefix = {0, 0, 0};
    int m_chosenLine = -1;
    bool m_lastKeyWasAlt = false;
    bool m_shown = false;
    OuterWidth m_outerWidth{*this};
    // Running while the window's repaint waits for a burst of datagrams to be taken in.
    QElapsedTimer m_repaintDeferred;
};

} // namespace duva
