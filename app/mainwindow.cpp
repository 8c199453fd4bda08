#include "app/mainwindow.h"

#include "app/versionfile.h"
#include "net/broadcastseries.h"
#include "net/localaddress.h"
#include "protocol/conversion.h"
#include "protocol/datagrams.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>


namespace duva
{

namespace
{

const QColor navy(0, 0, 128);

const QString noAnswerMessage = QStringLiteral(
    "O dispositivo NÃO RESPONDEU, verfique se o módulo:\r\r"
    "- Está energizado pela fonte de alimentação.\r"
    "- Está conectado a rede local por um cabo de rede.\r\r"
    "Estando correto, siga o procedimento abaixo:\r\r"
    "- Mantenha pressionada a tecla chamada RST localizada no módulo.\r"
    "- Em seguida, mantenha também pressionada a tecla DHCP localizada no módulo.    \r"
    "- Solte primeiro a tecla RST.\r"
    "- Em seguida solte a tecla DHCP.\r"
    "- Clique novamente em Procurar módulos na rede.   \r\r");

// The maker's server name under a dynamic-DNS service, what "Base" proposes.
const QString defaultServerHost = QStringLiteral("duva.dyndns.org");

// Window widths: as shown, and the two widths of the service toggle that uncover the byte lists.
constexpr int shownWidth = 488;
constexpr int narrowServiceWidth = 514;
constexpr int wideServiceWidth = 630;

constexpr int searchInterval = 3000;
constexpr int writeConfirmInterval = 6000;
constexpr int giveUpAtRetry = 3;

// While datagrams keep arriving the window is still drawn this often.
constexpr int longestRepaintDeferralMs = 50;

void enable(std::initializer_list<QWidget*> controls, bool enabled)
{
    for (QWidget* control : controls)
        control->setEnabled(enabled);
}

void setShown(std::initializer_list<QWidget*> controls, bool visible)
{
    for (QWidget* control : controls)
        control->setVisible(visible);
}

} // namespace

FormDeps FormDeps::system(const QString& applicationTitle)
{
    FormDeps deps;
    deps.localAddress = localAddressText;
    deps.presenter = std::make_shared<QtMessagePresenter>();
    deps.timers = qtTimerFactory();
    deps.applicationTitle = applicationTitle;
    return deps;
}

TForm1::TForm1(FormDeps deps, QWidget* parent) : QWidget(parent), m_deps(std::move(deps))
{
    createControls();
    Timer2 = m_deps.timers(4500, false);
    Timer3 = m_deps.timers(1000, false);
    Udp1 = new UdpEndpoint(this);
    if (m_deps.resolver)
        Udp1->setHostResolver(m_deps.resolver);
    Udp1->setRemotePort(modulePort);
    Udp1->setLocalPort(localUdpPort);
    Udp1->setReportLevel(1);
    bindEvents();
    // Once the form is complete the endpoint binds again; on a socket that is already bound
    // this only renews the read notifications.
    Udp1->bindLocal();
}

TForm1::~TForm1()
{
    qApp->removeEventFilter(this);
    // The controls go after the window's own members; a focus change while they are taken
    // down must not reach a handler.
    Edit11->onExit = nullptr;
}

void TForm1::guarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const Exception& e) {
        m_deps.presenter->error(this, m_deps.applicationTitle, errorBoxText(e.message()));
    } catch (const std::exception& e) {
        m_deps.presenter->error(this, m_deps.applicationTitle,
                                errorBoxText(QString::fromLocal8Bit(e.what())));
    }
}

void TForm1::bindEvents()
{
    const auto bind = [this](void (TForm1::*handler)()) {
        return [this, handler] { guarded([this, handler] { (this->*handler)(); }); };
    };
    const auto bindKey = [this](bool (TForm1::*handler)(int)) {
        return [this, handler](int key) {
            bool taken = false;
            guarded([&] { taken = (this->*handler)(key); });
            return taken;
        };
    };

    Label11->onClick = bind(&TForm1::Label11Click);
    Timer2->onTimer = bind(&TForm1::Timer2Timer);
    Timer3->onTimer = bind(&TForm1::Timer3Timer);
    Udp1->setOnDataReceived(
        [this](UdpEndpoint& sender, int numberBytes, const QString& fromIp, int port) {
            guarded([&] { Udp1DataReceived(sender, numberBytes, fromIp, port); });
        });
    ListBox3->onClick = bind(&TForm1::ListBox3Click);

    CheckBox7->onMouseDown = bind(&TForm1::CheckBox7MouseDown);
    CheckBox7->onMouseUp = bind(&TForm1::CheckBox7MouseUp);
    CheckBox8->onMouseDown = bind(&TForm1::CheckBox8MouseDown);
    CheckBox8->onMouseUp = bind(&TForm1::CheckBox8MouseUp);
    RadioButton1->onMouseDown = bind(&TForm1::RadioButton1MouseDown);
    RadioButton2->onMouseDown = bind(&TForm1::RadioButton2MouseDown);
    connect(CheckBox1, &QCheckBox::toggled, this, bind(&TForm1::CheckBox1Click));
    Edit11->onExit = bind(&TForm1::Edit11Exit);
    connect(Edit8, &QLineEdit::textChanged, this, bind(&TForm1::Edit8Change));
    connect(Button13, &QPushButton::clicked, this, bind(&TForm1::Button13Click));

    Edit11->onKeyDown = bindKey(&TForm1::Edit11KeyDown);
    Edit8->onKeyDown = bindKey(&TForm1::Edit8KeyDown);
    connect(Button2, &QPushButton::clicked, this, bind(&TForm1::Button2Click));
    Edit1->onDblClick = bind(&TForm1::Edit1DblClick);
    connect(Button3, &QPushButton::clicked, this, bind(&TForm1::Button3Click));
    connect(Button1, &QPushButton::clicked, this, bind(&TForm1::Button1Click));
    connect(Button21, &QPushButton::clicked, this, bind(&TForm1::Button21Click));

    connect(EditIP1, &QLineEdit::textChanged, this, bind(&TForm1::EditIP1Change));
    connect(EditIP2, &QLineEdit::textChanged, this, bind(&TForm1::EditIP2Change));
    connect(ButtonIP, &QPushButton::clicked, this, bind(&TForm1::ButtonIPClick));

    // Key preview: the window sees every key release before the control that has the focus.
    qApp->installEventFilter(this);
}

// Each datagram is taken in on its own pass of the event loop, and the window used to be drawn
// again between two of them: for a burst of replies the drawing cost far more than taking them
// in. So while another datagram waits, the window's repaint waits too (at most
// longestRepaintDeferralMs), and the burst is drawn once.
bool TForm1::event(QEvent* event)
{
    if (event->type() == QEvent::UpdateRequest && Udp1 && Udp1->hasPendingDatagram()) {
        if (!m_repaintDeferred.isValid())
            m_repaintDeferred.start();
        if (m_repaintDeferred.elapsed() < longestRepaintDeferralMs) {
            // Asked again on the next pass, after that datagram.
            QCoreApplication::postEvent(this, new QEvent(QEvent::UpdateRequest),
                                        Qt::LowEventPriority);
            return true;
        }
    }
    if (event->type() == QEvent::UpdateRequest)
        m_repaintDeferred.invalidate();
    return QWidget::event(event);
}

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_shown || event->spontaneous())
        return;
    m_shown = true;
    guarded([this] { FormShow(); });
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyRelease && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        auto* key = static_cast<QKeyEvent*>(event);
        // A held key repeats its press, not its release: only the real release counts.
        if (!key->isAutoRepeat())
            guarded([&] { FormKeyUp(key->key()); });
        // Every release stops here, except Space on a button: the button's keyboard press
        // completes on that release, and without it the button would stay drawn pressed and
        // never act.
        const bool completesAButtonPress =
            key->key() == Qt::Key_Space && qobject_cast<QAbstractButton*>(watched);
        return !completesAButtonPress;
    }
    return QWidget::eventFilter(watched, event);
}

int TForm1::outerWidth() const
{
    return m_outerWidth.get();
}

void TForm1::setOuterWidth(int width)
{
    m_outerWidth.set(width);
}

void TForm1::information(const QString& text)
{
    m_deps.presenter->information(this, text);
}

void TForm1::send(const QByteArray& datagram)
{
    QBuffer stream;
    stream.setData(datagram);
    stream.open(QIODevice::ReadOnly);
    Udp1->sendDatagram(stream);
}

// ---- Start-up ----

void TForm1::FormShow()
{
    m_retryCount = 1;
    setOuterWidth(shownWidth);
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - frameGeometry().center() + pos());

    // The local network: the /24 of this computer's first IPv4 address.
    const QString address = m_deps.localAddress().left(15);
    // Without an address this computer is taken as one that is not on a network.
    m_netPrefix = addressPrefix(address).value_or(std::array<int, 3>{127, 0, 0});
    Udp1->setRemoteHost(broadcastAddress(m_netPrefix[0], m_netPrefix[1], m_netPrefix[2]));
    Label14->setText(QStringLiteral("IP deste computador: ") + address);
    if (m_netPrefix[0] == 255 || m_netPrefix[0] == 127)
        information(QStringLiteral("Este computador não está em rede, no primeiro uso do módulo "
                                   "TCP/IP conecte-o a uma rede local.\r\r"));

    // Another program holding the local port would make every search end in "no answer"
    // although the cause is on this computer: say so once.
    if (!Udp1->isBound())
        information(QStringLiteral("A porta UDP %1 deste computador está em uso por outro "
                                   "programa: as respostas dos módulos não chegarão a este "
                                   "configurador. Feche o outro programa e abra o configurador "
                                   "novamente.")
                        .arg(localUdpPort));
}

void TForm1::EditIP1Change()
{
    if (EditIP1->text().length() > 2)
        EditIP2->setFocus();
}

void TForm1::EditIP2Change()
{
    if (EditIP2->text().length() > 2)
        EditIP3->setFocus();
}

void TForm1::ButtonIPClick()
{
    m_netPrefix[0] = strToInt(EditIP1->text());
    m_netPrefix[1] = strToInt(EditIP2->text());
    m_netPrefix[2] = strToInt(EditIP3->text());
    Label14->setText(QStringLiteral("IP deste computador: ") + EditIP1->text() + "." +
                     EditIP2->text() + "." + EditIP3->text() + ".XXX");
    information(QStringLiteral("Configure o computador para IP fixo nesta mesma classe."));
    setShown({EditIP1, EditIP2, EditIP3, LabelIP, ButtonIP}, false);
}

// ---- Search ----

void TForm1::Label11Click()
{
    Button13->setEnabled(false);
    Label13->setText(QStringLiteral("Aguarde ..."));
    Label13->setVisible(true);
    ListBox1->clear();
    ListBox2->clear();
    ListBox3->clear();

    const QByteArray request = SearchRequest::build();
    ListBox2->addItems(dumpBytes(request));
    if (!CheckBox2->isChecked()) {
        Udp1->setRemotePort(modulePort);
        Udp1->setRemoteHost(broadcastAddress(m_netPrefix[0], m_netPrefix[1], m_netPrefix[2]));
        send(request);
    } else {
        sendToEveryNetworkOfPrefix(*Udp1, m_netPrefix[0], m_netPrefix[1], modulePort, request);
    }

    m_replyCount = 0;
    m_selectedModuleIp.clear();
    Timer2->setInterval(searchInterval);
    Timer2->setEnabled(true);
    Panel1->setEnabled(false);
    Timer3->setEnabled(true);

    for (TEdit* field :
         {Edit1,  Edit2,  Edit3,  Edit4,  Edit5,  Edit6,  Edit7,  Edit8,  Edit9,  Edit10, Edit11,
          Edit14, Edit15, Edit16, Edit17, Edit18, Edit20, Edit24, Edit25, Edit26, Edit27})
        field->clear();
    LabelNs->clear();

    CheckBox1->setChecked(false);
    CheckBox7->setChecked(false);
    CheckBox8->setChecked(false);
    RadioButton1->setChecked(false);
    RadioButton2->setChecked(false);
}

void TForm1::Timer2Timer()
{
    if (m_retryCount >= giveUpAtRetry) {
        m_retryCount = 1;
        Button13->setEnabled(true);
        Timer2->setEnabled(false);
        Timer2->setInterval(searchInterval);
        Label13->setVisible(false);
        information(noAnswerMessage);
        return;
    }
    Label11Click();
    ++m_retryCount;
    QPalette palette = Label13->palette();
    const bool white = palette.color(QPalette::WindowText) == QColor(Qt::white);
    palette.setColor(QPalette::WindowText, white ? navy : QColor(Qt::white));
    Label13->setPalette(palette);
}

void TForm1::Timer3Timer()
{
    Panel1->setEnabled(true);
    Timer3->setEnabled(false);
}

// ---- Replies ----

void TForm1::Udp1DataReceived(UdpEndpoint&, int, const QString&, int)
{
    char received[recordSize];
    const int length = Udp1->copyReceived(received, recordSize);
    if (length != recordSize)
        return;
    // The table holds 100 replies; a further one is dropped rather than written past its end.
    if (m_replyCount >= slotCount)
        return;

    Timer2->setEnabled(false);
    Timer2->setInterval(searchInterval);
    ++m_replyCount;
    Label29->setText(QString::number(m_replyCount) + ":");
    const QByteArray bytes(received, recordSize);
    m_moduleTable[m_replyCount - 1] = bytes;
    ListBox1->addItems(dumpBytes(bytes));
    ListBox3->setEnabled(true);
    Label13->setText(QStringLiteral("Selecione um dos IP´s abaixo"));

    const QString address = ModuleRecord::fromBytes(bytes)->ipAddressText();
    if (address != m_selectedModuleIp) {
        // Each line keeps the slot of its own record, so that choosing it loads that record
        // even when a reply before it was stored without being listed.
        auto* line = new QListWidgetItem(address);
        line->setData(Qt::UserRole, m_replyCount);
        ListBox3->addItem(line);
        m_deps.presenter->beep();
    }
}

// ---- Selection ----

void TForm1::ListBox3Click()
{
    Label13->setText(QStringLiteral("Altere os parâmetros desejados"));
    Button13->setEnabled(true);
    Panel2->setEnabled(true);

    const QListWidgetItem* line = ListBox3->currentItem();
    if (!line || !line->isSelected())
        return;
    m_chosenLine = ListBox3->row(line);

    enable({CheckBox1, CheckBox7, CheckBox8, RadioButton1, RadioButton2, Edit2, Edit10, Edit11,
            Edit24, Edit25, Edit26, Edit27},
           true);

    const int slot = line->data(Qt::UserRole).toInt();
    const ModuleRecord r = *ModuleRecord::fromBytes(m_moduleTable.at(slot - 1));

    const bool dhcp = r.dhcp();
    CheckBox7->setChecked(dhcp);
    CheckBox8->setChecked(!dhcp);
    enable({Edit7, Edit9, Edit16, Edit14, Edit15, Edit17, Edit18, Edit20}, !dhcp);

    Edit7->setText(r.ipAddress(0));
    Edit9->setText(r.ipAddress(1));
    Edit16->setText(r.ipAddress(2));
    Edit14->setText(r.ipAddress(3));
    m_selectedModuleIp =
        Edit7->text() + "." + Edit9->text() + "." + Edit16->text() + "." + Edit14->text();
    Udp1->setRemoteHost(m_selectedModuleIp);

    Edit15->setText(r.subnetMask(0));
    Edit17->setText(r.subnetMask(1));
    Edit18->setText(r.subnetMask(2));
    Edit20->setText(r.subnetMask(3));
    Edit3->setText(r.gateway(0));
    Edit4->setText(r.gateway(1));
    Edit5->setText(r.gateway(2));
    Edit6->setText(r.gateway(3));
    Edit10->setText(r.dnsServer(0));
    Edit24->setText(r.dnsServer(1));
    Edit25->setText(r.dnsServer(2));
    Edit27->setText(r.dnsServer(3));
    Edit11->setText(QString::number(r.localPort()));
    Edit26->setText(QString::number(r.serverPort()));

    CheckBox1->setChecked(r.autoDisconnect());
    Edit8->setEnabled(CheckBox1->isChecked());
    CheckBox3->setChecked(r.watchdog());
    Edit8->setText(QString::number(r.autoDisconnectTime()));
    Edit1->setText(r.firmwareVersion());

    const std::array<int, 3> serial = r.serialBytes();
    EditMac1->setText(QString::number(serial[0]));
    EditMac2->setText(QString::number(serial[1]));
    EditMac3->setText(QString::number(serial[2]));
    LabelNs->setText(QString::number(strToInt(EditMac1->text()) * 65536 +
                                     strToInt(EditMac2->text()) * 256 +
                                     strToInt(EditMac3->text())));

    Edit2->setText(r.serverHost());

    if (const std::optional<bool> client = r.clientMode()) {
        if (*client)
            RadioButton1->setChecked(true);
        else
            RadioButton2->setChecked(true);
        enable({Edit2, Edit26}, *client);
    }
}

// ---- Field interlocks ----

void TForm1::CheckBox7MouseDown()
{
    CheckBox8->setChecked(false);
    enable({Edit7, Edit9, Edit16, Edit14}, false);
    enable({Edit15, Edit17, Edit18, Edit20}, false);
}

void TForm1::CheckBox7MouseUp()
{
    if (!CheckBox7->isChecked())
        CheckBox8->setChecked(true);
}

void TForm1::CheckBox8MouseDown()
{
    enable({Edit7, Edit9, Edit15, Edit17, Edit18, Edit20, Edit11, Edit16, Edit14}, true);
    CheckBox7->setChecked(false);
}

void TForm1::CheckBox8MouseUp()
{
    if (!CheckBox8->isChecked())
        CheckBox7->setChecked(true);
}

void TForm1::RadioButton1MouseDown()
{
    enable({Edit2, Edit26}, true);
    Edit8->setEnabled(false);
    CheckBox1->setEnabled(false);
}

void TForm1::RadioButton2MouseDown()
{
    enable({Edit2, Edit26}, false);
    if (CheckBox1->isChecked())
        Edit8->setEnabled(true);
    CheckBox1->setEnabled(true);
}

void TForm1::CheckBox1Click()
{
    Edit8->setEnabled(CheckBox1->isChecked());
}

void TForm1::Edit11Exit()
{
    Edit26->setText(Edit11->text());
}

void TForm1::Edit8Change()
{
    if (Edit8->text().isEmpty())
        Edit8->setText(QStringLiteral("0"));
    if (strToInt(Edit8->text()) > 255)
        Edit8->setText(QStringLiteral("255"));
}

// ---- Write ----

void TForm1::Button13Click()
{
    if (RadioButton1->isChecked() && Edit2->text().isEmpty()) {
        information(
            QStringLiteral("Em modo \"Cliente\", preencha o campo \"Domínio ou IP do Servidor\"."));
        return;
    }
    Label29->setVisible(false);
    ListBox1->clear();
    ListBox2->clear();
    ListBox3->clear();
    if (m_selectedModuleIp.isEmpty()) {
        information(QStringLiteral("Selecione um dos IPs mostrados da lista. "));
        return;
    }

    WriteRequest w;
    w.ipAddress = {Edit7->text(), Edit9->text(), Edit16->text(), Edit14->text()};
    w.subnetMask = {Edit15->text(), Edit17->text(), Edit18->text(), Edit20->text()};
    w.gateway = {Edit3->text(), Edit4->text(), Edit5->text(), Edit6->text()};
    w.dnsServer = {Edit10->text(), Edit24->text(), Edit25->text(), Edit27->text()};
    w.localPort = Edit11->text();
    w.serverPort = Edit26->text();
    w.dhcp = CheckBox7->isChecked();
    w.watchdog = CheckBox3->isChecked();
    w.clientMode = RadioButton1->isChecked();
    w.autoDisconnect = CheckBox1->isChecked();
    w.autoDisconnectTime = Edit8->text();
    w.firmwareVersion = Edit1->text();
    w.serialBytes = {EditMac1->text(), EditMac2->text(), EditMac3->text()};
    w.serverHost = Edit2->text();
    const QByteArray request = w.build();

    ListBox2->addItems(dumpBytes(request));
    // To the module as it was chosen, at the port of the last search (or reset broadcast).
    Udp1->setRemoteHost(m_selectedModuleIp);
    send(request);

    m_replyCount = 0;
    m_selectedModuleIp.clear();
    Timer2->setInterval(writeConfirmInterval);
    Timer2->setEnabled(true);
    Label13->setVisible(true);
    Label13->setText(QStringLiteral("Aguarde ..."));
    Button13->setEnabled(false);
    m_retryCount = 1;
}

// ---- Service functions ----

void TForm1::FormKeyUp(int key)
{
    if (m_lastKeyWasAlt && key == Qt::Key_F3)
        setOuterWidth(outerWidth() == narrowServiceWidth ? wideServiceWidth : narrowServiceWidth);
    // The right-hand Alt key is Alt too, also where the keyboard layout makes it AltGr.
    m_lastKeyWasAlt = key == Qt::Key_Alt || key == Qt::Key_AltGr;
    if (key == Qt::Key_F5) {
        enable({Edit7, Edit9, Edit16, Edit14}, true);
        information(
            QStringLiteral("Em modo DHCP a alteração dos campos IP e Gateway não tem efeito!"));
    }
    if (key == Qt::Key_F6) {
        setShown({EditIP1, EditIP2, EditIP3, LabelIP, ButtonIP}, true);
        EditIP1->setFocus();
    }
}

bool TForm1::Edit11KeyDown(int key)
{
    if (key != Qt::Key_F10)
        return false;
    CheckBox1->show();
    Edit8->show();
    Edit8->setEnabled(true);
    Edit8->setFocus();
    return true;
}

bool TForm1::Edit8KeyDown(int key)
{
    if (key != Qt::Key_F2)
        return false;
    EditMac1->setEnabled(true);
    EditMac1->show();
    EditMac1->setText(QStringLiteral("0"));
    EditMac2->setEnabled(true);
    EditMac2->show();
    EditMac2->setText(QStringLiteral("4"));
    EditMac3->setEnabled(true);
    EditMac3->show();
    EditMac3->setFocus();
    Edit2->setEnabled(true);
    Edit2->setText(QStringLiteral("192.168.0.14"));
    RadioButton1->setChecked(true);
    CheckBox1->setChecked(true);
    Edit8->setText(QStringLiteral("10"));
    LabelNs->show();
    Button2->show();
    Button3->show();
    Edit1->setEnabled(true);
    Edit1->setText(readFirstLine(QString::fromLatin1(versionFileName)));
    return true;
}

void TForm1::Button2Click()
{
    // In 64 bits, so that the largest integer steps to a text that the next conversion refuses
    // instead of wrapping round.
    EditMac2->setText(QString::number(qint64(strToInt(EditMac2->text())) + 1));
}

void TForm1::Edit1DblClick()
{
    storeText(QString::fromLatin1(versionFileName), Edit1->text());
}

void TForm1::Button3Click()
{
    Label13->setText(QStringLiteral("Aguarde ..."));
    ListBox1->clear();
    ListBox2->clear();
    ListBox3->clear();
    const QByteArray reset = ResetDatagram::build();
    ListBox2->addItems(dumpBytes(reset));
    sendToEveryNetworkOfPrefix(*Udp1, m_netPrefix[0], m_netPrefix[1], resetPort, reset);
}

void TForm1::Button1Click()
{
    Edit7->setText(QStringLiteral("192"));
    Edit9->setText(QStringLiteral("168"));
    Edit16->setText(QStringLiteral("0"));
    Edit14->setText(QStringLiteral("132"));
    Edit11->setText(QStringLiteral("5002"));
    Edit10->setText(QStringLiteral("192"));
    Edit24->setText(QStringLiteral("168"));
    Edit25->setText(QStringLiteral("0"));
    Edit27->setText(QStringLiteral("100"));
    Edit2->setText(defaultServerHost);
    Edit26->setText(QStringLiteral("5002"));
}

void TForm1::Button21Click()
{
    ListBox1->clear();
    ListBox2->clear();
}

} // namespace duva
